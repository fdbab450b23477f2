import QtQuick
import "../common"
import "../basic/theme.js" as Theme
import "../common/listkeys.js" as ListKeys

// The events of the selected macro: a press selects (the right button also
// opens the menu), a double click on a delay edits it in place.
Rectangle {
    id: actionBox

    property string title
    // The encoded length over the list's right end, empty for none.
    property string countText
    // What a screen reader calls a delay, a press and a release (of a key or
    // a button), which the rows show as icons.
    property var eventWords: ["Delay", "Press", "Release"]
    property alias model: listView.model
    property alias view: listView
    // The row whose delay is being edited, -1 for none.
    property int editRow: -1
    property bool recording: false
    property int skinNo: 1

    signal rowPressed(int row, bool right, Item area, real x, real y)
    signal rowDoubleClicked(int row)
    signal edited(string text)
    signal editAccepted()

    color: Theme.colorBlack
    border.color: recording ? Theme.colorOrange : Theme.colorGray1

    ThemedText {
        y: -24
        text: actionBox.title
        font.bold: true
    }

    ThemedText {
        objectName: "recordCountText"
        anchors.right: parent.right
        y: -24
        visible: text.length > 0
        text: actionBox.countText
        color: Theme.colorGray2
        font.pixelSize: Theme.fontMinSize
    }

    ListView {
        id: listView

        anchors.fill: parent
        anchors.margins: 1
        anchors.rightMargin: scrollBar.visible ? scrollBar.width + 1 : 1
        clip: true
        currentIndex: -1
        boundsBehavior: Flickable.StopAtBounds
        readonly property Item focusFrame: actionBox
        activeFocusOnTab: true
        Accessible.role: Accessible.List
        Accessible.name: actionBox.title
        Accessible.focusable: true
        Keys.onPressed: (event) => ListKeys.handle(listView, event, actionBox.rowPressed,
                                                   actionBox.rowDoubleClicked, null)
        // qmllint disable unqualified
        delegate: Rectangle {
            id: actionRow

            required property int index
            required property int type
            required property string info
            // A row being removed has index -1, which is also "no row".
            readonly property bool editing: index >= 0 && actionBox.editRow === index
            readonly property string shownInfo: type === 0 ? info + " ms" : info

            width: listView.width
            height: 24
            // The current row takes the list's keyboard focus.
            Accessible.role: Accessible.ListItem
            Accessible.focusable: true
            // Types 1 and 3 press, 2 and 4 release.
            Accessible.name: actionBox.eventWords[type === 0 ? 0 : 2 - type % 2] + " " + shownInfo
            color: index === listView.currentIndex ? Theme.colorOrange
                                                   : actionArea.containsMouse ? Theme.colorGray1
                                                                              : "transparent"

            Text {
                anchors.verticalCenter: parent.verticalCenter
                x: 8
                width: 28
                text: actionRow.index
                color: Theme.colorGray2
                font.family: Theme.fontFamily
                font.preferShaping: Theme.needsShaping(text)
                font.pixelSize: Theme.fontMinSize
            }

            Image {
                anchors.verticalCenter: parent.verticalCenter
                x: 40
                source: Theme.skinImage(actionBox.skinNo, "macros",
                                        ["delay", "keyDown", "keyUp", "mouseDown",
                                         "mouseUp"][actionRow.type] || "delay")
            }

            ThemedText {
                anchors.verticalCenter: parent.verticalCenter
                x: 66
                width: parent.width - x - 8
                elide: Text.ElideRight
                visible: !actionRow.editing
                text: actionRow.shownInfo
            }

            MouseArea {
                id: actionArea

                anchors.fill: parent
                hoverEnabled: true
                acceptedButtons: Qt.LeftButton | Qt.RightButton
                onPressed: (mouse) => actionBox.rowPressed(actionRow.index,
                                                           mouse.button === Qt.RightButton,
                                                           actionArea, mouse.x, mouse.y)
                onDoubleClicked: (mouse) => {
                    if (mouse.button === Qt.LeftButton)
                        actionBox.rowDoubleClicked(actionRow.index)
                }
            }

            EditField {
                x: 62
                width: 80
                visible: actionRow.editing
                active: actionRow.editing
                initialText: actionRow.info
                validator: IntValidator { bottom: 0; top: 65535 }
                onEdited: (text) => actionBox.edited(text)
                onAccepted: {
                    actionBox.editAccepted()
                    listView.forceActiveFocus()
                }
            }
        }
        // qmllint enable unqualified
    }

    ListScrollBar {
        id: scrollBar

        objectName: "actionScrollBar"
        anchors.right: parent.right
        anchors.rightMargin: 1
        anchors.top: parent.top
        anchors.topMargin: 1
        anchors.bottom: parent.bottom
        anchors.bottomMargin: 1
        flickable: listView
    }
}
