import QtQuick
import "../common"
import "../basic/theme.js" as Theme
import "../common/listkeys.js" as ListKeys

// The macro names of the editor with the New and Delete buttons under
// them: a press selects (the right button also opens the menu), a double
// click edits the name in place.
Rectangle {
    id: nameList

    property string title
    property string newText
    property string deleteText
    property alias model: listView.model
    property alias view: listView
    // The row whose name is being edited, -1 for none.
    property int editRow: -1

    signal rowPressed(int row, bool right, Item area, real x, real y)
    signal rowDoubleClicked(int row)
    signal edited(string text)
    signal editAccepted()
    signal newClicked()
    signal deleteClicked()

    color: Theme.colorBlack
    border.color: Theme.colorGray1

    ThemedText {
        y: -24
        text: nameList.title
        font.bold: true
    }

    ListView {
        id: listView

        anchors.fill: parent
        anchors.margins: 1
        anchors.rightMargin: scrollBar.visible ? scrollBar.width + 1 : 1
        clip: true
        currentIndex: -1
        boundsBehavior: Flickable.StopAtBounds
        readonly property Item focusFrame: nameList
        activeFocusOnTab: true
        Accessible.role: Accessible.List
        Accessible.name: nameList.title
        Accessible.focusable: true
        Keys.onPressed: (event) => ListKeys.handle(listView, event, nameList.rowPressed,
                                                   nameList.rowDoubleClicked, nameList.deleteClicked)
        // qmllint disable unqualified
        delegate: Rectangle {
            id: macroRow

            required property int index
            required property string textValue
            // A row being removed has index -1, which is also "no row".
            readonly property bool editing: index >= 0 && nameList.editRow === index

            width: listView.width
            height: 24
            // The current row takes the list's keyboard focus.
            Accessible.role: Accessible.ListItem
            Accessible.focusable: true
            Accessible.name: textValue
            color: index === listView.currentIndex ? Theme.colorOrange
                                                   : rowArea.containsMouse ? Theme.colorGray1
                                                                           : "transparent"

            ThemedText {
                anchors.verticalCenter: parent.verticalCenter
                x: 8
                width: parent.width - 16
                elide: Text.ElideRight
                visible: !macroRow.editing
                text: macroRow.textValue
            }

            MouseArea {
                id: rowArea

                anchors.fill: parent
                hoverEnabled: true
                acceptedButtons: Qt.LeftButton | Qt.RightButton
                onPressed: (mouse) => nameList.rowPressed(macroRow.index,
                                                          mouse.button === Qt.RightButton,
                                                          rowArea, mouse.x, mouse.y)
                onDoubleClicked: (mouse) => {
                    if (mouse.button === Qt.LeftButton)
                        nameList.rowDoubleClicked(macroRow.index)
                }
            }

            EditField {
                visible: macroRow.editing
                active: macroRow.editing
                initialText: macroRow.textValue
                onEdited: (text) => nameList.edited(text)
                onAccepted: {
                    nameList.editAccepted()
                    listView.forceActiveFocus()
                }
            }
        }
        // qmllint enable unqualified
    }

    ListScrollBar {
        id: scrollBar

        objectName: "macroScrollBar"
        anchors.right: parent.right
        anchors.rightMargin: 1
        anchors.top: parent.top
        anchors.topMargin: 1
        anchors.bottom: parent.bottom
        anchors.bottomMargin: 1
        flickable: listView
    }

    Row {
        y: nameList.height + 12
        spacing: 16

        TextButton {
            objectName: "macroNewButton"
            width: 92
            textValue: nameList.newText
            onClicked: nameList.newClicked()
        }

        TextButton {
            objectName: "macroDeleteButton"
            width: 92
            textValue: nameList.deleteText
            onClicked: nameList.deleteClicked()
        }
    }
}
