import QtQuick

// The sliding part of the drop-down controls: a clipping box that slides
// its content down to `fullHeight` and back up to nothing. A `panel` is
// built on opening and dropped when the closing slide ends, so a closed box
// holds no rows.
Item {
    id: slideBox

    property real fullHeight: 0
    property int duration: 180
    property bool shown: false
    readonly property bool running: slide.running
    readonly property bool fullyOpen: shown && !slide.running
    // Where the pointer is over the open box, in its coordinates; rows
    // take their hover from here, since rows that slid under a resting
    // pointer while clipped can keep a stale hover of their own.
    readonly property bool pointerInside: fullyOpen && hover.hovered
                                          && hover.point.position.y < height
    readonly property point pointer: hover.point.position
    default property alias content: inner.data
    property Component panel: null
    readonly property alias panelItem: panelLoader.item
    property bool panelBuilt: false

    signal opened()
    signal closed()

    function open() {
        panelBuilt = true
        shown = true
        run(fullHeight)
    }

    function close() {
        shown = false
        run(0)
    }

    function run(to: real) {
        slide.stop()
        slide.duration = Math.max(0, duration)
        slide.to = to
        slide.start()
    }

    height: 0
    clip: true
    visible: height > 0
    onFullHeightChanged: {
        if (fullyOpen)
            height = fullHeight
    }

    HoverHandler {
        id: hover
    }

    Item {
        id: inner

        width: slideBox.width
        height: slideBox.fullHeight
        y: slideBox.height - slideBox.fullHeight

        Loader {
            id: panelLoader

            anchors.fill: parent
            active: slideBox.panelBuilt
            sourceComponent: slideBox.panel
        }
    }

    NumberAnimation {
        id: slide

        target: slideBox
        property: "height"
        easing.type: Easing.OutQuad
        onFinished: {
            if (slideBox.shown) {
                slideBox.opened()
                return
            }
            slideBox.panelBuilt = false
            slideBox.closed()
        }
    }
}
