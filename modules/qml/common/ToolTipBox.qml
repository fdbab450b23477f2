import QtQuick
import "../basic/theme.js" as Theme

// A small tooltip under its host after a short hover, or at once while the
// host has the keyboard focus. Once shown it moves to the window's content
// item so that no later sibling of its host paints over it.
Rectangle {
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
    width: label.implicitWidth + 12
    height: label.implicitHeight + 6
    radius: 2
    color: Theme.colorGray0
    border.color: Theme.colorGray2
    onShownChanged: place()
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

    Text {
        id: label

        anchors.centerIn: parent
        text: toolTipBox.text
        color: Theme.fontColor
        font.family: Theme.fontFamily
        font.pixelSize: Theme.fontMinSize + 1
    }
}
