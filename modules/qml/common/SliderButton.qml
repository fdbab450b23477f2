import QtQuick
import "slider.js" as Slider
import "../basic/theme.js" as Theme

// A slider: a 6-pixel rounded track with a 12-pixel knob, continuous or in
// `segment` steps. Positions are knob left edges in pixels.
Item {
    id: sliderButton

    // Where the scene's focus ring goes while this has the keyboard focus.
    readonly property Item focusFrame: sliderButton

    property int segment: 10
    property int segmentValue: 0
    property bool isScale: false
    property color colorS: Theme.colorOrange
    property color color: Theme.colorGray1
    readonly property real knobPosition: knob.x
    readonly property bool isDragging: knobArea.pressed
    readonly property bool isGliding: glide.running

    signal valueChange(int tmpValue)
    signal valueChangeDelay(int tmpValue)
    signal btnClick()
    signal dragSignal(bool isDrag)

    function setRatioValue(ration: real) {
        glide.stop()
        knob.x = Slider.ratioPosition(width, ration)
        valueChange(knob.x)
    }

    function setIndexValue(Index: int, isSendSignal: bool) {
        glide.stop()
        knob.x = Slider.stepPoint(width, segment, Index)
        segmentValue = Index
        if (isSendSignal)
            valueChange(knob.x)
    }

    function setValue(tmpvalue: real) {
        glide.stop()
        knob.x = tmpvalue
    }

    // A key step goes the way a click does: btnClick, the knob moves, then
    // valueChange and valueChangeDelay, so the screens send it the same way.
    // Stepped sliders move one step; continuous ones `pixels` pixels.
    function stepBy(steps: int, pixels: real) {
        btnClick()
        glide.stop()
        if (isScale) {
            segmentValue = Math.max(0, Math.min(segment, segmentValue + steps))
            knob.x = Slider.stepPoint(width, segment, segmentValue)
        } else {
            knob.x = Slider.clampToTravel(width, knob.x + steps * pixels)
        }
        valueChange(knob.x)
        valueChangeDelay(knob.x)
    }

    function clickAt(pointerX: real) {
        btnClick()
        let target = Slider.clickTarget(width, pointerX)
        if (isScale) {
            segmentValue = Slider.stepAtOrBeyond(width, segment, target, 0)
            target = Slider.stepPoint(width, segment, segmentValue)
        }
        glide.stop()
        glide.to = target
        glide.start()
    }

    width: 100
    height: 12
    activeFocusOnTab: true
    Accessible.role: Accessible.Slider
    Accessible.focusable: true
    // What a screen reader says after the name: the step, or the knob's place
    // along the travel in percent.
    Accessible.description: isScale ? segmentValue + " / " + segment
                                    : Math.round(100 * (knob.x - Slider.travelStart) / Slider.travel(width)) + " %"
    Keys.onRightPressed: stepBy(1, 1)
    Keys.onUpPressed: stepBy(1, 1)
    Keys.onLeftPressed: stepBy(-1, 1)
    Keys.onDownPressed: stepBy(-1, 1)
    Keys.onPressed: (event) => {
        if (event.key === Qt.Key_PageUp || event.key === Qt.Key_PageDown) {
            event.accepted = true
            stepBy(event.key === Qt.Key_PageUp ? 1 : -1, Slider.step(width, segment))
        }
    }

    Rectangle {
        id: track

        anchors.verticalCenter: parent.verticalCenter
        width: parent.width
        height: 6
        radius: 3
        color: sliderButton.color

        Rectangle {
            width: Math.max(0, Math.min(track.width, knob.x + knob.width / 2))
            height: parent.height
            radius: 3
            color: sliderButton.colorS
        }
    }

    MouseArea {
        id: trackArea

        anchors.fill: parent
        anchors.margins: -3
        onPressed: (mouse) => sliderButton.clickAt(mouse.x - 3)
    }

    Image {
        id: knob

        x: 3
        anchors.verticalCenter: parent.verticalCenter
        width: Slider.knobSize
        height: Slider.knobSize
        source: Theme.sliderKnob

        MouseArea {
            id: knobArea

            property real pressOffset: 0

            anchors.fill: parent
            onPressed: (mouse) => {
                glide.stop()
                pressOffset = mouse.x
                sliderButton.btnClick()
                sliderButton.dragSignal(true)
            }
            onPositionChanged: (mouse) => {
                const inSlider = mapToItem(sliderButton, mouse.x, 0).x
                knob.x = Slider.clampToTravel(sliderButton.width, inSlider - pressOffset)
                if (!sliderButton.isScale)
                    sliderButton.valueChange(knob.x)
            }
            onReleased: {
                if (sliderButton.isScale) {
                    const i = Slider.stepAtOrBeyond(sliderButton.width, sliderButton.segment, knob.x, 1)
                    knob.x = Slider.stepPoint(sliderButton.width, sliderButton.segment, i)
                    sliderButton.segmentValue = i
                }
                sliderButton.valueChangeDelay(knob.x)
                sliderButton.dragSignal(false)
            }
        }
    }

    NumberAnimation {
        id: glide

        target: knob
        property: "x"
        duration: 120
        easing.type: Easing.OutQuad
        onFinished: {
            sliderButton.valueChange(knob.x)
            sliderButton.valueChangeDelay(knob.x)
        }
    }
}
