import QtQuick
import QtTest

// The dialogs inside the main scene: how the scene opens them, forwards key
// events and switches profiles.
Item {
    id: scene

    width: 1024
    height: 640

    SceneTestCase {
        name: "MainDialogs"

        // Each dialog opens centred over the mask with the keyboard and gives it back
        // when it closes; the question stays within the window when dragged; the macro
        // editor opens over the assignment dialog and leaves the mask under it.
        function test_dialogsOpenCentredOverTheMaskAndCloseIt_data() {
            return [
                { tag: "macro editor", name: "macroEditorMain", x: 192, y: 96 },
                { tag: "profiles", name: "profileMain", x: 362, y: 180 },
                { tag: "reset question, dragged", name: "resetConfirm", x: 298.5, y: 269, close: "resetCancel" },
                { tag: "macro editor over the assignment", name: "macroEditorMain", x: 192, y: 96, over: true },
                { tag: "system settings, rebuilt after the tray", name: "systemSettingMain", x: 304, y: 139, rebuilt: true },
            ]
        }

        function test_dialogsOpenCentredOverTheMaskAndCloseIt(data) {
            const main = startMain()
            const [mask, opener] = [child(main, "mask"), child(main, "configButton")]
            const under = data.over ? dialog(main, "keyAssigmentMain") : null
            if (data.rebuilt) {
                // Built, closed, released in the tray: built again with all it was built with.
                main.openDialog(child(main, data.name + "Loader"))
                mouseClick(child(child(main, data.name), "closeMark"))
                main.endCaptures()
                main.wake()
                compare(child(main, data.name + "Loader").item, null)
            }
            opener.forceActiveFocus()
            if (under) {
                main.showKeyAssigment(4)
                child(under, "page").contentY = 250
                waitForRendering(under)
                mouseClick(child(under, "macroEditorButton"))
            } else {
                main.openDialog(child(main, data.name + "Loader"))
            }
            const shown = child(main, data.name)
            compare([shown.visible, mask.visible, !!under || shown.activeFocus, shown.x, shown.y, !under || shown.z > under.z],
                    [true, true, true, data.x, data.y, true])
            if (data.close) {
                mousePress(shown, 200, 60)
                mouseMove(shown, 1200, 1060)
                const far = [shown.x, shown.y]
                mouseMove(shown, -2000, -2000)
                mouseRelease(shown, -2000, -2000)
                compare(far.concat([shown.x, shown.y]), [1024 - 427, 640 - 102, 0, 0])
            }
            mouseClick(child(data.close ? main : shown, data.close || "closeMark"))
            compare([shown.visible, mask.visible, !under || under.visible], [false, !!under, true])
            if (under)
                mouseClick(child(under, "closeMark"))
            compare([mask.visible, opener.activeFocus], [false, true])
        }

        // Global capture runs exactly while a field or the recorder waits; each wait ends
        // on its own (key taken, Stop, dialog closed) and when the window goes to the tray.
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
            testData.setViewShown(true)
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
                hide: () => { testData.setViewShown(false); main.endCaptures() }
            }
            steps[data.start]()
            verify(main.isCapturing)
            steps[data.end]()
            // Hidden, the open dialog stays; the closed one is released until it opens.
            compare([main.isCapturing, !!main.keyAssigment && (keys.isFireInput || keys.isComboInput),
                     !!main.macroEditor && (editor.isInputting || editor.isInsertting || editor.insertKeyBox.visible),
                     data.end !== "hide" || (main.keyAssigment === keys) === usesKeys && !main.macroEditor === usesKeys],
                    [false, false, false, true])
            // Back from the tray: no capture until the user starts one.
            testData.setViewShown(true)
            testData.setViewShown(false)
            compare(args(captures), [[true], [false]])
            if (data.end === "stop")
                compare(ui_View.loadMacroIni("Macro_0"), ["1,B", "2,B", "1"])
        }

        // While a key capture waits, and in the press that it took, Escape is the captured key
        // (the window may see that press before or after the capture); after that it closes.
        function test_escapeDuringACaptureIsAKey() {
            const main = startMain()
            main.showKeyAssigment(3)
            const keys = dialog(main, "keyAssigmentMain")
            child(keys, "fireKeyStop").forceActiveFocus(Qt.TabFocusReason)
            keys.startFireInput()
            keyClick(Qt.Key_Escape)
            const seen = [[keys.visible, keys.isFireInput]]
            main.detectKeyboard(true, 0x29)
            keyClick(Qt.Key_Escape)
            seen.push([keys.visible, keys.isFireInput, keys.keyString])
            compare(seen, [[true, true], [true, false, "Esc"]])
            tryVerify(() => !keys.isEscapeJustTaken, 1000)
            keyClick(Qt.Key_Escape)
            compare([keys.visible, child(main, "keyMatrixMain").modKeys.get(3).keyText], [false, "Esc"])
        }

        // The switcher's rows are the manager's; deleting one above keeps the mark. From the
        // keyboard an arrow only opens its list (a switch sends the whole profile); Enter switches.
        function test_titleBarSwitchesProfiles() {
            ui_View.updataNameList(2, ["Standard0", "A1", "B2"])
            const main = startMain(true)
            const [profiles, switcher] = [dialog(main, "profileMain"), child(main, "menuUp").profileList]
            switcher.forceActiveFocus(Qt.TabFocusReason)
            keyClick(Qt.Key_Down)
            tryVerify(() => !switcher.isAnimating && switcher.isDrop, 1000)
            compare([main.profileNo, switcher.Accessible.name], [0, "Profile"])
            keyClick(Qt.Key_Down)
            keyClick(Qt.Key_Return)
            tryCompare(main, "profileNo", 1)
            settle()
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
            return ["switch Save", "switch Discard", "switch Cancel", "quit Save", "quit Discard", "quit Escape"]
                .map((row) => ({ tag: row, quit: row.startsWith("quit"), answer: row.split(" ")[1] }))
        }

        function test_unsavedChangesAreNotDroppedWithoutAsking(data) {
            ui_View.updataNameList(2, ["Standard0", "Gaming1"])
            const main = startMain(true)
            const [dpi, mask, switcher, quits] = [child(main, "dpiSettingMain"), child(main, "mask"),
                child(main, "menuUp").profileList, spy(ui_Ctl, "quitRequested")]
            const before = Number(ui_View.getDataList("mouse/dpiValueArray", false)[0])
            main.requestProfileSwitch(1) // without changes nothing is asked
            settle()
            main.requestProfileSwitch(0)
            settle()
            // The question is built when first asked.
            compare([main.profileNo, findChild(main, "unsavedPrompt")], [0, null])
            drag(dpi.stage(0).slider.children[2], 494, 0)
            data.quit ? main.requestQuit() : pickRow(switcher, 1, 40)
            tryVerify(() => findChild(main, "unsavedPrompt")?.visible, 1000)
            const prompt = child(main, "unsavedPrompt")
            compare([mask.visible, quits.count, main.profileNo, main.hasUnsavedChanges], [true, 0, 0, true])
            data.answer === "Escape" ? keyClick(Qt.Key_Escape) : mouseClick(child(prompt, "unsaved" + data.answer))
            settle()
            const done = data.answer === "Save" || data.answer === "Discard"
            compare([prompt.visible, mask.visible, quits.count, main.profileNo, main.hasUnsavedChanges,
                     switcher.currentSelect, child(main, "saveButton").faceColor],
                    [false, false, data.quit && done ? 1 : 0, !data.quit && done ? 1 : 0, !done,
                     !data.quit && done ? 1 : 0, Qt.color(done ? "#09347f" : "#ff3030")])
            const stored = /dpiValueArray=(\d+)/.exec(testData.read("modules/setting/p1.bin"))[1]
            compare(Number(stored), data.answer === "Save" ? 6000 : before)
            // Discarded means gone from the screen too.
            if (data.answer === "Discard" && data.quit)
                compare(dpi.stage(0).dpiValue, String(before))
        }

        // Whether the gun editor is built before, after or released in the tray, the
        // reset is stored and its next closing sends the slots with the key table (a
        // closing without a change sends nothing: tst_guncontrol), again while the
        // mouse has not taken them.
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
            const sent = [false, true].map((taken) => {
                testData.setMouseSilent(!taken)
                testData.clearDeviceRecord()
                gun.visible = true
                gun.close()
                settle()
                return [taken && codes(), gun.isSave]
            })
            compare(sent, [[false, true], ["83 04 83 04 83 04 12", false]])
        }
    }
}
