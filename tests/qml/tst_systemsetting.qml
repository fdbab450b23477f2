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
            compare(["mouseSpeedSlider", "doubleClickSlider"].map((name) => child(dialog, name).xPosition),
                    [data.speed, data.double])
            compare(child(dialog, "mouseSpeedSlider").knobPosition, data.speed)
            compare([child(dialog, "screenRadio").isSelect, child(dialog, "rowsRadio").isSelect],
                    [data.oneScreen, !data.oneScreen])
            compare(child(dialog, "lineCount").textValue, data.lines)
        }

        function test_saveStoresAllThree() {
            const dialog = makeDialog()
            child(dialog, "mouseSpeedSlider").xPosition = 104
            child(dialog, "doubleClickSlider").xPosition = 337
            child(dialog, "lineCount").textValue = "12"
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
            verify(!child(dialog, "screenRadio").enabled && !child(dialog, "lineCount").enabled)
            verify(!child(dialog, "doubleClickSlider").enabled)
            verify(child(dialog, "mouseSpeedSlider").enabled)
            for (const [title, reason] of [["doubleClickTitle", dialog.doubleClickReason],
                                           ["scrollTitle", dialog.scrollReason]]) {
                const shown = child(child(dialog, title), "reason")
                verify(shown.visible && shown.width > 0)
                compare(shown.text, reason)
            }
            mouseClick(child(dialog, "rowsRadio"))
            verify(child(dialog, "screenRadio").isSelect)
            dialog.init(true, false)
            compare(ui_View.getData("mouse/scrollRate", false), 1000)
        }

        // As on a desktop that takes the scroll amount.
        function test_choosingOneScreenStores1000AndBackStoresTheField() {
            const dialog = makeDialog()
            const screenRadio = child(dialog, "screenRadio")
            dialog.scrollReason = ""
            mouseClick(screenRadio)
            compare([screenRadio.isSelect, child(dialog, "rowsRadio").isSelect], [true, false])
            compare(ui_View.getData("mouse/scrollRate", false), 1000)
            mouseClick(child(dialog, "rowsRadio"))
            verify(!screenRadio.isSelect)
            compare(ui_View.getData("mouse/scrollRate", false), 3)
        }

        // At most three digits; a cleared field stores 1.
        function test_lineCountEditing() {
            const dialog = makeDialog()
            const lineCount = child(dialog, "lineCount")
            dialog.scrollReason = ""
            const closeMenus = spy(dialog, "inputStarted")
            mouseClick(lineCount)
            compare(closeMenus.count, 1)
            lineCount.txtInput.selectAll()
            for (const key of [Qt.Key_1, Qt.Key_0, Qt.Key_0, Qt.Key_0])
                keyClick(key)
            compare(lineCount.textValue, "100")
            dialog.systemSettingFocus()
            compare(ui_View.getData("mouse/scrollRate", false), 100)
            typeInto(lineCount, "")
            compare(lineCount.textValue, "1")
            compare(ui_View.getData("mouse/scrollRate", false), 1)
        }

        function test_releasingAKnobStoresItsPosition() {
            const dialog = makeDialog()
            drag(child(dialog, "mouseSpeedSlider").children[2], 594, 0)
            compare(child(dialog, "mouseSpeedSlider").xPosition, 337)
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
