import QtQuick
import "qrc:/modules/qml/common"

// A drop-down list (rows of 24 under its box at 20,10) and a drop-down grid
// (cells 60 wide under its box at 200,10), each with a chosen entry.
Item {
    width: 400
    height: 300

    DropDownList {
        objectName: "list"
        x: 20
        y: 10
        width: 120
        currentSelect: 3
        mdItems: ListModel {
            ListElement { textValue: "125Hz" }
            ListElement { textValue: "250Hz" }
            ListElement { textValue: "500Hz" }
            ListElement { textValue: "1000Hz" }
        }
    }

    DropDownGrid {
        objectName: "grid"
        x: 200
        y: 10
        width: 60
        currentSelect: 4
        mdItems: ListModel {
            ListElement { textValue: "Player" }
            ListElement { textValue: "Next" }
            ListElement { textValue: "Stop" }
            ListElement { textValue: "Mute" }
            ListElement { textValue: "Mute" }
            ListElement { textValue: "" }
        }
    }
}
