import QtQuick
import QtTest

// The main scene over a real view: start, texts, keyboard order, dialogs, profile switches, what reaches the mouse.
Item {
    id: scene

    width: 1024; height: 640

    SceneTestCase {
        name: "MainScene"

        // The only check that waits out the real one-second lock.
        function test_startUpLockAndSecondConnect() {
            const main = makeMain()
            verify(!main.visible && !main.isPownOn)
            scene.Window.window.visible = false
            main.initUI()
            compare(child(main, "powerOnPicture").status, Image.Null)
            scene.Window.window.visible = true
            const shown = () => [main.visible, main.isPownOn, !main.locked, main.isMainShown,
                                 ...["powerOnPicture", "leftPanel", "busyIndicator"].map((n) => child(main, n).visible),
                                 child(main, "powerOnPicture").status]
            compare(shown(), [true, true, false, false, true, false, true, Image.Ready])
            main.run()
            compare(shown(), [true, true, true, true, false, true, false, Image.Null]) // the picture's image goes
            ui_View.setGlobalData("common/language", "ChineseSimplified")
            main.initUI()
            compare([main.locked, main.mainLang[10]], [true, "Save"])
            tryVerify(() => !main.locked, 3000)
            main.setProtectUI(0)
            verify(main.locked && child(main, "busyIndicator").visible)
            tryVerify(() => !main.locked && !child(main, "busyIndicator").visible, 500)
        }

        // What the start reads (damaged values: tst_sessionvalues) and the chosen language's texts, icon buttons' names too.
        function test_startValuesAndTexts() {
            for (const [key, value] of [["mouse/isGun", false], ["mouse/profileNo", "17"], ["mouse/icType", ""],
                                        ["common/language", "ChineseSimplified"]])
                ui_View.setGlobalData(key, value)
            ui_View.setData("mouse/reportRate", "1")
            const main = startMain()
            for (const n of [3, 0])
                main.setCurrentDPI(n)
            compare([main.isGun, main.profileNo, main.icType, child(main, "rateList").textValue,
                     child(main, "dpiSettingMain").currentDPI], [false, 0, "553", "250Hz", 2])
            const system = dialog(main, "systemSettingMain")
            compare([main.mainLang[10], system.systemSettingLang[0]].concat(
                        [child(main, "keyMatrixMain"), dialog(main, "macroEditorMain"), dialog(main, "profileMain")]
                        .map((screen) => screen.refusalLang[23]),
                        [child(main, "helpButton"), child(system, "closeMark"), child(system, "resetMark"),
                         child(main, "rateList")].map((button) => button.description), [child(main, "busyIndicator").text]),
                    ["保存", "系统设置", ...Array(3).fill("删除宏“%1”？"), "帮助", "关闭", "恢复默认", "回报率", "加载中……"])
            const shaped = (item) => Array.from(item.children).reduce((found, c) => found.concat(shaped(c)),
                                                                       item.font && item.font.preferShaping ? [item.text] : [])
            compare(shaped(main), [])
        }

        // A language chosen in the system settings relabels the window, the open dialog and the key table's rows at
        // once and is stored; "System default" gives the choice back to the locale.
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

        // Tab order, Tab kept inside an open dialog, the keys of the help menu, radios and drop-downs; Escape gives focus back.
        function test_keyboardWalks_data() {
            const [tab, back, enter, esc, space] = [Qt.Key_Tab, Qt.Key_Backtab, Qt.Key_Return, Qt.Key_Escape, Qt.Key_Space]
            const system = ["resetMark", "closeMark", "languageList", "mouseSpeedSlider", "doubleClickSlider",
                            "rowsRadio", "lineCount", "screenRadio", "autostartBox"]
            return [{ tag: "title bar first", start: "", keys: [tab, tab, tab, tab, back, back, back, back],
                      focus: ["profileSwitcher", "helpButton", "minimizeButton", "closeButton",
                              "minimizeButton", "helpButton", "profileSwitcher", "saveButton"] },
                    { tag: "side panels in reading order", start: "systemSettingButton", keys: Array(11).fill(tab),
                      focus: ["stageCountList", "resetMark", "dpiSettingMain", "dpiSettingMain", "dpiSettingMain",
                              "dpiSettingMain", "lightModel", "resetMark", "brightSlider", "colorBlock0", "hueBar"] },
                    { tag: "help menu", start: "helpButton", keys: [enter, Qt.Key_Down, enter, space, esc],
                      focus: ["helpMenu", "helpMenu", "helpButton", "helpMenu", "helpButton"], chosen: [1] },
                    { tag: "help link, no browser here", start: "helpButton", keys: [enter, enter],
                      focus: ["helpMenu", "helpButton"], chosen: [0], notice: "No program could open https://skarn-config.example.org/." },
                    { tag: "help opens the manual", start: "helpButton", keys: [enter, enter], manual: "file:///nowhere/manual.html",
                      focus: ["helpMenu", "helpButton"], chosen: [0], notice: "No program could open file:///nowhere/manual.html." },
                    { tag: "dialog: Tab goes round", start: "systemSettingButton", keys: [enter].concat(system.map(() => tab), [tab, esc]),
                      focus: ["systemSettingMain"].concat(system, ["resetMark", "systemSettingButton"]) },
                    { tag: "dialog: Backtab goes round, radio arrows pass the field between", start: "systemSettingButton",
                      keys: [enter, back, back, Qt.Key_Up, Qt.Key_Down, tab, tab],
                      focus: ["systemSettingMain", "autostartBox", "screenRadio", "rowsRadio", "screenRadio", "autostartBox", "resetMark"] },
                    { tag: "question: Tab goes round, Escape cancels", start: "resetButton", keys: [space, tab, tab, tab, back, esc],
                      focus: ["resetConfirm", "resetCancel", "resetOk", "resetCancel", "resetOk", "resetButton"] },
                    { tag: "drop-down: Up, the rate above", start: "rateList", keys: [Qt.Key_Up], focus: ["rateList"], rate: 2 }]
        }

        function test_keyboardWalks(data) {
            ui_View.setManualUrl(data.manual || "")
            const main = startMain(data.rate !== undefined)
            const chosen = spy(dialog(main, "helpMenu"), "chosen")
            Object.assign(dialog(main, "systemSettingMain"), { doubleClickReason: "", scrollReason: "" })
            const first = data.start ? child(main, data.start) : main
            first.forceActiveFocus(Qt.TabFocusReason)
            const ring = child(main, "focusRing")
            // [focus, ringed] after each key; the control that sent has the keyboard back once it is done.
            const seen = walk(data.keys.map((key) => () => { keyClick(key); settle() }),
                              () => [focusName(), ring.visible ? focusName(ring.parent) : ""])
            const unringed = ["systemSettingMain", "helpMenu", "resetConfirm", "lineCount"]
            const rate = Number(ui_View.getData("mouse/reportRate", false)) // stored once the mouse took it
            compare([seen, args(chosen).map((a) => a[0]), main.hasUnsavedChanges, main.noticeText, rate],
                    [data.focus.map((name) => [name, unringed.includes(name) ? "" : name]), data.chosen || [], false, data.notice || "",
                     data.rate ?? 3])
            const helpRows = Array.from(dialog(main, "helpMenu").children[0].children).filter((row) => row.modelData)
            compare(helpRows.map((row) => row.children[0].truncated), [false, false])
        }

        // Dialogs open centred over the mask, stay in the window when dragged, and give the focus back on closing.
        function test_dialogsOpenCentredOverTheMaskAndCloseIt_data() {
            return [{ tag: "reset question, dragged", name: "resetConfirm", x: 298.5, y: 269, close: "resetCancel" },
                    { tag: "macro editor over the assignment", name: "macroEditorMain", x: 192, y: 96, over: true },
                    { tag: "system settings, rebuilt after the tray", name: "systemSettingMain", x: 304, y: 139, rebuilt: true }]
        }

        function test_dialogsOpenCentredOverTheMaskAndCloseIt(data) {
            const main = startMain()
            const [mask, opener] = [child(main, "mask"), child(main, "configButton")]
            const under = data.over ? dialog(main, "keyAssigmentMain") : null
            if (data.rebuilt) {
                main.openDialog(child(main, data.name + "Loader"))
                mouseClick(child(child(main, data.name), "closeMark"))
                main.endCaptures()
                main.wake()
                compare(child(main, data.name + "Loader").item, null)
            }
            opener.forceActiveFocus()
            if (under) {
                main.showKeyAssigment(4)
                verify(mask.visible)
                child(under, "page").contentY = 250
                waitForRendering(under)
                mouseClick(child(under, "macroEditorButton"))
            } else {
                main.openDialog(child(main, data.name + "Loader"))
            }
            const shown = child(main, data.name)
            compare([shown.visible, mask.visible, !!under || shown.activeFocus, shown.x, shown.y, !under || shown.z > under.z],
                    [true, true, true, data.x, data.y, true])
            if (data.close) { // dragged far past the bottom right, then the top left
                const at = walk([() => { mousePress(shown, 200, 60); mouseMove(shown, 1200, 1060) },
                                 () => { mouseMove(shown, -2000, -2000); mouseRelease(shown, -2000, -2000) }], () => [shown.x, shown.y])
                compare(at, [[1024 - 427, 640 - 102], [0, 0]])
            }
            mouseClick(child(data.close ? main : shown, data.close || "closeMark"))
            compare([shown.visible, mask.visible, !under || under.visible], [false, !!under, true])
            if (under)
                mouseClick(child(under, "closeMark"))
            compare([mask.visible, opener.activeFocus], [false, true])
        }

        // Global capture runs only while a field or the recorder waits, and ends with each way the wait ends.
        function test_capturesRunOnlyWhileTheSceneWaits_data() {
            return ["fire key", "fire hide", "combo close", "combo hide", "record stop", "record hide", "insert hide"]
                .map((row) => ({ tag: row, start: row.split(" ")[0], end: row.split(" ")[1] }))
        }

        function test_capturesRunOnlyWhileTheSceneWaits(data) {
            ui_View.updataNameList(0, ["Macro_0"])
            ui_View.createMacroIni("Macro_0", 0)
            ui_View.saveMacroIni("Macro_0", ["1,A", "2,A"], 1)
            const main = startMain()
            const usesKeys = data.start === "fire" || data.start === "combo"
            const [keys, editor] = [dialog(main, "keyAssigmentMain"), dialog(main, "macroEditorMain")]
            ui_View.visible = true
            if (usesKeys) {
                main.showKeyAssigment(0)
            } else {
                main.openDialog(child(main, "macroEditorMainLoader"))
                editor.selectMacro(0)
                editor.actionList.currentIndex = 0
            }
            const captures = spy(ui_View, "captureActiveChanged")
            const steps = {
                fire: () => keys.startFireInput(), combo: () => keys.startComboInput(),
                record: () => editor.toggleRecording(), insert: () => editor.actionMenuChosen(2),
                key: () => main.detectKeyboard(true, 0x04), close: () => keys.closeDialog(),
                stop: () => { main.detectKeyboard(true, 0x05); main.detectKeyboard(false, 0x05); editor.toggleRecording() },
                hide: () => { ui_View.visible = false; main.endCaptures() }
            }
            steps[data.start]()
            verify(main.isCapturing)
            steps[data.end]()
            compare([main.isCapturing, !!main.keyAssigment && (keys.isFireInput || keys.isComboInput),
                     !!main.macroEditor && (editor.isInputting || editor.isInsertting || editor.insertKeyBox.visible),
                     data.end !== "hide" || (main.keyAssigment === keys) === usesKeys && !main.macroEditor === usesKeys],
                    [false, false, false, true])
            ui_View.visible = true
            ui_View.visible = false
            compare(args(captures), [[true], [false]])
            if (data.end === "stop") // the scene's keys reach the recorder
                compare(ui_View.loadMacroIni("Macro_0"), ["1,B", "2,B", "1"])
        }

        // Escape during a key capture, and in the press it took, is the captured key; after that it closes.
        function test_escapeDuringACaptureIsAKey() {
            const main = startMain()
            main.showKeyAssigment(3)
            const keys = dialog(main, "keyAssigmentMain")
            child(keys, "fireKeyStop").forceActiveFocus(Qt.TabFocusReason)
            keys.startFireInput()
            const seen = walk([Qt.Key_Escape, () => { main.detectKeyboard(true, 0x29); keyClick(Qt.Key_Escape) }],
                              () => [keys.visible, keys.isFireInput])
            compare([seen, keys.keyString], [[[true, true], [true, false]], "Esc"])
            tryVerify(() => !keys.isEscapeJustTaken, 1000)
            keyClick(Qt.Key_Escape)
            compare([keys.visible, child(main, "keyMatrixMain").modKeys.get(3).keyText], [false, "Esc"])
        }

        // The switcher follows the manager's rows; an arrow only opens its list (a switch sends a whole profile and
        // the system settings built before show its pointer speed).
        function test_titleBarSwitchesProfiles() {
            ui_View.updataNameList(2, ["Standard0", "A1", "B2"])
            testData.write("modules/setting/p2.bin", testData.read("modules/setting/p2.bin").replace("mouseRate=170", "mouseRate=104"))
            const main = startMain(true)
            const [profiles, switcher, system] = [dialog(main, "profileMain"), child(main, "menuUp").profileList,
                                                  dialog(main, "systemSettingMain")]
            switcher.forceActiveFocus(Qt.TabFocusReason)
            keyClick(Qt.Key_Down)
            tryVerify(() => !switcher.isAnimating && switcher.isDrop, 1000)
            compare([main.profileNo, switcher.Accessible.name], [0, "Profile"])
            keyClicks(Qt.Key_Down, Qt.Key_Return)
            tryCompare(main, "profileNo", 1)
            settle()
            compare(child(system, "mouseSpeedSlider").xPosition, 104)
            pickRow(switcher, 2, 40)
            tryCompare(main, "profileNo", 2)
            settle()
            child(profiles, "profileList").currentIndex = 1
            profiles.deleteCurrentProfile()
            compare([profiles.profileNo, Number(ui_View.getGlobalData("mouse/profileNo")), switcher.currentSelect,
                     switcher.textValue, profiles.profileDataModel0.count], [2, 2, 1, "B", 2])
        }

        // Switching profile (title bar, or the tray) and quitting ask first about unsaved changes.
        function test_unsavedChangesAreNotDroppedWithoutAsking_data() {
            return ["switch Save", "switch Cancel", "quit Discard", "quit Escape"]
                .map((row) => ({ tag: row, quit: row.startsWith("quit"), answer: row.split(" ")[1] }))
        }

        function test_unsavedChangesAreNotDroppedWithoutAsking(data) {
            ui_View.updataNameList(2, ["Standard0", "Gaming1"])
            const main = startMain(true)
            const [dpi, mask, switcher, quits] = [child(main, "dpiSettingMain"), child(main, "mask"),
                child(main, "menuUp").profileList, spy(ui_Ctl, "quitRequested")]
            const before = Number(ui_View.getDataList("mouse/dpiValueArray", false)[0])
            drag(dpi.stage(0).slider.children[2], 494, 0)
            data.quit ? main.requestQuit() : pickRow(switcher, 1, 40)
            tryVerify(() => findChild(main, "unsavedPrompt")?.visible, 1000)
            const prompt = child(main, "unsavedPrompt")
            compare([mask.visible, quits.count, main.profileNo, main.hasUnsavedChanges], [true, 0, 0, true])
            data.answer === "Escape" ? keyClick(Qt.Key_Escape) : mouseClick(child(prompt, "unsaved" + data.answer))
            settle()
            const done = data.answer === "Save" || data.answer === "Discard"
            const switched = !data.quit && done ? 1 : 0
            compare([prompt.visible, mask.visible, quits.count, main.profileNo, main.hasUnsavedChanges, switcher.currentSelect],
                    [false, false, data.quit && done ? 1 : 0, switched, !done, switched])
            compare(Number(/dpiValueArray=(\d+)/.exec(testData.read("modules/setting/p1.bin"))[1]), data.answer === "Save" ? 6000 : before)
            if (data.answer === "Discard" && data.quit)
                compare(dpi.stage(0).dpiValue, String(before))
        }

        // A factory reset resets the gun slots however the editor is built; they go out until the mouse takes them.
        function test_factoryResetResetsTheGunSlots_data() {
            return ["before", "after", "release"].map((build) => ({ tag: "editor built, " + build, build: build }))
        }

        function test_factoryResetResetsTheGunSlots(data) {
            ui_View.setGlobalData("mouse/selectGun", [5, 4, 3])
            const main = startMain(true, true)
            if (data.build !== "after")
                compare(dialog(main, "gunControlMain").selectGun1, 5)
            mouseClick(child(main, "resetButton"))
            mouseClick(child(main, "resetOk"))
            settle()
            const pictures = () => [child(main, "titleLogo").status, child(main, "mousePicture").status]
            if (data.build === "release")
                main.endCaptures() // in the tray the backdrop and the mouse let go of their pictures too
            const released = data.build === "release" ? Image.Null : Image.Ready
            compare([ui_View.getGlobalData("mouse/selectGun").map(Number), !!main.gunControl, pictures()],
                    [[0, 1, 2], data.build === "before", [released, released]])
            main.wake()
            compare(pictures(), [Image.Ready, Image.Ready])
            const gun = dialog(main, "gunControlMain")
            compare([gun.selectGun1, gun.selectGun2, gun.selectGun3, gun.gunNumberModel.get(1).gunY, gun.isSave],
                    [0, 1, 2, "7", true])
            const closes = [false, true].map((taken) => {
                testData.setMouseSilent(!taken)
                gun.visible = true
                const commands = sent(() => gun.close())
                return [taken && commands, gun.isSave]
            })
            compare(closes, [[false, true], ["83 04 83 04 83 04 12", false]])
        }

        // One Save sends the edited panels in order, busy meanwhile; a Save the data folder refuses leaves them unsaved.
        function test_saveSendsTheEditedPanels() {
            const main = startMain(true)
            ui_View.setDataList("mouse/dpiValueArray", [1, 2, 3, 4, 5, 6, 7, 8])
            const [keys, dpi, light, save] = ["keyMatrixMain", "dpiSettingMain", "lightControlMain", "saveButton"]
                .map((n) => child(main, n))
            const notices = spy(ui_View, "userNotice")
            const state = () => [notices.count, main.hasUnsavedChanges, keys.isSave, dpi.isSave, light.isSave,
                                 ui_View.getDataList("mouse/dpiValueArray", false)[0]]
            compare([sent(() => mouseClick(save))].concat(state()), ["", 0, false, false, false, false, 1])
            keys.modKeys.setProperty(3, "keyCode2", 0xF1)
            keys.isSave = true
            drag(dpi.stage(0).slider.children[2], 494, 0)
            light.pickEffect(2)
            testData.setUnwritable("modules/setting/p1.bin", true)
            mouseClick(save)
            settle()
            testData.setUnwritable("modules/setting/p1.bin", false)
            compare(state(), [1, true, true, true, true, 6000])
            testData.clearDeviceRecord()
            mouseClick(save)
            compare([main.locked, child(main, "busyIndicator").visible, child(main, "leftPanel").enabled], [true, true, false])
            settle()
            compare([codes(), main.locked].concat(state()), ["12 11 0d 10 10", false, 1, false, false, false, false, 6000])
        }

        // What the mouse did not take is told and stays unsaved (a switch: after a restart too); the rate box goes back.
        function test_refusedSendsAreToldAndStayUnsaved_data() {
            return [{ tag: "switch", action: (main) => main.requestProfileSwitch(1), owed: true,
                      shown: (main) => [main.profileNo], after: [1] },
                    { tag: "report rate", action: (main) => { child(main, "rateList").forceActiveFocus(); keyClick(Qt.Key_Up) },
                      shown: (main) => [child(main, "rateList").textValue, ui_View.getData("mouse/reportRate", false)],
                      after: ["1000Hz", "3"] }]
        }

        function test_refusedSendsAreToldAndStayUnsaved(data) {
            ui_View.updataNameList(2, ["Standard0", "Gaming1"])
            const main = startMain(true)
            testData.setMouseSilent(true)
            data.action(main)
            settle()
            compare([child(main, "noticeBar").Accessible.name, main.hasUnsavedChanges,
                     String(child(main, "saveButton").faceColor)].concat(data.shown(main)),
                    [main.noticeLang[5], !!data.owed, data.owed ? "#ff3030" : "#09347f"].concat(data.after))
            if (!data.owed)
                return
            main.destroy()
            const again = startMain()
            compare([again.hasUnsavedChanges, again.noticeText], [true, again.noticeLang[7]])
        }

        // Macros reach their slots on assignment and edit; a rename relabels, a delete restores the buttons' defaults.
        function test_macros() {
            ui_View.updataNameList(0, ["M1"])
            ui_View.createMacroIni("M1", 0)
            ui_View.saveMacroIni("M1", ["1,A", "0,30", "2,A"], 1)
            ui_View.setDataList("mouseKeyMatrix/4", [4, 0, 3, 0]) // button 4 plays slot 3
            ui_View.setData("mouseMacroKey/3", "M1")
            const main = startMain(true)
            main.showKeyAssigment(2)
            const keys = dialog(main, "keyAssigmentMain")
            keys.chooseMacroMode(0)
            keys.chooseMacro(0)
            compare([sent(() => keys.closeDialog()), ui_View.getData("mouseMacroKey/2", false)], ["13", "M1"])
            const editor = dialog(main, "macroEditorMain")
            compare(sent(() => editor.modifyMacroData("M1")), "13 13")
            verify(editor.renameMacro(0, "Burst"))
            compare([2, 4].map((row) => child(main, "keyMatrixMain").modKeys.get(row).keyText), ["Burst", "Burst"])
            editor.selectMacro(0)
            compare([sent(() => editor.deleteCurrentMacro()), child(main, "keyMatrixMain").modKeys.get(4).keyCode2], ["12", 0xF3])
        }
    }
}
