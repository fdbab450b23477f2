import QtQuick
import "../basic/theme.js" as Theme

// A context menu: one 24-pixel row per entry. While shown it holds the
// keyboard focus: Up and Down move, Space or Enter choose, Escape or the
// focus going elsewhere closes it, and the focus then goes back to where
// it was.
Rectangle {
    id: popupMenu

    property var entries: []
    // The row the arrow keys point at, -1 for none.
    property int keyRow: -1
    property Item returnFocus: null
    // As wide as its longest entry in the language in use, within these.
    property int narrowest: 140
    property int widest: 280

    signal chosen(int entry)

    function entryWidth(texts: var): real {
        return Math.max(0, ...texts.map((text) => metrics.advanceWidth(text)))
    }

    function chooseKeyRow() {
        if (keyRow >= 0 && keyRow < entries.length)
            chosen(keyRow)
    }

    z: 15
    width: Math.min(widest, Math.max(narrowest, Math.ceil(entryWidth(entries)) + 18))
    height: popupColumn.height + 2
    visible: false
    color: Theme.colorGray0
    border.color: Theme.colorGray1
    Accessible.role: Accessible.PopupMenu
    Accessible.name: entries.join(", ")
    Keys.onUpPressed: keyRow = Math.max(0, keyRow - 1)
    Keys.onDownPressed: keyRow = Math.min(entries.length - 1, keyRow + 1)
    Keys.onSpacePressed: popupMenu.chooseKeyRow()
    Keys.onReturnPressed: popupMenu.chooseKeyRow()
    Keys.onEnterPressed: popupMenu.chooseKeyRow()
    Keys.onEscapePressed: visible = false
    onVisibleChanged: {
        if (visible) {
            const window = Window.window
            returnFocus = window ? window.activeFocusItem : null
            keyRow = 0
            forceActiveFocus(Qt.PopupFocusReason)
        } else {
            keyRow = -1
            if (activeFocus && returnFocus)
                returnFocus.forceActiveFocus(Qt.PopupFocusReason)
            returnFocus = null
        }
    }
    onActiveFocusChanged: {
        if (!activeFocus && visible)
            visible = false
    }

    FontMetrics {
        id: metrics

        font.family: Theme.fontFamily
        font.pixelSize: Theme.fontNormalSize
    }

    Column {
        id: popupColumn

        x: 1
        y: 1

        Repeater {
            model: popupMenu.entries

            // qmllint disable unqualified
            delegate: Rectangle {
                id: popupRow

                required property int index
                required property string modelData

                width: popupMenu.width - 2
                height: 24
                color: popupArea.containsMouse ? Theme.colorOrange : "transparent"
                border.color: index === popupMenu.keyRow ? Theme.colorFocus : "transparent"
                Accessible.role: Accessible.MenuItem
                Accessible.name: modelData
                Accessible.onPressAction: popupMenu.chosen(popupRow.index)

                FittedText {
                    anchors.verticalCenter: parent.verticalCenter
                    x: 8
                    width: parent.width - 16
                    text: popupRow.modelData
                    tipHost: popupRow
                    tipHovered: popupArea.containsMouse
                }

                MouseArea {
                    id: popupArea

                    anchors.fill: parent
                    hoverEnabled: true
                    onClicked: popupMenu.chosen(popupRow.index)
                }
            }
            // qmllint enable unqualified
        }
    }
}
