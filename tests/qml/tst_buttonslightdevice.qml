import QtQuick
import QtTest

// Save in the main scene, with a virtual mouse behind the view: what the
// button and lighting screens hand over reaches the mouse as the right
// reports.
Item {
    id: scene

    width: 1024
    height: 640

    SceneTestCase {
        name: "ButtonsAndLightOnTheMouse"

        // `flags` are global settings written before the mouse is attached.
        function startOnMouse(family, isGun, flags) {
            for (const key in flags || {})
                ui_View.setGlobalData(key, flags[key])
            verify(testData.attachMouse(family, isGun))
            const main = startMain()
            testData.clearDeviceRecord()
            return main
        }

        // Command reports with command code `code`, without the checksum.
        function commandsOf(code) {
            return testData.deviceCommands().filter((c) => parseInt(c.split(" ")[1], 16) === code)
                .map((c) => c.split(" ").slice(0, 8).join(" "))
        }

        function slot(matrix, k) {
            return matrix.split(" ").slice(4 * k, 4 * k + 4).join(" ")
        }

        function assign(main, index, codes, text) {
            const keys = child(main, "keyMatrixMain")
            keys.modKeys.set(index, { keyCode0: codes[0], keyCode1: codes[1], keyCode2: codes[2],
                                      keyCode3: codes[3], keyText: text })
            keys.isSave = true
        }

        function save(main) {
            mouseClick(child(main, "saveButton"))
            verify(ui_View.enabled)
        }

        function test_combinationAndWindowsKeysReachKeyMatrixOne() {
            const main = startOnMouse(553, false)
            mouseClick(findChild(child(main, "keyMatrixMain"), "keyRow3"))
            const dialog = child(main, "keyAssigmentMain")
            verify(dialog.visible)
            dialog.startComboInput()
            for (const code of [0xE0, 0xE1, 0x04, 0x05, 0x06])
                main.detectKeyboard(true, code)
            dialog.confirmCombo()
            mouseClick(findChild(dialog, "closeMark"))
            verify(main.hasUnsavedChanges)
            compare(child(main, "saveButton").faceColor, Qt.color("#ff3030"))
            assign(main, 5, [6, 4, 0x2C, 0x1B], "Max")
            save(main)
            verify(!child(main, "keyMatrixMain").isSave)
            compare(commandsOf(0x12), ["00 12 01 40 08 00 00 00"])
            compare(testData.deviceKeyMatrix(1),
                    "01 00 f0 00 01 00 f1 00 01 00 f2 00 00 03 04 05 01 00 f3 00 "
                    + "01 00 00 00 0a f0 1e 02 0a f0 1e 02 07 00 02 00 00 04 2c 1b "
                    + "01 00 00 00 01 00 00 00 01 00 00 00 01 00 00 00 04 00 01 00 04 00 02 00")
            testData.reopen()
            compare(ui_View.mouseGetKeydefine(3, false), ["2", "3", "4", "5"])
        }

        function test_macroAssignmentReachesTheMouse() {
            ui_View.updataNameList(0, ["M0", "M1"])
            ui_View.createMacroIni("M1", 0)
            ui_View.saveMacroIni("M1", ["1,A", "0,30", "2,A"], 1)
            const main = startOnMouse(553, false)
            mouseClick(findChild(child(main, "keyMatrixMain"), "keyRow3"))
            const dialog = child(main, "keyAssigmentMain")
            dialog.chooseMacroMode(2)
            dialog.macroList.currentSelect = 1
            dialog.chooseMacro(1)
            mouseClick(findChild(dialog, "closeMark"))
            compare(ui_View.getData("mouseMacroKey/3", false), "M1")
            // The macro body goes to slot 3 (macro number 4) as the dialog closes.
            compare(commandsOf(0x13).map((c) => c.substring(0, 11)), ["00 13 04 80"])
            const body = testData.deviceMacro(4).split(" ")
            compare(body.length, 128)
            compare(body.slice(0, 9).join(" "), "00 01 03 04 81 04 00 00 00")
            compare(commandsOf(0x12), [])
            save(main)
            compare(slot(testData.deviceKeyMatrix(1), 3), "09 02 04 00")
        }

        // The mouse's macro slots still hold the previous profile's bodies;
        // a macro edited later goes to the slot its button plays, which
        // need not be the button's number.
        function test_profileSwitchSendsTheBoundMacros() {
            ui_View.createMacroIni("M1", 0)
            ui_View.saveMacroIni("M1", ["1,A", "0,30", "2,A"], 1)
            ui_View.setCurrentProfile(1)
            ui_View.setDataList("mouseKeyMatrix/3", [4, 0, 9, 0])
            ui_View.setData("mouseMacroKey/9", "M1")
            ui_View.setCurrentProfile(0)
            const main = startOnMouse(553, false)
            main.changeProfile(1)
            compare(commandsOf(0x13).map((c) => c.substring(0, 11)), ["00 13 0a 80"])
            compare(testData.deviceMacro(10).split(" ").slice(0, 9).join(" "),
                    "00 01 03 04 81 04 00 00 00")
            testData.clearDeviceRecord()
            dialog(main, "macroEditorMain").modifyMacroData("M1")
            compare(commandsOf(0x13).map((c) => c.substring(0, 11)), ["00 13 0a 80"])
        }

        function test_gunSwitchSendsFourMatricesWithThePresetPeriods() {
            const main = startOnMouse(553, true)
            mouseClick(findChild(child(main, "keyMatrixMain"), "keyRow7"))
            const dialog = child(main, "keyAssigmentMain")
            const page = child(dialog, "page")
            page.contentY = page.contentHeight - page.height
            waitForRendering(dialog)
            mouseClick(findChild(dialog, "gunRadio1"), 5, 5)
            compare(dialog.keyCode2, 2)
            mouseClick(findChild(dialog, "closeMark"))
            save(main)
            compare(commandsOf(0x12).length, 4)
            compare(commandsOf(0x02).length, 1)
            const m1 = testData.deviceKeyMatrix(1)
            compare(slot(m1, 6), "08 00 01 01")
            compare(slot(m1, 7), "08 00 01 01")
            compare(slot(testData.deviceKeyMatrix(2), 0), "0b 00 09 00")
            compare(slot(testData.deviceKeyMatrix(2), 6), "08 00 01 02")
            compare(slot(testData.deviceKeyMatrix(3), 0), "0b 01 09 00")
            compare(slot(testData.deviceKeyMatrix(4), 0), "0b 02 09 00")
        }

        function test_noChangesSendNothing() {
            const main = startOnMouse(553, false)
            save(main)
            compare(testData.deviceCommands(), [])
        }

        function test_lightingOnAColourfulMouse() {
            const main = startOnMouse(553, false, { "mouse/isColorful": true })
            const light = child(main, "lightControlMain")
            light.pickEffect(3)
            save(main)
            compare(commandsOf(0x0D), ["00 0d 00 00 00 00 00 00"])
            compare(commandsOf(0x10), ["00 10 00 18 00 00 00 00", "00 10 00 18 00 00 00 00"])
            testData.clearDeviceRecord()
            light.pickEffect(5)
            child(light, "speedSlider").setIndexValue(2, false)
            light.selectBlock(1)
            light.dragMarker(45)
            save(main)
            compare(commandsOf(0x0D), ["00 0d 05 ff 05 00 00 00"])
            compare(commandsOf(0x10).length, 2)
            compare(ui_View.getDataList("mouse/colorValue", false).slice(3, 6), [128, 255, 0])
        }

        function test_55328SendsTheFixedColourOutsideBreathLoop() {
            const main = startOnMouse(553, false, { "mouse/isColorful": false, "mouse/is55328": true })
            const light = child(main, "lightControlMain")
            compare(light.lightModel.count, 5)
            light.pickEffect(0)
            save(main)
            compare(commandsOf(0x0D), ["00 0d 01 0a 01 00 00 00"])
            compare(commandsOf(0x0C), ["00 0c ff 00 00 00 00 00"])
            compare(commandsOf(0x10), [])
            testData.clearDeviceRecord()
            light.pickEffect(4)
            save(main)
            compare(commandsOf(0x0D), ["00 0d 02 01 03 00 00 00"])
            compare(commandsOf(0x10), ["00 10 00 18 00 00 00 00"])
            compare(commandsOf(0x0C), [])
        }

        function test_factoryResetSendsTheFactoryTable() {
            const main = startOnMouse(553, false)
            const panel = child(main, "keyMatrixMain")
            const light = child(main, "lightControlMain")
            assign(main, 2, [7, 0, 0xE0, 0x06], "Copy")
            light.pickEffect(2)
            save(main)
            compare(slot(testData.deviceKeyMatrix(1), 2), "00 00 e0 06")
            testData.clearDeviceRecord()
            mouseClick(child(main, "resetButton"))
            mouseClick(child(main, "resetOk"))
            compare(slot(testData.deviceKeyMatrix(1), 2), "01 00 f2 00")
            compare(commandsOf(0x0D).length, 1)
            // The screens reload the factory profile, unchanged.
            compare([panel.modKeys.get(2).keyCode2, light.effect], [0xF2, 0])
            verify(!panel.isSave)
            verify(!light.isSave)
        }

        // Button 4 switches between the first two gun slots; matrices 2..4
        // carry the fire periods of the three slots.
        function test_gunPresetPeriodsReachTheKeyTable() {
            ui_View.setDataList("mouseKeyMatrix/3", [8, 0, 2, 0])
            const main = startOnMouse(553, true)
            const gun = dialog(main, "gunControlMain")
            gun.visible = true
            child(gun, "slotList").currentSelect = 0
            gun.choosePreset(4) // UNP9, 10 ms
            testData.clearDeviceRecord()
            gun.close()
            compare(slot(testData.deviceKeyMatrix(2), 0), "0b 00 0a 00")
            compare(slot(testData.deviceKeyMatrix(3), 0), "0b 01 09 00")
            compare(slot(testData.deviceKeyMatrix(4), 0), "0b 02 09 00")
            compare(slot(testData.deviceKeyMatrix(1), 3), "08 00 01 01")
        }

        // Buttons bound to a deleted macro get their defaults back, on the
        // mouse and in every profile; the other macro's button keeps it.
        function test_deletingAMacroRestoresItsButtons() {
            ui_View.updataNameList(0, ["Macro_0", "Other"])
            ui_View.createMacroIni("Macro_0", 3)
            ui_View.createMacroIni("Other", 5)
            for (const profile of [4, 0]) {
                ui_View.setCurrentProfile(profile)
                ui_View.setData("mouseMacroKey/3", "Macro_0")
                ui_View.setData("mouseMacroKey/5", "Other")
                ui_View.setDataList("mouseKeyMatrix/3", [4, 0, 3, 0])
                ui_View.setDataList("mouseKeyMatrix/4", [4, 1, 5, 0])
            }
            const main = startOnMouse(553, false)
            const editor = dialog(main, "macroEditorMain")
            editor.selectMacro(0)
            editor.deleteCurrentMacro()
            verify(ui_View.enabled)
            compare(slot(testData.deviceKeyMatrix(1), 3), "01 00 f4 00")
            for (const profile of [4, 0]) {
                ui_View.setCurrentProfile(profile)
                compare(ui_View.getDataList("mouseKeyMatrix/3", false).map(Number), [0, 0, 244, 0])
                compare(ui_View.getDataList("mouseKeyMatrix/4", false).map(Number), [4, 1, 5, 0])
            }
            compare(ui_View.getNameList(0), ["Other", "loaderbraxel"])
            compare(ui_View.loadMacroIni("Macro_0"), [])
        }

        // A mouse that stops answering mid-write: nothing looks done. The
        // user is told (ui_View's notice, the window's notice bar) and Save
        // keeps showing what the mouse does not hold, until a Save that
        // goes through.
        function test_interruptedWritesAreReported_data() {
            return [
                { tag: "save", action: (main) => {
                    drag(child(main, "dpiSettingMain").stage(0).slider.children[2], 494, 0)
                    testData.setMouseSilent(true)
                    save(main)
                } },
                { tag: "save asked for before a switch", action: (main) => {
                    drag(child(main, "dpiSettingMain").stage(0).slider.children[2], 494, 0)
                    testData.setMouseSilent(true)
                    main.requestProfileSwitch(1)
                    mouseClick(child(main, "unsavedSave"))
                    compare(main.profileNo, 0)
                } },
                { tag: "profile switch", action: (main) => {
                    testData.setMouseSilent(true)
                    main.requestProfileSwitch(1)
                    compare(main.profileNo, 1)
                } },
                { tag: "factory reset", action: (main) => {
                    testData.setMouseSilent(true)
                    main.factoryReset()
                } },
            ]
        }

        function test_interruptedWritesAreReported(data) {
            ui_View.updataNameList(2, ["Standard0", "Gaming1"])
            const main = startOnMouse(553, true)
            const notices = spy(ui_View, "userNotice")
            const failed = main.noticeLang[5]
            const reported = () => notices.signalArguments.filter((a) => a[0] === failed).length
            data.action(main)
            verify(ui_View.enabled)
            compare(reported(), 1)
            compare(main.noticeText, failed)
            verify(child(main, "noticeBar").visible)
            verify(child(main, "dpiSettingMain").isSave)
            compare(child(main, "saveButton").faceColor, Qt.color("#ff3030"))

            testData.setMouseSilent(false)
            testData.clearDeviceRecord()
            save(main)
            verify(!main.hasUnsavedChanges)
            compare(reported(), 1)
            compare(commandsOf(0x11).length, 1)
        }
    }
}
