import QtQuick
import "../basic/theme.js" as Theme

// A small tooltip under its host after a short hover, or at once while the
// host has the keyboard focus. Once shown it moves to the window's content
// item so that no later sibling of its host paints over it. Its box and
// text are built only while it shows: the window holds a tooltip for every
// button and row, and laying out all their texts delayed the first frame.
Item {
    id: toolTipBox

    property Item host: null
    property string text: ""
    property bool hovered: false
    readonly property bool shown: text !== "" && host !== null && host.visible
                                  && (host.activeFocus || delay.fired)

    function place() {
        if (!shown || !host)
            return
        const top = Window.contentItem
        if (top && parent !== top)
            parent = top
        const below = host.mapToItem(parent, 0, host.height + 4)
        x = Math.max(0, Math.min(parent.width - width, below.x))
        y = below.y + height > parent.height ? host.mapToItem(parent, 0, -height - 4).y : below.y
    }

    z: 1000
    visible: shown
    width: box.width
    height: box.height
    onHoveredChanged: {
        delay.fired = false
        if (hovered)
            delay.restart()
        else
            delay.stop()
    }

    Timer {
        id: delay

        property bool fired: false

        interval: Theme.tooltipDelay
        onTriggered: fired = true
    }

    Loader {
        id: box

        active: toolTipBox.shown
        // Placed once built, with its real size.
        onLoaded: toolTipBox.place()
        sourceComponent: Rectangle {
            width: label.implicitWidth + 12
            height: label.implicitHeight + 6
            radius: 2
            color: Theme.colorGray0
            border.color: Theme.colorGray2

            Text {
                id: label

                anchors.centerIn: parent
                // qmllint disable unqualified
                text: toolTipBox.text
                // qmllint enable unqualified
                color: Theme.fontColor
                font.family: Theme.fontFamily
                font.preferShaping: Theme.needsShaping(text)
                font.pixelSize: Theme.fontMinSize + 1
            }
        }
    }
}
