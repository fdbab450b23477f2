import QtQuick

// The window's backdrop: background, title bar and the title logo. The
// background is drawn rather than one window-sized picture, which would hold
// 2.5 MiB of decoded pixels for a gradient.
Item {
    id: environment

    property url sourceTitleBar
    property url sourceTitleLogo

    width: 1024
    height: 640

    Rectangle {
        objectName: "background"
        anchors.fill: parent
        radius: 10
        gradient: Gradient {
            GradientStop { position: 0; color: "#202124" }
            GradientStop { position: 1; color: "#0d0d0f" }
        }
    }

    Image {
        anchors.fill: parent
        fillMode: Image.Tile
        horizontalAlignment: Image.AlignLeft
        verticalAlignment: Image.AlignTop
        source: "qrc:/modules/img/gridCell.svg"
    }

    Image {
        x: 212
        y: 90
        width: 600
        height: 520
        sourceSize.width: 60
        sourceSize.height: 52
        source: "qrc:/modules/img/glow.svg"
    }

    // The status strip; its rounded bottom corners follow the frame's.
    Item {
        y: 600
        width: parent.width
        height: 40
        clip: true

        Rectangle {
            y: -10
            width: parent.width
            height: 50
            radius: 10
            color: "#73000000"
        }
    }

    Rectangle {
        y: 600
        width: parent.width
        height: 1
        color: "#3c3c3c"
    }

    Rectangle {
        anchors.fill: parent
        radius: 10
        color: "transparent"
        border.color: "#3c3c3c"
    }

    Image {
        objectName: "titleBar"
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
