import QtQuick
import "../common"
import "../basic/theme.js" as Theme

// The help menu under the title bar: the project's link and the version.
// A popup menu: it takes the keys while shown and closes once a row is
// chosen.
PopupMenu {
    id: helpMenu

    // Shows `link` and `version` as its rows.
    function setTexts(link: string, version: string) {
        entries = [link, version !== "" ? "version " + version : entries[1]]
    }

    objectName: "helpMenu"

    // Wide enough for the whole link. Placed by its right edge, so that a
    // long link widens it to the left, clear of the help button.
    width: Math.min(400, Math.max(200, Math.ceil(linkWidth.advanceWidth) + 20))
    transform: Translate { x: -helpMenu.width }
    entries: ["", "verison:1.0"]
    onChosen: visible = false

    TextMetrics {
        id: linkWidth

        font.family: Theme.fontFamily
        font.pixelSize: Theme.fontNormalSize
        // Measured as the menu's row draws it.
        font.preferShaping: Theme.needsShaping(text)
        text: helpMenu.entries[0]
    }
}
