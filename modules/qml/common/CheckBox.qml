import QtQuick
import "../basic/theme.js" as Theme

// A label with a 12-pixel box to its right. A click reports before it
// toggles, so handlers see the state from before the click; Space and
// Enter do the same.
Item {
    id: checkBox

    // Where the scene's focus ring goes while this has the keyboard focus.
    readonly property Item focusFrame: checkBox

    property string textValue: ""
    property bool isSelect: false
    property int index: -1
    property int gapValue: 8
    property color bgColor: "transparent"
    property color borderColor: Theme.colorGray2

    signal btnClick(int index)

    function activate() {
        btnClick(index)
        isSelect = !isSelect
    }

    implicitWidth: label.implicitWidth + gapValue + box.width
    implicitHeight: Math.max(label.implicitHeight, box.height)
    width: implicitWidth
    height: implicitHeight
    activeFocusOnTab: true
    Accessible.role: Accessible.CheckBox
    Accessible.name: textValue
    Accessible.checkable: true
    Accessible.checked: isSelect
    Accessible.focusable: true
    Accessible.onPressAction: checkBox.activate()
    Accessible.onToggleAction: checkBox.activate()
    Keys.onSpacePressed: checkBox.activate()
    Keys.onReturnPressed: checkBox.activate()
    Keys.onEnterPressed: checkBox.activate()

    Text {
        id: label

        anchors.verticalCenter: parent.verticalCenter
        text: checkBox.textValue
        color: Theme.fontColor
        font.family: Theme.fontFamily
        font.preferShaping: Theme.needsShaping(text)
        font.pixelSize: Theme.fontNormalSize
    }

    Rectangle {
        id: box

        anchors.verticalCenter: parent.verticalCenter
        x: label.implicitWidth + checkBox.gapValue
        width: 12
        height: 12
        color: checkBox.bgColor
        border.color: checkBox.borderColor

        Image {
            anchors.centerIn: parent
            visible: checkBox.isSelect
            source: Theme.checkMark
        }
    }

    MouseArea {
        anchors.fill: parent
        anchors.margins: -6
        onClicked: checkBox.activate()
    }
}
