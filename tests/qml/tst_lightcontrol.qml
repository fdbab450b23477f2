import QtQuick
import QtTest
import "qrc:/modules/qml/screens"

// The lighting panel over a real view and a temporary copy of the factory data.
Item {
    id: scene

    width: 400
    height: 400

    Component {
        id: lightComponent

        LightControl {
            x: 20
            y: 20
        }
    }

    SceneTestCase {
        name: "LightControl"

        function makePanel(props) {
            const panel = make(lightComponent, props)
            panel.init(false, false)
            return panel
        }

        function shownBlocks(panel) {
            const list = []
            for (let i = 0; i < 8; ++i)
                list.push(child(panel, "colorBlock" + i).visible ? 1 : 0)
            return list
        }

        function fields(panel) {
            return ["redField", "greenField", "blueField"].map((name) => child(panel, name).textValue)
        }

        function pick(panel, row) {
            pickRow(panel.lightModel, row)
            tryCompare(panel, "effect", row, 1000)
        }

        function stored(key) {
            return ui_View.getDataList(key, false).map((v) => Number(v))
        }

        function test_effectList_data() {
            return [
                { tag: "plain", props: {}, rows: ["Static", "Breath", "Neon", "OFF"] },
                { tag: "full colour", props: { isColorful: true },
                  rows: ["Static", "Breath", "Neon", "OFF", "Twinkling", "Wave", "Gliding",
                         "Finger Moving", "Vertical Flipping", "YO-YO", "Spotlight"] },
                { tag: "55328", props: { is55328: true },
                  rows: ["Static", "Breath", "Neon", "OFF", "Breath Loop"] },
            ]
        }

        function test_effectList(data) {
            const panel = makePanel(data.props)
            const rows = []
            for (let i = 0; i < panel.lightModel.count; ++i)
                rows.push(panel.lightModel.mdItems.get(i).textValue)
            compare(rows, data.rows)
            // Loading again (profile switch, reset mark) does not extend it again.
            panel.init(true, false)
            panel.init(false, true)
            compare(panel.lightModel.count, data.rows.length)
        }

        function test_loadsTheFactoryProfile() {
            const panel = makePanel({ isColorful: true })
            compare([panel.effect, panel.lightModel.textValue], [0, "Static"])
            compare([panel.brightStep, panel.speedStep, panel.selectColorBlock], [4, 0, 0])
            compare(panel.colors[5], "#ff7f00")
            compare(fields(panel), ["255", "0", "0"])
            verify(!panel.isSave)
            verify(!child(panel, "speedRow").visible)
            verify(child(panel, "brightRow").visible)
            compare(panel.height, 224)
        }

        function test_coverAndOff() {
            const panel = makePanel({ isColorful: true })
            pick(panel, 2)      // Neon: the cover swallows the pointer
            verify(child(panel, "colorCover").visible)
            mouseClick(child(panel, "colorBlock3"))
            compare(panel.selectColorBlock, 0)
            pick(panel, 3)      // OFF hides both rows and stores brightness 0
            verify(panel.isSave)
            verify(!child(panel, "speedRow").visible)
            verify(!child(panel, "brightRow").visible)
            verify(child(panel, "colorCover").visible)
            compare(panel.height, 176)
            panel.saveData(true, 0)
            compare(stored("mouse/lightValue"), [3, 0, 0])
        }

        function test_pickingSetsTheSteps_data() {
            return [
                { tag: "breath", row: 1, speed: true, bright: false, steps: [0, 2], height: 224 },
                { tag: "wave", row: 5, speed: true, bright: true, steps: [0, 4], height: 264 },
                { tag: "gliding", row: 6, speed: false, bright: false, steps: [0, 4], height: 176 },
                { tag: "finger moving", row: 7, speed: false, bright: true, steps: [3, 4],
                  height: 224 },
            ]
        }

        function test_pickingSetsTheSteps(data) {
            const panel = makePanel({ isColorful: true })
            child(panel, "speedSlider").setIndexValue(3, false)
            child(panel, "brightSlider").setIndexValue(2, false)
            panel.selectBlock(4)
            panel.pickEffect(data.row)
            compare(child(panel, "speedRow").visible, data.speed)
            compare(child(panel, "brightRow").visible, data.bright)
            compare([panel.speedStep, panel.brightStep], data.steps)
            compare(panel.height, data.height)
            compare(panel.selectColorBlock, 0)
            verify(panel.isSave)
        }

        function test_storedEffects_data() {
            return [8, 9, 10].map((effect) => ({ tag: "effect " + effect, effect: effect, colorful: true,
                                                  shown: effect, text: panelText[effect] }))
                .concat([{ tag: "beyond the list: static", effect: 9, colorful: false, shown: 0,
                           text: "Static" }])
        }

        readonly property var panelText: ({ 8: "Vertical Flipping", 9: "YO-YO", 10: "Spotlight" })

        function test_storedEffects(data) {
            ui_View.setDataList("mouse/lightValue", [data.effect, 2, 1])
            const panel = makePanel({ isColorful: data.colorful })
            compare([panel.effect, panel.lightModel.textValue], [data.shown, data.text])
            if (data.colorful) {
                verify(child(panel, "speedRow").visible)
                verify(child(panel, "brightRow").visible)
                compare([panel.speedStep, panel.brightStep], [2, 1])
                compare(panel.height, 264)
            }
        }

        function test_blocksFollowTheDpiStages() {
            const panel = makePanel({ dpiCount: 4 })
            compare(shownBlocks(panel), [1, 1, 1, 1, 0, 0, 0, 0])
            panel.dpiCount = 6
            compare(shownBlocks(panel), [1, 1, 1, 1, 1, 1, 0, 0])
            panel.isColorful = true
            compare(shownBlocks(panel), [1, 1, 1, 1, 1, 1, 1, 1])
        }

        function test_55328ZeroesBlockEightOutsideBreathLoop() {
            const panel = makePanel({ is55328: true })
            compare(shownBlocks(panel), [1, 0, 0, 0, 0, 0, 0, 0])
            panel.saveData(true, 0)
            compare(stored("mouse/colorValue").slice(18, 24), [96, 0, 255, 0, 0, 0])
            compare(panel.colors[7], "#ffffff")
            pick(panel, 4)
            compare(shownBlocks(panel), [1, 1, 1, 1, 1, 1, 1, 0])
            verify(child(panel, "speedRow").visible)
            panel.saveData(true, 0)
            compare(stored("mouse/colorValue").slice(21, 24), [255, 255, 255])
        }

        function test_hueMarkerAt45() {
            const panel = makePanel({ isColorful: true })
            panel.selectBlock(2)
            const bar = child(panel, "hueBar")
            mousePress(bar, 10, 6)
            mouseMove(bar, 44, 6)
            compare(panel.markers[2], 45)
            compare(panel.colors[2], "#80ff00")
            compare(fields(panel), ["128", "255", "0"])
            verify(!panel.isSave)
            mouseRelease(bar, 44, 6)
            verify(panel.isSave)
            // Dragging past either end clamps.
            mousePress(bar, 10, 6)
            mouseMove(bar, 300, 6)
            mouseRelease(bar, 300, 6)
            compare(panel.markers[2], 183)
            compare(panel.colors[2], "#ffffff")
            mousePress(bar, 10, 6)
            mouseMove(bar, -50, 6)
            mouseRelease(bar, -50, 6)
            compare(panel.markers[2], 0)
            compare(panel.colors[2], "#ff0000")
        }

        function test_fieldsSetTheSelectedBlock() {
            const panel = makePanel({ isColorful: true })
            const blueField = child(panel, "blueField")
            mouseClick(child(panel, "colorBlock6"))
            compare(panel.selectColorBlock, 6)
            compare(fields(panel), ["96", "0", "255"])
            compare(panel.markers[6], 133)
            typeInto(child(panel, "redField"), "0")
            compare(panel.colors[6], "#0000ff")
            compare(panel.markers[6], 121)
            verify(panel.isSave)
            // An emptied field reads 0; a colour off the ring puts the marker
            // at the left end and keeps the typed value.
            typeInto(blueField, "")
            compare(blueField.textValue, "0")
            compare(panel.colors[6], "#000000")
            typeInto(blueField, "255")
            typeInto(child(panel, "greenField"), "17")
            compare(panel.colors[6], "#0011ff")
            compare(panel.markers[6], 119)
            typeInto(child(panel, "redField"), "17")
            compare(panel.colors[6], "#1111ff")
            compare(panel.markers[6], 0)
        }

        function test_saveRoundTripAndSteps() {
            const panel = makePanel({ isColorful: true })
            panel.pickEffect(5)
            child(panel, "speedSlider").setIndexValue(2, false)
            panel.selectBlock(1)
            panel.dragMarker(45)
            panel.saveData(false, 1)
            compare(stored("mouse/lightValue"), [5, 2, 4])
            compare(stored("mouse/colorValue").slice(3, 6), [0, 255, 0])
            panel.saveData(false, 2)
            compare(stored("mouse/colorValue").slice(3, 6), [128, 255, 0])
            testData.reopen()
            const again = makePanel({ isColorful: true })
            compare(again.effect, 5)
            compare([again.speedStep, again.brightStep], [2, 4])
            compare(again.colors[1], "#80ff00")
            verify(testData.read("modules/setting/p1.bin").indexOf("lightValue=5, 2, 4") >= 0)
        }

        function test_resetMark() {
            ui_View.setDataList("mouse/lightValue", [2, 3, 1])
            ui_View.setDataList("mouse/colorValue", [1, 2, 3])
            const panel = makePanel({})
            compare(panel.colors[0], "#010203")
            mouseClick(child(panel, "resetMark"))
            compare(panel.effect, 0)
            compare([panel.speedStep, panel.brightStep], [0, 4])
            compare(panel.colors[0], "#ff0000")
            verify(panel.isSave)
            compare(panel.lightModel.count, 4)
        }

        function test_sliderReleaseMarksUnsaved() {
            const panel = makePanel({ isColorful: true })
            pick(panel, 5)
            panel.isSave = false
            mouseClick(child(panel, "speedSlider"), 45, 6)       // target 39: step 2 at 42
            tryVerify(() => panel.isSave, 1000)
            compare(panel.speedStep, 2)
            compare(child(child(panel, "speedRow"), "percentBox").children[0].text, "50%")
        }
    }
}
