import QtQuick
import "../basic/theme.js" as Theme

// The closed face of the drop-down controls: a 24-pixel box with a text
// and an arrow.
Rectangle {
    id: dropBox

    property string textValue: ""
    property bool isDrop: false
    property int horizontalOffset: 0

    signal clicked()

    height: 24
    color: Theme.colorGray0
    border.color: Theme.colorGray1

    Text {
        anchors.verticalCenter: parent.verticalCenter
        x: 8 + dropBox.horizontalOffset
        width: parent.width - x - arrow.width - 8
        elide: Text.ElideRight
        text: dropBox.textValue
        color: Theme.fontColor
        font.family: Theme.fontFamily
        font.preferShaping: Theme.needsShaping(text)
        font.pixelSize: Theme.fontNormalSize
    }

    Image {
        id: arrow

        anchors.verticalCenter: parent.verticalCenter
        anchors.right: parent.right
        anchors.rightMargin: 8
        source: dropBox.isDrop ? Theme.dropButtonOpen : Theme.dropButton
    }

    MouseArea {
        anchors.fill: parent
        onClicked: dropBox.clicked()
    }
}
