import QtQuick

// The sliding part of the drop-down controls: a clipping box that slides
// its content down to `fullHeight` and back up to nothing.
Item {
    id: slideBox

    property real fullHeight: 0
    property int duration: 180
    property bool shown: false
    readonly property bool running: slide.running
    readonly property bool fullyOpen: shown && !slide.running
    default property alias content: inner.data

    signal opened()
    signal closed()

    function open() {
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

    Item {
        id: inner

        width: slideBox.width
        height: slideBox.fullHeight
        y: slideBox.height - slideBox.fullHeight
    }

    NumberAnimation {
        id: slide

        target: slideBox
        property: "height"
        easing.type: Easing.OutQuad
        onFinished: slideBox.shown ? slideBox.opened() : slideBox.closed()
    }
}
