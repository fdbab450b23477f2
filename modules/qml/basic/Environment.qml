import QtQuick

// The window's backdrop: background, title bar and the title logo. The
// background is drawn rather than one window-sized picture, which would hold
// 2.5 MiB of decoded pixels for a gradient.
Item {
    id: environment

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
        source: "image://art/modules/img/gridCell.svg"
    }

    Image {
        x: 212
        y: 90
        width: 600
        height: 520
        sourceSize.width: 60
        sourceSize.height: 52
        source: "image://art/modules/img/glow.svg"
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

    // The title bar, drawn as the background is: a dark strip (its rounded
    // lower corners clipped away), an orange line fading out along its foot
    // and a grey edge that steps up under the title bar's controls.
    Item {
        objectName: "titleBar"
        width: parent.width
        height: 56
        clip: true

        Rectangle {
            width: parent.width
            height: parent.height + 10
            radius: 10
            gradient: Gradient {
                GradientStop { position: 0; color: "#050505" }
                GradientStop { position: 56 / 66; color: "#17171a" }
            }
        }

        Rectangle {
            y: 55
            width: parent.width
            height: 1
            gradient: Gradient {
                orientation: Gradient.Horizontal
                GradientStop { position: 0; color: "#00cf3e00" }
                GradientStop { position: 0.15; color: "#cf3e00" }
                GradientStop { position: 0.6; color: "#59cf3e00" }
                GradientStop { position: 1; color: "#00cf3e00" }
            }
        }

        Rectangle {
            y: 55
            width: 300
            height: 1
            color: "#4d3c3c3c"
        }

        Rectangle {
            x: 300
            y: 55.5
            width: Math.hypot(12, 6)
            height: 1
            transformOrigin: Item.Left
            rotation: -Math.atan2(6, 12) * 180 / Math.PI
            antialiasing: true
            color: "#993c3c3c"
        }

        Rectangle {
            x: 312
            y: 49
            width: parent.width - x
            height: 2
            color: "#4d3c3c3c"
        }
    }

    Image {
        objectName: "titleLogo"
        x: 52
        y: 24
        source: environment.sourceTitleLogo
    }
}
