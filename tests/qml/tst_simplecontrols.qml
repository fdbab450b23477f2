import QtQuick
import QtTest
import "qrc:/modules/qml/common"

// RectInput, CheckBox, RadioButton and the buttons' keys.
Item {
    id: scene

    width: 400
    height: 300

    Component { id: inputComponent; RectInput { x: 20; y: 20 } }

    Component { id: checkComponent; CheckBox { x: 40; y: 40; textValue: "Endless" } }

    Component { id: radioComponent; RadioButton { x: 40; y: 40; textValue: "Rows" } }

    Component { id: textButtonComponent; TextButton { x: 40; y: 120; textValue: "Save" } }

    Component { id: imageButtonComponent; ImageButton { x: 40; y: 120; width: 16; height: 16; description: "Help" } }

    Component { id: popupComponent; PopupMenu { x: 200; y: 20; entries: ["Delete", "Import", "Export"] } }

    Item { id: elsewhere; focus: true }

    SceneTestCase {
        name: "SimpleControls"

        // Editing ends with Return: a cleared field reads 0, a value past
        // the maximum is held there, the field takes at most four digits.
        function test_fieldEditing_data() {
            return [
                { tag: "cleared reads zero", props: { minValue: 1, maxValue: 100, textValue: "5" },
                  keys: [Qt.Key_Backspace, Qt.Key_Return], text: "0", events: ["input:5", "end:0"] },
                { tag: "above the maximum", props: { minValue: 0, maxValue: 255 },
                  keys: [Qt.Key_3, Qt.Key_0, Qt.Key_0, Qt.Key_Return], text: "255" },
                { tag: "four digits", props: { minValue: 0, maxValue: 99999 },
                  keys: [Qt.Key_1, Qt.Key_2, Qt.Key_3, Qt.Key_4, Qt.Key_5], text: "1234", editing: true },
            ]
        }

        function test_fieldEditing(data) {
            const input = make(inputComponent, data.props)
            const events = []
            input.inputSignal.connect(() => events.push("input:" + input.textValue))
            input.endInputSignal.connect(() => events.push("end:" + input.textValue))
            // closeFocus while not editing does nothing.
            input.closeFocus()
            compare(events, [])
            mouseClick(input)
            input.txtInput.selectAll()
            for (const key of data.keys)
                keyClick(key)
            compare([input.textValue, input.txtInput.activeFocus], [data.text, !!data.editing])
            if (data.events)
                compare(events, data.events)
            if (data.editing) {
                input.closeFocus()
                compare([input.txtInput.activeFocus, input.txtInput.selectedText, events.length],
                        [false, "", 2])
            }
        }

        // Tab reaches the control; the key then does what a click does, in
        // the same order (a check box still reports before it toggles).
        // A click, or the key once Tab has reached the control, reports in
        // the same order: a check box before it toggles, a radio after it
        // is selected (and it stays selected).
        function test_keysActivate_data() {
            return [
                { tag: "check box, Space", component: checkComponent, key: Qt.Key_Space,
                  seen: [[5, false]], selected: true },
                { tag: "check box, Return", component: checkComponent, key: Qt.Key_Return,
                  seen: [[5, false]], selected: true },
                { tag: "check box, clicked twice", component: checkComponent, clicks: 2,
                  seen: [[5, false], [5, true]], selected: false },
                { tag: "radio, Space", component: radioComponent, key: Qt.Key_Space,
                  seen: [[5, true]], selected: true },
                { tag: "radio, Enter", component: radioComponent, key: Qt.Key_Enter,
                  seen: [[5, true]], selected: true },
                { tag: "radio, clicked twice", component: radioComponent, clicks: 2,
                  seen: [[5, true], [5, true]], selected: true },
                { tag: "text button, Space", component: textButtonComponent, key: Qt.Key_Space,
                  signalName: "clicked", seen: [[undefined, undefined]] },
                { tag: "image button, Return", component: imageButtonComponent, key: Qt.Key_Return,
                  signalName: "clicked", seen: [[undefined, undefined]], toolTip: "Help" },
            ]
        }

        function test_keysActivate(data) {
            const control = make(data.component)
            if (data.selected !== undefined)
                control.index = 5
            const seen = []
            control[data.signalName || "btnClick"].connect((index) => seen.push([index, control.isSelect]))
            if (data.clicks) {
                for (let i = 0; i < data.clicks; ++i)
                    mouseClick(control)
            } else {
                elsewhere.forceActiveFocus()
                keyClick(Qt.Key_Tab)
                verify(control.activeFocus)
                if (data.toolTip) {
                    // Icon-only: its name shows as a tooltip while it has the focus.
                    const tip = child(control, "toolTip")
                    compare([tip.visible, tip.text], [true, data.toolTip])
                }
                keyClick(Qt.Key_A)       // not an activating key
                compare(seen, [])
                keyClick(data.key)
            }
            compare(seen, data.seen)
            if (data.selected !== undefined)
                compare(control.isSelect, data.selected)
        }

        function test_tabLeavesTheFieldAndArrowsWalkTheRadios() {
            const input = make(inputComponent, { textValue: "12" })
            const first = make(radioComponent, { y: 80, index: 0 })
            const second = make(radioComponent, { y: 110, index: 1 })
            const ended = spy(input, "endInputSignal")
            const chosen = []
            first.btnClick.connect((index) => chosen.push(index))
            second.btnClick.connect((index) => chosen.push(index))
            mouseClick(input)
            keyClick(Qt.Key_Tab)
            compare(input.textValue, "12")
            compare(ended.count, 1)
            verify(first.activeFocus)
            keyClick(Qt.Key_Down)
            verify(second.activeFocus)
            compare(chosen, [1])
            verify(second.isSelect)
            keyClick(Qt.Key_Up)
            verify(first.activeFocus)
            compare(chosen, [1, 0])
        }

        // A shown popup menu holds the keys; closing gives them back.
        function test_popupMenuKeys() {
            const field = make(inputComponent)
            const menu = make(popupComponent)
            const chosen = spy(menu, "chosen")
            field.txtInput.forceActiveFocus()
            menu.visible = true
            verify(menu.activeFocus)
            for (const key of [Qt.Key_Down, Qt.Key_Down, Qt.Key_Down, Qt.Key_Return])
                keyClick(key)
            compare(args(chosen), [[2]])
            keyClick(Qt.Key_Escape)
            verify(!menu.visible)
            verify(field.txtInput.activeFocus)
        }
    }
}
