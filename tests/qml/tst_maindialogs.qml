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

        function test_dialogsOpenCentredOverTheMaskAndCloseIt_data() {
            return [
                { tag: "macro editor", name: "macroEditorMain", width: 640 },
                { tag: "gun editor", name: "gunControlMain", width: 640 },
                { tag: "profiles", name: "profileMain", width: 300 },
                { tag: "macro editor, Escape", name: "macroEditorMain", width: 640, escape: true },
                { tag: "system settings, Escape", name: "systemSettingMain", width: 416, escape: true },
            ]
        }

        // The dialog takes the keyboard and gives it back to its opener.
        function test_dialogsOpenCentredOverTheMaskAndCloseIt(data) {
            const main = startMain()
            const opener = child(main, "configButton")
            opener.forceActiveFocus()
            main.openDialog(child(main, data.name + "Loader"))
            const dialog = child(main, data.name)
            verify(dialog.visible)
            verify(dialog.activeFocus)
            verify(child(main, "mask").visible)
            compare(dialog.x, (1024 - data.width) / 2)
            if (data.escape)
                keyClick(Qt.Key_Escape)
            else
                mouseClick(child(dialog, "closeMark"))
            verify(!dialog.visible)
            verify(!child(main, "mask").visible)
            verify(opener.activeFocus)
        }

        function test_keyEventsReachTheRecorderOnlyWithAMacroSelected() {
            ui_View.updataNameList(0, ["Macro_0"])
            ui_View.createMacroIni("Macro_0", 0)
            const main = startMain()
            const editor = dialog(main, "macroEditorMain")
            compare(editor.macroNumberModel.count, 1)
            editor.isInputting = true
            main.detectKeyboard(true, 0x04)
            compare(editor.actionModel.count, 0)
            editor.isInputting = false
            editor.selectMacro(0)
            editor.toggleRecording()
            main.detectKeyboard(true, 0x04)
            main.detectKeyboard(false, 0x04)
            editor.toggleRecording()
            compare(ui_View.loadMacroIni("Macro_0"), ["1,A", "2,A", "1"])
            editor.actionList.currentIndex = 0
            editor.actionMenuChosen(2)
            main.detectKeyboard(true, 0x2C)
            compare(editor.tmpKeyString, "Space")
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
            if (data.start === "fire")
                keys.startFireInput()
            else if (data.start === "combo")
                keys.startComboInput()
            else if (data.start === "record")
                editor.toggleRecording()
            else
                editor.actionMenuChosen(2)
            verify(main.isCapturing)
            if (data.end === "key")
                main.detectKeyboard(true, 0x04)
            else if (data.end === "close")
                keys.closeDialog()
            else if (data.end === "stop")
                editor.toggleRecording()
            else
                testData.setViewShown(false)
            if (data.end === "hide") {
                compare(captures.count, 2)
                // What the view then asks of the scene hosting it. The open
                // dialog stays; the closed one is released until it opens.
                main.endCaptures()
                compare([main.keyAssigment === keys, main.macroEditor === editor],
                        [usesKeys, !usesKeys])
            }
            verify(!main.isCapturing)
            if (main.keyAssigment)
                verify(!keys.isFireInput && !keys.isComboInput)
            if (main.macroEditor)
                verify(!editor.isInputting && !editor.isInsertting && !editor.insertKeyBox.visible)
            compare(captures.count, 2)
            compare(captures.signalArguments[0][0], true)
            compare(captures.signalArguments[1][0], false)
            if (data.end === "hide") {
                // Back from the tray: no capture until the user starts one.
                testData.setViewShown(true)
                compare(captures.count, 2)
            }
            testData.setViewShown(false)
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
            compare(String(ui_View.getData("mouseMacroKey/3", false)), "Burst")
            compare(child(main, "keyMatrixMain").modKeys.get(3).keyText, "Burst")
            compare(ui_View.getNameList(0), ["Burst", "Other"])
            compare(ui_View.loadMacroIni("Macro_0"), [])
            compare(ui_View.loadMacroIni("Burst"), ["1"])
        }

        function test_titleBarSwitchesProfiles() {
            ui_View.updataNameList(2, ["Standard0", "A1", "B2"])
            const main = startMain()
            const profiles = dialog(main, "profileMain")
            const switcher = child(main, "menuUp").profileList
            compare(switcher.currentSelect, 0)
            child(profiles, "profileList").currentIndex = 1
            profiles.deleteCurrentProfile()
            profiles.newProfile()
            compare(profiles.profileDataModel0.get(2).textValue, "profile_0")
            compare(profiles.profileDataModel0.get(2).profileNo, 1)
            pickRow(switcher, 1, 40)
            tryCompare(main, "profileNo", 2)
            compare(profiles.profileNo, 2)
            compare(Number(ui_View.getGlobalData("mouse/profileNo")), 2)
            compare(switcher.currentSelect, 1)
            pickRow(switcher, 2, 40)
            tryCompare(main, "profileNo", 1)
            compare(switcher.currentSelect, 2)
            // The active row cannot go; deleting a row above it keeps the
            // switcher's mark on it.
            child(profiles, "profileList").currentIndex = 2
            profiles.deleteCurrentProfile()
            compare(profiles.profileDataModel0.count, 3)
            child(profiles, "profileList").currentIndex = 1
            profiles.deleteCurrentProfile()
            compare(profiles.profileDataModel0.count, 2)
            compare(switcher.currentSelect, 1)
            compare(switcher.textValue, "profile_0")
        }

        // Switching profile (title bar, or requestProfileSwitch as the tray
        // does) and quitting ask first when a screen has unsaved changes.
        function test_unsavedChangesAreNotDroppedWithoutAsking_data() {
            return [
                { tag: "switch, save", quit: false, answer: "unsavedSave", stored: true, done: true },
                { tag: "switch, discard", quit: false, answer: "unsavedDiscard", stored: false,
                  done: true },
                { tag: "switch, cancel", quit: false, answer: "unsavedCancel", stored: false,
                  done: false },
                { tag: "quit, save", quit: true, answer: "unsavedSave", stored: true, done: true },
                { tag: "quit, discard", quit: true, answer: "unsavedDiscard", stored: false,
                  done: true },
                { tag: "quit, escape", quit: true, answer: "", stored: false, done: false },
            ]
        }

        function test_unsavedChangesAreNotDroppedWithoutAsking(data) {
            ui_View.updataNameList(2, ["Standard0", "Gaming1"])
            const main = startMain()
            const dpi = child(main, "dpiSettingMain")
            const prompt = child(main, "unsavedPrompt")
            const switcher = child(main, "menuUp").profileList
            const quits = spy(ui_Ctl, "quitRequested")
            const before = ui_View.getDataList("mouse/dpiValueArray", false)[0]
            // Without changes nothing is asked.
            main.requestProfileSwitch(1)
            main.requestProfileSwitch(0)
            compare(main.profileNo, 0)
            verify(!prompt.visible)

            drag(dpi.stage(0).slider.children[2], 494, 0)
            verify(main.hasUnsavedChanges)
            if (data.quit)
                main.requestQuit()
            else
                pickRow(switcher, 1, 40)
            tryVerify(() => prompt.visible, 1000)
            verify(child(main, "mask").visible)
            compare([quits.count, main.profileNo], [0, 0])
            if (data.answer)
                mouseClick(child(prompt, data.answer))
            else
                keyClick(Qt.Key_Escape)
            verify(!prompt.visible && !child(main, "mask").visible)
            compare(quits.count, data.quit && data.done ? 1 : 0)
            compare(main.profileNo, !data.quit && data.done ? 1 : 0)
            compare(switcher.currentSelect, main.profileNo)
            compare(main.hasUnsavedChanges, !data.done)
            compare(child(main, "saveButton").faceColor,
                    Qt.color(data.done ? "#09347f" : "#ff3030"))
            ui_View.setCurrentProfile(0)
            compare(Number(ui_View.getDataList("mouse/dpiValueArray", false)[0]),
                    data.stored ? 6000 : Number(before))
            if (data.answer === "unsavedDiscard" && data.quit) {
                // Discarded means gone from the screen too.
                compare(dpi.stage(0).dpiValue, String(Number(before)))
            }
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
            let gun = data.build === "after" ? null : dialog(main, "gunControlMain")
            if (gun)
                compare(gun.selectGun1, 5)
            mouseClick(child(main, "resetButton"))
            mouseClick(child(main, "resetOk"))
            compare(ui_View.getGlobalData("mouse/selectGun").map(Number), [0, 1, 2])
            if (data.build === "release") {
                main.endCaptures()
                verify(!main.gunControl)
            }
            gun = dialog(main, "gunControlMain")
            compare([gun.selectGun1, gun.selectGun2, gun.selectGun3], [0, 1, 2])
            compare(gun.gunNumberModel.get(1).gunY, "7")
            verify(gun.isSave)
        }
    }
}
