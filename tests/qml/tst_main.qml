import QtQuick
import QtTest

// The main scene over a real view and a temporary data folder. Its device
// operations are not exercised here; the scene reports them as failed steps.
Item {
    id: scene

    width: 1024
    height: 640

    SceneTestCase {
        name: "MainScene"

        // The only checks that wait out the real one-second lock.
        function test_startUpLockAndSecondConnect() {
            const main = makeMain()
            verify(!main.visible)
            verify(!main.isPownOn)
            compare([main.width, main.height], [1024, 640])
            const keys = spy(main, "msg_KB")
            const buttons = spy(main, "msg_MS")
            main.detectKeyboard(true, 0x28)
            main.detectMouse(false, 0xF1, 12, -3)
            compare([keys.count, keys.signalArguments[0][0], keys.signalArguments[0][1]], [1, true, 0x28])
            const args = buttons.signalArguments[0]
            compare([buttons.count, args[0], args[1], args[2], args[3]], [1, false, 0xF1, 12, -3])

            const started = Date.now()
            main.initUI()
            verify(main.visible && main.isPownOn)
            verify(!ui_View.enabled)
            verify(child(main, "powerOnPicture").visible)
            verify(!child(main, "leftPanel").visible)
            // run() follows once the exchanges are over and ends the lock.
            main.run()
            verify(main.isMainShown)
            verify(Date.now() - started < 900)
            verify(ui_View.enabled)
            verify(!child(main, "powerOnPicture").visible)
            verify(child(main, "leftPanel").visible)
            verify(!child(main, "busyIndicator").visible)

            // A second connect locks again but reads nothing again.
            ui_View.setGlobalData("common/language", "ChineseSimplified")
            ui_View.setData("mouse/reportRate", 0)
            main.initUI()
            verify(!ui_View.enabled)
            compare(main.mainLang[10], "Save")
            compare(child(child(main, "reportRateMain"), "rateList").textValue, "1000Hz")
            tryVerify(() => ui_View.enabled, 3000)
        }

        function test_setProtectUIZeroUnlocksOnTheNextTurn() {
            const main = makeMain()
            const busy = child(main, "busyIndicator")
            main.visible = true
            main.setProtectUI(0)
            verify(!ui_View.enabled)
            verify(busy.visible)
            tryVerify(() => ui_View.enabled, 500)
            verify(!busy.visible)
        }

        // One started scene for the checks that leave the data alone.
        function test_factoryStart() {
            const main = startMain()
            compare(main.language, "English")
            compare(main.url.toString(), "https://skarn-config.example.org/")
            verify(main.isColorful)
            verify(main.isGun)
            compare([main.icType, main.profileNo], ["553", 0])
            compare([main.mainLang.length, main.mainLang[9]], [15, "System setting"])
            const rate = child(main, "reportRateMain")
            const rateList = child(rate, "rateList")
            compare(rateList.textValue, "1000Hz")
            const dpi = child(main, "dpiSettingMain")
            compare([dpi.stage(3).dpiValue, dpi.dpiSettingLang[0]], ["2000", "DPI"])
            compare(child(dialog(main, "systemSettingMain"), "mouseSpeedSlider").xPosition, 170)

            // Report rates stored as text or number.
            ui_View.setData("mouse/reportRate", "1")
            rate.init(false)
            compare(rateList.textValue, "250Hz")
            ui_View.setData("mouse/reportRate", 2)
            rate.init(false)
            compare(rateList.textValue, "500Hz")

            dpi.currentDPI = 1
            main.setCurrentDPI(0)
            compare(dpi.currentDPI, 1)
            main.setCurrentDPI(3)
            compare(dpi.currentDPI, 2)

            const help = child(main, "menuUp").children[1].children[0]
            mouseClick(help)
            const menu = child(main, "helpMenu")
            verify(menu.visible)
            mouseClick(menu, 20, 1 + 24 + 12)   // "verison:1.0" does nothing
            verify(!menu.visible)
            mouseClick(help)
            verify(menu.visible)
            mouseClick(main, 500, 400)          // the empty area closes pop-ups
            verify(!menu.visible)

            const pressed = spy(main, "emptyAreaPressed")
            mouseClick(rateList, 10, 12)
            tryVerify(() => !rateList.isAnimating && rateList.isDrop, 1000)
            mouseClick(main, 500, 400)
            compare(pressed.count, 1)
            verify(!rateList.isDrop)
        }

        function test_dialogsOpenCentredAndClose_data() {
            return [
                { tag: "system settings", button: "systemSettingButton", name: "systemSettingMain",
                  close: "closeMark", size: [416, 312] },
                { tag: "reset", button: "resetButton", name: "resetConfirm", close: "resetCancel",
                  size: [427, 102] },
            ]
        }

        function test_dialogsOpenCentredAndClose(data) {
            const main = startMain()
            mouseClick(child(main, data.button))
            const dialog = child(main, data.name)
            verify(dialog.visible)
            verify(child(main, "mask").visible)
            compare([dialog.x, dialog.y], [(1024 - data.size[0]) / 2, (640 - data.size[1]) / 2])
            if (data.name === "resetConfirm") {
                // Dragged, it stays within the window.
                mousePress(dialog, 200, 60)
                mouseMove(dialog, 200 + 1000, 60 + 1000)
                compare([dialog.x, dialog.y], [1024 - 427, 640 - 102])
                mouseMove(dialog, -2000, -2000)
                compare([dialog.x, dialog.y], [0, 0])
                mouseRelease(dialog, -2000, -2000)
            }
            mouseClick(child(data.close === "resetCancel" ? main : dialog, data.close))
            verify(!dialog.visible)
            verify(!child(main, "mask").visible)
        }

        function test_texts_data() {
            return [
                { tag: "chinese", language: "ChineseSimplified", save: "保存", row: 0, text: "系统设置",
                  refusal: "删除宏“%1”？", names: ["帮助", "关闭", "恢复默认", "回报率"] },
                { tag: "missing file keeps the built-in texts", language: "Nowhere", save: "Save",
                  row: 6, text: "Number of Rows", refusal: "Delete the macro “%1”?",
                  names: ["Help", "Close", "Restore defaults", "Report Rate"] },
            ]
        }

        function test_texts(data) {
            ui_View.setGlobalData("common/language", data.language)
            const main = startMain()
            compare(main.mainLang[10], data.save)
            const system = dialog(main, "systemSettingMain")
            compare(system.systemSettingLang[data.row], data.text)
            for (const screen of [child(main, "keyMatrixMain"), dialog(main, "macroEditorMain"),
                                  dialog(main, "profileMain")])
                compare(screen.refusalLang[23], data.refusal)
            // Icon-only buttons and the report-rate list are named (and
            // tooltipped) in the language too.
            const buttons = [child(main, "helpButton"), child(system, "closeMark"),
                             child(system, "resetMark"), child(main, "rateList")]
            compare(buttons.map((button) => button.description), data.names)
        }

        // The title bar comes first; an open dialog keeps Tab and Backtab
        // going round inside it; the help menu and a radio group take keys.
        function test_keyboardWalks_data() {
            const tab = Qt.Key_Tab
            const back = Qt.Key_Backtab
            const system = ["resetMark", "closeMark", "mouseSpeedSlider", "doubleClickSlider",
                            "rowsRadio", "lineCount", "screenRadio", "autostartBox"]
            return [
                { tag: "title bar first", start: "", keys: [tab, tab, tab, tab, back, back, back, back],
                  focus: ["profileSwitcher", "helpButton", "minimizeButton", "closeButton",
                          "minimizeButton", "helpButton", "profileSwitcher", "saveButton"] },
                { tag: "help menu", start: "helpButton",
                  keys: [Qt.Key_Return, Qt.Key_Down, Qt.Key_Return, Qt.Key_Space, Qt.Key_Escape],
                  focus: ["helpMenu", "helpMenu", "helpButton", "helpMenu", "helpButton"],
                  chosen: [1] },
                { tag: "dialog: Tab goes round", start: "systemSettingButton",
                  keys: [Qt.Key_Return].concat(system.map(() => tab), [tab, Qt.Key_Escape]),
                  focus: ["systemSettingMain"].concat(system, ["resetMark", "systemSettingButton"]) },
                { tag: "dialog: Backtab goes round", start: "systemSettingButton",
                  keys: [Qt.Key_Return, back, back, tab, tab],
                  focus: ["systemSettingMain", "autostartBox", "screenRadio", "autostartBox",
                          "resetMark"] },
                { tag: "question: Tab goes round, Escape cancels", start: "resetButton",
                  keys: [Qt.Key_Space, tab, tab, tab, back, Qt.Key_Escape],
                  focus: ["resetConfirm", "resetCancel", "resetOk", "resetCancel", "resetOk",
                          "resetButton"] },
                { tag: "radio arrows pass the field between", start: "systemSettingButton",
                  keys: [Qt.Key_Return, back, back, Qt.Key_Up, Qt.Key_Down],
                  focus: ["systemSettingMain", "autostartBox", "screenRadio", "rowsRadio",
                          "screenRadio"] },
            ]
        }

        function test_keyboardWalks(data) {
            const main = startMain()
            const menu = dialog(main, "helpMenu")
            const chosen = spy(menu, "chosen")
            // Every control of the settings dialog takes part, also those the
            // desktop here refuses.
            const system = dialog(main, "systemSettingMain")
            system.doubleClickReason = ""
            system.scrollReason = ""
            if (data.start)
                child(main, data.start).forceActiveFocus()
            else
                main.forceActiveFocus()
            const seen = []
            for (const key of data.keys) {
                keyClick(key)
                seen.push(focusName())
            }
            compare(seen, data.focus)
            compare(chosen.signalArguments.map((args) => args[0]), data.chosen || [])
        }

        function test_damagedGlobalSettingsDoNotBreakTheStart() {
            ui_View.setGlobalData("mouse/isGun", "perhaps")
            ui_View.setGlobalData("mouse/profileNo", "17")
            ui_View.setGlobalData("mouse/icType", "")
            ui_View.setData("mouse/reportRate", "fast")
            const main = startMain()
            verify(main.isGun)
            compare([main.profileNo, main.icType, main.mainLang[4]], [0, "553", "Config"])
            compare(child(child(main, "reportRateMain"), "rateList").textValue, "1000Hz")
        }

        // A family-560 start cannot reach a device here: the device step
        // fails on its own and the rest of the start-up still runs. The
        // mouse plugged in later gets the step at its start-up, once.
        function test_failingDeviceStepLeavesTheRestOfTheStart() {
            ui_View.setGlobalData("mouse/icType", "560")
            const main = startMain()
            compare([main.icType, main.mainLang[9]], ["560", "System setting"])
            compare(child(main, "dpiSettingMain").stage(7).dpiValue, "6000")
            verify(testData.attachMouse(560, false))
            for (const reads of [1, 0]) {
                testData.clearDeviceRecord()
                main.initUI()
                main.unlock()
                compare(testData.deviceCommands().filter((c) => c.split(" ")[1] === "82").length,
                        reads)
            }
        }

        function test_choosingAReportRateStoresTheRow() {
            const main = startMain()
            const list = child(child(main, "reportRateMain"), "rateList")
            pickRow(list, 1)                    // 250Hz
            tryCompare(ui_View, "enabled", true, 1000)
            tryCompare(list, "isAnimating", false, 1000)
            compare(ui_View.getData("mouse/reportRate", false), 1)
            compare(list.textValue, "250Hz")
            verify(!child(main, "busyIndicator").visible)
        }

        function test_saveStoresOnlyAfterAChange() {
            const main = startMain()
            ui_View.setDataList("mouse/dpiValueArray", [1, 2, 3, 4, 5, 6, 7, 8])
            const save = child(main, "saveButton")
            compare(save.faceColor, Qt.color("#09347f"))
            mouseClick(save)
            verify(ui_View.enabled)
            compare(ui_View.getDataList("mouse/dpiValueArray", false), [1, 2, 3, 4, 5, 6, 7, 8])
            const dpi = child(main, "dpiSettingMain")
            drag(dpi.stage(0).slider.children[2], 494, 0)
            verify(dpi.isSave)
            compare(save.faceColor, Qt.color("#ff3030"))
            mouseClick(save)
            verify(!dpi.isSave)
            compare(save.faceColor, Qt.color("#09347f"))
            compare(ui_View.getDataList("mouse/dpiValueArray", false),
                    [6000, 1000, 1500, 2000, 3000, 4000, 5000, 6000])
            verify(ui_View.enabled)
            verify(!child(main, "busyIndicator").visible)
            // A save that cannot be written is told and stays pending.
            const notices = spy(ui_View, "userNotice")
            drag(dpi.stage(1).slider.children[2], 494, 0)
            testData.setUnwritable("modules/setting/p1.bin", true)
            mouseClick(save)
            verify(dpi.isSave)
            compare(save.faceColor, Qt.color("#ff3030"))
            compare(notices.count, 1)
            testData.setUnwritable("modules/setting/p1.bin", false)
            mouseClick(save)
            verify(!dpi.isSave)
            testData.reopen()
            compare(ui_View.getDataList("mouse/dpiValueArray", false)[1], "6000")
        }

        function test_windowMovesHidesAndMinimises() {
            testData.attachWindow()
            const main = startMain()
            const start = testData.windowPosition()
            mousePress(main, 500, 400)
            mouseMove(main, 510, 405)
            compare(testData.windowPosition(), Qt.point(start.x + 10, start.y + 5))
            mouseRelease(main, 510, 405)
            const buttons = child(main, "menuUp").children[1]
            verify(testData.windowVisible())
            mouseClick(buttons.children[2])         // close: hides
            verify(!testData.windowVisible())
            testData.attachWindow()
            mouseClick(buttons.children[1])         // minimise
            tryVerify(() => testData.windowMinimized(), 1000)
        }

        // The button and lighting screens: layout, the assignment dialog
        // over the mask, keys forwarded from the input hooks.
        function test_buttonAndLightScreens() {
            const main = startMain()
            const panel = child(main, "keyMatrixMain")
            const light = child(main, "lightControlMain")
            const mouse = child(main, "mouseMain")
            const mask = child(main, "mask")
            compare(panel.mapToItem(main, 0, 0), Qt.point(24, 88))
            compare(light.mapToItem(main, 0, 0).x, 768)
            // Factory settings: full colour lighting with all its effects.
            compare(light.lightModel.count, 11)
            compare(child(panel, "keyRow0").children[1].text, "Left Key")

            const list = light.lightModel
            mouseClick(list, 10, 12)
            tryVerify(() => !list.isAnimating && list.isDrop, 1000)
            main.mainFocus()
            verify(!list.isDrop)

            mouseClick(child(mouse.callOut(2), "badge"))
            const dialog = child(main, "keyAssigmentMain")
            compare([dialog.parent.z > mask.z, mouse.keyCount], [true, 8])
            verify(dialog.visible && mask.visible)
            compare([dialog.x, dialog.y], [(1024 - dialog.width) / 2, (640 - dialog.height) / 2])
            mouseClick(child(dialog, "closeMark"))
            verify(!dialog.visible && !mask.visible)
            // The last left click stays closed, and the mask with it.
            mouseClick(child(mouse.callOut(0), "badge"))
            verify(!dialog.visible && !mask.visible)

            // Keys from the input hooks reach the dialog only while it captures.
            mouseClick(child(panel, "keyRow6"))
            main.detectKeyboard(true, 0x04)
            compare(dialog.keyCode0, 5)
            dialog.startFireInput()
            main.detectKeyboard(true, 0x16)
            verify(!dialog.isFireInput)
            compare([dialog.keyCode0, dialog.keyCode1, dialog.keyCode2, dialog.keyCode3],
                    [1, 0x16, 10, 0])
            compare(dialog.keyString, "S")

            // The macro editor opens over the dialog.
            mouseClick(child(dialog, "closeMark"))
            mouseClick(child(panel, "keyRow4"))
            child(dialog, "page").contentY = 250
            waitForRendering(dialog)
            mouseClick(child(dialog, "macroEditorButton"))
            const editor = child(main, "macroEditorMain")
            verify(editor.visible && dialog.visible)
            verify(editor.z > dialog.z)
            // Closing the editor keeps the mask under the dialog still open.
            mouseClick(child(editor, "closeMark"))
            verify(!editor.visible && dialog.visible && mask.visible)
            mouseClick(child(dialog, "closeMark"))
            verify(!mask.visible)
        }
    }
}
