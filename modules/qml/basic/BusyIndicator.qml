import QtQuick
import "theme.js" as Theme

// "LOADING ......", pulsing while the scene is locked.
Text {
    id: busyIndicator

    anchors.centerIn: parent
    z: 99
    visible: false
    text: qsTr("LOADING ......")
    color: Theme.fontColor
    font.family: Theme.fontFamily
    font.preferShaping: Theme.needsShaping(text)
    font.pixelSize: Theme.fontMaxSize
    font.bold: true
    font.letterSpacing: 2

    SequentialAnimation on opacity {
        running: busyIndicator.visible
        loops: Animation.Infinite
        onRunningChanged: {
            if (!running)
                busyIndicator.opacity = 1.0
        }

        NumberAnimation { from: 1.0; to: 0.2; duration: 400 }
        NumberAnimation { from: 0.2; to: 1.0; duration: 400 }
    }
}
