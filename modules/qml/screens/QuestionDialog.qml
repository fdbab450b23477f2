import QtQuick
import "../common"
import "../basic/theme.js" as Theme

// A question of the main window (the factory reset, unsaved changes): a
// title, the question (wrapped in the languages that need more than a line)
// and a row of buttons at the right, each button answering with its index.
Rectangle {
    id: questionDialog

    property string title
    property string text
    // From left to right: { name: objectName, text: label }.
    property var buttons: []
    // Between the text and the buttons, and below the buttons.
    property int buttonGap: 6
    property int bottomGap: 12

    signal answered(int index)

    width: 427
    height: buttonRow.y + buttonRow.height + bottomGap
    visible: false
    color: Theme.colorGray0
    border.color: Theme.colorGray1

    DialogFrame {
        title: questionDialog.title
        closable: false
    }

    ThemedText {
        id: questionText

        x: 30
        y: 45
        width: parent.width - 60
        wrapMode: Text.Wrap
        text: questionDialog.text
        font.bold: true
    }

    Row {
        id: buttonRow

        anchors.right: parent.right
        anchors.rightMargin: 12
        y: questionText.y + questionText.height + questionDialog.buttonGap
        spacing: 7

        Repeater {
            model: questionDialog.buttons

            // qmllint disable unqualified
            delegate: TextButton {
                required property int index
                required property var modelData

                objectName: modelData.name
                width: 88
                height: 25
                textValue: modelData.text
                onClicked: questionDialog.answered(index)
            }
            // qmllint enable unqualified
        }
    }
}
