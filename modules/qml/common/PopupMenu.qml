import QtQuick
import "../basic/theme.js" as Theme

// A context menu: one 24-pixel row per entry.
Rectangle {
    id: popupMenu

    property var entries: []

    signal chosen(int entry)

    z: 15
    width: 140
    height: popupColumn.height + 2
    visible: false
    color: Theme.colorGray0
    border.color: Theme.colorGray1

    Column {
        id: popupColumn

        x: 1
        y: 1

        Repeater {
            model: popupMenu.entries

            // qmllint disable unqualified
            delegate: Rectangle {
                id: popupRow

                required property int index
                required property string modelData

                width: popupMenu.width - 2
                height: 24
                color: popupArea.containsMouse ? Theme.colorOrange : "transparent"

                Text {
                    anchors.verticalCenter: parent.verticalCenter
                    x: 8
                    text: popupRow.modelData
                    color: Theme.fontColor
                    font.family: Theme.fontFamily
                    font.pixelSize: Theme.fontNormalSize
                }

                MouseArea {
                    id: popupArea

                    anchors.fill: parent
                    hoverEnabled: true
                    onClicked: popupMenu.chosen(popupRow.index)
                }
            }
            // qmllint enable unqualified
        }
    }
}
