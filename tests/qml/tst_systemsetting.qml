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

    Component { id: dialogComponent; SystemSetting { x: 20; y: 20 } }

    SceneTestCase {
        name: "SystemSetting"

        // The stored speed, double-click time and scroll amount.
        function stored() {
            return ["mouseRate", "doubleRate", "scrollRate"].map((k) => Number(ui_View.getData("mouse/" + k, false)))
        }

        function makeDialog() {
            const dialog = make(dialogComponent)
            dialog.init(false, false)
            return dialog
        }

        // What the dialog shows: speed, double-click time, one screen, rows.
        function test_load_data() {
            return [
                { tag: "factory", stored: {}, shown: [170, 170, false, "3"] },
                { tag: "one screen keeps the field", stored: { "mouse/scrollRate": "1000" }, later: true,
                  shown: [170, 170, true, "3"] },
                { tag: "damaged values are held in range", stored: { "mouse/mouseRate": "fast",
                  "mouse/doubleRate": 9000, "mouse/scrollRate": "-4" }, shown: [3, 337, false, "1"] },
                { tag: "reset mark", stored: { "mouse/mouseRate": 30, "mouse/scrollRate": 1000 },
                  reset: true, shown: [170, 170, false, "3"] },
            ]
        }

        function test_load(data) {
            const dialog = data.later ? makeDialog() : make(dialogComponent)
            for (const key in data.stored)
                ui_View.setData(key, data.stored[key])
            dialog.init(false, !!data.reset)
            const speed = child(dialog, "mouseSpeedSlider")
            compare([speed.xPosition, child(dialog, "doubleClickSlider").xPosition,
                     child(dialog, "screenRadio").isSelect, child(dialog, "lineCount").textValue], data.shown)
            compare([speed.knobPosition, child(dialog, "rowsRadio").isSelect], [data.shown[0], !data.shown[2]])
        }

        // Save stores all three as the dialog holds them; applied on a
        // profile switch without the dialog, damaged values are stored back
        // as the dialog would hold them.
        function test_saveStoresAllThree() {
            const dialog = makeDialog()
            child(dialog, "mouseSpeedSlider").xPosition = 104
            child(dialog, "doubleClickSlider").xPosition = 337
            child(dialog, "lineCount").textValue = "12"
            dialog.saveData(false, 0)
            testData.reopen()
            compare(stored(), [104, 337, 12])
            ui_View.setData("mouse/mouseRate", "fast")
            ui_View.setData("mouse/doubleRate", 9000)
            ui_View.setData("mouse/scrollRate", "-4")
            System.applyStored(ui_View)
            compare(stored(), [3, 337, 1])
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

        // What the controls store at once, as on a desktop that takes the
        // scroll amount: one screen is 1000, back to rows the field's count
        // (at most three digits; a cleared field stores 1); a knob its
        // position when released.
        function test_controlsStoreAtOnce_data() {
            return [
                { tag: "one screen", act: (d) => mouseClick(child(d, "screenRadio")), stored: [170, 170, 1000],
                  oneScreen: true },
                { tag: "one screen and back", act: (d) => ["screenRadio", "rowsRadio"].forEach(
                      (name) => mouseClick(child(d, name))), stored: [170, 170, 3] },
                { tag: "four digits typed", act: (d) => typeInto(child(d, "lineCount"), "1000"),
                  stored: [170, 170, 100], typed: true },
                { tag: "cleared", act: (d) => typeInto(child(d, "lineCount"), ""), stored: [170, 170, 1],
                  lines: "1", typed: true },
                { tag: "speed knob released", act: (d) => drag(child(d, "mouseSpeedSlider").children[2], 594, 0),
                  stored: [337, 170, 3] },
            ]
        }

        function test_controlsStoreAtOnce(data) {
            const dialog = makeDialog()
            dialog.scrollReason = ""
            const started = spy(dialog, "inputStarted")
            data.act(dialog)
            compare(stored(), data.stored)
            compare([child(dialog, "screenRadio").isSelect, child(dialog, "rowsRadio").isSelect],
                    [!!data.oneScreen, !data.oneScreen])
            compare(child(dialog, "mouseSpeedSlider").xPosition, data.stored[0])
            if (data.lines)
                compare(child(dialog, "lineCount").textValue, data.lines)
            // A field that takes the keyboard closes the open menus first.
            compare(started.count, data.typed ? 1 : 0)
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
    }
}
