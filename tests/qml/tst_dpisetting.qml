import QtQuick
import QtTest
import "qrc:/modules/qml/screens"

// The DPI panel over a real view and a temporary copy of the factory data.
Item {
    id: scene

    width: 400
    height: 400

    Component {
        id: dpiComponent

        DpiSetting {
            x: 20
            y: 20
        }
    }

    SceneTestCase {
        name: "DpiSetting"

        function makePanel() {
            const panel = make(dpiComponent)
            panel.init(false, false)
            return panel
        }

        readonly property var eight: [0, 1, 2, 3, 4, 5, 6, 7]

        function labels(panel) {
            return eight.map((i) => panel.stage(i).dpiValue)
        }

        function visibleStages(panel) {
            return eight.filter((i) => panel.stage(i).visible).length
        }

        readonly property var factory: ["500", "1000", "1500", "2000", "3000", "4000", "5000", "6000"]

        function test_load_data() {
            return [
                { tag: "factory", stored: {}, labels: factory, counts: [4, 4, 4] },
                { tag: "damaged profile falls back", stored: { "mouse/dpiCount": "many",
                  "mouse/currentDpiCount": 12, "mouse/dpiValueArray": ["800", "x"] },
                  maxDPI: "100", counts: [4, 4, 4],
                  labels: ["800", "1000", "1500", "2000", "3000", "4000", "5000", "6000"] },
                { tag: "values beyond the sensor are brought into its range",
                  stored: { "mouse/dpiValueArray": ["50", "99999", "800", "-4", "3000", "4000",
                                                    "5000", "6000"] },
                  labels: ["200", "6000", "800", "200", "3000", "4000", "5000", "6000"] },
                { tag: "more than eight stages leave the sliders alone", stored: { "mouse/dpiCount": 9 },
                  labels: ["2000", "2000", "2000", "2000", "2000", "2000", "2000", "2000"] },
            ]
        }

        function test_load(data) {
            for (const key in data.stored)
                ui_View[Array.isArray(data.stored[key]) ? "setDataList" : "setData"](key, data.stored[key])
            if (data.maxDPI)
                ui_View.setGlobalData("mouse/maxDPI", data.maxDPI)
            const panel = makePanel()
            compare(labels(panel), data.labels)
            if (data.counts) {
                compare([panel.dpiCount, panel.currentDpiCount, visibleStages(panel)], data.counts)
                compare([panel.maxDPI, panel.sensorType], [6000, "3360"])
                compare([panel.dpiSegment.count, panel.dpiSegment.textValue], [4, "4"])
                verify(!panel.isSave)
            }
        }

        // Values stored through the panel come back unchanged after a restart.
        // Values stored through the panel come back unchanged after a
        // restart; hidden stages are stored too: always eight values.
        function test_saveRoundTrip() {
            const values = ["250", "800", "1650", "3200", "4100", "4850", "5950", "6000"]
            ui_View.setDataList("mouse/dpiValueArray", values.map(Number))
            ui_View.setData("mouse/currentDpiCount", 3)
            const panel = makePanel()
            compare([labels(panel), visibleStages(panel)], [values, 3])
            pickRow(panel.dpiSegment, 1)                // "2"
            tryCompare(panel, "currentDpiCount", 2, 1000)
            compare([panel.isSave, visibleStages(panel)], [true, 2])
            panel.saveData(false)
            testData.reopen()
            compare(ui_View.getDataList("mouse/dpiValueArray", false), values)
            compare(ui_View.getData("mouse/currentDpiCount", false), "2")
            verify(testData.read("modules/setting/p1.bin").indexOf("dpiValueArray=" + values.join(", ")) >= 0)
        }

        // A knob dragged past either end gives the range; a key steps it.
        // Only the release (or the key) marks the panel unsaved.
        function test_knobEndsAndKeys() {
            const panel = makePanel()
            const handle = panel.stage(1).slider.children[2]
            // The slider stands upright: its x axis points up the screen.
            drag(handle, -506, 0)
            compare([panel.stage(1).dpiValue, panel.stage(1).slider.knobPosition], ["200", 3])
            panel.isSave = false
            mousePress(handle, 6, 6)
            mouseMove(handle, 500, 6)
            compare([panel.stage(1).dpiValue, panel.isSave], ["6000", false])
            mouseRelease(handle, 500, 6)
            compare([panel.stage(1).dpiValue, panel.isSave], ["6000", true])
            panel.isSave = false
            const pressed = spy(panel, "sliderPressed")
            panel.stage(1).slider.forceActiveFocus(Qt.TabFocusReason)
            keyClick(Qt.Key_Down)
            compare([pressed.count, panel.stage(1).slider.knobPosition, panel.isSave], [1, 160, true])
            compare(panel.stage(1).dpiValue, String(Math.floor((157 * 5800 / 158 + 200) / 50) * 50))
            // The current stage is orange.
            panel.currentDPI = 2
            compare([panel.stage(2).slider.colorS, panel.stage(1).slider.colorS],
                    [Qt.color("#cf3e00"), Qt.color("#09347f")])
        }

        function test_resetMarkKeepsTheActiveStages() {
            ui_View.setDataList("mouse/dpiValueArray", [400, 400, 400, 400, 400, 400, 400, 400])
            ui_View.setData("mouse/currentDpiCount", 5)
            ui_View.setData("mouse/dpiCount", 8)
            const panel = makePanel()
            compare([visibleStages(panel), labels(panel)[4]], [5, "400"])
            mouseClick(child(panel, "resetMark"))
            compare([visibleStages(panel), panel.currentDpiCount, panel.dpiSegment.count], [5, 5, 8])
            compare(labels(panel), factory)
            verify(panel.isSave)
        }
    }
}
