import QtQuick
import "../common"
import "../basic/theme.js" as Theme

// The bottom bar: Config, Reset and Save (marked while changes are unsaved).
Row {
    id: bottomBar

    property var mainLang: []
    property bool unsaved: false
    // What a screen reader adds to Save while it is marked.
    property string unsavedText: ""

    signal configClicked()
    signal resetClicked()
    signal saveClicked()

    spacing: 16

    TextButton {
        id: configButton

        objectName: "configButton"

        textValue: bottomBar.mainLang[4]
        onClicked: bottomBar.configClicked()
    }

    TextButton {
        id: resetButton

        objectName: "resetButton"

        textValue: bottomBar.mainLang[5]
        onClicked: bottomBar.resetClicked()
    }

    TextButton {
        id: saveButton

        objectName: "saveButton"

        textValue: bottomBar.mainLang[10]
        faceColor: bottomBar.unsaved ? Theme.colorUnsaved : Theme.colorBlue
        Accessible.description: bottomBar.unsaved ? bottomBar.unsavedText : ""
        onClicked: bottomBar.saveClicked()
    }
}
