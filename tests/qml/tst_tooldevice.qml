import QtQuick
import QtTest
import "qrc:/modules/qml/screens"

// What macro bodies, the gun editor and the profile switch send to a
// virtual mouse behind the view.
Item {
    id: scene

    width: 1024
    height: 640

    Component {
        id: editorComponent

        MacroEditor {}
    }

    Component {
        id: namingComponent

        KeyNaming {}
    }

    Component {
        id: gunComponent

        GunControl {}
    }

    SceneTestCase {
        name: "ToolDevice"

        function hex(bytes) {
            return bytes.map((b) => (b < 16 ? "0" : "") + b.toString(16)).join(" ")
        }

        // A 128-byte macro block: `bytes`, then zeros.
        function block(bytes) {
            const full = bytes.slice()
            while (full.length < 128)
                full.push(0)
            return hex(full)
        }

        function commandsWithCode(code) {
            const prefix = "00 " + hex([code]) + " "
            return testData.deviceCommands().filter((command) => command.startsWith(prefix))
        }

        function test_recordedMacroReachesItsSlot_data() {
            return [{ tag: "553", family: 553 }, { tag: "560", family: 560 }]
        }

        function test_recordedMacroReachesItsSlot(data) {
            verify(testData.attachMouse(data.family, false))
            ui_View.updataNameList(0, ["Macro_0", "Other"])
            ui_View.createMacroIni("Macro_0", 0)
            ui_View.createMacroIni("Other", 0)
            ui_View.saveMacroIni("Other", ["1,B", "2,B"], 9)
            const editor = createTemporaryObject(editorComponent, scene)
            editor.init()
            editor.selectMacro(0)
            editor.delayCheck.isSelect = true
            editor.toggleRecording()
            editor.detectKeyboard(true, 0x04)
            editor.macroRecordCount = 3
            editor.detectKeyboard(false, 0x04)
            editor.toggleRecording()
            testData.clearDeviceRecord()
            const names = createTemporaryObject(namingComponent, scene)
            names.sendMacro(2, "Macro_0")
            compare(testData.deviceMacro(3), block([0x00, 0x01, 0x03, 0x04, 0x81, 0x04, 0x00, 0x00]))
            // Another macro goes with its own stored repeat count.
            names.sendMacro(11, "Other")
            compare(testData.deviceMacro(12), block([0x00, 0x09, 0x01, 0x05, 0x81, 0x05, 0x00, 0x00]))
            // A name the store does not hold clears the slot to an empty macro.
            names.sendMacro(0, "Missing")
            compare(testData.deviceMacro(1), block([0x00, 0x01]))
        }

        function test_closingTheGunEditorSendsTheThreeSlots() {
            verify(testData.attachMouse(553, true))
            const gun = make(gunComponent)
            gun.init()
            gun.visible = true
            gun.close()
            compare(commandsWithCode(0x04).length, 0)
            gun.visible = true
            child(gun, "slotList").currentSelect = 1
            gun.choosePreset(4)
            testData.clearDeviceRecord()
            gun.close()
            const sent = commandsWithCode(0x04)
            compare(sent.length, 3)
            // [times, X, Y] of presets 0, 4 and 2 for slots 1, 2 and 3.
            verify(sent[0].startsWith("00 04 00 00 00 05 00"), sent[0])
            verify(sent[1].startsWith("00 04 00 00 00 0a 01"), sent[1])
            verify(sent[2].startsWith("00 04 00 00 00 08 02"), sent[2])
        }

        function test_profileSwitchSendsTheNewProfile() {
            verify(testData.attachMouse(553, false))
            ui_View.updataNameList(2, ["Standard0", "A1"])
            ui_View.setCurrentProfile(1)
            ui_View.setData("mouse/reportRate", 0)
            ui_View.setCurrentProfile(0)
            const main = startMain()
            testData.clearDeviceRecord()
            main.changeProfile(1)
            compare(main.profileNo, 1)
            // Report rate row 0 is 125 Hz: code 8.
            const rates = commandsWithCode(0x01)
            compare(rates.length, 1)
            verify(rates[0].startsWith("00 01 08"), rates[0])
            verify(commandsWithCode(0x11).length > 0)
            // The same profile again sends nothing.
            testData.clearDeviceRecord()
            main.changeProfile(1)
            compare(testData.deviceCommands(), [])
        }
    }
}
