import QtQuick
import QtTest
import "qrc:/modules/qml/common"

// RectInput, CheckBox, RadioButton and the buttons' keys.
Item {
    width: 400; height: 300

    Component { id: inputComponent; RectInput { x: 20; y: 20 } }
    Component { id: checkComponent; CheckBox { x: 40; y: 40; textValue: "Endless" } }
    Component { id: radioComponent; RadioButton { x: 40; y: 40; textValue: "Rows" } }
    Component { id: textButtonComponent; TextButton { x: 40; y: 120; textValue: "Save" } }
    Component { id: imageButtonComponent; ImageButton { x: 40; y: 120; width: 16; height: 16; description: "Help" } }
    Component { id: popupComponent; PopupMenu { x: 200; y: 20; entries: ["Delete", "Import", "Export"] } }
    Item { id: elsewhere; focus: true }

    SceneTestCase {
        name: "SimpleControls"

        // Return ends editing (cleared reads 0, past the maximum held there, four digits at most), closeFocus too.
        function test_fieldEditing_data() {
            return [["cleared reads zero", { minValue: 1, maxValue: 100, textValue: "5" }, [Qt.Key_Backspace, Qt.Key_Return], "0", ["input:5", "end:0"]],
                    ["above the maximum", { maxValue: 255 }, [Qt.Key_3, Qt.Key_0, Qt.Key_0, Qt.Key_Return], "255", ["input:0", "end:255"]],
                    ["four digits", { maxValue: 99999 }, [Qt.Key_1, Qt.Key_2, Qt.Key_3, Qt.Key_4, Qt.Key_5], "1234", ["input:0", "end:1234"]],
            ].map((r) => ({ tag: r[0], props: r[1], keys: r[2], text: r[3], events: r[4] }))
        }

        function test_fieldEditing(data) {
            const input = make(inputComponent, data.props)
            const events = []
            input.inputSignal.connect(() => events.push("input:" + input.textValue))
            input.endInputSignal.connect(() => events.push("end:" + input.textValue))
            input.closeFocus()
            mouseClick(input)
            input.txtInput.selectAll()
            for (const key of data.keys)
                keyClick(key)
            input.closeFocus()
            compare([input.textValue, events, input.txtInput.activeFocus, input.txtInput.selectedText], [data.text, data.events, false, ""])
        }

        // A click, or the key once Tab has reached the control (not another key), reports in the same order: a check box
        // before it toggles, a radio after it is selected (and stays); an icon-only button shows its name when focused.
        function test_keysActivate_data() {
            return [["check box, Space", checkComponent, Qt.Key_Space, [[5, false]], true],
                    ["check box, Return", checkComponent, Qt.Key_Return, [[5, false]], true],
                    ["check box, clicked twice", checkComponent, 0, [[5, false], [5, true]], false],
                    ["radio, Space", radioComponent, Qt.Key_Space, [[5, true]], true],
                    ["radio, Enter", radioComponent, Qt.Key_Enter, [[5, true]], true],
                    ["radio, clicked twice", radioComponent, 0, [[5, true], [5, true]], true],
                    ["text button, Space", textButtonComponent, Qt.Key_Space, [[undefined, undefined]]],
                    ["image button, Return", imageButtonComponent, Qt.Key_Return, [[undefined, undefined]], undefined, "Help"],
            ].map((r) => ({ tag: r[0], component: r[1], keys: r[2] ? [Qt.Key_Tab, Qt.Key_A, r[2]] : [0, 0], seen: r[3],
                            selected: r[4], toolTip: r[5] }))
        }

        function test_keysActivate(data) {
            const control = make(data.component, data.selected === undefined ? {} : { index: 5 })
            const seen = []
            control[data.selected === undefined ? "clicked" : "btnClick"].connect((index) => seen.push([index, control.isSelect]))
            elsewhere.forceActiveFocus()
            for (const key of data.keys)
                key ? keyClick(key) : mouseClick(control)
            if (data.toolTip)
                compare([child(control, "toolTip").visible, child(control, "toolTip").text], [true, data.toolTip])
            compare([seen, control.isSelect], [data.seen, data.selected])
        }

        // An icon-only button's tooltip shows after a hover, goes with a press and stays away
        // until the pointer leaves.
        function test_toolTipGoesWithAPress() {
            const button = make(imageButtonComponent, {})
            const tip = child(button, "toolTip")
            mouseMove(button, 5, 5)
            tryVerify(() => tip.visible, 2000)
            mousePress(button, 5, 5)
            const seen = [tip.visible]
            mouseRelease(button, 5, 5)
            wait(50)
            seen.push(tip.visible)
            mouseMove(button, -20, -20)
            mouseMove(button, 5, 5)
            tryVerify(() => tip.visible, 2000)
            compare(seen, [false, false])
        }

        // Tab ends editing without a change; arrows walk a radio group and choose as they go;
        // a shown popup menu holds the keys, closing gives them back.
        function test_focusWalks() {
            const input = make(inputComponent, { textValue: "12" })
            const radios = [80, 110].map((y, index) => make(radioComponent, { y, index, objectName: "radio" + index }))
            const ended = spy(input, "endInputSignal")
            const chosen = []
            radios.forEach((radio) => radio.btnClick.connect((index) => chosen.push(index + ":" + radios[index].isSelect)))
            mouseClick(input)
            const walked = walk([Qt.Key_Tab, Qt.Key_Down, Qt.Key_Up], focusName)
            compare([input.textValue, ended.count, walked, chosen], ["12", 1, ["radio0", "radio1", "radio0"], ["1:true", "0:true"]])
            const menu = make(popupComponent)
            const picked = spy(menu, "chosen")
            input.txtInput.forceActiveFocus()
            menu.visible = true
            for (const key of [Qt.Key_Down, Qt.Key_Down, Qt.Key_Down, Qt.Key_Return, Qt.Key_Escape])
                keyClick(key)
            compare([args(picked), menu.visible, input.txtInput.activeFocus], [[[2]], false, true])
        }
    }
}
