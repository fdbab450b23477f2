import QtQuick

// The window's backdrop: background, title bar and the title logo.
Item {
    id: environment

    property url sourceBackground
    property url sourceTitleBar
    property url sourceTitleLogo

    width: 1024
    height: 640

    // Loaded once per showing of the window: not kept in the image cache
    // while the window sleeps in the tray.
    Image {
        objectName: "background"
        anchors.fill: parent
        cache: false
        source: environment.sourceBackground
    }

    Image {
        width: parent.width
        source: environment.sourceTitleBar
    }

    Image {
        objectName: "titleLogo"
        x: 52
        y: 24
        source: environment.sourceTitleLogo
    }
}
