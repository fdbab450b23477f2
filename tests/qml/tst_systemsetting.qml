import QtQuick
import QtTest
import "qrc:/modules/qml/screens"
import "qrc:/modules/qml/screens/systemsetting.js" as System

// The system settings dialog over a real view and a temporary data folder: what it loads and stores.
Item {
    width: 500; height: 400

    Component { id: dialogComponent; SystemSetting { x: 20; y: 20 } }

    SceneTestCase {
        name: "SystemSetting"

        // What the dialog shows and stores: a control stores at once (a knob when released), damaged values held in range.
        function test_dialog_data() {
            const load = (values, then) => (d) => { Object.keys(values).forEach((k) => ui_View.setData("mouse/" + k, values[k])); then(d) }
            const [again, reset] = [(d) => d.init(false, false), (d) => d.init(false, true)]
            const click = (...names) => (d) => names.forEach((name) => mouseClick(child(d, name)))
            const damaged = { mouseRate: "fast", doubleRate: 9000, scrollRate: "-4" }
            return [["one screen keeps the field", load({ scrollRate: "1000" }, again), [170, 170, true, "3"], [170, 170, 1000]],
                    ["damaged values are held in range", load(damaged, again), [3, 337, false, "1"], undefined, 0, true],
                    ["damaged values keep each knob", (d) => {
                        [child(d, "mouseSpeedSlider").xPosition, child(d, "doubleClickSlider").xPosition] = [104, 337]
                        load({ mouseRate: "fast", doubleRate: "slow" }, again)(d)
                    }, [104, 337, false, "3"]],
                    ["reset mark", load({ mouseRate: 30, scrollRate: 1000 }, reset), [170, 170, false, "3"]],
                    ["one screen", click("screenRadio"), [170, 170, true, "3"], [170, 170, 1000]],
                    ["one screen and back", click("screenRadio", "rowsRadio"), [170, 170, false, "3"], [170, 170, 3]],
                    ["four digits typed", (d) => typeInto(child(d, "lineCount"), "1000"), [170, 170, false, "100"], [170, 170, 100], 1],
                    ["speed knob released", (d) => drag(child(d, "mouseSpeedSlider").children[2], 594, 0), [337, 170, false, "3"], [337, 170, 3]],
                    ["saved, after a restart", (d) => {
                        drag(child(d, "mouseSpeedSlider").children[2], -66, 0)
                        child(d, "doubleClickSlider").xPosition = 337; child(d, "lineCount").textValue = "12"
                        d.saveData(false, 0)
                        testData.reopen()
                    }, [104, 337, false, "12"], [104, 337, 12]],
            ].map((r) => ({ tag: r[0], act: r[1], shown: r[2], stored: r[3], typed: r[4] || 0, fresh: r[5] }))
        }

        function test_dialog(data) {
            const dialog = data.fresh ? make(dialogComponent) : makeInit(dialogComponent, {}, false, false)
            dialog.scrollReason = ""
            const started = spy(dialog, "inputStarted")
            data.act(dialog)
            const speed = child(dialog, "mouseSpeedSlider")
            compare([speed.xPosition, child(dialog, "doubleClickSlider").xPosition, child(dialog, "screenRadio").isSelect,
                     child(dialog, "lineCount").textValue, speed.knobPosition, child(dialog, "rowsRadio").isSelect,
                     started.count], data.shown.concat([data.shown[0], !data.shown[2], data.typed]))
            if (data.stored)
                compare(["mouseRate", "doubleRate", "scrollRate"].map((k) => Number(ui_View.getData("mouse/" + k, false))), data.stored)
        }

        // Each step applies its own setting, and only where the desktop takes it (no reason given).
        function test_stepsApplyTheirOwnSetting() {
            const applied = []
            const view = { setData: () => {}, mouseSetCursorSpeed: () => applied.push("speed"),
                           mouseSetDoubleClickSpeed: () => applied.push("double"),
                           mouseSetVerticalScrollLines: () => applied.push("scroll") }
            const values = { speed: 170, doubleClick: 170, scroll: 3 }
            compare([[0, ""], [1, ""], [2, ""], [3, ""], [-1, ""], [0, "lacking"]].map(([step, why]) => {
                applied.length = 0
                System.storeAndApply(view, values, step, ["", why, why])
                return applied.join()
            }), ["speed,double,scroll", "speed", "double", "scroll", "", "speed"])
        }

        // Settings plain X11 lacks are off with their reason, and applying leaves the stored amount as it was.
        function test_settingsTheDesktopLacksAreOffWithTheirReason() {
            ui_View.setData("mouse/scrollRate", 1000)
            const dialog = makeInit(dialogComponent, {}, false, false)
            const reasons = [dialog.doubleClickReason, dialog.scrollReason]
            compare(["doubleClickTitle", "scrollTitle"].map((title) => child(child(dialog, title), "reason"))
                     .map((r) => r.visible && r.width > 0 && r.text).concat(reasons.map((r) => r.length > 0),
                     ["screenRadio", "lineCount", "doubleClickSlider", "mouseSpeedSlider"].map((n) => child(dialog, n).enabled)),
                    reasons.concat([true, true, false, false, false, true]))
            mouseClick(child(dialog, "rowsRadio"))
            dialog.init(true, false)
            compare([child(dialog, "screenRadio").isSelect, ui_View.getData("mouse/scrollRate", false)], [true, 1000])
        }

        // The check box writes and removes the autostart entry; a blocked folder or a full disk leaves it off, and says so.
        function test_startWithTheDesktop() {
            const notices = spy(ui_View, "userNotice")
            for (const blocked of [false, true, "full disk"]) {
                testData.resetAutostart(blocked === true)
                for (const on of [true, false]) {
                    const box = child(makeInit(dialogComponent, {}, false, false), "autostartBox")
                    compare(box.isSelect, !on && !blocked)
                    testData.setDiskFull(blocked === "full disk")
                    mouseClick(box)
                    testData.setDiskFull(false)
                    tryCompare(box, "isSelect", on && !blocked)
                    const entry = testData.autostartEntry()
                    verify(on && !blocked ? /^\[Desktop Entry\]\n(.*\n)*Exec="[^"]*\/tst_scene" --hidden\n/.test(entry)
                                          : entry === "", entry)
                }
            }
            compare(args(notices), Array(4).fill(["The desktop's autostart entry could not be changed."]))
        }
    }
}
