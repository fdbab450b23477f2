import QtQuick
import "../common"
import "../basic/theme.js" as Theme

// The mouse picture in the middle of the window with one numbered call-out
// per button. A call-out opens the assignment dialog for its button, unless
// the button is the last left click. Presses on the picture itself reach the
// main scene's window dragging, which also closes the drop-downs.
Item {
    id: mouseMain

    property int keyCount: 8
    // The hovered, chosen or edited button (-1: none); the key panel and the
    // dialog share it.
    property int selectKey: -1
    property int skinNo: 1
    // In the tray: the picture lets go of its decoded image (half a MiB).
    property bool asleep: false
    property KeyMatrix keyMatrix: null
    readonly property int maxKeys: 14
    // Per button: the button's spot on the picture, the call-out's side
    // (-1 left, 1 right) and its height on that side.
    readonly property var callOuts: [
        { x: 82, y: 76, side: -1, badgeY: 64 },     // 1 left
        { x: 198, y: 76, side: 1, badgeY: 100 },    // 2 right
        { x: 140, y: 66, side: 1, badgeY: 28 },     // 3 wheel
        { x: 21, y: 195, side: -1, badgeY: 186 },   // 4 forward
        { x: 21, y: 231, side: -1, badgeY: 226 },   // 5 back
        { x: 140, y: 113, side: 1, badgeY: 136 },   // 6 upper button behind the wheel
        { x: 140, y: 131, side: 1, badgeY: 172 },   // 7 lower button behind the wheel
        { x: 49, y: 128, side: -1, badgeY: 120 },   // 8 fire button
        { x: 259, y: 195, side: 1, badgeY: 212 },   // 9 right side, front
        { x: 259, y: 231, side: 1, badgeY: 252 },   // 10 right side, rear
        { x: 124, y: 60, side: -1, badgeY: 24 },    // 11 wheel tilt left
        { x: 156, y: 60, side: 1, badgeY: 64 },     // 12 wheel tilt right
        { x: 21, y: 267, side: -1, badgeY: 266 },   // 13 left side, third
        { x: 140, y: 353, side: -1, badgeY: 340 }   // 14 rear
    ]

    // A call-out opened the dialog.
    signal btnClick()
    // A call-out passed the left-click guard: the dialog may open for it.
    signal openKey(int index)

    function clickCallOut(index: int) {
        selectKey = index
        if (keyMatrix && keyMatrix.modKeys.checkOneLeftKey()) {
            selectKey = -1
            keyMatrix.refuseLastLeftKey()
            return
        }
        btnClick()
        openKey(index)
    }

    function callOut(index: int): Item {
        return callOutRepeater.itemAt(index)
    }

    Image {
        id: picture

        objectName: "mousePicture"
        x: Math.round((parent.width - width) / 2)
        y: 118
        // Not kept in the image cache either, so that sleeping frees it.
        cache: false
        source: mouseMain.asleep ? "" : Theme.skinImage(mouseMain.skinNo, "mouse", "mouse")

        Repeater {
            id: callOutRepeater

            // Only the mouse's own buttons: a call-out is six items with their
            // bindings, and most mice have fewer buttons than the picture's most.
            model: Math.min(mouseMain.keyCount, mouseMain.maxKeys)

            // qmllint disable unqualified
            delegate: Item {
                id: callOut

                required property int index
                readonly property var spot: mouseMain.callOuts[index]
                readonly property bool lit: mouseMain.selectKey === index || badgeArea.containsMouse
                readonly property real badgeX: spot.side < 0 ? -60 : picture.width + 60
                readonly property real endX: badgeX - spot.side * 11
                readonly property real dx: spot.x - endX
                readonly property real dy: spot.y - spot.badgeY

                objectName: "callOut" + index

                // Leader from the badge to the button's spot.
                Rectangle {
                    x: callOut.endX
                    y: callOut.spot.badgeY
                    width: Math.sqrt(callOut.dx * callOut.dx + callOut.dy * callOut.dy)
                    height: 1
                    transformOrigin: Item.Left
                    rotation: Math.atan2(callOut.dy, callOut.dx) * 180 / Math.PI
                    color: callOut.lit ? Theme.colorOrange : Theme.colorGray2
                    antialiasing: true
                }

                Rectangle {
                    x: callOut.spot.x - 3
                    y: callOut.spot.y - 3
                    width: 6
                    height: 6
                    radius: 3
                    color: callOut.lit ? Theme.colorOrange : Theme.colorGray3
                }

                Rectangle {
                    id: badge

                    objectName: "badge"
                    x: callOut.badgeX - 11
                    y: callOut.spot.badgeY - 11
                    width: 22
                    height: 22
                    radius: 11
                    color: callOut.lit ? Theme.colorOrange : Theme.colorGray0
                    border.color: callOut.lit ? Theme.colorOrange : Theme.colorGray2
                    border.width: 1.5

                    ThemedText {
                        anchors.centerIn: parent
                        text: String(callOut.index + 1)
                        font.bold: true
                    }

                    MouseArea {
                        id: badgeArea

                        anchors.fill: parent
                        anchors.margins: -3
                        hoverEnabled: true
                        onClicked: mouseMain.clickCallOut(callOut.index)
                    }
                }
            }
            // qmllint enable unqualified
        }
    }
}
