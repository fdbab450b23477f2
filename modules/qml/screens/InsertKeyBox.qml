import QtQuick
import "../common"
import "../basic/theme.js" as Theme

// The insert-key box over the editor's own mask: the next key pressed
// fills its field; OK inserts its press and release.
Rectangle {
    id: insertKeyBox

    property string title
    // The key pressed last.
    property string keyText
    property string okText

    signal confirmed()

    objectName: "insertKeyBox"
    anchors.fill: parent
    z: 20
    visible: false
    color: "#90000000"

    MouseArea {
        anchors.fill: parent
        onWheel: (wheel) => { wheel.accepted = true }
    }

    Rectangle {
        anchors.centerIn: parent
        width: 260
        height: 124
        color: Theme.colorGray0
        border.color: Theme.colorGray1

        Rectangle {
            width: parent.width
            height: 30
            color: Theme.colorBlack

            ThemedText {
                anchors.left: parent.left
                anchors.leftMargin: 10
                anchors.verticalCenter: parent.verticalCenter
                text: insertKeyBox.title
                font.pixelSize: Theme.fontMiddleSize
                font.bold: true
            }
        }

        Rectangle {
            objectName: "insertKeyField"
            x: 20
            y: 48
            width: 220
            height: 24
            color: Theme.colorBlue
            border.color: Theme.colorOrange

            ThemedText {
                anchors.centerIn: parent
                text: insertKeyBox.keyText
            }
        }

        TextButton {
            objectName: "insertKeyOk"
            anchors.right: parent.right
            anchors.rightMargin: 20
            y: 86
            width: 88
            textValue: insertKeyBox.okText
            onClicked: insertKeyBox.confirmed()
        }
    }
}
