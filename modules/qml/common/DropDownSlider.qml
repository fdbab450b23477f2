import QtQuick
import "../basic/theme.js" as Theme

// A box with a free text over a 24-pixel panel holding a slider. The box
// text is set only by the user of the control, usually from valueChange.
Item {
    id: dropDownSlider

    property bool isDrop: false
    property string textValue: ""
    property color borderColor: Theme.colorGray1
    property color bgColor: Theme.colorGray0
    property color sliderBgColor: Theme.colorGray0
    property color sliderbarBg: Theme.colorGray1
    property alias sliderControl: slider
    property int horizontalOffset: 0
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

    width: 120
    height: 24

    DropBox {
        id: box

        width: parent.width
        color: dropDownSlider.bgColor
        border.color: dropDownSlider.borderColor
        textValue: dropDownSlider.textValue
        isDrop: dropDownSlider.isDrop
        horizontalOffset: dropDownSlider.horizontalOffset
        onClicked: {
            dropDownSlider.btnClick()
            if (slideBox.running)
                return
            if (slideBox.shown) {
                dropDownSlider.closeMenu()
            } else {
                dropDownSlider.isDrop = true
                slideBox.open()
            }
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
            onValueChange: (tmpValue) => dropDownSlider.valueChange(tmpValue)
            onDragSignal: (isDrag) => dropDownSlider.dragSignal(isDrag)
        }
    }
}
