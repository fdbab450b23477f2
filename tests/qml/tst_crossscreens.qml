import QtQuick
import QtTest

// What one screen does to another inside the main scene, checked on the
// virtual mouse: gun presets feeding the key table, and macro deletion and
// renaming reaching the buttons bound to the macro.
Item {
    id: scene

    width: 1024
    height: 640

    TestCase {
        name: "CrossScreens"
        when: windowShown

        property Component mainComponent: Qt.createComponent("qrc:/modules/qml/main.qml")

        function init() {
            testData.reset()
        }

        function startMain() {
            const main = createTemporaryObject(mainComponent, scene)
            main.initUI()
            tryVerify(() => main.isMainShown, 3000)
            return main
        }

        function keyMatrixEntry(number, slot) {
            return testData.deviceKeyMatrix(number).split(" ").slice(4 * slot, 4 * slot + 4).join(" ")
        }

        function test_gunPresetPeriodsReachTheKeyTable() {
            verify(testData.attachMouse(553, true))
            // Button 4 switches between the first two gun slots.
            ui_View.setDataList("mouseKeyMatrix/3", [8, 0, 2, 0])
            const main = startMain()
            const gun = findChild(main, "gunControlMain")
            gun.visible = true
            gun.slotList.currentSelect = 0
            gun.choosePreset(4) // UNP9, 10 ms
            testData.clearDeviceRecord()
            gun.close()
            // Matrices 2..4 carry the fire periods of the three slots.
            compare(keyMatrixEntry(2, 0), "0b 00 0a 00")
            compare(keyMatrixEntry(3, 0), "0b 01 09 00")
            compare(keyMatrixEntry(4, 0), "0b 02 09 00")
            compare(keyMatrixEntry(1, 3), "08 00 01 01")
        }

        function test_deletingAMacroRestoresItsButtons() {
            verify(testData.attachMouse(553, false))
            ui_View.updataNameList(0, ["M1", "M2"])
            ui_View.createMacroIni("M1", 3)
            ui_View.createMacroIni("M2", 5)
            ui_View.setDataList("mouseKeyMatrix/3", [4, 0, 3, 0])
            ui_View.setData("mouseMacroKey/3", "M1")
            ui_View.setDataList("mouseKeyMatrix/5", [4, 1, 5, 0])
            ui_View.setData("mouseMacroKey/5", "M2")
            const main = startMain()
            const editor = findChild(main, "macroEditorMain")
            editor.selectMacro(0)
            testData.clearDeviceRecord()
            editor.deleteCurrentMacro()

            // Button 4 is the forward button again, on the mouse and on file;
            // the button bound to the other macro keeps it.
            compare(keyMatrixEntry(1, 3), "01 00 f4 00")
            compare(ui_View.mouseGetKeydefine(3, false).map(Number), [0, 0, 244, 0])
            compare(ui_View.mouseGetKeydefine(5, false).map(Number), [4, 1, 5, 0])
            compare(ui_View.loadMacroIni("M1"), [])
        }

        function test_renamingAMacroRenamesItsButton() {
            verify(testData.attachMouse(553, false))
            ui_View.updataNameList(0, ["M1", "M2"])
            ui_View.createMacroIni("M1", 3)
            ui_View.setDataList("mouseKeyMatrix/3", [4, 0, 3, 0])
            ui_View.setData("mouseMacroKey/3", "M1")
            const main = startMain()
            const editor = findChild(main, "macroEditorMain")
            verify(editor.renameMacro(0, "Reload"))
            const keys = findChild(main, "keyMatrixMain").modKeys
            compare(keys.get(3).keyText, "Reload")
            compare(ui_View.getData("mouseMacroKey/3", false), "Reload")
            verify(ui_View.loadMacroIni("Reload").length > 0)
        }
    }
}
