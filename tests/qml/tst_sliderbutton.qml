import QtQuick
import QtTest
import "qrc:/modules/qml/common"

Item {
    id: scene

    width: 400
    height: 200

TestCase {
    id: testCase

    name: "SliderButton"
    when: windowShown

    Component {
        id: sliderComponent

        SliderButton {
            x: 20
            y: 20
        }
    }

    SignalSpy { id: valueSpy; signalName: "valueChange" }
    SignalSpy { id: delaySpy; signalName: "valueChangeDelay" }
    SignalSpy { id: clickSpy; signalName: "btnClick" }
    SignalSpy { id: dragSpy; signalName: "dragSignal" }

    function makeSlider(properties) {
        const slider = createTemporaryObject(sliderComponent, scene, properties)
        verify(slider)
        for (const spy of [valueSpy, delaySpy, clickSpy, dragSpy]) {
            spy.clear()
            spy.target = slider
        }
        return slider
    }

    function knob(slider) {
        return slider.children[2]
    }

    function test_steppedTrackClickGoesToTheNextStepPoint_data() {
        // 96 pixels, 4 steps: step points 3, 22.5, 42, 61.5, 81.
        return [
            { tag: "pointer 30 -> step 2", pointer: 30, step: 2, position: 42 },
            { tag: "pointer 9 -> step 0", pointer: 9, step: 0, position: 3 },
            { tag: "pointer 28 -> step 1 (target on the point)", pointer: 28, step: 1, position: 22.5 },
            { tag: "pointer 29 -> step 2 (target past the point)", pointer: 29, step: 2, position: 42 },
            { tag: "pointer 95 -> last step", pointer: 95, step: 4, position: 81 },
            { tag: "left margin -> step 0", pointer: -2, step: 0, position: 3 },
        ]
    }

    function test_steppedTrackClickGoesToTheNextStepPoint(data) {
        const slider = makeSlider({ width: 96, segment: 4, isScale: true })
        slider.setValue(data.pointer > 40 ? 3 : 81)
        mousePress(slider, data.pointer, 6)
        compare(clickSpy.count, 1)
        compare(slider.segmentValue, data.step)
        // The knob glides there in 120 ms, then reports.
        compare(valueSpy.count, 0)
        tryCompare(delaySpy, "count", 1, 1000)
        compare(slider.knobPosition, data.position)
        compare(valueSpy.count, 1)
        compare(valueSpy.signalArguments[0][0], Math.trunc(data.position))
        compare(delaySpy.signalArguments[0][0], Math.trunc(data.position))
        mouseRelease(slider, data.pointer, 6)
    }

    function test_glideTakesAbout120ms() {
        const slider = makeSlider({ width: 200 })
        let order = []
        slider.valueChange.connect(() => order.push("valueChange"))
        slider.valueChangeDelay.connect(() => order.push("valueChangeDelay"))
        const started = Date.now()
        mousePress(slider, 150, 6)
        tryCompare(delaySpy, "count", 1, 1000)
        const took = Date.now() - started
        verify(took >= 100, "glide took " + took + " ms")
        compare(order, ["valueChange", "valueChangeDelay"])
        compare(slider.knobPosition, 144)
        mouseRelease(slider, 150, 6)
    }

    // A key moves the knob the way a track click does and reports in the
    // same order; stepped sliders move a step, continuous ones a pixel, or
    // a tenth of the travel with Page Up/Down.
    function test_keysStep_data() {
        return [
            { tag: "stepped, Right", props: { width: 96, isScale: true, segment: 4 }, step: 1,
              key: Qt.Key_Right, position: 42, segmentValue: 2 },
            { tag: "stepped, Down", props: { width: 96, isScale: true, segment: 4 }, step: 1,
              key: Qt.Key_Down, position: 3, segmentValue: 0 },
            { tag: "stepped, Left at the start", props: { width: 96, isScale: true, segment: 4 }, step: 0,
              key: Qt.Key_Left, position: 3, segmentValue: 0 },
            { tag: "stepped, Up at the end", props: { width: 96, isScale: true, segment: 4 }, step: 4,
              key: Qt.Key_Up, position: 81, segmentValue: 4 },
            { tag: "continuous, Left", props: { width: 100 }, at: 50, key: Qt.Key_Left, position: 49 },
            { tag: "continuous, Page Up", props: { width: 100 }, at: 50, key: Qt.Key_PageUp, position: 58.2 },
            { tag: "continuous, Up at the end", props: { width: 100 }, at: 85, key: Qt.Key_Up, position: 85 },
        ]
    }

    function test_keysStep(data) {
        const slider = makeSlider(data.props)
        if (data.step !== undefined)
            slider.setIndexValue(data.step, false)
        else
            slider.setValue(data.at)
        const order = []
        slider.btnClick.connect(() => order.push("click"))
        slider.valueChange.connect((v) => order.push("value " + v))
        slider.valueChangeDelay.connect((v) => order.push("delay " + v))
        slider.forceActiveFocus(Qt.TabFocusReason)
        keyClick(data.key)
        compare(slider.knobPosition, data.position)
        const reported = Math.floor(data.position)
        compare(order, ["click", "value " + reported, "delay " + reported])
        if (data.segmentValue !== undefined)
            compare(slider.segmentValue, data.segmentValue)
    }

    function test_setters() {
        const slider = makeSlider({ width: 176 })
        slider.setRatioValue(0)
        compare(slider.knobPosition, 4)
        slider.setRatioValue(1)
        compare(slider.knobPosition, 162)
        slider.setRatioValue(0.5)
        compare(slider.knobPosition, 83)
        compare(valueSpy.count, 3)
        compare(valueSpy.signalArguments[2][0], 83)

        slider.segment = 4
        slider.setIndexValue(2, false)
        compare(slider.knobPosition, 3 + 2 * 158 / 4)
        compare(slider.segmentValue, 2)
        compare(valueSpy.count, 3)
        slider.setIndexValue(3, true)
        compare(valueSpy.count, 4)

        slider.setValue(50)
        compare(slider.knobPosition, 50)
        compare(valueSpy.count, 4)
        compare(delaySpy.count, 0)
    }

    function test_dragFollowsThePointerWithinTheTravel() {
        const slider = makeSlider({ width: 100 })
        slider.setValue(3)
        const handle = knob(slider)
        mousePress(handle, 6, 6)
        compare(clickSpy.count, 1)
        compare(dragSpy.count, 1)
        compare(dragSpy.signalArguments[0][0], true)
        mouseMove(handle, 26, 6)
        compare(slider.knobPosition, 23)
        verify(valueSpy.count >= 1)
        compare(valueSpy.signalArguments[valueSpy.count - 1][0], 23)
        // Far beyond the end: held at width - 15.
        mouseMove(handle, 200, 6)
        compare(slider.knobPosition, 85)
        mouseRelease(handle, 200 - 85 + 3, 6)
        compare(delaySpy.count, 1)
        compare(delaySpy.signalArguments[0][0], 85)
        compare(dragSpy.count, 2)
        compare(dragSpy.signalArguments[1][0], false)
    }

    function test_steppedDragSnapsOnRelease() {
        const slider = makeSlider({ width: 96, segment: 4, isScale: true })
        slider.setValue(3)
        const handle = knob(slider)
        mousePress(handle, 6, 6)
        // 23 is within one pixel of step point 22.5: snaps back to step 1.
        mouseMove(handle, 26, 6)
        compare(slider.knobPosition, 23)
        compare(valueSpy.count, 0)
        mouseRelease(handle, 6, 6)
        compare(slider.knobPosition, 22.5)
        compare(slider.segmentValue, 1)
        compare(delaySpy.count, 1)
        compare(dragSpy.signalArguments[1][0], false)

        mousePress(handle, 6, 6)
        mouseMove(handle, 8, 6)     // 24.5: beyond the slack, goes on to step 2
        mouseRelease(handle, 8, 6)
        compare(slider.knobPosition, 42)
        compare(slider.segmentValue, 2)
    }
}
}
