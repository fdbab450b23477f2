import QtQuick
import "../basic/theme.js" as Theme

// The label before a field of the button assignment page.
Text {
    height: 24
    verticalAlignment: Text.AlignVCenter
    color: Theme.fontColor
    font.family: Theme.fontFamily
    font.preferShaping: Theme.needsShaping(text)
    font.pixelSize: Theme.fontNormalSize
}
