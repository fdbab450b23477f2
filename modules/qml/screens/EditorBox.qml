import QtQuick
import "../common"
import "../basic/theme.js" as Theme

// The editors box of the left panel: opens the macro editor and, on a gun
// mouse, the gun editor.
Rectangle {
    id: editorBox

    property bool isGun: false
    property string title
    property string macroText
    property string gunText

    signal macroEditorClicked()
    signal gunEditorClicked()

    width: 232
    height: isGun ? 100 : 76
    color: Theme.colorBlack

    ThemedText {
        x: 8
        y: 12
        text: editorBox.title
        font.pixelSize: Theme.fontMiddleSize
        font.bold: true
    }

    Column {
        x: 8
        y: 40
        spacing: 2

        EditorRow {
            textValue: editorBox.macroText
            onClicked: editorBox.macroEditorClicked()
        }

        Rectangle {
            width: 216
            height: 1
            visible: editorBox.isGun
            color: Theme.colorGray0
        }

        EditorRow {
            visible: editorBox.isGun
            textValue: editorBox.gunText
            onClicked: editorBox.gunEditorClicked()
        }
    }

    component EditorRow: Rectangle {
        id: editorRow

        property string textValue

        signal clicked()

        width: 216
        height: 24
        color: editorRowArea.containsMouse ? Theme.colorOrange : Theme.colorGray1

        ThemedText {
            anchors.verticalCenter: parent.verticalCenter
            x: 8
            text: editorRow.textValue
        }

        MouseArea {
            id: editorRowArea

            anchors.fill: parent
            hoverEnabled: true
            onClicked: editorRow.clicked()
        }

        FocusStop {
            name: editorRow.textValue
            onActivated: editorRow.clicked()
        }
    }
}
