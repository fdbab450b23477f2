import QtQuick
import "../common"

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

    width: 200
    entries: ["", "verison:1.0"]
    onChosen: visible = false
}
