import QtQuick
import "../basic/theme.js" as Theme

// A box with the chosen text over a grid of options in three columns, each
// as wide as the box. Empty cells pad the options to a multiple of three.
Item {
    id: dropDownGrid

    property bool isDrop: false
    property ListModel mdItems: null
    property int count: mdItems ? mdItems.count : 0
    property int currentSelect: 0
    property string textValue: textAt(currentSelect, count, revision)
    property color borderColor: Theme.colorGray1
    property color bgColor: Theme.colorGray0
    property int horizontalOffset: 0
    readonly property int rowHeight: 24
    readonly property bool isAnimating: slideBox.running
    property int revision: 0
    // The cell really under the pointer, -1 for none.
    readonly property int hoveredCell: {
        if (!slideBox.pointerInside)
            return -1
        const column = Math.floor(slideBox.pointer.x / width)
        const cell = 3 * Math.floor(slideBox.pointer.y / rowHeight) + column
        return column >= 0 && column < 3 && cell < count ? cell : -1
    }

    signal btnClick()

    function textAt(cell: int, cells: int, rev: int): string {
        if (!mdItems || cell < 0 || cell >= cells || cell >= mdItems.count)
            return ""
        const text = mdItems.get(cell).textValue
        return text === undefined || text === null ? "" : String(text)
    }

    function closeMenu() {
        isDrop = false
        slideBox.close()
    }

    function choose(cell: int) {
        if (textAt(cell, count, revision) !== "")
            currentSelect = cell
        closeMenu()
        btnClick()
    }

    width: 120
    height: 24

    Connections {
        target: dropDownGrid.mdItems
        function onDataChanged() { ++dropDownGrid.revision }
        function onRowsInserted() { ++dropDownGrid.revision }
        function onRowsRemoved() { ++dropDownGrid.revision }
    }

    DropBox {
        id: box

        width: parent.width
        color: dropDownGrid.bgColor
        border.color: dropDownGrid.borderColor
        textValue: dropDownGrid.textValue
        isDrop: dropDownGrid.isDrop
        horizontalOffset: dropDownGrid.horizontalOffset
        onClicked: {
            if (slideBox.shown) {
                dropDownGrid.closeMenu()
            } else {
                dropDownGrid.isDrop = true
                slideBox.open()
            }
        }
    }

    SlideBox {
        id: slideBox

        objectName: "slideBox"
        y: box.height
        width: 3 * dropDownGrid.width
        duration: 180 - 10 * dropDownGrid.count
        fullHeight: Math.floor(dropDownGrid.count / 3) * dropDownGrid.rowHeight

        Rectangle {
            anchors.fill: parent
            color: dropDownGrid.bgColor
            border.color: dropDownGrid.borderColor
        }

        Grid {
            columns: 3

            Repeater {
                model: dropDownGrid.mdItems

                // qmllint disable unqualified
                delegate: Rectangle {
                    id: cell

                    required property int index
                    required property var model

                    width: dropDownGrid.width
                    height: dropDownGrid.rowHeight
                    color: index === dropDownGrid.currentSelect || index === dropDownGrid.hoveredCell
                           ? Theme.colorOrange : "transparent"

                    Text {
                        anchors.verticalCenter: parent.verticalCenter
                        x: 8 + dropDownGrid.horizontalOffset
                        width: parent.width - x - 8
                        elide: Text.ElideRight
                        text: cell.model.textValue === undefined ? "" : cell.model.textValue
                        color: Theme.fontColor
                        font.family: Theme.fontFamily
                        font.pixelSize: Theme.fontNormalSize
                    }

                    MouseArea {
                        anchors.fill: parent
                        onClicked: dropDownGrid.choose(cell.index)
                    }
                }
                // qmllint enable unqualified
            }
        }
    }
}
