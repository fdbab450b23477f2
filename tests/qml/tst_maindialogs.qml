import QtQuick
import QtTest

// The macro editor, the profile manager and the gun editor inside the main
// scene: how the scene opens them, forwards key events, keeps macro
// bindings and switches profiles.
Item {
    id: scene

    width: 1024
    height: 640

    SceneTestCase {
        name: "MainDialogs"

        // Each dialog opens centred over the mask with the keyboard and gives
        // it back to its opener when it closes (Escape: tst_main's walks); the
        // question stays within the window when dragged; the macro editor
        // opens over the button assignment dialog and leaves the mask under it.
        function test_dialogsOpenCentredOverTheMaskAndCloseIt_data() {
            return [
                { tag: "macro editor", name: "macroEditorMain", x: 192 },
                { tag: "gun editor", name: "gunControlMain", x: 192 },
                { tag: "profiles", name: "profileMain", x: 362 },
                { tag: "system settings", name: "systemSettingMain", x: 304, y: 164 },
                { tag: "reset question, dragged", name: "resetConfirm", x: 298.5, y: 269, close: "resetCancel" },
                { tag: "macro editor over the assignment", name: "macroEditorMain", x: 192, over: true },
            ]
        }

        function test_dialogsOpenCentredOverTheMaskAndCloseIt(data) {
            const main = startMain()
            const mask = child(main, "mask")
            const opener = child(main, "configButton")
            const under = data.over ? dialog(main, "keyAssigmentMain") : null
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
            verify(shown.visible && mask.visible && (under || shown.activeFocus))
            compare([shown.x, shown.y], [data.x, data.y === undefined ? shown.y : data.y])
            if (under)
                verify(under.visible && shown.z > under.z)
            if (data.close) {
                mousePress(shown, 200, 60)
                mouseMove(shown, 200 + 1000, 60 + 1000)
                compare([shown.x, shown.y], [1024 - 427, 640 - 102])
                mouseMove(shown, -2000, -2000)
                compare([shown.x, shown.y], [0, 0])
                mouseRelease(shown, -2000, -2000)
            }
            mouseClick(child(data.close ? main : shown, data.close || "closeMark"))
            compare([shown.visible, mask.visible], [false, !!under])
            if (under)
                mouseClick(child(under, "closeMark"))
            compare([mask.visible, opener.activeFocus], [false, true])
        }

        // Keys reach the recorder only while it records a selected macro,
        // and the insert-key box while it waits.
        function test_keyEventsReachTheRecorderOnlyWithAMacroSelected() {
            ui_View.updataNameList(0, ["Macro_0"])
            ui_View.createMacroIni("Macro_0", 0)
            const main = startMain()
            const editor = dialog(main, "macroEditorMain")
            editor.isInputting = true
            main.detectKeyboard(true, 0x04)
            compare(editor.actionModel.count, 0)
            editor.isInputting = false
            editor.selectMacro(0)
            editor.toggleRecording()
            main.detectKeyboard(true, 0x04)
            main.detectKeyboard(false, 0x04)
            editor.toggleRecording()
            editor.actionList.currentIndex = 0
            editor.actionMenuChosen(2)
            main.detectKeyboard(true, 0x2C)
            editor.insertKeyConfirmed()
            compare(ui_View.loadMacroIni("Macro_0"), ["1,Space", "2,Space", "1,A", "2,A", "1"])
        }

        // Global capture runs exactly while a field or the recorder waits;
        // each wait ends on its own (key taken, Stop, dialog closed) and
        // when the window goes to the tray.
        function test_capturesRunOnlyWhileTheSceneWaits_data() {
            return [
                { tag: "fire key taken", start: "fire", end: "key" },
                { tag: "fire key, window hidden", start: "fire", end: "hide" },
                { tag: "combination, dialog closed", start: "combo", end: "close" },
                { tag: "combination, window hidden", start: "combo", end: "hide" },
                { tag: "recording stopped", start: "record", end: "stop" },
                { tag: "recording, window hidden", start: "record", end: "hide" },
                { tag: "insert key, window hidden", start: "insert", end: "hide" },
            ]
        }

        function test_capturesRunOnlyWhileTheSceneWaits(data) {
            ui_View.updataNameList(0, ["Macro_0"])
            ui_View.createMacroIni("Macro_0", 0)
            const main = startMain()
            const usesKeys = data.start === "fire" || data.start === "combo"
            const keys = dialog(main, "keyAssigmentMain")
            const editor = dialog(main, "macroEditorMain")
            testData.setViewShown(true)
            if (usesKeys) {
                main.showKeyAssigment(0)
            } else {
                main.openDialog(child(main, "macroEditorMainLoader"))
                editor.selectMacro(0)
                if (data.start === "insert") {
                    editor.toggleRecording()
                    main.detectKeyboard(true, 0x04)
                    editor.toggleRecording()
                    editor.actionList.currentIndex = 0
                }
            }
            verify(!main.isCapturing)
            const captures = spy(ui_View, "captureActiveChanged")
            const steps = {
                fire: () => keys.startFireInput(), combo: () => keys.startComboInput(),
                record: () => editor.toggleRecording(), insert: () => editor.actionMenuChosen(2),
                key: () => main.detectKeyboard(true, 0x04), close: () => keys.closeDialog(),
                stop: () => editor.toggleRecording(), hide: () => testData.setViewShown(false)
            }
            steps[data.start]()
            verify(main.isCapturing)
            steps[data.end]()
            compare(args(captures), [[true], [false]])
            if (data.end === "hide") {
                // What the view then asks of the scene hosting it. The open
                // dialog stays; the closed one is released until it opens.
                main.endCaptures()
                compare([main.keyAssigment === keys, main.macroEditor === editor], [usesKeys, !usesKeys])
            }
            verify(!main.isCapturing)
            if (main.keyAssigment)
                verify(!keys.isFireInput && !keys.isComboInput)
            if (main.macroEditor)
                verify(!editor.isInputting && !editor.isInsertting && !editor.insertKeyBox.visible)
            // Back from the tray: no capture until the user starts one.
            testData.setViewShown(true)
            testData.setViewShown(false)
            compare(captures.count, 2)
        }

        // The binding moves before the name list is stored, and the button
        // shows the new name.
        function test_renameMovesTheBindingAndTheButtonText() {
            ui_View.updataNameList(0, ["Macro_0", "Other"])
            ui_View.createMacroIni("Macro_0", 0)
            ui_View.createMacroIni("Other", 0)
            ui_View.setCurrentProfile(0)
            ui_View.setData("mouseMacroKey/3", "Macro_0")
            ui_View.setDataList("mouseKeyMatrix/3", [4, 0, 3, 0])
            const main = startMain()
            verify(dialog(main, "macroEditorMain").renameMacro(0, "Burst"))
            compare([String(ui_View.getData("mouseMacroKey/3", false)), child(main, "keyMatrixMain").modKeys.get(3).keyText,
                     ui_View.getNameList(0), ui_View.loadMacroIni("Macro_0"), ui_View.loadMacroIni("Burst")],
                    ["Burst", "Burst", ["Burst", "Other"], [], ["1"]])
        }

        function test_titleBarSwitchesProfiles() {
            ui_View.updataNameList(2, ["Standard0", "A1", "B2"])
            const main = startMain()
            const profiles = dialog(main, "profileMain")
            const switcher = child(main, "menuUp").profileList
            const list = child(profiles, "profileList")
            compare(switcher.currentSelect, 0)
            list.currentIndex = 1
            profiles.deleteCurrentProfile()
            profiles.newProfile()
            // The switcher's rows are the manager's: B (2), then profile_0 (1).
            for (const [row, profileNo] of [[1, 2], [2, 1]]) {
                pickRow(switcher, row, 40)
                tryCompare(main, "profileNo", profileNo)
                compare([profiles.profileNo, Number(ui_View.getGlobalData("mouse/profileNo")), switcher.currentSelect],
                        [profileNo, profileNo, row])
            }
            // The active row cannot go; deleting a row above it keeps the
            // switcher's mark on it.
            for (const row of [2, 1]) {
                list.currentIndex = row
                profiles.deleteCurrentProfile()
            }
            compare([profiles.profileDataModel0.count, switcher.currentSelect, switcher.textValue], [2, 1, "profile_0"])
        }

        // Switching profile (title bar, or requestProfileSwitch as the tray
        // does) and quitting ask first when a screen has unsaved changes.
        function test_unsavedChangesAreNotDroppedWithoutAsking_data() {
            return [
                { tag: "switch, save", answer: "unsavedSave", stored: true, done: true },
                { tag: "switch, discard", answer: "unsavedDiscard", done: true },
                { tag: "switch, cancel", answer: "unsavedCancel" },
                { tag: "quit, save", quit: true, answer: "unsavedSave", stored: true, done: true },
                { tag: "quit, discard", quit: true, answer: "unsavedDiscard", done: true },
                { tag: "quit, escape", quit: true },
            ]
        }

        function test_unsavedChangesAreNotDroppedWithoutAsking(data) {
            ui_View.updataNameList(2, ["Standard0", "Gaming1"])
            const main = startMain()
            const dpi = child(main, "dpiSettingMain")
            const prompt = child(main, "unsavedPrompt")
            const mask = child(main, "mask")
            const switcher = child(main, "menuUp").profileList
            const quits = spy(ui_Ctl, "quitRequested")
            const before = Number(ui_View.getDataList("mouse/dpiValueArray", false)[0])
            // Without changes nothing is asked.
            main.requestProfileSwitch(1)
            main.requestProfileSwitch(0)
            compare([main.profileNo, prompt.visible], [0, false])
            drag(dpi.stage(0).slider.children[2], 494, 0)
            verify(main.hasUnsavedChanges)
            if (data.quit)
                main.requestQuit()
            else
                pickRow(switcher, 1, 40)
            tryVerify(() => prompt.visible, 1000)
            compare([mask.visible, quits.count, main.profileNo], [true, 0, 0])
            if (data.answer)
                mouseClick(child(prompt, data.answer))
            else
                keyClick(Qt.Key_Escape)
            const done = !!data.done
            compare([prompt.visible, mask.visible, quits.count, main.profileNo, main.hasUnsavedChanges],
                    [false, false, data.quit && done ? 1 : 0, !data.quit && done ? 1 : 0, !done])
            compare([switcher.currentSelect, child(main, "saveButton").faceColor],
                    [main.profileNo, Qt.color(done ? "#09347f" : "#ff3030")])
            ui_View.setCurrentProfile(0)
            compare(Number(ui_View.getDataList("mouse/dpiValueArray", false)[0]), data.stored ? 6000 : before)
            // Discarded means gone from the screen too.
            if (data.answer === "unsavedDiscard" && data.quit)
                compare(dpi.stage(0).dpiValue, String(before))
        }

        // Whether or not the gun editor is built, the reset is stored and
        // the editor's next closing sends the slots.
        function test_factoryResetResetsTheGunSlots_data() {
            return [
                { tag: "editor built", build: "before" },
                { tag: "editor built later", build: "after" },
                { tag: "editor released in the tray", build: "release" },
            ]
        }

        function test_factoryResetResetsTheGunSlots(data) {
            ui_View.setGlobalData("mouse/selectGun", [5, 4, 3])
            const main = startMain()
            if (data.build !== "after")
                compare(dialog(main, "gunControlMain").selectGun1, 5)
            mouseClick(child(main, "resetButton"))
            mouseClick(child(main, "resetOk"))
            compare(ui_View.getGlobalData("mouse/selectGun").map(Number), [0, 1, 2])
            if (data.build === "release") {
                main.endCaptures()
                verify(!main.gunControl)
            }
            const gun = dialog(main, "gunControlMain")
            compare([gun.selectGun1, gun.selectGun2, gun.selectGun3, gun.gunNumberModel.get(1).gunY, gun.isSave],
                    [0, 1, 2, "7", true])
        }
    }
}
