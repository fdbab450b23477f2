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
            const panel = createTemporaryObject(dpiComponent, scene)
            verify(panel)
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

        function knob(panel, i) {
            return panel.stage(i).slider.children[2]
        }

        function test_loadShowsTheStoredValues() {
            const panel = makePanel()
            panel.init(false, false)
            compare(labels(panel), ["500", "1000", "1500", "2000", "3000", "4000", "5000", "6000"])
            compare(panel.dpiCount, 4)
            compare(panel.currentDpiCount, 4)
            compare(panel.sensorType, "3360")
            compare(visibleStages(panel), 4)
            compare(panel.dpiSegment.count, 4)
            compare(panel.dpiSegment.textValue, "4")
            verify(!panel.isSave)
        }

        // Values stored through the panel come back unchanged after a restart.
        function test_saveRoundTrip() {
            ui_View.setDataList("mouse/dpiValueArray", [250, 800, 1650, 3200, 4100, 4850, 5950, 6000])
            ui_View.setData("mouse/currentDpiCount", 3)
            const panel = makePanel()
            panel.init(false, false)
            compare(labels(panel), ["250", "800", "1650", "3200", "4100", "4850", "5950", "6000"])
            compare(visibleStages(panel), 3)
            panel.saveData(false)
            testData.reopen()
            compare(ui_View.getDataList("mouse/dpiValueArray", false),
                    ["250", "800", "1650", "3200", "4100", "4850", "5950", "6000"])
            compare(ui_View.getData("mouse/currentDpiCount", false), "3")
            verify(testData.read("modules/setting/p1.bin")
                   .indexOf("dpiValueArray=250, 800, 1650, 3200, 4100, 4850, 5950, 6000") >= 0)
        }

        function test_knobEndsGiveTheRangeAndMarkUnsaved() {
            const panel = makePanel()
            panel.init(false, false)
            const handle = knob(panel, 1)
            // The slider stands upright: its x axis points up the screen.
            mousePress(handle, 6, 6)
            mouseMove(handle, 500, 6)
            compare(panel.stage(1).dpiValue, "6000")
            verify(!panel.isSave)
            mouseRelease(handle, 500, 6)
            compare(panel.stage(1).dpiValue, "6000")
            verify(panel.isSave)
            mousePress(handle, 6, 6)
            mouseMove(handle, -500, 6)
            mouseRelease(handle, -500, 6)
            compare(panel.stage(1).dpiValue, "200")
            compare(panel.stage(1).slider.knobPosition, 3)
        }

        function test_trackClickGlidesThenMarksUnsaved() {
            const panel = makePanel()
            panel.init(false, false)
            const slider = panel.stage(0).slider
            const pressed = spy(panel, "sliderPressed")
            mouseClick(slider, 86, 6)       // target 80
            compare(pressed.count, 1)
            verify(!panel.isSave)
            tryVerify(() => panel.isSave, 1000)
            compare(slider.knobPosition, 80)
            compare(panel.stage(0).dpiValue, String(Math.floor((77 * 5800 / 158 + 200) / 50) * 50))
        }

        function test_stageCountChange() {
            const panel = makePanel()
            panel.init(false, false)
            const list = panel.dpiSegment
            mouseClick(list, 10, 12)
            tryVerify(() => !list.isAnimating, 1000)
            mouseClick(list, 10, 24 + 2 * 24 + 12)      // row 2: "3"
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
            panel.init(false, false)
            compare(visibleStages(panel), 5)
            compare(labels(panel)[4], "400")
            const mark = findChild(panel, "resetMark")
            mouseClick(mark)
            compare(visibleStages(panel), 5)
            compare(panel.currentDpiCount, 5)
            compare(panel.dpiSegment.count, 8)
            compare(labels(panel), ["500", "1000", "1500", "2000", "3000", "4000", "5000", "6000"])
            verify(panel.isSave)
        }

        function test_damagedProfileFallsBack() {
            ui_View.setData("mouse/dpiCount", "many")
            ui_View.setData("mouse/currentDpiCount", 12)
            ui_View.setDataList("mouse/dpiValueArray", ["800", "x"])
            ui_View.setGlobalData("mouse/maxDPI", "100")
            const panel = makePanel()
            panel.init(false, false)
            compare(panel.dpiCount, 4)
            compare(panel.currentDpiCount, 4)
            compare(panel.maxDPI, 6000)
            compare(labels(panel), ["800", "1000", "1500", "2000", "3000", "4000", "5000", "6000"])
        }

        function test_moreThanEightStagesLeavesTheSlidersAlone() {
            ui_View.setData("mouse/dpiCount", 9)
            const panel = makePanel()
            panel.init(false, false)
            compare(labels(panel), ["2000", "2000", "2000", "2000", "2000", "2000", "2000", "2000"])
        }

        function test_currentStageIsOrange() {
            const panel = makePanel()
            panel.init(false, false)
            panel.currentDPI = 2
            compare(panel.stage(2).slider.colorS, Qt.color("#cf3e00"))
            compare(panel.stage(1).slider.colorS, Qt.color("#09347f"))
        }
    }
}
