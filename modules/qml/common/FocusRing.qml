import QtQuick
import "../basic/theme.js" as Theme

// The ring drawn around the control that has the keyboard focus; put it
// inside the control so it follows its size.
Rectangle {
    property Item target: parent

    anchors.fill: parent
    anchors.margins: -3
    radius: 3
    color: "transparent"
    border.color: Theme.colorFocus
    border.width: 1
    visible: target !== null && target.activeFocus
}
