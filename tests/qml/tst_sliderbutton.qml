import QtQuick
import QtTest
import "qrc:/modules/qml/common"

// The slider's geometry is the library's (tst_libraries); here: what a
// click, a key or a drag does to the knob and what it reports, in order.
Item {
    id: scene

    width: 400
    height: 200

    Component { id: sliderComponent; SliderButton { x: 20; y: 20 } }

    SceneTestCase {
        name: "SliderButton"

        // A slider and the list of what it reports.
        function makeSlider(properties, order) {
            const slider = make(sliderComponent, properties)
            slider.btnClick.connect(() => order.push("click"))
            slider.valueChange.connect((v) => order.push("value " + v))
            slider.valueChangeDelay.connect((v) => order.push("delay " + v))
            slider.dragSignal.connect((down) => order.push("drag " + down))
            return slider
        }

        // A track click on a stepped slider (96 px, 4 steps: points 3, 22.5,
        // 42, 61.5, 81) glides to the step at or past the pointer, then
        // reports; a key moves it a step, a continuous one a pixel or a
        // tenth of the travel with Page Up/Down.
        function test_clicksAndKeys_data() {
            const stepped = { width: 96, isScale: true, segment: 4 }
            return [
                { tag: "click, target past the point", props: stepped, at: 81, pointer: 29, position: 42,
                  segmentValue: 2 },
                { tag: "click, target on the point", props: stepped, at: 81, pointer: 28, position: 22.5,
                  segmentValue: 1 },
                { tag: "click, continuous", props: { width: 200 }, at: 3, pointer: 150, position: 144 },
                { tag: "stepped, Right", props: stepped, step: 1, key: Qt.Key_Right, position: 42,
                  segmentValue: 2 },
                { tag: "stepped, Down", props: stepped, step: 1, key: Qt.Key_Down, position: 3,
                  segmentValue: 0 },
                { tag: "stepped, Left at the start", props: stepped, step: 0, key: Qt.Key_Left,
                  position: 3, segmentValue: 0 },
                { tag: "stepped, Up at the end", props: stepped, step: 4, key: Qt.Key_Up, position: 81,
                  segmentValue: 4 },
                { tag: "continuous, Left", props: { width: 100 }, at: 50, key: Qt.Key_Left, position: 49 },
                { tag: "continuous, Page Up", props: { width: 100 }, at: 50, key: Qt.Key_PageUp,
                  position: 58.2 },
                { tag: "continuous, Up at the end", props: { width: 100 }, at: 85, key: Qt.Key_Up,
                  position: 85 },
            ]
        }

        function test_clicksAndKeys(data) {
            const order = []
            const slider = makeSlider(data.props, order)
            if (data.at !== undefined)
                slider.setValue(data.at)
            else
                slider.setIndexValue(data.step, false)
            const reported = Math.floor(data.position)
            if (data.pointer) {
                // The knob glides there, then reports.
                mousePress(slider, data.pointer, 6)
                compare(order, ["click"])
                tryCompare(order, "length", 3, 1000)
                mouseRelease(slider, data.pointer, 6)
            } else {
                slider.forceActiveFocus(Qt.TabFocusReason)
                keyClick(data.key)
            }
            if (data.segmentValue !== undefined)
                compare(slider.segmentValue, data.segmentValue)
            compare(slider.knobPosition, data.position)
            compare(order, ["click", "value " + reported, "delay " + reported])
        }

        // Setters move the knob; only the ratio and a chosen index report.
        function test_setters() {
            const order = []
            const slider = makeSlider({ width: 176 }, order)
            const positions = []
            for (const ratio of [0, 1, 0.5]) {
                slider.setRatioValue(ratio)
                positions.push(slider.knobPosition)
            }
            slider.segment = 4
            slider.setIndexValue(2, false)
            positions.push(slider.knobPosition, slider.segmentValue)
            slider.setIndexValue(3, true)
            slider.setValue(50)
            positions.push(slider.knobPosition)
            compare(positions, [4, 162, 83, 3 + 2 * 158 / 4, 2, 50])
            compare(order, ["value 4", "value 162", "value 83", "value 121"])
        }

        // A drag follows the pointer within the travel; a stepped one snaps
        // on release to the step within a pixel, or the next one.
        function test_drag_data() {
            return [
                { tag: "continuous, within", props: { width: 100 }, moves: [20], position: 23,
                  order: ["click", "drag true", "value 23", "delay 23", "drag false"] },
                { tag: "continuous, far beyond the end", props: { width: 100 }, moves: [20, 194],
                  position: 85, order: ["click", "drag true", "value 23", "value 85", "delay 85",
                                        "drag false"] },
                { tag: "stepped, within the slack", props: { width: 96, segment: 4, isScale: true },
                  moves: [20], position: 22.5, step: 1 },
                { tag: "stepped, beyond the slack", props: { width: 96, segment: 4, isScale: true },
                  moves: [22], position: 42, step: 2 },
            ]
        }

        function test_drag(data) {
            const order = []
            const slider = makeSlider(data.props, order)
            slider.setValue(3)
            const knob = slider.children[2]
            mousePress(knob, 6, 6)
            for (const dx of data.moves)
                mouseMove(knob, 6 + dx, 6)
            mouseRelease(knob, 6, 6)
            compare(slider.knobPosition, data.position)
            if (data.step !== undefined)
                compare([slider.segmentValue, order[order.length - 1]], [data.step, "drag false"])
            else
                compare(order, data.order)
        }
    }
}
