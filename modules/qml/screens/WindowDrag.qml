import QtQuick

// Drags the window: the window system moves it when it can, otherwise each
// move shifts it by the pointer's offset from the press point.
MouseArea {
    id: windowDrag

    property point pressPoint
    // The window system moves the window during this drag.
    property bool systemMove: false

    signal dragStarted()

    onPressed: (mouse) => {
        windowDrag.dragStarted()
        pressPoint = Qt.point(mouse.x, mouse.y)
        systemMove = ui_Ctl.startSystemMove()
    }
    onPositionChanged: (mouse) => {
        if (systemMove)
            return
        ui_Ctl.onXChanged(mouse.x - pressPoint.x)
        ui_Ctl.onYChanged(mouse.y - pressPoint.y)
    }
}
