import QtQuick
import QtTest
import "qrc:/modules/qml/screens"
import "qrc:/modules/qml/screens/systemsetting.js" as System

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
            const dialog = make(dialogComponent)
            dialog.init(false, false)
            return dialog
        }

        function test_load_data() {
            return [
                { tag: "factory", stored: {}, speed: 170, double: 170, oneScreen: false, lines: "3" },
                { tag: "one screen keeps the field", stored: { "mouse/scrollRate": "1000" }, later: true,
                  speed: 170, double: 170, oneScreen: true, lines: "3" },
                { tag: "damaged values are held in range", stored: { "mouse/mouseRate": "fast",
                  "mouse/doubleRate": 9000, "mouse/scrollRate": "-4" },
                  speed: 3, double: 337, oneScreen: false, lines: "1" },
                { tag: "reset mark", stored: { "mouse/mouseRate": 30, "mouse/scrollRate": 1000 },
                  reset: true, speed: 170, double: 170, oneScreen: false, lines: "3" },
            ]
        }

        function test_load(data) {
            let dialog = data.later ? makeDialog() : null
            for (const key in data.stored)
                ui_View.setData(key, data.stored[key])
            if (dialog)
                dialog.init(false, false)
            else
                dialog = makeDialog()
            if (data.reset)
                dialog.init(false, true)
            compare([dialog.mouseSpeedSlider.xPosition, dialog.doubleClickSlider.xPosition],
                    [data.speed, data.double])
            compare(dialog.mouseSpeedSlider.knobPosition, data.speed)
            compare([dialog.screenRadio.isSelect, dialog.rowsRadio.isSelect],
                    [data.oneScreen, !data.oneScreen])
            compare(dialog.lineCount.textValue, data.lines)
        }

        function test_saveStoresAllThree() {
            const dialog = makeDialog()
            dialog.mouseSpeedSlider.xPosition = 104
            dialog.doubleClickSlider.xPosition = 337
            dialog.lineCount.textValue = "12"
            dialog.saveData(false, 0)
            testData.reopen()
            compare(["mouseRate", "doubleRate", "scrollRate"].map((k) => ui_View.getData("mouse/" + k, false)),
                    ["104", "337", "12"])
            // Applied on a profile switch without the dialog, damaged values
            // are stored back as the dialog would hold them.
            ui_View.setData("mouse/mouseRate", "fast")
            ui_View.setData("mouse/doubleRate", 9000)
            ui_View.setData("mouse/scrollRate", "-4")
            System.applyStored(ui_View)
            compare(["mouseRate", "doubleRate", "scrollRate"].map((k) => Number(ui_View.getData("mouse/" + k, false))),
                    [3, 337, 1])
        }

        // This desktop has no wheel scroll amount and none of its own
        // double-click time (plain X11 here): both controls are off with
        // their reason, and applying leaves the stored amount as it was.
        function test_settingsTheDesktopLacksAreOffWithTheirReason() {
            ui_View.setGlobalData("common/language", "English")
            ui_View.setData("mouse/scrollRate", 1000)
            const dialog = makeDialog()
            compare(dialog.scrollReason, "Not settable on Linux; kept for Windows")
            compare(dialog.doubleClickReason, "Not settable here; kept for Windows")
            verify(!dialog.screenRadio.enabled && !dialog.lineCount.enabled)
            verify(!dialog.doubleClickSlider.enabled)
            verify(dialog.mouseSpeedSlider.enabled)
            for (const [title, reason] of [["doubleClickTitle", dialog.doubleClickReason],
                                           ["scrollTitle", dialog.scrollReason]]) {
                const shown = child(dialog, title).reasonItem
                verify(shown.visible && shown.width > 0)
                compare(shown.text, reason)
            }
            mouseClick(dialog.rowsRadio)
            verify(dialog.screenRadio.isSelect)
            dialog.init(true, false)
            compare(ui_View.getData("mouse/scrollRate", false), 1000)
        }

        // As on a desktop that takes the scroll amount.
        function test_choosingOneScreenStores1000AndBackStoresTheField() {
            const dialog = makeDialog()
            dialog.scrollReason = ""
            mouseClick(dialog.screenRadio)
            compare([dialog.screenRadio.isSelect, dialog.rowsRadio.isSelect], [true, false])
            compare(ui_View.getData("mouse/scrollRate", false), 1000)
            mouseClick(dialog.rowsRadio)
            verify(!dialog.screenRadio.isSelect)
            compare(ui_View.getData("mouse/scrollRate", false), 3)
        }

        // At most three digits; a cleared field stores 1.
        function test_lineCountEditing() {
            const dialog = makeDialog()
            dialog.scrollReason = ""
            const closeMenus = spy(dialog, "inputStarted")
            mouseClick(dialog.lineCount)
            compare(closeMenus.count, 1)
            dialog.lineCount.txtInput.selectAll()
            for (const key of [Qt.Key_1, Qt.Key_0, Qt.Key_0, Qt.Key_0])
                keyClick(key)
            compare(dialog.lineCount.textValue, "100")
            dialog.systemSettingFocus()
            compare(ui_View.getData("mouse/scrollRate", false), 100)
            typeInto(dialog.lineCount, "")
            compare(dialog.lineCount.textValue, "1")
            compare(ui_View.getData("mouse/scrollRate", false), 1)
        }

        function test_releasingAKnobStoresItsPosition() {
            const dialog = makeDialog()
            drag(dialog.mouseSpeedSlider.children[2], 594, 0)
            compare(dialog.mouseSpeedSlider.xPosition, 337)
            compare(ui_View.getData("mouse/mouseRate", false), 337)
            compare(ui_View.getData("mouse/doubleRate", false), 170)
        }

        function test_startWithTheDesktop_data() {
            return [{ tag: "writable", blocked: false }, { tag: "folder blocked", blocked: true }]
        }

        // The check box writes and removes the autostart entry and shows
        // what the entry is, read afresh when the dialog loads.
        function test_startWithTheDesktop(data) {
            testData.resetAutostart(data.blocked)
            let dialog = makeDialog()
            const box = child(dialog, "autostartBox")
            verify(!box.isSelect)
            mouseClick(box)
            if (data.blocked) {
                tryCompare(box, "isSelect", false)
                compare(testData.autostartEntry(), "")
                return
            }
            tryCompare(box, "isSelect", true)
            const entry = testData.autostartEntry()
            verify(entry.startsWith("[Desktop Entry]\n"), entry)
            verify(/\nExec="[^"]*\/tst_scene" --hidden\n/.test(entry), entry)
            dialog = makeDialog()
            verify(child(dialog, "autostartBox").isSelect)
            mouseClick(child(dialog, "autostartBox"))
            tryCompare(child(dialog, "autostartBox"), "isSelect", false)
            compare(testData.autostartEntry(), "")
        }

        function test_closeMarkHides() {
            const dialog = makeDialog()
            mouseClick(child(dialog, "closeMark"))
            verify(!dialog.visible)
        }
    }
}
