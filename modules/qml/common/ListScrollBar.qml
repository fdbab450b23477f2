import QtQuick
import "../basic/theme.js" as Theme

// A 12-pixel scroll bar for a list, shown only while the list holds more
// than it shows. The handle follows the list, can be dragged, and a click
// on the track pages.
Rectangle {
    id: scrollBar

    property Flickable flickable: null
    readonly property real contentRange: flickable
                                         ? Math.max(0, flickable.contentHeight - flickable.height) : 0
    readonly property real handleRange: height - handle.height

    function scrollTo(position: real) {
        flickable.contentY = flickable.originY
                + Math.max(0, Math.min(contentRange, position))
    }

    width: 12
    visible: contentRange > 0.5
    color: Theme.colorGray1

    MouseArea {
        anchors.fill: parent
        onPressed: (mouse) => {
            const page = scrollBar.flickable.height
            const offset = scrollBar.flickable.contentY - scrollBar.flickable.originY
            scrollBar.scrollTo(offset + (mouse.y < handle.y ? -page : page))
        }
    }

    Rectangle {
        id: handle

        objectName: "scrollHandle"
        width: parent.width
        height: scrollBar.flickable
                ? Math.max(24, scrollBar.height * scrollBar.flickable.height
                           / Math.max(1, scrollBar.flickable.contentHeight))
                : 24
        radius: 4
        color: handleArea.pressed ? Theme.colorOrange : Theme.colorGray2
        onYChanged: {
            if (handleArea.drag.active && scrollBar.handleRange > 0)
                scrollBar.scrollTo(y / scrollBar.handleRange * scrollBar.contentRange)
        }

        Binding on y {
            when: !handleArea.drag.active
            value: scrollBar.contentRange > 0
                   ? scrollBar.handleRange * (scrollBar.flickable.contentY - scrollBar.flickable.originY)
                     / scrollBar.contentRange
                   : 0
        }

        MouseArea {
            id: handleArea

            anchors.fill: parent
            drag.target: handle
            drag.axis: Drag.YAxis
            drag.minimumY: 0
            drag.maximumY: scrollBar.handleRange
        }
    }
}
