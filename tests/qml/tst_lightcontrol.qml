import QtQuick
import QtTest
import "qrc:/modules/qml/screens"

// The lighting panel over a real view and a copy of the factory data (the hue ring's colours: tst_libraries).
Item {
    width: 400; height: 400

    Component { id: lightComponent; LightControl { x: 20; y: 20 } }

    SceneTestCase {
        name: "LightControl"

        function makePanel(props) {
            const panel = make(lightComponent, props)
            panel.load(ui_View.profileSettings(false).lighting)
            return panel
        }

        function fields(panel) { return ["redField", "greenField", "blueField"].map((name) => child(panel, name).textValue) }

        // A stored effect shows with its rows, steps and colour cover; loading again does not extend the effect list.
        function test_storedEffects_data() {
            return [["vertical flipping", 8, true, "Vertical Flipping", [8, true, true, true, 2, 1, 264], 11, 8, "Spotlight"],
                    ["off", 3, true, "OFF", [3, false, false, true, 2, 1, 176], 11, 8, "Spotlight"],
                    ["beyond the list: static", 9, false, "Static", [0, false, true, false, 2, 1, 224], 4, 6, "OFF"],
            ].map((r) => ({ tag: r[0], effect: r[1], colorful: r[2], text: r[3], shown: r[4], count: r[5], blocks: r[6], last: r[7] }))
        }

        function test_storedEffects(data) {
            ui_View.setDataList("mouse/lightValue", [data.effect, 2, 1])
            ui_View.setDataList("mouse/colorValue", [1, 2, 3])
            const panel = makePanel({ isColorful: data.colorful, dpiCount: 6 })
            const blocks = [0, 1, 2, 3, 4, 5, 6, 7].filter((i) => child(panel, "colorBlock" + i).visible).length
            panel.load(ui_View.profileSettings(true).lighting)
            panel.load(ui_View.profileSettings(false).lighting)
            compare([blocks, panel.effect, child(panel, "speedRow").visible, child(panel, "brightRow").visible,
                     child(panel, "colorCover").visible, panel.speedStep, panel.brightStep, panel.height, panel.lightModel.textValue,
                     panel.lightModel.count, panel.lightModel.mdItems.get(data.count - 1).textValue, panel.colors[0], fields(panel),
                     panel.isSave], [data.blocks].concat(data.shown, [data.text, data.count, data.last, "#010203", ["1", "2", "3"], false]))
        }

        // Each effect picked shows its own rows and colour cover and sets its own steps, or keeps speed 2 and brightness 1:
        // [speed row, brightness row, cover, speed, brightness] as digits.
        function test_pickEveryEffect() {
            const panel = makePanel({ isColorful: true, is55328: true })
            const seen = panel.effectList.map((effect, row) => {
                child(panel, "speedSlider").setIndexValue(2, false)
                child(panel, "brightSlider").setIndexValue(1, false)
                panel.pickEffect(row)
                return [child(panel, "speedRow").visible, child(panel, "brightRow").visible, child(panel, "colorCover").visible,
                        panel.speedStep, panel.brightStep].map(Number).join("")
            })
            compare(seen, ["01024", "10001", "10101", "00120", "01024", "11104", "00104", "01124", "11104", "11004", "11004",
                           "10001"])
        }

        // Effect, hue bar and fields set the selected block; a slider or the bar marks unsaved on release; Save and reset.
        function test_colourAndSave() {
            const panel = makePanel({ isColorful: true })
            panel.selectBlock(4)
            panel.pickEffect(9)
            compare([panel.selectColorBlock, panel.isSave], [0, true])
            panel.isSave = false
            waitForRendering(panel)
            mouseClick(child(panel, "speedSlider"), 45, 6) // target 39: step 2 at 42
            verify(!panel.isSave)
            tryVerify(() => panel.isSave, 1000)
            compare([panel.speedStep, child(child(panel, "speedRow"), "percentBox").children[0].text], [2, "50%"])
            mouseClick(child(panel, "colorBlock6"))
            const seen = [[panel.selectColorBlock, fields(panel), panel.colors[6], panel.markers[6]]]
            for (const [field, text] of [["blue", ""], ["blue", "255"], ["green", "17"], ["red", "17"]]) {
                typeInto(child(panel, field + "Field"), text)
                seen.push([field, fields(panel), panel.colors[6], panel.markers[6]])
            }
            compare(seen, [[6, ["96", "0", "255"], "#6000ff", 133], ["blue", ["96", "0", "0"], "#600000", 0],
                           ["blue", ["96", "0", "255"], "#6000ff", 133], ["green", ["96", "17", "255"], "#6011ff", 0],
                           ["red", ["17", "17", "255"], "#1111ff", 0]])
            panel.selectBlock(2)
            panel.isSave = false
            const bar = child(panel, "hueBar")
            mousePress(bar, 10, 6)
            mouseMove(bar, 44, 6)
            compare([panel.markers[2], panel.colors[2], fields(panel), panel.isSave], [45, "#80ff00", ["128", "255", "0"], false])
            mouseMove(bar, 300, 6)
            mouseRelease(bar, 300, 6)
            compare([panel.markers[2], panel.colors[2], panel.isSave], [183, "#ffffff", true])
            const saved = panel.saveValues()
            compare([saved.effect, saved.speed, saved.brightness, saved.colours.slice(6, 9), saved.colours.slice(18, 21)],
                    [9, 2, 4, [255, 255, 255], [17, 17, 255]])
            ui_View.setDataList("mouse/lightValue", [saved.effect, saved.speed, saved.brightness])
            ui_View.setDataList("mouse/colorValue", saved.colours)
            const again = makePanel({ isColorful: true })
            compare([again.effect, again.speedStep, again.brightStep, again.colors[2], again.colors[6]], [9, 2, 4, "#ffffff", "#1111ff"])
            mouseClick(child(again, "resetMark"))
            compare([again.effect, again.speedStep, again.brightStep, again.colors[0], again.isSave], [0, 0, 4, "#ff0000", true])
        }

        // The shown blocks are one Tab stop arrows go round; the hue bar takes keys; a covered section leaves the Tab order.
        function test_keyboard() {
            const panel = makePanel({ isColorful: false, dpiCount: 3 })
            child(panel, "colorBlock0").forceActiveFocus(Qt.TabFocusReason)
            const keys = [Qt.Key_Left, Qt.Key_Right, Qt.Key_Down, Qt.Key_Tab, Qt.Key_End, Qt.Key_Home, Qt.Key_PageUp,
                          Qt.Key_Right, Qt.Key_Down]
            const block = () => panel.selectColorBlock
            compare(walk(keys, () => [focusName(), block(), panel.markers[block()], panel.colors[block()], panel.isSave]),
                    [["colorBlock2", 2, 121, "#0000ff", false], ["colorBlock0", 0, 0, "#ff0000", false],
                     ["colorBlock1", 1, 60, "#00ff00", false], ["hueBar", 1, 60, "#00ff00", false],
                     ["hueBar", 1, 183, "#ffffff", true], ["hueBar", 1, 0, "#ff0000", true], ["hueBar", 1, 30, "#ffff00", true],
                     ["hueBar", 1, 31, "#f7ff00", true], ["hueBar", 1, 30, "#ffff00", true]])
            panel.pickEffect(2) // Neon: speed, no colours
            child(panel, "speedSlider").forceActiveFocus(Qt.TabFocusReason)
            keyClick(Qt.Key_Tab)
            compare(focusName(), "lightModel")
        }
    }
}
