import QtQuick
import "../common"
import "../basic/theme.js" as Theme

// The "No mouse connected" state: covers the panels and takes their
// pointer input; the title bar stays usable.
Rectangle {
    id: noMousePanel

    property string title
    property string detail

    objectName: "noMousePanel"

    y: 48
    width: parent.width
    height: parent.height - y
    z: 9
    radius: 10
    color: "#e0000000"

    MouseArea {
        anchors.fill: parent
        hoverEnabled: true
        acceptedButtons: Qt.AllButtons
        onWheel: (wheel) => { wheel.accepted = true }
    }

    Column {
        anchors.centerIn: parent
        width: 560
        spacing: 12

        ThemedText {
            objectName: "noMouseTitle"

            width: parent.width
            horizontalAlignment: Text.AlignHCenter
            text: noMousePanel.title
            font.pixelSize: Theme.fontMaxSize
            font.bold: true
        }

        ThemedText {
            objectName: "noMouseDetail"

            width: parent.width
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.Wrap
            text: noMousePanel.detail
        }
    }
}
