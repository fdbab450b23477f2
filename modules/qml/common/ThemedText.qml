import QtQuick
import "../basic/theme.js" as Theme

// Text in the scene's font and colour, at the normal size.
Text {
    color: Theme.fontColor
    font.family: Theme.fontFamily
    font.preferShaping: Theme.needsShaping(text)
    font.pixelSize: Theme.fontNormalSize
}
