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

        function labels(panel) {
            const result = []
            for (let i = 0; i < 8; ++i)
                result.push(panel.stage(i).dpiValue)
            return result
        }

        function visibleStages(panel) {
            let count = 0
            for (let i = 0; i < 8; ++i)
                count += panel.stage(i).visible ? 1 : 0
            return count
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
        function test_saveRoundTrip() {
            const values = ["250", "800", "1650", "3200", "4100", "4850", "5950", "6000"]
            ui_View.setDataList("mouse/dpiValueArray", values.map(Number))
            ui_View.setData("mouse/currentDpiCount", 3)
            const panel = makePanel()
            compare(labels(panel), values)
            compare(visibleStages(panel), 3)
            panel.saveData(false)
            testData.reopen()
            compare(ui_View.getDataList("mouse/dpiValueArray", false), values)
            compare(ui_View.getData("mouse/currentDpiCount", false), "3")
            verify(testData.read("modules/setting/p1.bin").indexOf("dpiValueArray=" + values.join(", ")) >= 0)
        }

        function test_knobEndsGiveTheRangeAndMarkUnsaved() {
            const panel = makePanel()
            const handle = panel.stage(1).slider.children[2]
            // The slider stands upright: its x axis points up the screen.
            mousePress(handle, 6, 6)
            mouseMove(handle, 500, 6)
            compare(panel.stage(1).dpiValue, "6000")
            verify(!panel.isSave)
            mouseRelease(handle, 500, 6)
            compare(panel.stage(1).dpiValue, "6000")
            verify(panel.isSave)
            drag(handle, -506, 0)
            compare(panel.stage(1).dpiValue, "200")
            compare(panel.stage(1).slider.knobPosition, 3)
        }

        function test_trackClickGlidesThenMarksUnsaved() {
            const panel = makePanel()
            const slider = panel.stage(0).slider
            const pressed = spy(panel, "sliderPressed")
            mouseClick(slider, 86, 6)       // target 80
            compare(pressed.count, 1)
            verify(!panel.isSave)
            tryVerify(() => panel.isSave, 1000)
            compare(slider.knobPosition, 80)
            compare(panel.stage(0).dpiValue, String(Math.floor((77 * 5800 / 158 + 200) / 50) * 50))
            // Up on the upright slider goes the same way, one pixel higher.
            panel.isSave = false
            slider.forceActiveFocus(Qt.TabFocusReason)
            keyClick(Qt.Key_Up)
            compare(pressed.count, 2)
            compare(slider.knobPosition, 81)
            verify(panel.isSave)
            compare(panel.stage(0).dpiValue, String(Math.floor((78 * 5800 / 158 + 200) / 50) * 50))
            // The current stage is orange.
            panel.currentDPI = 2
            compare(panel.stage(2).slider.colorS, Qt.color("#cf3e00"))
            compare(panel.stage(1).slider.colorS, Qt.color("#09347f"))
        }

        function test_stageCountChange() {
            const panel = makePanel()
            pickRow(panel.dpiSegment, 2)                // "3"
            tryCompare(panel, "currentDpiCount", 3, 1000)
            verify(panel.isSave)
            compare(visibleStages(panel), 3)
            panel.saveData(false)
            compare(ui_View.getData("mouse/currentDpiCount", false), 3)
            // Hidden stages are stored too: always eight values.
            compare(ui_View.getDataList("mouse/dpiValueArray", false).length, 8)
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
