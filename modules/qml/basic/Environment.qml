import QtQuick

// The window's backdrop: background, title bar and the title logo.
Item {
    id: environment

    property url sourceBackground
    property url sourceTitleBar
    property url sourceTitleLogo

    width: 1024
    height: 640

    Image {
        anchors.fill: parent
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
