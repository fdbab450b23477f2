import QtQuick
import QtTest
import "qrc:/modules/qml/common"

// RectInput, CheckBox, RadioButton and the buttons' keys.
Item {
    id: scene

    width: 400
    height: 300

    Component {
        id: inputComponent

        RectInput {
            x: 20
            y: 20
        }
    }

    Component {
        id: checkComponent

        CheckBox {
            x: 40
            y: 40
            textValue: "Endless"
        }
    }

    Component {
        id: radioComponent

        RadioButton {
            x: 40
            y: 40
            textValue: "Rows"
        }
    }

    Component {
        id: textButtonComponent

        TextButton {
            x: 40
            y: 120
            textValue: "Save"
        }
    }

    Component {
        id: imageButtonComponent

        ImageButton {
            x: 40
            y: 120
            width: 16
            height: 16
            description: "Help"
        }
    }

    Component {
        id: popupComponent

        PopupMenu {
            x: 200
            y: 20
            entries: ["Delete", "Import", "Export"]
        }
    }

    Item {
        id: elsewhere

        focus: true
    }

    SceneTestCase {
        name: "SimpleControls"

        function makeInput(properties) {
            const input = createTemporaryObject(inputComponent, scene, properties)
            verify(input)
            return input
        }

        function test_clearedFieldReadsZeroAfterEditing() {
            const input = makeInput({ minValue: 1, maxValue: 100 })
            input.textValue = "5"
            const events = []
            input.inputSignal.connect(() => events.push("input:" + input.textValue))
            input.endInputSignal.connect(() => events.push("end:" + input.textValue))
            mouseClick(input)
            verify(input.txtInput.activeFocus)
            input.txtInput.selectAll()
            keyClick(Qt.Key_Backspace)
            compare(input.textValue, "")
            keyClick(Qt.Key_Return)
            verify(!input.txtInput.activeFocus)
            compare(input.textValue, "0")
            compare(events, ["input:5", "end:0"])
        }

        function test_validatorAndLength() {
            const input = makeInput({ minValue: 0, maxValue: 255 })
            mouseClick(input)
            input.txtInput.selectAll()
            keyClick(Qt.Key_3)
            keyClick(Qt.Key_0)
            keyClick(Qt.Key_0)
            // 300 is above 255: held at the maximum once editing ends.
            keyClick(Qt.Key_Return)
            compare(input.textValue, "255")

            const wide = makeInput({ minValue: 0, maxValue: 99999 })
            mouseClick(wide)
            wide.txtInput.selectAll()
            for (const key of [Qt.Key_1, Qt.Key_2, Qt.Key_3, Qt.Key_4, Qt.Key_5])
                keyClick(key)
            compare(wide.textValue, "1234")
        }

        function test_closeFocusEndsEditing() {
            const input = makeInput({})
            const ended = spy(input, "endInputSignal")
            input.closeFocus()
            compare(ended.count, 0)     // not editing: nothing happens
            mouseClick(input)
            input.txtInput.selectAll()
            input.closeFocus()
            verify(!input.txtInput.activeFocus)
            compare(input.txtInput.selectedText, "")
            compare(ended.count, 1)
        }

        function test_checkBoxReportsBeforeItToggles() {
            const box = createTemporaryObject(checkComponent, scene, { index: 7 })
            const seen = []
            box.btnClick.connect((index) => seen.push([index, box.isSelect]))
            mouseClick(box)
            compare(seen, [[7, false]])
            verify(box.isSelect)
            mouseClick(box)
            compare(seen[1], [7, true])
            verify(!box.isSelect)
        }

        function test_checkBoxMargin_data() {
            return [
                { tag: "5 px left", dx: -5, clicks: 1 },
                { tag: "6 px above", dy: -6, clicks: 1 },
                { tag: "8 px left", dx: -8, clicks: 0 },
                { tag: "8 px below", dy: 8, clicks: 0 },
            ]
        }

        function test_checkBoxMargin(data) {
            const box = createTemporaryObject(checkComponent, scene)
            const clicks = spy(box, "btnClick")
            const x = data.dx === undefined ? box.width / 2 : (data.dx < 0 ? data.dx : box.width + data.dx)
            const y = data.dy === undefined ? box.height / 2 : (data.dy < 0 ? data.dy : box.height + data.dy - 1)
            mouseClick(box, x, y)
            compare(clicks.count, data.clicks)
        }

        // Tab reaches the control; the key then does what a click does, in
        // the same order (a check box still reports before it toggles).
        function test_keysActivate_data() {
            return [
                { tag: "check box, Space", component: checkComponent, key: Qt.Key_Space,
                  signalName: "btnClick", seen: [[5, false]], selected: true },
                { tag: "check box, Return", component: checkComponent, key: Qt.Key_Return,
                  signalName: "btnClick", seen: [[5, false]], selected: true },
                { tag: "radio, Space", component: radioComponent, key: Qt.Key_Space,
                  signalName: "btnClick", seen: [[5, true]], selected: true },
                { tag: "radio, Enter", component: radioComponent, key: Qt.Key_Enter,
                  signalName: "btnClick", seen: [[5, true]], selected: true },
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
            control[data.signalName].connect((index) => seen.push([index, control.isSelect]))
            elsewhere.forceActiveFocus()
            keyClick(Qt.Key_Tab)
            verify(control.activeFocus)
            if (data.toolTip) {
                // Icon-only: its name shows as a tooltip while it has the focus.
                const tip = findChild(control, "toolTip")
                verify(tip.visible)
                compare(tip.text, data.toolTip)
            }
            keyClick(Qt.Key_A)       // not an activating key
            compare(seen, [])
            keyClick(data.key)
            compare(seen, data.seen)
            if (data.selected !== undefined)
                compare(control.isSelect, data.selected)
        }

        function test_tabLeavesTheFieldAndArrowsWalkTheRadios() {
            const input = makeInput({ textValue: "12" })
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
            const field = makeInput({})
            const menu = make(popupComponent)
            const chosen = spy(menu, "chosen")
            field.txtInput.forceActiveFocus()
            menu.visible = true
            verify(menu.activeFocus)
            keyClick(Qt.Key_Down)
            keyClick(Qt.Key_Down)
            keyClick(Qt.Key_Down)
            keyClick(Qt.Key_Return)
            compare(chosen.count, 1)
            compare(chosen.signalArguments[0][0], 2)
            keyClick(Qt.Key_Escape)
            verify(!menu.visible)
            verify(field.txtInput.activeFocus)
        }

        function test_radioSelectsThenReports() {
            const radio = createTemporaryObject(radioComponent, scene, { index: 3 })
            const seen = []
            radio.btnClick.connect((index) => seen.push([index, radio.isSelect]))
            mouseClick(radio)
            compare(seen, [[3, true]])
            mouseClick(radio, -5, radio.height / 2)
            compare(seen, [[3, true], [3, true]])
            verify(radio.isSelect)
        }
    }
}
