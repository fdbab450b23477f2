import QtQuick
import QtTest
import "qrc:/modules/qml/screens"

// The system settings dialog over a real view and a temporary data folder.
// What it applies to the system goes through operations of the view that
// this suite does not exercise; here: what it loads and stores.
Item {
    id: scene

    width: 500
    height: 400

    Component {
        id: dialogComponent

        SystemSetting {
            x: 20
            y: 20
        }
    }

    SceneTestCase {
        name: "SystemSetting"

        function makeDialog() {
            const dialog = createTemporaryObject(dialogComponent, scene)
            verify(dialog)
            return dialog
        }

        function test_loadPlacesTheKnobsAndTheScrollAmount() {
            const dialog = makeDialog()
            dialog.init(false, false)
            compare(dialog.mouseSpeedSlider.xPosition, 170)
            compare(dialog.mouseSpeedSlider.knobPosition, 170)
            compare(dialog.doubleClickSlider.xPosition, 170)
            verify(dialog.rowsRadio.isSelect)
            verify(!dialog.screenRadio.isSelect)
            compare(dialog.lineCount.textValue, "3")
        }

        function test_storedOneScreenKeepsTheField() {
            const dialog = makeDialog()
            dialog.init(false, false)
            ui_View.setData("mouse/scrollRate", "1000")
            dialog.init(false, false)
            verify(dialog.screenRadio.isSelect)
            verify(!dialog.rowsRadio.isSelect)
            compare(dialog.lineCount.textValue, "3")
        }

        function test_saveStoresAllThree() {
            const dialog = makeDialog()
            dialog.init(false, false)
            dialog.mouseSpeedSlider.xPosition = 104
            dialog.doubleClickSlider.xPosition = 337
            dialog.lineCount.textValue = "12"
            dialog.saveData(false, 0)
            testData.reopen()
            compare(ui_View.getData("mouse/mouseRate", false), "104")
            compare(ui_View.getData("mouse/doubleRate", false), "337")
            compare(ui_View.getData("mouse/scrollRate", false), "12")
        }

        function test_choosingOneScreenStores1000AndBackStoresTheField() {
            const dialog = makeDialog()
            dialog.init(false, false)
            mouseClick(dialog.screenRadio)
            verify(dialog.screenRadio.isSelect)
            verify(!dialog.rowsRadio.isSelect)
            compare(ui_View.getData("mouse/scrollRate", false), 1000)
            mouseClick(dialog.rowsRadio)
            verify(!dialog.screenRadio.isSelect)
            compare(ui_View.getData("mouse/scrollRate", false), 3)
        }

        function test_clearedLineCountBecomesOne() {
            const dialog = makeDialog()
            dialog.init(false, false)
            const closeMenus = spy(dialog, "inputStarted")
            mouseClick(dialog.lineCount)
            compare(closeMenus.count, 1)
            dialog.lineCount.txtInput.selectAll()
            keyClick(Qt.Key_Backspace)
            keyClick(Qt.Key_Return)
            compare(dialog.lineCount.textValue, "1")
            compare(ui_View.getData("mouse/scrollRate", false), 1)
        }

        function test_lineCountTakesAtMostThreeDigits() {
            const dialog = makeDialog()
            dialog.init(false, false)
            mouseClick(dialog.lineCount)
            dialog.lineCount.txtInput.selectAll()
            for (const key of [Qt.Key_1, Qt.Key_0, Qt.Key_0, Qt.Key_0])
                keyClick(key)
            compare(dialog.lineCount.textValue, "100")
            dialog.systemSettingFocus()
            compare(ui_View.getData("mouse/scrollRate", false), 100)
        }

        function test_releasingAKnobStoresItsPosition() {
            const dialog = makeDialog()
            dialog.init(false, false)
            const handle = dialog.mouseSpeedSlider.children[2]
            mousePress(handle, 6, 6)
            mouseMove(handle, 600, 6)
            mouseRelease(handle, 600, 6)
            compare(dialog.mouseSpeedSlider.xPosition, 337)
            compare(ui_View.getData("mouse/mouseRate", false), 337)
            compare(ui_View.getData("mouse/doubleRate", false), 170)
        }

        function test_resetMarkLoadsTheFactoryValues() {
            ui_View.setData("mouse/mouseRate", 30)
            ui_View.setData("mouse/scrollRate", 1000)
            const dialog = makeDialog()
            dialog.init(false, false)
            compare(dialog.mouseSpeedSlider.xPosition, 30)
            dialog.init(false, true)
            compare(dialog.mouseSpeedSlider.xPosition, 170)
            verify(dialog.rowsRadio.isSelect)
            compare(dialog.lineCount.textValue, "3")
        }

        function test_damagedValuesAreHeldInRange() {
            ui_View.setData("mouse/mouseRate", "fast")
            ui_View.setData("mouse/doubleRate", 9000)
            ui_View.setData("mouse/scrollRate", "-4")
            const dialog = makeDialog()
            dialog.init(false, false)
            compare(dialog.mouseSpeedSlider.xPosition, 3)
            compare(dialog.doubleClickSlider.xPosition, 337)
            verify(dialog.rowsRadio.isSelect)
            compare(dialog.lineCount.textValue, "1")
        }

        function test_closeMarkHides() {
            const dialog = makeDialog()
            mouseClick(findChild(dialog, "closeMark"))
            verify(!dialog.visible)
        }
    }
}
