import QtQuick
import "../basic/theme.js" as Theme

// A box with a free text over a 24-pixel panel holding a slider. The box
// text is set only by the user of the control, usually from valueChange.
Item {
    id: dropDownSlider

    // Where the scene's focus ring goes while this has the keyboard focus.
    readonly property Item focusFrame: box

    property bool isDrop: false
    property string textValue: ""
    property color borderColor: Theme.colorGray1
    property color bgColor: Theme.colorGray0
    property color sliderBgColor: Theme.colorGray0
    property color sliderbarBg: Theme.colorGray1
    property alias sliderControl: slider
    property int horizontalOffset: 0
    // The caption a screen reader names the control by; the shown text
    // then goes with it as its description.
    property string description: ""
    readonly property bool isAnimating: slideBox.running

    signal btnClick()
    signal valueChange(int index)
    signal dragSignal(bool isDrag)

    function setValue(ration: real) {
        slider.setRatioValue(ration)
    }

    function closeMenu() {
        isDrop = false
        slideBox.close()
    }

    // What a click on the box does.
    function toggle() {
        btnClick()
        if (slideBox.running)
            return
        if (slideBox.shown) {
            closeMenu()
        } else {
            isDrop = true
            slideBox.open()
        }
    }

    width: 120
    height: 24
    activeFocusOnTab: true
    Accessible.role: Accessible.ComboBox
    Accessible.name: description !== "" ? description : textValue
    Accessible.description: description !== "" ? textValue : ""
    Accessible.focusable: true
    Accessible.onPressAction: toggle()
    Keys.onSpacePressed: toggle()
    Keys.onReturnPressed: toggle()
    Keys.onEnterPressed: toggle()
    // The arrows step the slider as a drag on it would.
    Keys.forwardTo: [slider]
    Keys.onEscapePressed: (event) => {
        event.accepted = slideBox.shown
        if (slideBox.shown)
            closeMenu()
    }
    onActiveFocusChanged: {
        if (!activeFocus && slideBox.shown)
            closeMenu()
    }

    DropBox {
        id: box

        width: parent.width
        color: dropDownSlider.bgColor
        border.color: dropDownSlider.borderColor
        textValue: dropDownSlider.textValue
        isDrop: dropDownSlider.isDrop
        horizontalOffset: dropDownSlider.horizontalOffset
        onClicked: {
            dropDownSlider.forceActiveFocus(Qt.MouseFocusReason)
            dropDownSlider.toggle()
        }
    }

    SlideBox {
        id: slideBox

        objectName: "slideBox"
        y: box.height
        width: parent.width
        duration: 180
        fullHeight: 24

        Rectangle {
            anchors.fill: parent
            color: dropDownSlider.sliderBgColor
            border.color: dropDownSlider.borderColor
        }

        SliderButton {
            id: slider

            anchors.centerIn: parent
            width: dropDownSlider.width - 16
            color: dropDownSlider.sliderbarBg
            // Reached through the box's keys; not a Tab stop of its own.
            activeFocusOnTab: false
            onValueChange: (tmpValue) => dropDownSlider.valueChange(tmpValue)
            onDragSignal: (isDrag) => dropDownSlider.dragSignal(isDrag)
        }
    }
}
