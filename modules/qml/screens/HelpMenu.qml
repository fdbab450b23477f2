import QtQuick
import "../common"
import "../basic/theme.js" as Theme

// The help menu under the title bar: the project's link and the version.
Rectangle {
    id: helpMenu

    signal chosen(int index)

    // Shows `link` and `version` as its rows.
    function setTexts(link: string, version: string) {
        helpModel.setProperty(0, "textValue", link)
        if (version !== "")
            helpModel.setProperty(1, "textValue", "version " + version)
    }

    objectName: "helpMenu"

    width: 200
    height: helpColumn.height + 2
    visible: false
    color: Theme.colorGray0
    border.color: Theme.colorGray1

    Column {
        id: helpColumn

        x: 1
        y: 1

        Repeater {
            model: ListModel {
                id: helpModel

                ListElement { textValue: "" }
                ListElement { textValue: "verison:1.0" }
            }

            // qmllint disable unqualified
            delegate: Rectangle {
                id: helpRow

                required property int index
                required property string textValue

                width: 198
                height: 24
                color: helpRowArea.containsMouse ? Theme.colorOrange : "transparent"

                ThemedText {
                    anchors.verticalCenter: parent.verticalCenter
                    x: 8
                    width: parent.width - 16
                    elide: Text.ElideRight
                    text: helpRow.textValue
                }

                MouseArea {
                    id: helpRowArea

                    anchors.fill: parent
                    hoverEnabled: true
                    onClicked: {
                        helpMenu.chosen(helpRow.index)
                        helpMenu.visible = false
                    }
                }
            }
            // qmllint enable unqualified
        }
    }
}
