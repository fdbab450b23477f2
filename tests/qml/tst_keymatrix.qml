import QtQuick
import QtTest
import "qrc:/modules/qml/screens"

// The button screens (picture, key panel, assignment dialog) over a real view
// and a temporary copy of the factory data. Stand-in key names record the
// macros the screens send.
Item {
    id: scene

    width: 1024
    height: 640

    Component {
        id: screensComponent

        Item {
            property alias picture: picture
            property alias panel: panel
            property alias dialog: dialog
            property alias editor: editor

            anchors.fill: parent

            // Records the macros sent instead of sending them.
            KeyNaming {
                id: editor

                property var sent: []

                function sendMacro(index: int, macroName: string) {
                    sent = sent.concat([[index, macroName]])
                }
            }

            Mouse {
                id: picture

                anchors.fill: parent
                keyMatrix: panel
                onOpenKey: (index) => dialog.show(index)
            }

            KeyMatrix {
                id: panel

                x: 24
                y: 88
                mousePicture: picture
                keyNames: editor
                assigning: dialog.visible
                onOpenKey: (index) => dialog.show(index)
            }

            KeyAssigment {
                id: dialog

                z: 11
                visible: false
                keyMatrix: panel
                mousePicture: picture
                keyNames: editor
            }
        }
    }

    SceneTestCase {
        name: "KeyMatrix"

        property var s
        property var dialog

        function makeScreens() {
            s = make(screensComponent)
            dialog = s.dialog
            dialog.init()
            s.panel.init(false, false)
            // Rows and options are placed when the window is polished.
            waitForRendering(s)
        }

        function codes(i) {
            const e = s.panel.modKeys.get(i)
            return [e.keyCode0, e.keyCode1, e.keyCode2, e.keyCode3]
        }

        function pending() {
            return [dialog.keyCode0, dialog.keyCode1, dialog.keyCode2, dialog.keyCode3]
        }

        function row(i) {
            return child(s.panel, "keyRow" + i)
        }

        function rowText(i) {
            return findChild(row(i), "keyText").text
        }

        function badge(i) {
            return child(s.picture.callOut(i), "badge")
        }

        function openRow(i) {
            mouseClick(row(i))
            verify(dialog.visible, "dialog for button " + (i + 1))
            waitForRendering(dialog)
            compare(s.picture.selectKey, i)
        }

        function close() {
            mouseClick(child(dialog, "closeMark"))
            verify(!dialog.visible)
        }

        // Scrolls the dialog's page so that `name` shows, then clicks it.
        function clickOnPage(name, x, y) {
            const item = child(dialog, name)
            const page = child(dialog, "page")
            const top = item.mapToItem(page.contentItem, 0, 0).y
            page.contentY = Math.max(0, Math.min(page.contentHeight - page.height, top - 40))
            waitForRendering(dialog)
            mouseClick(item, x === undefined ? item.width / 2 : x, y === undefined ? item.height / 2 : y)
            return item
        }

        // A stored table without a left click gets the first one back.
        // Fourteen buttons still fit above the lighting panel; rows beyond
        // the button count are hidden but still stored; the dialog fits the
        // window, and dragging its rate slider holds its page.
        function test_layout() {
            ui_View.mouseSetKeyMatrix([].concat(...new Array(16).fill([7, 0, 0xE0, 4])), false, [])
            makeScreens()
            compare([codes(0), rowText(0), codes(1)], [[0, 0, 0xF0, 0], "Left Key", [7, 0, 0xE0, 4]])
            compare([row(7).visible, row(8).visible], [true, false])
            s.picture.keyCount = 14
            compare([row(13).visible, s.picture.callOut(13).visible, s.panel.rowName(13)],
                    [true, true, "Key 14"])
            verify(s.panel.y + s.panel.height <= 88 + 330)
            mouseClick(badge(11))
            compare(s.picture.selectKey, 11)
            verify(dialog.height <= 640)
            const page = child(dialog, "page")
            for (const dragging of [true, false]) {
                child(dialog, "rateSlider").dragSignal(dragging)
                compare(page.interactive, !dragging)
            }
            close()
            s.picture.keyCount = 5
            compare([row(4).visible, row(5).visible, s.picture.callOut(5).visible], [true, false, false])
            s.panel.modKeys.set(15, { keyCode0: 7, keyCode1: 0, keyCode2: 0xE0, keyCode3: 6, keyText: "" })
            s.panel.modKeys.saveData()
            testData.reopen()
            compare(ui_View.mouseGetKeydefine(15, false), ["7", "0", "224", "6"])
        }

        // The last left click is refused from its row and its badge; with
        // two, either opens until one is reassigned.
        function test_lastLeftClickCannotBeOpened() {
            const src = []
            for (let i = 0; i < 16; ++i)
                src.push(0, 0, i < 2 ? 0xF0 : 0xF2, 0)
            ui_View.mouseSetKeyMatrix(src, false, [])
            makeScreens()
            const notices = spy(ui_View, "userNotice")
            mouseClick(badge(0))
            verify(dialog.visible)
            close()
            openRow(1)
            clickOnPage("dpiRadio0", 5, 5)
            close()
            compare(codes(1), [5, 0, 1, 0])
            mouseClick(row(0))
            mouseClick(badge(0))
            compare([dialog.visible, s.picture.selectKey], [false, -1])
            const reason = "At least one button must stay a left click."
            compare(notices.signalArguments.map((args) => args[0]), [reason, reason])
        }

        function test_captures() {
            makeScreens()
            openRow(3)
            // Empty or cancelled, a combination assigns nothing.
            clickOnPage("comboBox")
            mouseClick(child(dialog, "comboConfirm"))
            clickOnPage("comboBox")
            dialog.detectKeyboard(true, 0x04, 1)
            mouseClick(child(dialog, "comboCancel"))
            compare([dialog.comboText, pending()], ["", [0, 0, 0xF4, 0]])
            clickOnPage("comboBox")
            for (const code of [0xE0, 0xE1, 0x04, 0x05, 0x06]) {
                dialog.detectKeyboard(true, code, 1)
                dialog.detectKeyboard(false, code, 1)
            }
            compare([dialog.comboText, dialog.comboCount], ["LCtrl + LShift + A + B", 2])
            mouseClick(child(dialog, "comboConfirm"))
            compare([dialog.isComboInput, pending(), dialog.keyString],
                    [false, [2, 3, 4, 5], "LCtrl + LShift + A + B"])
            close()
            compare([codes(3), s.panel.isSave], [[2, 3, 4, 5], true])
            s.panel.modKeys.saveData()
            s.panel.init(false, false)
            compare(rowText(3), "LCtrl+LShift+A+B")

            // A fire key: endless at 10 ms until a rate and a count are set.
            const rateSlider = child(dialog, "rateSlider")
            const countField = child(dialog, "countField")
            openRow(4)
            compare(rateSlider.textValue, "10ms")
            clickOnPage("fireKeyBox")
            verify(dialog.isFireInput)
            dialog.detectKeyboard(false, 0x07, 0)
            compare([dialog.isFireInput, pending(), dialog.keyString], [false, [1, 0x07, 10, 0], "D"])
            rateSlider.sliderControl.setValue(79)
            rateSlider.valueChange(79)
            compare([rateSlider.textValue, dialog.keyCode2], ["80MS", 80])
            clickOnPage("countField")
            typeInto(countField, "25")
            const endless = child(dialog, "endlessBox")
            compare([dialog.keyCode3, endless.isSelect], [25, false])
            clickOnPage("endlessBox", endless.width - 6, 6)
            compare([endless.isSelect, countField.textValue, dialog.keyCode3], [true, "0", 0])
            close()
            compare([codes(4), rowText(4)], [[1, 0x07, 80, 0], "D"])
            // Captures still running end with the dialog.
            openRow(4)
            dialog.startFireInput()
            dialog.startComboInput()
            close()
            compare([dialog.isFireInput, dialog.isComboInput], [false, false])
        }

        function test_restoreAllSendsFactoryMacros() {
            // A factory table with a macro on button 3 (slot 2).
            testData.write("modules/setting/pD.bin", testData.read("modules/setting/pD.bin")
                           .replace("2=0, 0, 242, 0", "2=4, 1, 2, 0"))
            testData.reopen()
            ui_View.setData("mouseMacroKey/2", "Burst")
            makeScreens()
            s.panel.modKeys.set(0, { keyCode0: 5, keyCode1: 0, keyCode2: 3, keyCode3: 0, keyText: "" })
            mouseClick(child(s.panel, "restoreAllMark"))
            compare([codes(0), codes(2), rowText(2), s.panel.isSave],
                    [[0, 0, 0xF0, 0], [4, 1, 2, 0], "Burst", true])
            compare(s.editor.sent, [[2, "Burst"]])
        }

        // What the dialog shows lit: radios, grid cells, captured keys and
        // the chosen macro.
        function litChoices() {
            const lit = []
            for (const name of ["mouseRadio", "dpiRadio", "gunRadio", "macroMode"]) {
                for (let i = 0; findChild(dialog, name + i); ++i) {
                    if (findChild(dialog, name + i).isSelect)
                        lit.push(name + i)
                }
            }
            for (const name of ["mediaGrid", "windowsGrid", "shortcutGrid", "macroList"]) {
                if (child(dialog, name).currentSelect >= 0)
                    lit.push(name + ":" + child(dialog, name).textValue)
            }
            if (dialog.fireKeyText !== "")
                lit.push("fire:" + dialog.fireKeyText)
            if (dialog.comboText !== "")
                lit.push("combo:" + dialog.comboText)
            return lit
        }

        // The dialog opens on button 6's own record, whatever was chosen for
        // another button before; then a click on its page (`cell` [column,
        // row] of a drop-down, `mode` first; Three Gun when none is given)
        // assigns `after`, shown as `text`.
        function test_dialog_data() {
            return [
                { tag: "forward", codes: [0, 0, 0xF4, 0], lit: ["mouseRadio3"] },
                { tag: "double click", codes: [0, 0xF0, 0x1E, 2], lit: ["mouseRadio5"] },
                { tag: "sniper, max window", codes: [5, 0, 4, 0], lit: ["dpiRadio3"], item: "windowsGrid",
                  cell: [0, 1], after: [6, 4, 0x2C, 0x1B], text: "Max" },
                // No media option is the button's, so an empty cell has none to apply.
                { tag: "sniper, empty media cell", codes: [5, 0, 4, 0], lit: ["dpiRadio3"], item: "mediaGrid",
                  cell: [2, 2], after: [5, 0, 4, 0], text: "Sniper Key" },
                { tag: "two gun", codes: [8, 0, 2, 0], lit: ["gunRadio1"] },
                { tag: "mute, dpi loop", codes: [3, 0, 0xE2, 0], lit: ["mediaGrid:Mute"], item: "dpiRadio2",
                  after: [5, 0, 3, 0], text: "DPI LOOP" },
                { tag: "max, double click", codes: [6, 4, 0x2C, 0x1B], lit: ["windowsGrid:Max"],
                  item: "mouseRadio5", after: [0, 0xF0, 0x1E, 2], text: "Double Fire" },
                // The macro goes to the mouse as the dialog closes, once.
                { tag: "copy, macro", codes: [7, 0, 0xE0, 6], lit: ["shortcutGrid:Copy"], mode: "macroMode2",
                  item: "macroList", cell: [0, 1], after: [4, 2, 5, 0], text: "M1" },
                { tag: "fire, restore", codes: [1, 0x07, 33, 5], lit: ["fire:D"], rate: "33MS", count: "5",
                  item: "restoreMark", after: [5, 0, 1, 0], text: "DPI+" },
                // Closing without a change keeps Save as it was; a text alone is dropped.
                { tag: "combination, nothing", codes: [2, 3, 4, 5], lit: ["combo:LCtrl+LShift+A+B"],
                  item: "", after: [2, 3, 4, 5], text: "LCtrl+LShift+A+B" },
                { tag: "macro", codes: [4, 2, 3, 0], lit: ["macroMode2", "macroList:M1"], macroMode: 2 },
                { tag: "unassigned", codes: [0, 0, 0, 0], lit: [] },
            ]
        }

        function test_dialog(data) {
            ui_View.updataNameList(0, ["M0", "M1"])
            ui_View.setData("mouseMacroKey/3", "M1")
            makeScreens()
            const rateSlider = child(dialog, "rateSlider")
            const countField = child(dialog, "countField")
            // Button 2 first: choices of several categories, a fire key with
            // its rate and count, macro mode 1.
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
            const before = dialog.keyCodeToString(c[0], c[1], c[2], c[3])
            s.panel.modKeys.set(5, { keyCode0: c[0], keyCode1: c[1], keyCode2: c[2], keyCode3: c[3],
                                     keyText: before })
            openRow(5)
            compare([pending(), litChoices(), rateSlider.textValue, countField.textValue,
                     child(dialog, "endlessBox").isSelect, dialog.macroMode],
                    [c, data.lit, data.rate || "10ms", data.count || "0", !data.count, data.macroMode || 0])

            const item = data.item === undefined ? "gunRadio2" : data.item
            if (data.mode)
                clickOnPage(data.mode, 5, 5)
            if (data.cell) {
                const list = clickOnPage(item, 10, 12)
                tryVerify(() => !list.isAnimating && list.isDrop, 1000)
                mouseClick(list, list.width * data.cell[0] + 10, 24 + data.cell[1] * 24 + 12)
            } else if (item === "restoreMark") {
                mouseClick(child(dialog, item))
            } else if (item) {
                clickOnPage(item, 5, 5)
            } else {
                dialog.keyString = "Something"
            }
            const text = data.text || "Three Gun"
            if (item)
                tryCompare(dialog, "keyString", text, 1000)
            if (item === "gunRadio2")
                compare(litChoices(), ["gunRadio2"])
            const after = data.after || [8, 0, 3, 0]
            compare([pending(), s.editor.sent], [item ? after : c, []])
            close()
            compare([codes(5), rowText(5), s.panel.isSave], [after, text, after.join() !== c.join()])
            compare(s.editor.sent, data.text === "M1" ? [[5, "M1"]] : [])
            if (data.text === "M1") {
                compare(ui_View.getData("mouseMacroKey/5", false), "M1")
                // The mode changes the pending macro only while it is a macro.
                openRow(5)
                clickOnPage("macroMode0", 5, 5)
                compare(dialog.keyCode1, 0)
                close()
                compare(s.editor.sent.length, 2)
            }
        }
    }
}
