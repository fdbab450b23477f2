import QtQuick
import QtTest

// The button and lighting screens inside the main scene: opening the
// dialog over the mask, keys forwarded from the input hooks, Save.
Item {
    id: scene

    width: 1024
    height: 640

    TestCase {
        name: "MainButtonsAndLight"
        when: windowShown

        property Component mainComponent: Qt.createComponent("qrc:/modules/qml/main.qml")

        function init() {
            testData.reset()
        }

        function startMain() {
            compare(mainComponent.status, Component.Ready, mainComponent.errorString())
            const main = createTemporaryObject(mainComponent, scene)
            verify(main)
            main.initUI()
            main.unlock()
            verify(main.isMainShown)
            waitForRendering(main)
            return main
        }

        function item(main, name) {
            const found = findChild(main, name)
            verify(found, name)
            return found
        }

        function test_screensAreInPlace() {
            const main = startMain()
            const panel = item(main, "keyMatrixMain")
            const light = item(main, "lightControlMain")
            compare(panel.mapToItem(main, 0, 0), Qt.point(24, 88))
            compare(light.mapToItem(main, 0, 0).x, 768)
            compare(item(main, "keyAssigmentMain").z, 11)
            compare(item(main, "mouseMain").keyCount, 8)
            // Factory settings: full colour lighting with all its effects.
            compare(light.lightModel.count, 11)
            compare(findChild(panel, "keyRow0").children[1].text, "Left Key")
        }

        function test_callOutOpensTheDialogOverTheMask() {
            const main = startMain()
            const mouse = item(main, "mouseMain")
            const dialog = item(main, "keyAssigmentMain")
            const mask = item(main, "mask")
            mouseClick(mouse.callOut(2).badge)
            verify(dialog.visible)
            verify(mask.visible)
            compare(dialog.x, (1024 - dialog.width) / 2)
            compare(dialog.y, (640 - dialog.height) / 2)
            mousePress(findChild(dialog, "closeMark"))
            verify(!dialog.visible)
            verify(!mask.visible)
            // The last left click stays closed, and the mask with it.
            mouseClick(mouse.callOut(0).badge)
            verify(!dialog.visible)
            verify(!mask.visible)
        }

        function test_combinationFromTheInputHooksAndSave() {
            const main = startMain()
            const panel = item(main, "keyMatrixMain")
            const dialog = item(main, "keyAssigmentMain")
            mouseClick(findChild(panel, "keyRow3"))
            verify(dialog.visible)
            dialog.startComboInput()
            for (const code of [0xE0, 0xE1, 0x04, 0x05, 0x06]) {
                main.detectKeyboard(true, code)
                main.detectKeyboard(false, code)
            }
            dialog.confirmCombo()
            mousePress(findChild(dialog, "closeMark"))
            verify(panel.isSave)
            verify(main.hasUnsavedChanges)
            compare(item(main, "saveButton").faceColor, Qt.color("#ff3030"))
            mouseClick(item(main, "saveButton"))
            verify(!panel.isSave)
            verify(ui_View.enabled)
            testData.reopen()
            compare(ui_View.mouseGetKeydefine(3, false), ["2", "3", "4", "5"])
        }

        function test_fireKeyFromTheInputHooks() {
            const main = startMain()
            const dialog = item(main, "keyAssigmentMain")
            mouseClick(findChild(item(main, "keyMatrixMain"), "keyRow6"))
            main.detectKeyboard(true, 0x04)
            compare(dialog.keyCode0, 5)         // not capturing: ignored
            dialog.startFireInput()
            main.detectKeyboard(true, 0x16)
            verify(!dialog.isFireInput)
            compare([dialog.keyCode0, dialog.keyCode1, dialog.keyCode2, dialog.keyCode3],
                    [1, 0x16, 10, 0])
            compare(dialog.keyString, "S")
        }

        function test_macroEditorOpensOverTheDialog() {
            const main = startMain()
            const dialog = item(main, "keyAssigmentMain")
            const editor = item(main, "macroEditorMain")
            mouseClick(findChild(item(main, "keyMatrixMain"), "keyRow4"))
            dialog.page.contentY = 250
            waitForRendering(dialog)
            mouseClick(findChild(dialog, "macroEditorButton"))
            verify(editor.visible)
            verify(editor.z > dialog.z)
            verify(dialog.visible)
        }

        // The gun screen's slot presets give the fire periods.
        function test_gunPeriodsFromTheGunScreen() {
            const main = startMain()
            const gun = item(main, "gunControlMain")
            compare(item(main, "keyMatrixMain").gunPeriods(), [9, 9, 9])
            gun.gunNumberModel.setProperty(gun.selectGun2, "gunPeriod", "44")
            compare(item(main, "keyMatrixMain").gunPeriods()[1], 44)
        }

        function test_lightSave() {
            const main = startMain()
            const light = item(main, "lightControlMain")
            light.pickEffect(3)
            verify(main.hasUnsavedChanges)
            mouseClick(item(main, "saveButton"))
            verify(!light.isSave)
            compare(ui_View.getDataList("mouse/lightValue", false), [3, 0, 0])
        }

        function test_mainFocusClosesTheEffectList() {
            const main = startMain()
            const list = item(main, "lightControlMain").lightModel
            mouseClick(list, 10, 12)
            tryVerify(() => !list.isAnimating && list.isDrop, 1000)
            main.mainFocus()
            verify(!list.isDrop)
        }

        function test_factoryResetReloadsTheScreens() {
            const main = startMain()
            const panel = item(main, "keyMatrixMain")
            const light = item(main, "lightControlMain")
            panel.modKeys.setProperty(2, "keyCode2", 0xF1)
            panel.modKeys.saveData()
            light.pickEffect(2)
            light.saveData(false, 0)
            mouseClick(item(main, "resetButton"))
            mouseClick(item(main, "resetOk"))
            compare(panel.modKeys.get(2).keyCode2, 0xF2)
            compare(light.effect, 0)
            verify(!panel.isSave)
            verify(!light.isSave)
        }
    }
}
