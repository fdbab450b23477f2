import QtQuick
import QtTest
import "qrc:/modules/qml/common"

// What a click, a key or a drag does to the knob and what it reports, in order (geometry: tst_libraries).
Item {
    width: 400; height: 200

    Component { id: sliderComponent; SliderButton { x: 20; y: 20 } }

    SceneTestCase {
        name: "SliderButton"

        function makeSlider(properties, order) {
            const slider = make(sliderComponent, properties)
            for (const [signal, text] of [["btnClick", "click"], ["valueChange", "value"], ["valueChangeDelay", "delay"], ["dragSignal", "drag"]])
                slider[signal].connect((v) => order.push(v === undefined ? text : text + " " + v))
            return slider
        }

        // From a value or [a step]: a track click on a stepped slider (96 px, 4 steps: points 3, 22.5, 42, 61.5, 81)
        // glides to the step at or past the pointer, then reports; a key moves a step, or a pixel (a tenth of the
        // travel with Page Up/Down); a drag follows within the travel, stepped it snaps to the step within a pixel.
        function test_moves_data() {
            const [stepped, wide, narrow] = [{ width: 96, isScale: true, segment: 4 }, { width: 200 }, { width: 100 }]
            const click = (x) => (slider, order) => {
                mousePress(slider, x, 6)
                compare(order, ["click"])
                tryCompare(order, "length", 3, 1000)
                mouseRelease(slider, x, 6)
            }
            const key = (k) => (slider) => { slider.forceActiveFocus(Qt.TabFocusReason); keyClick(k) }
            const pull = (...moves) => (slider) => { mousePress(slider.children[2], 6, 6)
                moves.forEach((dx) => mouseMove(slider.children[2], 6 + dx, 6)); mouseRelease(slider.children[2], 6, 6) }
            return [["click, target past the point", stepped, 81, click(29), 42, 2],
                    ["click, target on the point", stepped, 81, click(28), 22.5, 1],
                    ["click, continuous", wide, 3, click(150), 144],
                    ["stepped, Right", stepped, [1], key(Qt.Key_Right), 42, 2, undefined, "2 / 4"],
                    ["stepped, Down", stepped, [1], key(Qt.Key_Down), 3, 0],
                    ["stepped, Left at the start", stepped, [0], key(Qt.Key_Left), 3, 0],
                    ["stepped, Up at the end", stepped, [4], key(Qt.Key_Up), 81, 4],
                    ["continuous, Left", narrow, 50, key(Qt.Key_Left), 49, undefined, undefined, "56 %"],
                    ["continuous, Page Up", narrow, 50, key(Qt.Key_PageUp), 58.2],
                    ["continuous, Up at the end", narrow, 85, key(Qt.Key_Up), 85, undefined, undefined, "100 %"],
                    ["drag, continuous, within", narrow, 3, pull(20), 23, undefined, ["click", "drag true", "value 23", "delay 23", "drag false"]],
                    ["drag, continuous, far beyond the end", narrow, 3, pull(20, 194), 85, undefined, ["click", "drag true", "value 23", "value 85", "delay 85", "drag false"]],
                    ["drag, stepped, within the slack", stepped, 3, pull(20), 22.5, 1, "drag false"],
                    ["drag, stepped, beyond the slack", stepped, 3, pull(22), 42, 2, "drag false"],
            ].map((r) => ({ tag: r[0], props: r[1], start: r[2], act: r[3], position: r[4], step: r[5], order: r[6], heard: r[7] }))
        }

        // `order` as a text is the last report only; `heard`, what a screen reader says of the value.
        function test_moves(data) {
            const order = []
            const slider = makeSlider(data.props, order)
            Array.isArray(data.start) ? slider.setIndexValue(data.start[0], false) : slider.setValue(data.start)
            data.act(slider, order)
            compare([slider.knobPosition, slider.segmentValue, typeof data.order === "string" ? order[order.length - 1] : order],
                    [data.position, data.step === undefined ? slider.segmentValue : data.step,
                     data.order || ["click"].concat(["value ", "delay "].map((t) => t + Math.floor(data.position)))])
            if (data.heard)
                compare(slider.Accessible.description, data.heard)
        }

        // Setters move the knob; only the ratio and a chosen index report.
        function test_setters() {
            const order = []
            const slider = makeSlider({ width: 176 }, order)
            const positions = [0, 1, 0.5].map((ratio) => { slider.setRatioValue(ratio); return slider.knobPosition })
            slider.segment = 4
            slider.setIndexValue(2, false)
            positions.push(slider.knobPosition, slider.segmentValue)
            slider.setIndexValue(3, true)
            slider.setValue(50)
            positions.push(slider.knobPosition)
            compare([positions, order], [[4, 162, 83, 3 + 2 * 158 / 4, 2, 50], ["value 4", "value 162", "value 83", "value 121"]])
        }
    }
}
