import QtQuick
import QtTest
import "qrc:/modules/qml/screens"

// The button screens over a real view and a copy of the factory data; the key naming records the macros it is sent.
Item {
    width: 1024; height: 640

    Component {
        id: screensComponent

        Item {
            property var parts: ({ picture: picture, panel: panel, dialog: dialog, editor: editor })

            anchors.fill: parent

            KeyNaming {
                id: editor; property var sent: []
                function sendMacro(index: int, macroName: string) { sent = sent.concat([[index, macroName]]) }
            }

            Mouse { id: picture; anchors.fill: parent; keyMatrix: panel; onOpenKey: (index) => dialog.show(index) }

            KeyMatrix {
                id: panel; x: 24; y: 88; mousePicture: picture; keyNames: editor; assigning: dialog.visible
                onOpenKey: (index) => dialog.show(index)
            }

            KeyAssigment { id: dialog; z: 11; visible: false; keyMatrix: panel; mousePicture: picture; keyNames: editor }
        }
    }

    SceneTestCase {
        name: "KeyMatrix"

        property var s
        property var dialog

        function makeScreens() {
            s = make(screensComponent).parts
            dialog = s.dialog
            dialog.init()
            s.panel.load(ui_View.profileSettings(false).keys, ui_View.profileSettings(true).keys)
            waitForRendering(s.panel) // rows and options are placed when the window is polished
        }

        // The codes of row `i`, or pending in the dialog without `i`.
        function codes(i) {
            const from = i === undefined ? dialog : s.panel.modKeys.get(i)
            return [from.keyCode0, from.keyCode1, from.keyCode2, from.keyCode3]
        }

        function row(i) { return child(s.panel, "keyRow" + i) }

        function rowText(i) { return findChild(row(i), "keyText").text }

        function openRow(i) { mouseClick(row(i)); waitForRendering(dialog) }

        function close() { mouseClick(child(dialog, "closeMark")); verify(!dialog.visible) }

        // Scrolls the dialog's page so that `name` shows, then clicks it.
        function clickOnPage(name, x, y) {
            const [item, page] = [child(dialog, name), child(dialog, "page")]
            page.contentY = Math.max(0, Math.min(page.contentHeight - page.height, item.mapToItem(page.contentItem, 0, 0).y - 40))
            waitForRendering(dialog)
            mouseClick(item, x === undefined ? item.width / 2 : x, y === undefined ? item.height / 2 : y)
            return item
        }

        // A table without a left click gets one back, the last one is refused; Restore all brings back the factory's;
        // missing records show the built-in ones.
        function test_layoutLastLeftClickAndRestoreAll() {
            const factory = "modules/setting/pD.bin"
            testData.write(factory, testData.read(factory).replace("2=0, 0, 242, 0", "2=4, 1, 2, 0"))
            testData.reopen()
            ui_View.setData("mouseMacroKey/2", "Burst")
            for (let k = 0; k < 16; ++k)
                ui_View.setDataList("mouseKeyMatrix/" + k, [7, 0, 0xE0, 4])
            makeScreens()
            const notices = spy(ui_View, "userNotice")
            mouseClick(row(0))
            wait(0) // each refusal is told once per turn
            mouseClick(child(s.picture.callOut(0), "badge"))
            s.picture.keyCount = 14
            const refused = ["At least one button must stay a left click."]
            compare([codes(0), rowText(0), codes(1), dialog.visible, s.picture.selectKey, args(notices), row(13).visible,
                     s.picture.callOut(13).visible, s.panel.rowName(13)],
                    [[0, 0, 0xF0, 0], "Left Key", [7, 0, 0xE0, 4], false, -1, [refused, refused], true, true, "Key 14"])
            verify(s.panel.y + s.panel.height <= 88 + 330 && dialog.height <= 640)
            mouseClick(child(s.panel, "restoreAllMark"))
            compare([codes(1), codes(2), rowText(2), s.panel.isSave, s.editor.sent],
                    [[0, 0, 0xF1, 0], [4, 1, 2, 0], "Burst", true, [[2, "Burst"]]])
            s.panel.load([], []) // records missing: the buttons' built-in assignments
            compare([3, 7, 8, 15].map(codes), [[0, 0, 0xF4, 0], [0, 0xF0, 0x1E, 2], [0, 0, 0, 0], [0xFF, 0, 2, 0]])
        }

        // Combinations, fire keys' rate and count; from the keyboard a capture starts on the release, ends on the last key.
        function test_captures() {
            makeScreens()
            openRow(3)
            for (const [answer, keys] of [["comboCancel", [0x04]], ["comboConfirm", [0xE0, 0xE1, 0x04, 0x05]]]) {
                clickOnPage("comboBox")
                for (const code of keys)
                    [true, false].forEach((down) => dialog.detectKeyboard(down, code, 1))
                mouseClick(child(dialog, answer))
            }
            close()
            compare([codes(3), rowText(3), s.panel.isSave], [[2, 3, 4, 5], "LCtrl + LShift + A + B", true])
            const [rateSlider, countField, endless] = ["rateSlider", "countField", "endlessBox"].map((n) => child(dialog, n))
            openRow(4)
            clickOnPage("fireKeyBox")
            dialog.detectKeyboard(false, 0x07, 0)
            rateSlider.sliderControl.setValue(79)
            rateSlider.valueChange(79)
            clickOnPage("countField")
            typeInto(countField, "300")
            compare([dialog.isFireInput, dialog.keyString, rateSlider.textValue, codes(), endless.isSelect],
                    [false, "D", "80MS", [1, 0x07, 80, 255], false])
            clickOnPage("endlessBox", endless.width - 6, 6)
            close()
            compare([codes(4), rowText(4), countField.textValue], [[1, 0x07, 80, 0], "D", "0"])
            openRow(5)
            const stops = ["fireKeyStop", "comboStop"].map((name) => child(dialog, name))
            stops[0].forceActiveFocus(Qt.TabFocusReason)
            const started = walk([() => keyPress(Qt.Key_Space), () => keyRelease(Qt.Key_Space)], () => dialog.isFireInput)
            dialog.detectKeyboard(true, 0x07, 0)
            compare([started, codes(), stops[0].Accessible.name], [[false, true], [1, 0x07, 10, 0], "Key Value: D"])
            stops[1].forceActiveFocus(Qt.TabFocusReason)
            keyClick(Qt.Key_Return)
            const seen = walk([[false, 0x28], [true, 0xE0], [true, 0x04], [false, 0x04], [false, 0xE0]]
                              .map(([down, code]) => () => dialog.detectKeyboard(down, code, 1)), () => dialog.isComboInput)
            compare([seen, codes(), dialog.keyString], [[true, true, true, true, false], [2, 1, 4, 0], "LCtrl + A"])
            // The page follows the focus below the fold and back: [scrolled by, in view].
            const page = child(dialog, "page")
            const paged = ["gunRadio0", "mouseRadio0"].map((name) => child(dialog, name)).map((item) => {
                item.forceActiveFocus(Qt.TabFocusReason)
                const top = item.mapToItem(page, 0, 0).y
                return [page.contentY, top >= 0 && top + item.height <= page.height]
            })
            compare([paged[0][0] > 0, paged[1][0] < paged[0][0], paged[0][1], paged[1][1]], [true, true, true, true])
        }

        // What the dialog shows lit: radios, grid cells, captured keys, the macro.
        function litChoices() {
            const radios = ["mouseRadio", "dpiRadio", "gunRadio", "macroMode"].map((name) =>
                Array.from({ length: 10 }, (_, i) => findChild(dialog, name + i)).filter((r) => r && r.isSelect))
            const grids = ["mediaGrid", "windowsGrid", "shortcutGrid", "macroList"].map((name) => child(dialog, name))
            return [].concat(...radios).map((r) => r.objectName).concat(
                grids.filter((g) => g.currentSelect >= 0).map((g) => g.objectName + ":" + g.textValue),
                dialog.fireKeyText ? ["fire:" + dialog.fireKeyText] : [], dialog.comboText ? ["combo:" + dialog.comboText] : [])
        }

        // The dialog opens on button 6's own record whatever another button chose; a click on its page assigns `after`.
        function test_dialog_data() {
            return [{ tag: "sniper, max window", codes: [5, 0, 4, 0], lit: ["dpiRadio3"], item: "windowsGrid",
                      row: 1, after: [6, 4, 0x2C, 0x1B], text: "Max" },
                    { tag: "copy, macro", codes: [7, 0, 0xE0, 6], lit: ["shortcutGrid:Copy"], mode: "macroMode2",
                      item: "macroList", row: 1, after: [4, 2, 5, 0], text: "M1" },
                    { tag: "fire, restore", codes: [1, 0x07, 33, 5], lit: ["fire:D"], rate: "33MS", count: "5",
                      item: "restoreMark", after: [5, 0, 1, 0], text: "DPI+" },
                    { tag: "combination, nothing", codes: [2, 3, 4, 5], lit: ["combo:LCtrl+LShift+A+B"],
                      item: "", after: [2, 3, 4, 5], text: "LCtrl+LShift+A+B" },
                    { tag: "macro, double click", codes: [4, 2, 3, 0], lit: ["macroMode2", "macroList:M1"], macroMode: 2,
                      item: "mouseRadio5", after: [0, 0xF0, 0x1E, 2], text: "Double Fire" },
                    { tag: "unassigned, three gun", codes: [0, 0, 0, 0], lit: [] }]
        }

        function test_dialog(data) {
            ui_View.updataNameList(0, ["M0", "M1"])
            ui_View.setData("mouseMacroKey/3", "M1")
            makeScreens()
            const [rateSlider, countField] = [child(dialog, "rateSlider"), child(dialog, "countField")]
            openRow(1)
            for (const [radio, index] of [["mouseRadio1", 1], ["dpiRadio0", 0], ["macroMode1", 1]])
                child(dialog, radio).btnClick(index)
            rateSlider.valueChange(59)
            countField.textValue = "9"
            dialog.startFireInput()
            dialog.detectKeyboard(true, 0x16, 0)
            close()
            s.panel.isSave = false
            const c = data.codes
            s.panel.modKeys.set(5, { keyCode0: c[0], keyCode1: c[1], keyCode2: c[2], keyCode3: c[3],
                                     keyText: dialog.keyCodeToString(...c) })
            openRow(5)
            compare([codes(), litChoices(), rateSlider.textValue, countField.textValue,
                     child(dialog, "endlessBox").isSelect, dialog.macroMode],
                    [c, data.lit, data.rate || "10ms", data.count || "0", !data.count, data.macroMode || 0])
            const item = data.item === undefined ? "gunRadio2" : data.item
            if (data.mode)
                clickOnPage(data.mode, 5, 5)
            if (data.row)
                pickRow(clickOnPage(item, 10, 12), data.row) // the click on the page opens it
            else if (item)
                clickOnPage(item, 5, 5)
            else
                dialog.keyString = "Something"
            const [text, after] = [data.text || "Three Gun", data.after || [8, 0, 3, 0]]
            tryCompare(dialog, "keyString", item ? text : "Something", 1000)
            compare(s.editor.sent, [])
            close()
            compare([codes(5), rowText(5), s.panel.isSave, s.editor.sent, ui_View.getData("mouseMacroKey/5", false) || ""],
                    [after, text, after.join() !== c.join(), text === "M1" ? [[5, "M1"]] : [], text === "M1" ? "M1" : ""])
        }
    }
}
