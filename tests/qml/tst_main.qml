import QtQuick
import QtTest

// The main scene over a real view and a temporary data folder: its start,
// its texts, its keyboard order and its Save.
Item {
    id: scene

    width: 1024
    height: 640

    SceneTestCase {
        name: "MainScene"

        function rateText(main) {
            return child(child(main, "reportRateMain"), "rateList").textValue
        }

        // The only check that waits out the real one-second lock.
        function test_startUpLockAndSecondConnect() {
            const main = makeMain()
            verify(!main.visible && !main.isPownOn)
            const keys = spy(main, "msg_KB")
            const buttons = spy(main, "msg_MS")
            main.detectKeyboard(true, 0x28)
            main.detectMouse(false, 0xF1, 12, -3)
            compare([args(keys), args(buttons)], [[[true, 0x28]], [[false, 0xF1, 12, -3]]])
            main.initUI()
            const shown = () => [main.visible, main.isPownOn, ui_View.enabled, main.isMainShown,
                                 ...["powerOnPicture", "leftPanel", "busyIndicator"].map((n) => child(main, n).visible),
                                 child(main, "powerOnPicture").status]
            compare(shown(), [true, true, false, false, true, false, true, Image.Ready])
            // run() follows once the exchanges are over and ends the lock,
            // and the start-up picture lets go of its image.
            main.run()
            compare(shown(), [true, true, true, true, false, true, false, Image.Null])
            // A second connect locks again but reads nothing again.
            ui_View.setGlobalData("common/language", "ChineseSimplified")
            ui_View.setData("mouse/reportRate", 0)
            main.initUI()
            verify(!ui_View.enabled)
            compare([main.mainLang[10], rateText(main)], ["Save", "1000Hz"])
            tryVerify(() => ui_View.enabled, 3000)
            // setProtectUI(0) locks until the next turn.
            main.setProtectUI(0)
            verify(!ui_View.enabled && child(main, "busyIndicator").visible)
            tryVerify(() => ui_View.enabled && !child(main, "busyIndicator").visible, 500)
        }

        // What the start reads (gun, profile, family, texts, rate), stored
        // well, as text, or damaged.
        function test_startValues_data() {
            const factory = [true, 0, "553", "Config", "1000Hz"]
            return [
                { tag: "factory", values: factory },
                { tag: "rate as text", rate: "1", values: [true, 0, "553", "Config", "250Hz"] },
                { tag: "rate as number", rate: 2, values: [true, 0, "553", "Config", "500Hz"] },
                { tag: "damaged", global: { "mouse/isGun": "perhaps", "mouse/profileNo": "17", "mouse/icType": "" },
                  rate: "fast", values: factory },
                { tag: "no gun, profile 3", global: { "mouse/isGun": false, "mouse/profileNo": 3 },
                  values: [false, 3, "553", "Config", "1000Hz"] },
            ]
        }

        function test_startValues(data) {
            for (const key in data.global)
                ui_View.setGlobalData(key, data.global[key])
            if (data.rate !== undefined)
                ui_View.setData("mouse/reportRate", data.rate)
            const main = startMain()
            compare([main.isGun, main.profileNo, main.icType, main.mainLang[4], rateText(main)], data.values)
            // The mouse's stage number is 1-based; 0 is no stage.
            main.setCurrentDPI(3)
            main.setCurrentDPI(0)
            compare(child(main, "dpiSettingMain").currentDPI, 2)
        }

        // A press on the empty area closes pop-ups and says so; a call-out's
        // badge opens the button's assignment over the mask, but not for the
        // last left click.
        function test_emptyAreaAndCallOuts() {
            const main = startMain()
            const pressed = spy(main, "emptyAreaPressed")
            const menu = dialog(main, "helpMenu")
            const list = child(main, "rateList")
            mouseClick(child(main, "helpButton"))
            verify(menu.visible)
            mouseClick(main, 500, 400)
            mouseClick(list, 10, 12)
            tryVerify(() => list.isDrop && !list.isAnimating, 1000)
            mouseClick(main, 500, 400)
            compare([menu.visible, list.isDrop, pressed.count], [false, false, 2])
            const mouse = child(main, "mouseMain")
            const mask = child(main, "mask")
            mouseClick(child(mouse.callOut(2), "badge"))
            const keys = child(main, "keyAssigmentMain")
            compare([keys.visible, mask.visible, keys.parent.z > mask.z, mouse.keyCount], [true, true, true, 8])
            compare([keys.x, keys.y], [(1024 - keys.width) / 2, (640 - keys.height) / 2])
            mouseClick(child(keys, "closeMark"))
            mouseClick(child(mouse.callOut(0), "badge"))
            compare([keys.visible, mask.visible], [false, false])
        }

        // The title bar's drag moves the window by the pointer's offset;
        // its buttons hide and minimise it. In the tray the backdrop lets
        // go of its picture until the window shows again.
        function test_windowMovesHidesAndMinimises() {
            testData.attachWindow()
            const main = startMain()
            mousePress(main, 500, 400)
            mouseMove(main, 510, 405)
            mouseRelease(main, 510, 405)
            const buttons = [child(main, "closeButton"), child(main, "minimizeButton")]
            mouseClick(buttons[0])
            compare(testData.window(), [110, 105, false, false])
            testData.attachWindow()
            mouseClick(buttons[1])
            tryVerify(() => testData.window()[3], 1000)
            const backdrop = child(main, "background")
            main.endCaptures()
            compare(backdrop.status, Image.Null)
            main.wake()
            compare(backdrop.status, Image.Ready)
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
            const system = dialog(main, "systemSettingMain")
            compare([main.mainLang[10], system.systemSettingLang[data.row]], [data.save, data.text])
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
        // going round inside it; the help menu, a radio group, a drop-down
        // and a slider take keys; Escape closes and the focus goes back.
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
                { tag: "drop-down: Up picks the rate above", start: "rateList", keys: [Qt.Key_Up],
                  focus: ["rateList"], rate: 2 },
                { tag: "slider: Right steps the stage, unsaved", start: "dpiSettingMain", slider: true,
                  keys: [Qt.Key_Right], focus: ["dpiSettingMain"], unsaved: true },
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
            const dpi = child(main, "dpiSettingMain")
            const knob = dpi.stage(0).slider
            const before = knob.knobPosition
            if (data.slider)
                knob.forceActiveFocus(Qt.TabFocusReason)
            else if (data.start)
                child(main, data.start).forceActiveFocus()
            else
                main.forceActiveFocus()
            const seen = []
            for (const key of data.keys) {
                keyClick(key)
                seen.push(focusName())
            }
            compare(seen, data.focus)
            compare(args(chosen).map((a) => a[0]), data.chosen || [])
            compare(main.hasUnsavedChanges, !!data.unsaved)
            compare(knob.knobPosition !== before, !!data.unsaved)
            if (data.rate !== undefined)
                tryVerify(() => ui_View.getData("mouse/reportRate", false) === data.rate, 1000)
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
            // The mouse is on profile 1 already: nothing is set; its current
            // stage is read at each start.
            const stage = "00 84 01 00 00 00 00 00 7a"
            for (const commands of [["00 82 00 00 00 00 00 00 7d", stage], [stage]]) {
                testData.clearDeviceRecord()
                main.initUI()
                main.unlock()
                compare(testData.deviceCommands(), commands)
            }
        }

        function test_saveStoresOnlyAfterAChange() {
            const main = startMain()
            ui_View.setDataList("mouse/dpiValueArray", [1, 2, 3, 4, 5, 6, 7, 8])
            const save = child(main, "saveButton")
            const dpi = child(main, "dpiSettingMain")
            const state = () => [dpi.isSave, save.faceColor, ui_View.enabled]
            const red = Qt.color("#ff3030")
            const blue = Qt.color("#09347f")
            mouseClick(save)
            compare(state(), [false, blue, true])
            compare(ui_View.getDataList("mouse/dpiValueArray", false), [1, 2, 3, 4, 5, 6, 7, 8])
            drag(dpi.stage(0).slider.children[2], 494, 0)
            compare(state(), [true, red, true])
            mouseClick(save)
            compare(state(), [false, blue, true])
            compare(ui_View.getDataList("mouse/dpiValueArray", false),
                    [6000, 1000, 1500, 2000, 3000, 4000, 5000, 6000])
            verify(!child(main, "busyIndicator").visible)
            // A save that cannot be written is told and stays pending.
            const notices = spy(ui_View, "userNotice")
            drag(dpi.stage(1).slider.children[2], 494, 0)
            testData.setUnwritable("modules/setting/p1.bin", true)
            mouseClick(save)
            compare(state(), [true, red, true])
            compare(notices.count, 1)
            testData.setUnwritable("modules/setting/p1.bin", false)
            mouseClick(save)
            verify(!dpi.isSave)
            testData.reopen()
            compare(ui_View.getDataList("mouse/dpiValueArray", false)[1], "6000")
        }
    }
}
