import QtQuick
import "../basic/theme.js" as Theme

// A box with the chosen text over a list that slides down. `valueChange`
// reports a chosen row only once the list has finished closing.
Item {
    id: dropDownList

    property bool isDrop: false
    property ListModel mdItems: null
    property int count: mdItems ? mdItems.count : 0
    property int currentSelect: 2
    property string textValue: textAt(currentSelect, count, revision)
    property color borderColor: Theme.colorGray1
    property color bgColor: Theme.colorGray0
    property int horizontalOffset: 0
    readonly property int rowHeight: 24
    readonly property int maxRows: 10
    readonly property int slideDuration: Math.max(0, 180 - 10 * count)
    readonly property bool isAnimating: slideBox.running
    property int revision: 0
    property bool choicePending: false
    // The row really under the pointer, -1 for none.
    readonly property int hoveredRow: slideBox.pointerInside
                                      ? listView.indexAt(slideBox.pointer.x,
                                                         slideBox.pointer.y + listView.contentY)
                                      : -1

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
        slideBox.open()
    }

    function closeList() {
        isDrop = false
        slideBox.close()
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
            dropDownList.btnClick()
            if (slideBox.running)
                return
            if (slideBox.shown)
                dropDownList.closeList()
            else
                dropDownList.openMenu()
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

        Rectangle {
            anchors.fill: parent
            color: dropDownList.bgColor
            border.color: dropDownList.borderColor
        }

        ListView {
            id: listView

            anchors.fill: parent
            anchors.rightMargin: scrollBar.visible ? scrollBar.width : 0
            clip: true
            boundsBehavior: Flickable.StopAtBounds
            interactive: dropDownList.count > dropDownList.maxRows
            model: dropDownList.mdItems
            onContentYChanged: {
                if (!handleArea.drag.active)
                    handle.y = handle.range * contentY / handle.contentRange
            }
            // qmllint disable unqualified
            delegate: Rectangle {
                id: row

                required property int index
                required property var model

                width: listView.width
                height: dropDownList.rowHeight
                color: index === dropDownList.currentSelect || index === dropDownList.hoveredRow
                       ? Theme.colorOrange : "transparent"

                Text {
                    objectName: "rowText" + row.index
                    anchors.verticalCenter: parent.verticalCenter
                    x: 8 + dropDownList.horizontalOffset
                    width: parent.width - x - 8
                    elide: Text.ElideRight
                    text: row.model.textValue === undefined ? "" : row.model.textValue
                    color: Theme.fontColor
                    font.family: Theme.fontFamily
                    font.pixelSize: Theme.fontNormalSize
                }

                MouseArea {
                    anchors.fill: parent
                    onClicked: dropDownList.choose(row.index)
                }
            }
            // qmllint enable unqualified
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
