import QtQuick
import "../basic/theme.js" as Theme

// One category of the button assignment page: its caption in orange with a
// rule to the right; the category's controls go below.
Item {
    property string caption

    x: 20
    width: 480
    height: 60

    Text {
        id: captionText

        text: parent.caption
        color: Theme.colorOrange
        font.family: Theme.fontFamily
        font.preferShaping: Theme.needsShaping(text)
        font.pixelSize: Theme.fontMiddleSize
        font.bold: true
    }

    Rectangle {
        anchors.left: captionText.right
        anchors.leftMargin: 10
        anchors.verticalCenter: captionText.verticalCenter
        width: 480 - captionText.width - 10
        height: 1
        color: Theme.colorGray1
    }
}
