import QtQuick
import "../common"
import "../basic/theme.js" as Theme

// Notices (a write the mouse or the desktop did not take), over
// everything but the busy indicator; a click dismisses one early.
Rectangle {
    id: noticeBar

    property string text

    // Shows the text for a few seconds.
    function show() {
        // A screen reader announces an alert as it appears. The role is set
        // with the first notice, not at start, where it alone cost 0.15 MiB.
        if (noticeBar.Accessible.role !== Accessible.AlertMessage) {
            noticeBar.Accessible.role = Accessible.AlertMessage
            noticeBar.Accessible.name = Qt.binding(() => noticeBar.text)
        }
        timer.restart()
    }

    objectName: "noticeBar"

    anchors.horizontalCenter: parent.horizontalCenter
    // Above the bottom bar, clear of the panels; a notice longer than the
    // window is wide takes more lines, upwards.
    y: parent.height - 48 - height
    z: 20
    width: Math.min(noticeLabel.implicitWidth + 32, parent.width - 48)
    height: Math.max(32, noticeLabel.height + 14)
    radius: 4
    visible: timer.running
    color: Theme.colorGray0
    border.color: Theme.colorOrange
    border.width: 2

    ThemedText {
        id: noticeLabel

        anchors.centerIn: parent
        width: parent.width - 32
        horizontalAlignment: Text.AlignHCenter
        wrapMode: Text.Wrap
        text: noticeBar.text
        font.bold: true
    }

    MouseArea {
        anchors.fill: parent
        onClicked: timer.stop()
    }

    Timer {
        id: timer

        interval: 6000
    }
}
