import QtQuick
import "../basic/theme.js" as Theme

// A box with the chosen text over a list that slides down. `valueChange`
// reports a chosen row only once the list has finished closing.
Item {
    id: dropDownList

    // Where the scene's focus ring goes while this has the keyboard focus.
    readonly property Item focusFrame: box

    property bool isDrop: false
    property ListModel mdItems: null
    property int count: mdItems ? mdItems.count : 0
    property int currentSelect: 2
    property string textValue: textAt(currentSelect, count, revision)
    property color borderColor: Theme.colorGray1
    property color bgColor: Theme.colorGray0
    property int horizontalOffset: 0
    // The caption a screen reader names the control by; the shown text
    // then goes with it as its description.
    property string description: ""
    readonly property int rowHeight: 24
    readonly property int maxRows: 10
    readonly property int slideDuration: Math.max(0, 180 - 10 * count)
    readonly property bool isAnimating: slideBox.running
    property int revision: 0
    property bool choicePending: false
    // The row the arrow keys point at while the list is open, -1 for none.
    property int keyRow: -1
    // Arrows on the closed list open it rather than choose the next row:
    // for a choice too weighty to be made in passing.
    property bool arrowsOpen: false

    signal btnClick()
    signal valueChange(int index)
    signal dragSignal(bool isDrag)

    function textAt(row: int, rows: int, rev: int): string {
        if (!mdItems || row < 0 || row >= rows || row >= mdItems.count)
            return ""
        const text = mdItems.get(row).textValue
        return text === undefined || text === null ? "" : String(text)
    }

    function openMenu() {
        isDrop = true
        keyRow = -1
        slideBox.open()
    }

    function closeList() {
        isDrop = false
        keyRow = -1
        slideBox.close()
    }

    // What a click on the box does.
    function toggle() {
        btnClick()
        if (slideBox.running)
            return
        if (slideBox.shown)
            closeList()
        else
            openMenu()
    }

    // Up and Down: through the open list's rows, or, with the list closed,
    // straight to the neighbouring choice as a row click would make it (or
    // open the list, with arrowsOpen).
    function moveBy(rows: int) {
        if (count <= 0)
            return
        if (slideBox.shown) {
            const from = keyRow >= 0 ? keyRow : currentSelect
            keyRow = Math.max(0, Math.min(count - 1, from + rows))
            return
        }
        if (arrowsOpen) {
            toggle()
            return
        }
        const row = Math.max(0, Math.min(count - 1, currentSelect + rows))
        if (row === currentSelect)
            return
        currentSelect = row
        valueChange(row)
    }

    function activate() {
        if (slideBox.shown && !slideBox.running && keyRow >= 0)
            choose(keyRow)
        else
            toggle()
    }

    // Closes the list only when it is fully open.
    function closeMenu() {
        if (slideBox.fullyOpen)
            closeList()
    }

    function choose(row: int) {
        currentSelect = row
        choicePending = true
        closeList()
    }

    width: 120
    height: 24
    activeFocusOnTab: true
    Accessible.role: Accessible.ComboBox
    Accessible.name: description !== "" ? description : textValue
    Accessible.description: description !== "" ? textValue : ""
    Accessible.focusable: true
    Accessible.onPressAction: toggle()
    Keys.onSpacePressed: activate()
    Keys.onReturnPressed: activate()
    Keys.onEnterPressed: activate()
    Keys.onUpPressed: moveBy(-1)
    Keys.onDownPressed: moveBy(1)
    Keys.onEscapePressed: (event) => {
        event.accepted = slideBox.shown
        if (slideBox.shown)
            closeList()
    }
    // Focus moving elsewhere (Tab, a click on another control) closes the list.
    onActiveFocusChanged: {
        if (!activeFocus && slideBox.shown)
            closeList()
    }

    Connections {
        target: dropDownList.mdItems
        function onDataChanged() { ++dropDownList.revision }
        function onRowsInserted() { ++dropDownList.revision }
        function onRowsRemoved() { ++dropDownList.revision }
    }

    DropBox {
        id: box

        width: parent.width
        color: dropDownList.bgColor
        border.color: dropDownList.borderColor
        textValue: dropDownList.textValue
        isDrop: dropDownList.isDrop
        horizontalOffset: dropDownList.horizontalOffset
        onClicked: {
            dropDownList.forceActiveFocus(Qt.MouseFocusReason)
            dropDownList.toggle()
        }
    }

    SlideBox {
        id: slideBox

        objectName: "slideBox"
        y: box.height
        width: parent.width
        duration: dropDownList.slideDuration
        fullHeight: Math.min(dropDownList.count, dropDownList.maxRows) * dropDownList.rowHeight
        onClosed: {
            if (!dropDownList.choicePending)
                return
            dropDownList.choicePending = false
            dropDownList.valueChange(dropDownList.currentSelect)
        }

        // The panel reaches the control by id from its own context.
        // qmllint disable unqualified
        panel: Component {
            Item {
                Rectangle {
                    anchors.fill: parent
                    color: dropDownList.bgColor
                    border.color: dropDownList.borderColor
                }

                ListView {
                    id: listView

                    // The row really under the pointer, -1 for none.
                    readonly property int hoveredRow: slideBox.pointerInside
                                                      ? indexAt(slideBox.pointer.x, slideBox.pointer.y + contentY)
                                                      : -1
                    readonly property int keyRow: dropDownList.keyRow

                    anchors.fill: parent
                    anchors.rightMargin: scrollBar.visible ? scrollBar.width : 0
                    clip: true
                    boundsBehavior: Flickable.StopAtBounds
                    interactive: dropDownList.count > dropDownList.maxRows
                    model: dropDownList.mdItems
                    onKeyRowChanged: {
                        if (keyRow >= 0)
                            positionViewAtIndex(keyRow, ListView.Contain)
                    }
                    onContentYChanged: {
                        if (!handleArea.drag.active)
                            handle.y = handle.range * contentY / handle.contentRange
                    }
                    delegate: Rectangle {
                        id: row

                        required property int index
                        required property var model

                        width: listView.width
                        height: dropDownList.rowHeight
                        color: index === dropDownList.currentSelect || index === listView.hoveredRow
                               ? Theme.colorOrange : "transparent"
                        border.color: index === dropDownList.keyRow ? Theme.colorFocus : "transparent"

                        Text {
                            objectName: "rowText" + row.index
                            anchors.verticalCenter: parent.verticalCenter
                            x: 8 + dropDownList.horizontalOffset
                            width: parent.width - x - 8
                            elide: Text.ElideRight
                            text: row.model.textValue === undefined ? "" : row.model.textValue
                            color: Theme.fontColor
                            font.family: Theme.fontFamily
                            font.preferShaping: Theme.needsShaping(text)
                            font.pixelSize: Theme.fontNormalSize
                        }

                        MouseArea {
                            anchors.fill: parent
                            onClicked: dropDownList.choose(row.index)
                        }
                    }
                }

                Rectangle {
                    id: scrollBar

                    objectName: "scrollBar"
                    anchors.right: parent.right
                    width: 12
                    height: parent.height
                    visible: dropDownList.count > dropDownList.maxRows
                    color: Theme.colorGray1

                    Rectangle {
                        id: handle

                        readonly property real range: scrollBar.height - height
                        readonly property real contentRange: Math.max(1, listView.contentHeight - listView.height)

                        width: parent.width
                        height: Math.max(24, scrollBar.height * listView.height / Math.max(1, listView.contentHeight))
                        radius: 4
                        color: handleArea.pressed ? Theme.colorOrange : Theme.colorGray2
                        onYChanged: {
                            if (handleArea.drag.active)
                                listView.contentY = y / Math.max(1, range) * contentRange
                        }

                        MouseArea {
                            id: handleArea

                            anchors.fill: parent
                            drag.target: handle
                            drag.axis: Drag.YAxis
                            drag.minimumY: 0
                            drag.maximumY: handle.range
                            onPressed: dropDownList.dragSignal(true)
                            onReleased: dropDownList.dragSignal(false)
                        }
                    }
                }
            }
        }
        // qmllint enable unqualified
    }
}
