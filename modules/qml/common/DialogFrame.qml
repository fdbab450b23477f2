import QtQuick
import "../basic/theme.js" as Theme

// The frame every dialog shares: a drag area over the whole dialog (it moves
// the dialog and reports presses on its background) and the title bar with
// the title, an optional icon, extra buttons and the close mark. Declared
// first in the dialog, so that the dialog's content lies above it.
// While the dialog is open, Tab and Backtab go round inside it.
Item {
    id: frame

    property Item dialog: parent
    property string title
    property url icon
    property int skinNo: 1
    property bool closable: true
    // The close mark's name for screen readers and its tooltip.
    property string closeName: ""
    readonly property int titleHeight: titleBar.height
    // Buttons shown left of the close mark.
    default property alias tools: toolRow.data

    signal backgroundPressed()
    signal closeClicked()

    // Focuses the dialog's first Tab stop, or its last; the dialog itself
    // when it has none.
    function focusEnd(first: bool) {
        const item = first ? tabStart.nextItemInFocusChain(true)
                           : tabEnd.nextItemInFocusChain(false)
        if (item && item !== tabStart && item !== tabEnd)
            item.forceActiveFocus(first ? Qt.TabFocusReason : Qt.BacktabFocusReason)
        else
            frame.dialog.forceActiveFocus(Qt.TabFocusReason)
    }

    anchors.fill: parent
    Component.onCompleted: {
        // The closing stop must follow everything else in the dialog.
        tabEnd.parent = frame.dialog
        // The dialog takes the focus as it opens: a screen reader names it
        // by its title.
        frame.dialog.Accessible.role = Accessible.Dialog
        frame.dialog.Accessible.name = Qt.binding(() => frame.title)
    }

    // Reached by Backtab from the dialog's first stop: on to its last.
    TabWrap {
        id: tabStart

        onActiveFocusChanged: {
            if (activeFocus)
                frame.focusEnd(false)
        }
    }

    // Reached by Tab from the dialog's last stop: on to its first.
    TabWrap {
        id: tabEnd

        onActiveFocusChanged: {
            if (activeFocus)
                frame.focusEnd(true)
        }
    }

    DragArea {
        anchors.fill: parent
        target: frame.dialog
        onPressed: frame.backgroundPressed()
    }

    Rectangle {
        id: titleBar

        objectName: "titleBar"
        width: parent.width
        height: 30
        color: Theme.colorBlack

        Image {
            id: titleIcon

            anchors.left: parent.left
            anchors.leftMargin: 10
            anchors.verticalCenter: parent.verticalCenter
            width: visible ? implicitWidth : 0
            visible: String(frame.icon) !== ""
            source: frame.icon
        }

        ThemedText {
            objectName: "dialogTitle"
            anchors.left: titleIcon.right
            anchors.leftMargin: titleIcon.visible ? 8 : 0
            anchors.verticalCenter: parent.verticalCenter
            width: buttons.x - x - 8
            elide: Text.ElideRight
            text: frame.title
            font.pixelSize: Theme.fontMiddleSize
            font.bold: true
        }

        Row {
            id: buttons

            anchors.right: parent.right
            anchors.rightMargin: 10
            anchors.verticalCenter: parent.verticalCenter
            spacing: 12

            Row {
                id: toolRow

                spacing: 12
            }

            ImageButton {
                id: closeMark

                objectName: "closeMark"
                visible: frame.closable
                normalSource: Theme.skinImage(frame.skinNo, "index", "closeMark")
                hoverSource: Theme.skinImage(frame.skinNo, "index", "closeMarkHover")
                description: frame.closeName
                onClicked: frame.closeClicked()
            }
        }
    }

    // A Tab stop of no size that only hands the focus on.
    component TabWrap: Item {
        activeFocusOnTab: true
        Accessible.ignored: true
    }
}
