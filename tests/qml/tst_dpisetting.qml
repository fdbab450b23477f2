import QtQuick
import QtTest
import "qrc:/modules/qml/screens"

// The DPI panel over a real view and a temporary copy of the factory data.
Item {
    width: 400; height: 400

    Component { id: dpiComponent; DpiSetting { x: 20; y: 20 } }

    SceneTestCase {
        name: "DpiSetting"

        readonly property var factory: ["500", "1000", "1500", "2000", "3000", "4000", "5000", "6000"]

        function makePanel(stored) {
            for (const key in stored)
                ui_View[Array.isArray(stored[key]) ? "setDataList" : "setData"]("mouse/" + key, stored[key])
            const panel = make(dpiComponent)
            panel.load(ui_View.profileSettings(false).dpi)
            return panel
        }

        function shown(panel) { return [factory.map((_, i) => panel.stage(i).dpiValue), factory.filter((_, i) => panel.stage(i).visible).length] }

        // Values are held in the sensor's range (not narrowed by the global maximum; damaged ones: tst_sessionvalues).
        function test_load_data() {
            return [{ tag: "factory", stored: {}, labels: factory },
                    { tag: "values beyond the sensor are brought into its range", stored: { dpiValueArray: ["50", "99999", "800", "-4"]
                      .concat(factory.slice(4)) }, labels: ["200", "6000", "800", "200"].concat(factory.slice(4)) },
                    { tag: "more than eight stages leave the sliders alone", stored: { dpiCount: 9 }, labels: factory.map(() => "2000"), alone: true }]
        }

        function test_load(data) {
            ui_View.setGlobalData("mouse/maxDPI", "100")
            const panel = makePanel(data.stored)
            compare(shown(panel)[0], data.labels)
            if (!data.alone)
                compare([shown(panel)[1], panel.dpiCount, panel.currentDpiCount, panel.maxDPI, panel.sensorType, panel.dpiSegment.count,
                         panel.dpiSegment.textValue, panel.isSave], [4, 4, 4, 6000, "3360", 4, "4", false])
        }

        // Save takes the values shown, hidden stages too (always eight); the reset mark keeps the active stages.
        function test_saveValuesAndReset() {
            const values = [250, 800, 1650, 3200, 4100, 4850, 5950, 6000]
            const panel = makePanel({ dpiValueArray: values, currentDpiCount: 3, dpiCount: 8 })
            compare(shown(panel), [values.map(String), 3])
            pickRow(panel.dpiSegment, 1)                // "2"
            tryCompare(panel, "currentDpiCount", 2, 1000)
            compare([panel.isSave, shown(panel)[1], panel.saveValues()], [true, 2, { active: 2, values: values }])
            panel.isSave = false
            mouseClick(child(panel, "resetMark"))
            compare([shown(panel), panel.currentDpiCount, panel.dpiSegment.count, panel.isSave], [[factory, 2], 2, 8, true])
        }

        // A knob dragged past either end gives the range; only the release or a key marks unsaved; the current stage shows.
        function test_knobEndsAndKeys() {
            const panel = makePanel({})
            const [stage, handle] = [panel.stage(1), panel.stage(1).slider.children[2]]
            const pressed = spy(panel, "sliderPressed")
            const steps = [() => drag(handle, -506, 0), () => { mousePress(handle, 6, 6); mouseMove(handle, 500, 6) },
                           () => mouseRelease(handle, 500, 6), () => { stage.slider.forceActiveFocus(Qt.TabFocusReason); keyClick(Qt.Key_Down) }]
            const seen = steps.map((step) => { panel.isSave = false; step(); return [stage.dpiValue, stage.slider.knobPosition, panel.isSave] })
            panel.currentDPI = 2
            compare([seen, pressed.count, panel.stage(2).slider.colorS, stage.slider.colorS,
                     [2, 1].map((n) => panel.stage(n).slider.Accessible.description)],
                    [[["200", 3, true], ["6000", 161, false], ["6000", 161, true], ["5950", 160, true]],
                     3, Qt.color("#cf3e00"), Qt.color("#09347f"), ["Current stage", ""]])
        }
    }
}
