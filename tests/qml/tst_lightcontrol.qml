import QtQuick
import QtTest
import "qrc:/modules/qml/screens"

// The lighting panel over a real view and a temporary copy of the factory
// data; what each effect shows is checked on its library.
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

        function fields(panel) {
            return ["redField", "greenField", "blueField"].map((name) => child(panel, name).textValue)
        }

        function stored(key) {
            return ui_View.getDataList(key, false).map(Number)
        }

        // A stored effect shows with its rows, steps and colour cover;
        // loading again (profile switch, reset mark) does not extend the list.
        function test_storedEffects_data() {
            return [
                { tag: "vertical flipping", effect: 8, colorful: true, text: "Vertical Flipping",
                  shown: [8, true, true, true, 2, 1, 264], count: 11, blocks: 8 },
                { tag: "off", effect: 3, colorful: true, text: "OFF",
                  shown: [3, false, false, true, 2, 1, 176], count: 11, blocks: 8 },
                { tag: "beyond the list: static", effect: 9, colorful: false, text: "Static",
                  shown: [0, false, true, false, 2, 1, 224], count: 4, blocks: 6 },
            ]
        }

        function test_storedEffects(data) {
            ui_View.setDataList("mouse/lightValue", [data.effect, 2, 1])
            const panel = makePanel({ isColorful: data.colorful, dpiCount: 6 })
            compare([0, 1, 2, 3, 4, 5, 6, 7].filter((i) => child(panel, "colorBlock" + i).visible).length,
                    data.blocks)
            panel.init(true, false)
            panel.init(false, true)
            panel.init(false, false)
            compare([panel.effect, child(panel, "speedRow").visible, child(panel, "brightRow").visible,
                     child(panel, "colorCover").visible, panel.speedStep, panel.brightStep,
                     panel.height], data.shown)
            compare([panel.lightModel.textValue, panel.lightModel.count], [data.text, data.count])
            compare(panel.lightModel.mdItems.get(data.count - 1).textValue,
                    data.colorful ? "Spotlight" : "OFF")
        }

        // Picking an effect, the hue bar and the fields set the selected
        // block; Save stores it all and it comes back after a restart.
        function test_colourAndSave() {
            const panel = makePanel({ isColorful: true })
            panel.selectBlock(4)
            panel.pickEffect(9)
            compare([panel.selectColorBlock, panel.isSave], [0, true])
            child(panel, "speedSlider").setIndexValue(2, false)
            mouseClick(child(panel, "colorBlock6"))
            compare([panel.selectColorBlock, fields(panel), panel.markers[6]], [6, ["96", "0", "255"], 133])
            typeInto(child(panel, "redField"), "0")
            compare([panel.colors[6], panel.markers[6]], ["#0000ff", 121])
            // An emptied field reads 0; a colour off the ring puts the marker
            // at the left end and keeps the typed value.
            typeInto(child(panel, "blueField"), "")
            compare([child(panel, "blueField").textValue, panel.colors[6]], ["0", "#000000"])
            typeInto(child(panel, "blueField"), "255")
            typeInto(child(panel, "greenField"), "17")
            compare([panel.colors[6], panel.markers[6]], ["#0011ff", 119])
            typeInto(child(panel, "redField"), "17")
            compare([panel.colors[6], panel.markers[6]], ["#1111ff", 0])
            panel.selectBlock(2)
            const bar = child(panel, "hueBar")
            mousePress(bar, 10, 6)
            mouseMove(bar, 44, 6)
            compare([panel.markers[2], panel.colors[2], fields(panel)], [45, "#80ff00", ["128", "255", "0"]])
            mouseMove(bar, 300, 6)
            mouseRelease(bar, 300, 6)
            compare([panel.markers[2], panel.colors[2]], [183, "#ffffff"])
            panel.saveData(false, 1)
            compare([stored("mouse/lightValue"), stored("mouse/colorValue").slice(6, 9)],
                    [[9, 2, 4], [0, 0, 255]])
            panel.saveData(false, 2)
            testData.reopen()
            const again = makePanel({ isColorful: true })
            compare([again.effect, again.speedStep, again.brightStep, again.colors[2], again.colors[6]],
                    [9, 2, 4, "#ffffff", "#1111ff"])
            verify(testData.read("modules/setting/p1.bin").indexOf("lightValue=9, 2, 4") >= 0)
        }

        // What marks the panel unsaved: not a press on a slider or the bar,
        // only its release; the reset mark brings the factory lighting.
        function test_unsaved_data() {
            return [
                { tag: "speed slider", action: (panel) => {
                    waitForRendering(panel)
                    mouseClick(child(panel, "speedSlider"), 45, 6) // target 39: step 2 at 42
                    verify(!panel.isSave)
                    tryVerify(() => panel.isSave, 1000)
                    compare(child(child(panel, "speedRow"), "percentBox").children[0].text, "50%")
                  }, steps: [2, 4] },
                { tag: "hue bar", action: (panel) => {
                    mousePress(child(panel, "hueBar"), 10, 6)
                    mouseMove(child(panel, "hueBar"), 44, 6)
                    compare([panel.markers[0], panel.isSave], [45, false])
                    mouseRelease(child(panel, "hueBar"), 44, 6)
                  }, steps: [0, 4] },
                { tag: "reset mark", action: (panel) => {
                    mouseClick(child(panel, "resetMark"))
                    compare([panel.effect, panel.colors[0]], [0, "#ff0000"])
                  }, steps: [0, 4] },
            ]
        }

        function test_unsaved(data) {
            ui_View.setDataList("mouse/lightValue", [9, 0, 4])
            ui_View.setDataList("mouse/colorValue", [1, 2, 3])
            const panel = makePanel({ isColorful: true })
            compare([panel.colors[0], fields(panel), panel.isSave], ["#010203", ["1", "2", "3"], false])
            data.action(panel)
            verify(panel.isSave)
            compare([panel.speedStep, panel.brightStep], data.steps)
        }
    }
}
