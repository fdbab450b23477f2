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

        function makeScreens() {
            const screens = make(screensComponent)
            screens.dialog.init()
            screens.panel.init(false, false)
            // Rows and options are placed when the window is polished.
            waitForRendering(screens)
            return screens
        }

        function codes(screens, i) {
            const e = screens.panel.modKeys.get(i)
            return [e.keyCode0, e.keyCode1, e.keyCode2, e.keyCode3]
        }

        function pending(dialog) {
            return [dialog.keyCode0, dialog.keyCode1, dialog.keyCode2, dialog.keyCode3]
        }

        function row(screens, i) {
            return child(screens.panel, "keyRow" + i)
        }

        function rowText(screens, i) {
            return findChild(row(screens, i), "keyText").text
        }

        function openRow(screens, i) {
            mouseClick(row(screens, i))
            verify(screens.dialog.visible, "dialog for button " + (i + 1))
            waitForRendering(screens.dialog)
            compare(screens.picture.selectKey, i)
        }

        function close(dialog) {
            mouseClick(child(dialog, "closeMark"))
            verify(!dialog.visible)
        }

        // Scrolls the dialog's page so that `item` shows, then clicks it.
        function clickOnPage(dialog, item, x, y) {
            const page = child(dialog, "page")
            const top = item.mapToItem(page.contentItem, 0, 0).y
            page.contentY = Math.max(0, Math.min(page.contentHeight - page.height, top - 40))
            waitForRendering(dialog)
            mouseClick(item, x === undefined ? item.width / 2 : x,
                       y === undefined ? item.height / 2 : y)
        }

        function test_factoryTableAndRows() {
            const screens = makeScreens()
            compare(screens.panel.modKeys.count, 16)
            compare(screens.panel.modKeys_tmp.count, 16)
            const texts = []
            for (let i = 0; i < 8; ++i)
                texts.push(rowText(screens, i))
            compare(texts, ["Left Key", "Right Key", "Middle Key", "Forward Key", "Back Key",
                            "DPI+", "DPI-", "Double Fire"])
            compare(codes(screens, 14), [255, 0, 1, 0])
            compare(screens.panel.rowName(0), "Key 1")
            verify(!row(screens, 8).visible)
            verify(screens.picture.callOut(7).visible)
            verify(!screens.picture.callOut(8).visible)
            // An untouched rate slider gives 10 ms.
            const rateSlider = child(screens.dialog, "rateSlider")
            compare(rateSlider.textValue, "10ms")
            compare(rateSlider.sliderControl.knobPosition, 9)
            // Fourteen buttons still fit above the lighting panel.
            screens.picture.keyCount = 14
            verify(row(screens, 13).visible)
            verify(screens.picture.callOut(13).visible)
            compare(screens.panel.rowName(13), "Key 14")
            verify(screens.panel.y + screens.panel.height <= 88 + 330)
            mouseClick(child(screens.picture.callOut(11), "badge"))
            verify(screens.dialog.visible)
            compare(screens.picture.selectKey, 11)
            close(screens.dialog)
        }

        // A profile written after a restart (codes as texts) reads back.
        function test_storeRoundTrip() {
            const src = []
            for (let i = 0; i < 15; ++i)
                src.push(7, 0, 0xE0, 4 + i)
            src.push(0, 0, 0xF0, 0)
            ui_View.mouseSetKeyMatrix(src, false, [9, 9, 9])
            testData.reopen()
            const screens = makeScreens()
            compare(codes(screens, 2), [7, 0, 0xE0, 6])
            compare(rowText(screens, 0), "Select All")
            compare(rowText(screens, 1), "")
            compare(codes(screens, 0), [7, 0, 0xE0, 4])
            compare(screens.panel.modKeys_tmp.get(0).keyText, "Left Key")
            screens.panel.init(false, true)
            compare(codes(screens, 2), [0, 0, 0xF2, 0])
            // A profile without any left click gets the first one back.
            ui_View.mouseSetKeyMatrix(src.slice(0, 60).concat([7, 0, 0xE0, 4]), false, [9, 9, 9])
            screens.panel.init(false, false)
            compare(codes(screens, 0), [0, 0, 0xF0, 0])
            compare(rowText(screens, 0), "Left Key")
        }

        function test_missingRecordsFallBackToTheBuiltInTable() {
            testData.write("modules/setting/p1.bin", "[mouseKeyMatrix]\n3=1, 2\n")
            testData.reopen()
            const screens = makeScreens()
            compare(codes(screens, 3), [0, 0, 0xF4, 0])
            compare(codes(screens, 7), [0, 0xF0, 0x1E, 2])
        }

        function test_lastLeftClickCannotBeOpened() {
            const screens = makeScreens()
            const notices = spy(ui_View, "userNotice")
            mouseClick(row(screens, 0))
            verify(!screens.dialog.visible)
            const badge = child(screens.picture.callOut(0), "badge")
            mouseClick(badge)
            verify(!screens.dialog.visible)
            compare(screens.picture.selectKey, -1)
            const reason = "At least one button must stay a left click."
            compare(notices.signalArguments.map((args) => args[0]), [reason, reason])
            mouseClick(row(screens, 1))
            verify(screens.dialog.visible)
            close(screens.dialog)
        }

        function test_twoLeftClicksCanBothBeOpened() {
            const src = []
            for (let i = 0; i < 16; ++i)
                src.push(0, 0, i < 2 ? 0xF0 : 0xF2, 0)
            ui_View.mouseSetKeyMatrix(src, false, [])
            const screens = makeScreens()
            const clicks = spy(screens.picture, "btnClick")
            mouseClick(child(screens.picture.callOut(0), "badge"))
            verify(screens.dialog.visible)
            compare(clicks.count, 1)
            close(screens.dialog)
            openRow(screens, 1)
            // Button 2 becomes DPI+; then button 1 is the last left click.
            clickOnPage(screens.dialog, child(screens.dialog, "dpiRadio0"), 5, 5)
            close(screens.dialog)
            compare(codes(screens, 1), [5, 0, 1, 0])
            mouseClick(row(screens, 0))
            verify(!screens.dialog.visible)
        }

        function test_closingWithoutAChangeKeepsIsSave() {
            const screens = makeScreens()
            openRow(screens, 2)
            close(screens.dialog)
            verify(!screens.panel.isSave)
            screens.panel.isSave = true
            openRow(screens, 2)
            close(screens.dialog)
            verify(screens.panel.isSave)
            // A changed text alone is dropped.
            screens.panel.isSave = false
            openRow(screens, 2)
            screens.dialog.keyString = "Something"
            close(screens.dialog)
            verify(!screens.panel.isSave)
            compare(rowText(screens, 2), "Middle Key")
            compare(screens.picture.selectKey, -1)
            // Captures still running end with the dialog.
            openRow(screens, 2)
            screens.dialog.startFireInput()
            screens.dialog.startComboInput()
            close(screens.dialog)
            verify(!screens.dialog.isFireInput && !screens.dialog.isComboInput)
        }

        function test_combinationCapture() {
            const screens = makeScreens()
            const dialog = screens.dialog
            openRow(screens, 3)
            // Empty or cancelled, a combination assigns nothing.
            clickOnPage(dialog, child(dialog, "comboBox"))
            mouseClick(child(dialog, "comboConfirm"))
            compare(pending(dialog), [0, 0, 0xF4, 0])
            clickOnPage(dialog, child(dialog, "comboBox"))
            dialog.detectKeyboard(true, 0x04, 1)
            mouseClick(child(dialog, "comboCancel"))
            compare(dialog.comboText, "")
            compare(pending(dialog), [0, 0, 0xF4, 0])
            clickOnPage(dialog, child(dialog, "comboBox"))
            verify(dialog.isComboInput)
            for (const code of [0xE0, 0xE1, 0x04, 0x05, 0x06]) {
                dialog.detectKeyboard(true, code, 1)
                dialog.detectKeyboard(false, code, 1)
            }
            compare(dialog.comboText, "LCtrl + LShift + A + B")
            compare(dialog.comboCount, 2)
            mouseClick(child(dialog, "comboConfirm"))
            verify(!dialog.isComboInput)
            compare(pending(dialog), [2, 3, 4, 5])
            compare(dialog.keyString, "LCtrl + LShift + A + B")
            close(dialog)
            compare(codes(screens, 3), [2, 3, 4, 5])
            verify(screens.panel.isSave)
            screens.panel.modKeys.saveData()
            screens.panel.init(false, false)
            compare(rowText(screens, 3), "LCtrl+LShift+A+B")
        }

        function test_fireCapture() {
            const screens = makeScreens()
            const dialog = screens.dialog
            const rateSlider = child(dialog, "rateSlider")
            const countField = child(dialog, "countField")
            const endlessBox = child(dialog, "endlessBox")
            openRow(screens, 4)
            clickOnPage(dialog, child(dialog, "fireKeyBox"))
            verify(dialog.isFireInput)
            dialog.detectKeyboard(false, 0x07, 0)
            verify(!dialog.isFireInput)
            compare(pending(dialog), [1, 0x07, 10, 0])
            compare(dialog.keyString, "D")
            verify(endlessBox.isSelect)
            // Knob to the far right of the rate slider.
            rateSlider.sliderControl.setValue(79)
            rateSlider.valueChange(79)
            compare(rateSlider.textValue, "80MS")
            compare(dialog.keyCode2, 80)
            clickOnPage(dialog, countField)
            verify(countField.txtInput.activeFocus)
            countField.txtInput.selectAll()
            keyClick("2")
            keyClick("5")
            keyClick(Qt.Key_Return)
            compare(dialog.keyCode3, 25)
            verify(!endlessBox.isSelect)
            clickOnPage(dialog, endlessBox, endlessBox.width - 6, 6)
            verify(endlessBox.isSelect)
            compare(countField.textValue, "0")
            compare(dialog.keyCode3, 0)
            close(dialog)
            compare(codes(screens, 4), [1, 0x07, 80, 0])
            compare(rowText(screens, 4), "D")
        }

        function test_gridOptions_data() {
            return [
                { tag: "max window", grid: "windowsGrid", column: 0, row: 1,
                  codes: [6, 4, 0x2C, 0x1B], text: "Max" },
                // No media option is the button's, so an empty cell has none to apply.
                { tag: "empty media cell changes nothing", grid: "mediaGrid", column: 2,
                  row: 2, codes: [5, 0, 1, 0], text: "DPI+" },
            ]
        }

        function test_gridOptions(data) {
            const screens = makeScreens()
            const dialog = screens.dialog
            openRow(screens, 5)
            const grid = child(dialog, data.grid)
            clickOnPage(dialog, grid, 10, 12)
            tryVerify(() => !grid.isAnimating && grid.isDrop, 1000)
            mouseClick(grid, grid.width * data.column + 10, 24 + data.row * 24 + 12)
            compare(pending(dialog), data.codes)
            compare(dialog.keyString, data.text)
            close(dialog)
            compare(rowText(screens, 5), data.text)
        }

        function test_macroOnButtonFourWithModeTwo() {
            ui_View.updataNameList(0, ["M0", "M1"])
            const screens = makeScreens()
            const dialog = screens.dialog
            compare(dialog.macroList.count, 2)
            openRow(screens, 3)
            clickOnPage(dialog, child(dialog, "macroMode2"), 5, 5)
            compare(dialog.macroMode, 2)
            const list = dialog.macroList
            clickOnPage(dialog, list, 10, 12)
            tryVerify(() => !list.isAnimating && list.isDrop, 1000)
            mouseClick(list, 10, 24 + 24 + 12)
            tryCompare(dialog, "keyString", "M1", 1000)
            compare(pending(dialog), [4, 2, 3, 0])
            verify(screens.editor.sent.length === 0)
            close(dialog)
            compare(codes(screens, 3), [4, 2, 3, 0])
            compare(screens.editor.sent, [[3, "M1"]])
            compare(ui_View.getData("mouseMacroKey/3", false), "M1")
            compare(rowText(screens, 3), "M1")
            // The mode changes the pending macro only while it is a macro.
            openRow(screens, 3)
            clickOnPage(dialog, child(dialog, "macroMode0"), 5, 5)
            compare(dialog.keyCode1, 0)
            close(dialog)
            compare(screens.editor.sent.length, 2)
        }

        function test_restoreOneButton() {
            const screens = makeScreens()
            const dialog = screens.dialog
            openRow(screens, 6)
            clickOnPage(dialog, child(dialog, "dpiRadio3"), 5, 5)
            close(dialog)
            compare(codes(screens, 6), [5, 0, 4, 0])
            screens.panel.isSave = false
            openRow(screens, 6)
            mouseClick(child(dialog, "restoreMark"))
            compare(pending(dialog), [5, 0, 2, 0])
            compare(codes(screens, 6), [5, 0, 2, 0])
            verify(screens.panel.isSave)
            close(dialog)
        }

        function test_restoreAllSendsFactoryMacros() {
            // A factory table with a macro on button 3 (slot 2).
            testData.write("modules/setting/pD.bin",
                           testData.read("modules/setting/pD.bin").replace("2=0, 0, 242, 0",
                                                                            "2=4, 1, 2, 0"))
            testData.reopen()
            ui_View.setData("mouseMacroKey/2", "Burst")
            const screens = makeScreens()
            screens.panel.modKeys.set(0, { keyCode0: 5, keyCode1: 0, keyCode2: 3, keyCode3: 0,
                                           keyText: "DPI LOOP" })
            mouseClick(child(screens.panel, "restoreAllMark"))
            compare(codes(screens, 0), [0, 0, 0xF0, 0])
            compare(codes(screens, 2), [4, 1, 2, 0])
            compare(rowText(screens, 2), "Burst")
            compare(screens.editor.sent, [[2, "Burst"]])
            verify(screens.panel.isSave)
        }

        function test_gunAndDpiOptions_data() {
            return [
                { tag: "one gun", name: "gunRadio0", codes: [8, 0, 1, 0], text: "One Gun" },
                { tag: "three gun", name: "gunRadio2", codes: [8, 0, 3, 0], text: "Three Gun" },
                { tag: "dpi loop", name: "dpiRadio2", codes: [5, 0, 3, 0], text: "DPI LOOP" },
                { tag: "double click", name: "mouseRadio5", codes: [0, 0xF0, 0x1E, 2],
                  text: "Double Fire" },
                { tag: "forward", name: "mouseRadio3", codes: [0, 0, 0xF4, 0], text: "Forward Key" },
            ]
        }

        function test_gunAndDpiOptions(data) {
            const screens = makeScreens()
            const dialog = screens.dialog
            openRow(screens, 7)
            clickOnPage(dialog, child(dialog, data.name), 5, 5)
            compare(pending(dialog), data.codes)
            compare(dialog.keyString, data.text)
            close(dialog)
            compare(rowText(screens, 7), data.text)
        }

        // What the dialog shows lit: radios, grid cells, captured keys and
        // the chosen macro.
        function litChoices(dialog) {
            const lit = []
            for (const name of ["mouseRadio", "dpiRadio", "gunRadio", "macroMode"]) {
                for (let i = 0; findChild(dialog, name + i); ++i) {
                    if (findChild(dialog, name + i).isSelect)
                        lit.push(name + i)
                }
            }
            for (const name of ["mediaGrid", "windowsGrid", "shortcutGrid", "macroList"]) {
                const list = child(dialog, name)
                if (list.currentSelect >= 0)
                    lit.push(name + ":" + list.textValue)
            }
            if (dialog.fireKeyText !== "")
                lit.push("fire:" + dialog.fireKeyText)
            if (dialog.comboText !== "")
                lit.push("combo:" + dialog.comboText)
            return lit
        }

        // The dialog opens on the button's own record, whatever was chosen
        // for the button before.
        function test_dialogShowsTheButtonsCurrentFunction_data() {
            return [
                { tag: "forward", codes: [0, 0, 0xF4, 0], lit: ["mouseRadio3"] },
                { tag: "double click", codes: [0, 0xF0, 0x1E, 2], lit: ["mouseRadio5"] },
                { tag: "sniper", codes: [5, 0, 4, 0], lit: ["dpiRadio3"] },
                { tag: "two gun", codes: [8, 0, 2, 0], lit: ["gunRadio1"] },
                { tag: "mute", codes: [3, 0, 0xE2, 0], lit: ["mediaGrid:Mute"] },
                { tag: "max", codes: [6, 4, 0x2C, 0x1B], lit: ["windowsGrid:Max"] },
                { tag: "copy", codes: [7, 0, 0xE0, 6], lit: ["shortcutGrid:Copy"] },
                { tag: "fire", codes: [1, 0x07, 33, 5], lit: ["fire:D"], rate: "33MS",
                  count: "5" },
                { tag: "combination", codes: [2, 3, 4, 5], lit: ["combo:LCtrl+LShift+A+B"] },
                { tag: "macro", codes: [4, 2, 3, 0], lit: ["macroMode2", "macroList:M1"],
                  mode: 2 },
                { tag: "unassigned", codes: [0, 0, 0, 0], lit: [] },
            ]
        }

        function test_dialogShowsTheButtonsCurrentFunction(data) {
            ui_View.updataNameList(0, ["M0", "M1"])
            ui_View.setData("mouseMacroKey/3", "M1")
            const screens = makeScreens()
            const dialog = screens.dialog
            const rateSlider = child(dialog, "rateSlider")
            const countField = child(dialog, "countField")
            // Button 2 first: choices of several categories, a fire key with
            // its rate and count, macro mode 1.
            openRow(screens, 1)
            for (const [radio, index] of [["mouseRadio1", 1], ["dpiRadio0", 0], ["macroMode1", 1]])
                child(dialog, radio).btnClick(index)
            rateSlider.valueChange(59)
            countField.textValue = "9"
            dialog.startFireInput()
            dialog.detectKeyboard(true, 0x16, 0)
            close(dialog)

            const c = data.codes
            screens.panel.modKeys.set(3, { keyCode0: c[0], keyCode1: c[1], keyCode2: c[2],
                                           keyCode3: c[3],
                                           keyText: dialog.keyCodeToString(c[0], c[1], c[2], c[3]) })
            openRow(screens, 3)
            compare(pending(dialog), c)
            compare(litChoices(dialog), data.lit)
            compare(rateSlider.textValue, data.rate || "10ms")
            compare(countField.textValue, data.count || "0")
            compare(child(dialog, "endlessBox").isSelect, !data.count)
            compare(dialog.macroMode, data.mode || 0)
            // Another choice clears the one shown.
            clickOnPage(dialog, child(dialog, "gunRadio2"), 5, 5)
            compare(litChoices(dialog), ["gunRadio2"])
            close(dialog)
        }

        function test_pageScrollsWithin830Pixels() {
            const screens = makeScreens()
            const dialog = screens.dialog
            const page = child(dialog, "page")
            const rateSlider = child(dialog, "rateSlider")
            openRow(screens, 2)
            compare(page.contentHeight, 830)
            verify(page.height < 830)
            // The page shows it scrolls; its bar pages down.
            const bar = child(dialog, "pageScrollBar")
            verify(bar.visible)
            mouseClick(bar, 6, bar.height - 4)
            verify(page.atYEnd)
            verify(dialog.height <= 640)
            verify(page.interactive)
            rateSlider.dragSignal(true)
            verify(!page.interactive)
            rateSlider.dragSignal(false)
            verify(page.interactive)
            close(dialog)
        }

        // Rows beyond the button count are hidden but still stored.
        function test_keyCountFive() {
            const screens = makeScreens()
            screens.picture.keyCount = 5
            verify(row(screens, 4).visible)
            verify(!row(screens, 5).visible)
            verify(!screens.picture.callOut(5).visible)
            screens.panel.modKeys.set(15, { keyCode0: 7, keyCode1: 0, keyCode2: 0xE0,
                                            keyCode3: 0x06, keyText: "Copy" })
            screens.panel.modKeys.saveData()
            testData.reopen()
            compare(ui_View.mouseGetKeydefine(15, false), ["7", "0", "224", "6"])
            compare(ui_View.mouseGetKeydefine(8, false), ["0", "0", "0", "0"])
        }

        // Fire periods come from the stored gun slots, or from the gun screen
        // when there is one (an unreadable period counts as 10).
        function test_gunPeriods() {
            const screens = makeScreens()
            compare(screens.panel.gunPeriods(), [9, 9, 9])
            testData.write("modules/setting/apConfig.bin",
                           testData.read("modules/setting/apConfig.bin")
                           .replace("selectGun=0, 1, 2", "selectGun=0, 3, 5"))
            testData.reopen()
            ui_View.mouseSaveGundata(3, ["SCAR-L", "L-Click", "33", "0", "10", "0"])
            compare(screens.panel.gunPeriods(), [9, 33, 10])
            const gun = Qt.createQmlObject("import 'qrc:/modules/qml/screens'; "
                                           + "GunControl { visible: false }", scene)
            gun.init()
            const periods = ["12", "15", "x", "40"]
            for (let row = 0; row < periods.length; ++row)
                gun.gunNumberModel.setProperty(row, "gunPeriod", periods[row])
            gun.selectGun1 = 1
            gun.selectGun2 = 2
            gun.selectGun3 = 3
            screens.panel.gunControl = gun
            compare(screens.panel.gunPeriods(), [15, 10, 40])
        }

    }
}
