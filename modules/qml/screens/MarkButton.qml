import QtQuick
import "../basic/theme.js" as Theme

// A small square button showing a mark, orange under the pointer.
Rectangle {
    property alias source: icon.source

    signal clicked()

    width: 24
    height: 24
    radius: 2
    color: markArea.containsMouse ? Theme.colorOrange : Theme.colorGray1

    Image {
        id: icon

        anchors.centerIn: parent
    }

    MouseArea {
        id: markArea

        anchors.fill: parent
        hoverEnabled: true
        onClicked: parent.clicked()
    }
}
