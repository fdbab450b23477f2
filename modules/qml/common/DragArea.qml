import QtQuick

// Drags `target` inside its parent: every move adds the pointer's offset
// from the press point and keeps the target within the parent's bounds.
MouseArea {
    id: dragArea

    property Item target: parent
    property point pressPoint

    onPressed: (mouse) => { pressPoint = Qt.point(mouse.x, mouse.y) }
    onPositionChanged: (mouse) => {
        const bounds = target.parent
        if (!bounds)
            return
        const x = target.x + mouse.x - pressPoint.x
        const y = target.y + mouse.y - pressPoint.y
        target.x = Math.max(0, Math.min(bounds.width - target.width, x))
        target.y = Math.max(0, Math.min(bounds.height - target.height, y))
    }
}
