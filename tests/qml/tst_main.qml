import QtQuick
import QtTest

// The main scene over a real view and a temporary data folder: its start,
// its texts and its keyboard order (its Save: tst_scenedevice).
Item {
    id: scene

    width: 1024
    height: 640

    SceneTestCase {
        name: "MainScene"

        // The only check that waits out the real one-second lock.
        function test_startUpLockAndSecondConnect() {
            const main = makeMain()
            verify(!main.visible && !main.isPownOn)
            const [keys, buttons] = [spy(main, "msg_KB"), spy(main, "msg_MS")]
            main.detectKeyboard(true, 0x28)
            main.detectMouse(false, 0xF1, 12, -3)
            compare([args(keys), args(buttons)], [[[true, 0x28]], [[false, 0xF1, 12, -3]]])
            // Off screen, the start-up picture is not even decoded.
            scene.Window.window.visible = false
            main.initUI()
            compare(child(main, "powerOnPicture").status, Image.Null)
            scene.Window.window.visible = true
            const shown = () => [main.visible, main.isPownOn, !main.locked, main.isMainShown,
                                 ...["powerOnPicture", "leftPanel", "busyIndicator"].map((n) => child(main, n).visible),
                                 child(main, "powerOnPicture").status]
            compare(shown(), [true, true, false, false, true, false, true, Image.Ready])
            // run() follows once the exchanges are over and ends the lock.
            main.run()
            compare(shown(), [true, true, true, true, false, true, false, Image.Null]) // the picture's image goes
            // A second connect locks again but reads nothing again.
            ui_View.setGlobalData("common/language", "ChineseSimplified")
            main.initUI()
            compare([main.locked, main.mainLang[10]], [true, "Save"])
            tryVerify(() => !main.locked, 3000)
            main.setProtectUI(0)
            verify(main.locked && child(main, "busyIndicator").visible)
            tryVerify(() => !main.locked && !child(main, "busyIndicator").visible, 500)
        }

        // What the start reads (gun, profile, family, texts, rate); stages count from 1.
        function test_startValues_data() {
            return [
                { tag: "damaged", global: { "mouse/isGun": "perhaps", "mouse/profileNo": "17", "mouse/icType": "" },
                  rate: "fast", values: [true, 0, "553", "Config", "1000Hz"] },
                { tag: "no gun, rate as text", global: { "mouse/isGun": false }, rate: "1",
                  values: [false, 0, "553", "Config", "250Hz"] },
            ]
        }

        function test_startValues(data) {
            for (const key in data.global)
                ui_View.setGlobalData(key, data.global[key])
            ui_View.setData("mouse/reportRate", data.rate)
            const main = startMain()
            for (const n of [3, 0])
                main.setCurrentDPI(n)
            compare([main.isGun, main.profileNo, main.icType, main.mainLang[4],
                     child(child(main, "reportRateMain"), "rateList").textValue, child(main, "dpiSettingMain").currentDPI],
                    data.values.concat([2]))
        }

        // Texts, refusals and the names (and tooltips) of icon-only buttons.
        function test_texts_data() {
            const [zh, en] = ["删除宏“%1”？", "Delete the macro “%1”?"]
            return [
                { tag: "chinese", language: "ChineseSimplified", row: 0,
                  texts: ["保存", "系统设置", zh, zh, zh, "帮助", "关闭", "恢复默认", "回报率", "加载中……"] },
                { tag: "missing file keeps the built-in texts", language: "Nowhere", row: 6,
                  texts: ["Save", "Number of Rows", en, en, en, "Help", "Close", "Restore defaults", "Report Rate",
                          "LOADING ......"] },
            ]
        }

        function test_texts(data) {
            ui_View.setGlobalData("common/language", data.language)
            const main = startMain()
            const system = dialog(main, "systemSettingMain")
            compare([main.mainLang[10], system.systemSettingLang[data.row]].concat(
                        [child(main, "keyMatrixMain"), dialog(main, "macroEditorMain"), dialog(main, "profileMain")]
                        .map((screen) => screen.refusalLang[23]),
                        [child(main, "helpButton"), child(system, "closeMark"), child(system, "resetMark"),
                         child(main, "rateList")].map((button) => button.description),
                        [child(main, "busyIndicator").text]), data.texts)
            // Latin and Chinese draw without the text shaper, in every text of the scene and its dialogs.
            const shaped = (item) => Array.from(item.children).reduce((found, c) => found.concat(shaped(c)),
                                                                       item.font && item.font.preferShaping ? [item.text] : [])
            compare(shaped(main), [])
        }

        // A language chosen in the system settings relabels the window, the open dialog and the key
        // table's rows at once and is stored; "System default" gives the choice back to the locale.
        function test_languageChosenInTheSettings() {
            const main = startMain()
            main.openDialog(child(main, "systemSettingMainLoader"))
            const system = child(main, "systemSettingMain")
            const list = child(system, "languageList")
            const rows = Array.from({ length: list.count }, (_, i) => list.mdItems.get(i).textValue)
            compare([rows.length, rows[0], rows.indexOf("English") > 0, list.textValue], [15, "System default", true, "System default"])
            const shown = () => [main.language, main.mainLang[10], system.systemSettingLang[0], list.mdItems.get(0).textValue,
                                 child(main, "keyMatrixMain").modKeys.get(1).keyText, ui_View.chosenLanguage()]
            const english = shown()
            pickRow(list, rows.indexOf("Deutsch"))
            tryCompare(main, "language", "German")
            const german = (group, i) => ui_View.getLangStrings(group, "German")[i]
            compare(shown(), ["German", german("main", 10), german("systemSetting", 0), german("systemSetting", 11),
                              german("keyAssigment", 4), "German"])
            verify(german("main", 10) !== english[1] && testData.read("modules/setting/apConfig.bin").includes("language=German"))
            compare(ui_View.setLanguage("Nowhere"), false)
            pickRow(list, 0)
            tryCompare(main, "language", "English")
            compare([shown(), testData.read("modules/setting/apConfig.bin").includes("language")], [english, false])
        }

        // The title bar comes first, each side panel's drop-down before what it
        // governs; an open dialog keeps Tab and Backtab
        // going round inside it; the help menu, a radio group and a drop-down
        // take keys (a slider: tst_dpisetting); Escape closes and the focus goes back.
        function test_keyboardWalks_data() {
            const [tab, back, enter] = [Qt.Key_Tab, Qt.Key_Backtab, Qt.Key_Return]
            const system = ["resetMark", "closeMark", "languageList", "mouseSpeedSlider", "doubleClickSlider",
                            "rowsRadio", "lineCount", "screenRadio", "autostartBox"]
            return [
                { tag: "title bar first", start: "", keys: [tab, tab, tab, tab, back, back, back, back],
                  focus: ["profileSwitcher", "helpButton", "minimizeButton", "closeButton",
                          "minimizeButton", "helpButton", "profileSwitcher", "saveButton"] },
                { tag: "side panels in reading order", start: "systemSettingButton", keys: Array(11).fill(tab),
                  focus: ["stageCountList", "resetMark", "dpiSettingMain", "dpiSettingMain", "dpiSettingMain",
                          "dpiSettingMain", "lightModel", "resetMark", "brightSlider", "colorBlock0", "hueBar"] },
                { tag: "help menu", start: "helpButton", keys: [enter, Qt.Key_Down, enter, Qt.Key_Space, Qt.Key_Escape],
                  focus: ["helpMenu", "helpMenu", "helpButton", "helpMenu", "helpButton"], chosen: [1] },
                { tag: "help link, no browser here", start: "helpButton", keys: [enter, enter],
                  focus: ["helpMenu", "helpButton"], chosen: [0], notice: "No program could open https://skarn-config.example.org/." },
                { tag: "help opens the manual", start: "helpButton", keys: [enter, enter], manual: "file:///nowhere/manual.html",
                  focus: ["helpMenu", "helpButton"], chosen: [0], notice: "No program could open file:///nowhere/manual.html." },
                { tag: "dialog: Tab goes round", start: "systemSettingButton",
                  keys: [enter].concat(system.map(() => tab), [tab, Qt.Key_Escape]),
                  focus: ["systemSettingMain"].concat(system, ["resetMark", "systemSettingButton"]) },
                { tag: "dialog: Backtab goes round", start: "systemSettingButton", keys: [enter, back, back, tab, tab],
                  focus: ["systemSettingMain", "autostartBox", "screenRadio", "autostartBox", "resetMark"] },
                { tag: "question: Tab goes round, Escape cancels", start: "resetButton",
                  keys: [Qt.Key_Space, tab, tab, tab, back, Qt.Key_Escape],
                  focus: ["resetConfirm", "resetCancel", "resetOk", "resetCancel", "resetOk", "resetButton"] },
                { tag: "radio arrows pass the field between", start: "systemSettingButton",
                  keys: [enter, back, back, Qt.Key_Up, Qt.Key_Down],
                  focus: ["systemSettingMain", "autostartBox", "screenRadio", "rowsRadio", "screenRadio"] },
                { tag: "drop-down: Up, the rate above", start: "rateList", keys: [Qt.Key_Up], focus: ["rateList"], rate: 2 },
            ]
        }

        function test_keyboardWalks(data) {
            if (data.rate !== undefined)
                verify(testData.attachMouse(553, false))
            ui_View.setManualUrl(data.manual || "")
            const main = startMain()
            const chosen = spy(dialog(main, "helpMenu"), "chosen")
            // Also the settings this desktop refuses take part.
            const system = dialog(main, "systemSettingMain")
            system.doubleClickReason = ""
            system.scrollReason = ""
            const first = data.start ? child(main, data.start) : main
            first.forceActiveFocus(Qt.TabFocusReason)
            // The focus ring goes round each control that takes the focus; not round a
            // text field (its cursor shows), a menu or a dialog as a whole.
            const ring = child(main, "focusRing")
            const ringed = []
            const seen = data.keys.map((key) => {
                keyClick(key)
                settle() // the control that sent has the keyboard back once it is done
                ringed.push(ring.visible ? focusName(ring.parent) : "")
                return focusName()
            })
            const unringed = ["systemSettingMain", "helpMenu", "resetConfirm", "lineCount"]
            compare([seen, ringed, args(chosen).map((a) => a[0]), main.hasUnsavedChanges],
                    [data.focus, data.focus.map((name) => unringed.includes(name) ? "" : name), data.chosen || [], false])
            if (data.rate !== undefined)
                tryVerify(() => ui_View.getData("mouse/reportRate", false) === data.rate, 1000)
            compare(main.noticeText, data.notice || "")
            // The help menu shows its whole link.
            const helpRows = Array.from(dialog(main, "helpMenu").children[0].children).filter((row) => row.modelData)
            compare(helpRows.map((row) => row.children[0].truncated), [false, false])
        }
    }
}
