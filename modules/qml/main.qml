import QtQuick

// Start-up scene: the window frame, dragging and the functions the native
// side calls. The full screens replace its body.
Item {
    id: root

    property bool started: false
    property bool locked: false
    property int currentStage: 0
    property string lastKey: ""
    property string productName: "Skarn Config"

    function initUI() {
        started = true
    }
    function run() {
        statusText.text = qsTr("Ready")
    }
    function detectKeyboard(isDown, usbCode) {
        lastKey = (isDown ? "down " : "up ") + usbCode
    }
    function detectMouse(isDown, mirkCode, x, y) {
        lastKey = (isDown ? "down " : "up ") + mirkCode + " at " + x + "," + y
    }
    function setProtectUI(interval) {
        locked = interval > 0
        lockTimer.interval = Math.max(interval, 1)
        lockTimer.restart()
    }
    function setCurrentDPI(dpiValue) {
        if (dpiValue !== 0)
            currentStage = dpiValue
    }

    width: 1024
    height: 640

    // The native objects are published right after the scene is created.
    Component.onCompleted: Qt.callLater(() => {
        const name = ui_View.getGlobalData("common/name")
        if (name)
            productName = name
    })

    Timer {
        id: lockTimer
        onTriggered: root.locked = false
    }

    Rectangle {
        anchors.fill: parent
        radius: 6
        color: "#1a1a1a"
        border.color: "#3c3c3c"

        MouseArea {
            property point pressPoint

            anchors.fill: parent
            onPressed: (mouse) => { pressPoint = Qt.point(mouse.x, mouse.y) }
            onPositionChanged: (mouse) => {
                ui_Ctl.onXChanged(mouse.x - pressPoint.x)
                ui_Ctl.onYChanged(mouse.y - pressPoint.y)
            }
        }

        Text {
            anchors.centerIn: parent
            color: "#ffffff"
            font.pixelSize: 16
            text: root.productName
        }

        Text {
            id: statusText
            anchors.horizontalCenter: parent.horizontalCenter
            anchors.bottom: parent.bottom
            anchors.bottomMargin: 24
            color: "#969696"
            font.pixelSize: 12
            text: qsTr("Waiting for the mouse")
        }

        Row {
            anchors.right: parent.right
            anchors.top: parent.top
            anchors.margins: 8
            spacing: 6

            Repeater {
                model: [{ label: "\u2013", action: "minimize" }, { label: "\u2715", action: "close" }]
                delegate: Rectangle {
                    required property var modelData
                    width: 28
                    height: 22
                    radius: 3
                    color: buttonArea.containsMouse ? "#cf3e00" : "#3c3c3c"
                    Text {
                        anchors.centerIn: parent
                        color: "#ffffff"
                        text: parent.modelData.label
                    }
                    MouseArea {
                        id: buttonArea
                        anchors.fill: parent
                        hoverEnabled: true
                        onClicked: parent.modelData.action === "close" ? ui_Ctl.onClose() : ui_Ctl.onMinimize()
                    }
                }
            }
        }
    }
}
