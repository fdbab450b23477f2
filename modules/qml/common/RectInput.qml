import QtQuick
import "../basic/theme.js" as Theme

// A single-line integer field.
Rectangle {
    id: rectInput

    property int maxValue: 255
    property int minValue: 0
    property alias textValue: txtInput.text
    property alias txtInput: txtInput
    // What the number is, for screen readers (the field shows only digits).
    property string description: ""

    signal inputSignal()
    signal endInputSignal()

    function closeFocus() {
        if (txtInput.activeFocus || txtInput.focus) {
            txtInput.deselect()
            txtInput.focus = false
        }
    }

    width: 48
    height: 20
    color: Theme.colorBlue
    border.color: txtInput.activeFocus ? Theme.colorOrange : Theme.colorGray1

    TextInput {
        id: txtInput

        anchors.fill: parent
        anchors.leftMargin: 4
        anchors.rightMargin: 4
        verticalAlignment: TextInput.AlignVCenter
        horizontalAlignment: TextInput.AlignHCenter
        clip: true
        color: Theme.fontColor
        selectionColor: Theme.colorOrange
        selectByMouse: true
        font.family: Theme.fontFamily
        font.preferShaping: Theme.needsShaping(text)
        font.pixelSize: Theme.fontNormalSize
        maximumLength: 4
        text: "0"
        activeFocusOnTab: true
        Accessible.role: Accessible.EditableText
        Accessible.name: rectInput.description
        Accessible.focusable: true
        validator: IntValidator {
            bottom: rectInput.minValue
            top: rectInput.maxValue
        }
        Keys.onReturnPressed: rectInput.closeFocus()
        Keys.onEnterPressed: rectInput.closeFocus()
        onActiveFocusChanged: {
            if (activeFocus) {
                rectInput.inputSignal()
                return
            }
            // An empty or non-positive entry reads as 0 once editing ends;
            // one above the maximum, which the validator lets through while
            // typing, as the maximum.
            const value = parseInt(text, 10)
            if (text.length === 0 || isNaN(value) || value < 1)
                text = "0"
            else if (value > rectInput.maxValue)
                text = String(rectInput.maxValue)
            rectInput.endInputSignal()
        }
    }
}
