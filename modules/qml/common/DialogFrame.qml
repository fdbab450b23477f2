import QtQuick
import "../basic/theme.js" as Theme

// The frame every dialog shares: a drag area over the whole dialog (it moves
// the dialog and reports presses on its background) and the title bar with
// the title, an optional icon, extra buttons and the close mark. Declared
// first in the dialog, so that the dialog's content lies above it.
Item {
    id: frame

    property Item dialog: parent
    property string title
    property url icon
    property int skinNo: 1
    property bool closable: true
    readonly property int titleHeight: titleBar.height
    // Buttons shown left of the close mark.
    default property alias tools: toolRow.data

    signal backgroundPressed()
    signal closeClicked()

    anchors.fill: parent

    DragArea {
        anchors.fill: parent
        target: frame.dialog
        onPressed: frame.backgroundPressed()
    }

    Rectangle {
        id: titleBar

        objectName: "titleBar"
        width: parent.width
        height: 30
        color: Theme.colorBlack

        Image {
            id: titleIcon

            anchors.left: parent.left
            anchors.leftMargin: 10
            anchors.verticalCenter: parent.verticalCenter
            width: visible ? implicitWidth : 0
            visible: String(frame.icon) !== ""
            source: frame.icon
        }

        ThemedText {
            objectName: "dialogTitle"
            anchors.left: titleIcon.right
            anchors.leftMargin: titleIcon.visible ? 8 : 0
            anchors.verticalCenter: parent.verticalCenter
            width: buttons.x - x - 8
            elide: Text.ElideRight
            text: frame.title
            font.pixelSize: Theme.fontMiddleSize
            font.bold: true
        }

        Row {
            id: buttons

            anchors.right: parent.right
            anchors.rightMargin: 10
            anchors.verticalCenter: parent.verticalCenter
            spacing: 12

            Row {
                id: toolRow

                spacing: 12
            }

            ImageButton {
                id: closeMark

                objectName: "closeMark"
                visible: frame.closable
                normalSource: Theme.skinImage(frame.skinNo, "index", "closeMark")
                hoverSource: Theme.skinImage(frame.skinNo, "index", "closeMarkHover")
                description: qsTr("Close")
                onClicked: frame.closeClicked()
            }
        }
    }
}
