import QtQuick
import "../basic/theme.js" as Theme

// An edit field over a row: opens with `initialText` all selected,
// reports every edit and Enter.
Rectangle {
    id: editField

    property bool active: false
    property string initialText: ""
    property alias validator: editInput.validator
    // What is being edited, for screen readers.
    property string description: ""

    signal edited(string text)
    signal accepted()

    width: parent.width
    height: parent.height
    color: Theme.colorBlue
    border.color: Theme.colorOrange

    onActiveChanged: {
        // Closed, it keeps no focus: keys would go on to the hidden field
        // (Delete would edit it) instead of the list around it.
        if (!active) {
            editInput.focus = false
            return
        }
        editInput.text = initialText
        editInput.selectAll()
        editInput.forceActiveFocus()
    }

    TextInput {
        id: editInput

        anchors.fill: parent
        anchors.leftMargin: 6
        anchors.rightMargin: 6
        verticalAlignment: TextInput.AlignVCenter
        clip: true
        color: Theme.fontColor
        selectionColor: Theme.colorOrange
        selectByMouse: true
        activeFocusOnTab: true
        Accessible.role: Accessible.EditableText
        Accessible.name: editField.description
        Accessible.focusable: true
        font.family: Theme.fontFamily
        font.preferShaping: Theme.needsShaping(text)
        font.pixelSize: Theme.fontNormalSize
        onTextEdited: editField.edited(text)
        Keys.onReturnPressed: editField.accepted()
        Keys.onEnterPressed: editField.accepted()
    }
}
