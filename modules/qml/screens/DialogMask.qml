import QtQuick

// Dims the window behind a dialog; a press is reported (the open dialog
// takes the focus back), and dragging it moves the window.
Rectangle {
    id: mask

    signal maskPressed()

    radius: 10
    color: "#90000000"

    MouseArea {
        property point pressPoint

        anchors.fill: parent
        hoverEnabled: true
        onWheel: (wheel) => { wheel.accepted = true }
        onPressed: (mouse) => {
            pressPoint = Qt.point(mouse.x, mouse.y)
            mask.maskPressed()
        }
        onPositionChanged: (mouse) => {
            if (!pressed)
                return
            ui_Ctl.onXChanged(mouse.x - pressPoint.x)
            ui_Ctl.onYChanged(mouse.y - pressPoint.y)
        }
    }
}
