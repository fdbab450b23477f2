import QtQuick
import "../basic/theme.js" as Theme

// A box with the chosen text over a grid of options in three columns, each
// as wide as the box. Empty cells pad the options to a multiple of three.
Item {
    id: dropDownGrid

    // Where the scene's focus ring goes while this has the keyboard focus.
    readonly property Item focusFrame: box

    property bool isDrop: false
    property ListModel mdItems: null
    property int count: mdItems ? mdItems.count : 0
    property int currentSelect: 0
    property string textValue: textAt(currentSelect, count, revision)
    property color borderColor: Theme.colorGray1
    property color bgColor: Theme.colorGray0
    property int horizontalOffset: 0
    // The caption a screen reader names the control by; the shown text
    // then goes with it as its description.
    property string description: ""
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

    // The cell the arrow keys point at while the grid is open, -1 for none.
    property int keyCell: -1

    signal btnClick()

    function textAt(cell: int, cells: int, rev: int): string {
        if (!mdItems || cell < 0 || cell >= cells || cell >= mdItems.count)
            return ""
        const text = mdItems.get(cell).textValue
        return text === undefined || text === null ? "" : String(text)
    }

    function closeMenu() {
        isDrop = false
        keyCell = -1
        slideBox.close()
    }

    // What a click on the box does.
    function toggle() {
        if (slideBox.shown) {
            closeMenu()
        } else {
            isDrop = true
            slideBox.open()
        }
    }

    // The next cell with a text `cells` away (1 or 3 either way), or `from`.
    function neighbour(from: int, cells: int): int {
        for (let c = from + cells; c >= 0 && c < count; c += cells) {
            if (textAt(c, count, revision) !== "")
                return c
        }
        return from
    }

    // Arrows walk the open grid's cells; with the grid closed they change
    // the choice at once and report it as a cell click would.
    function moveBy(cells: int) {
        if (slideBox.shown) {
            keyCell = neighbour(keyCell >= 0 ? keyCell : currentSelect, cells)
            return
        }
        const cell = neighbour(currentSelect, cells)
        if (cell !== currentSelect)
            choose(cell)
    }

    function activate() {
        if (slideBox.shown && keyCell >= 0)
            choose(keyCell)
        else
            toggle()
    }

    function choose(cell: int) {
        if (textAt(cell, count, revision) !== "")
            currentSelect = cell
        closeMenu()
        btnClick()
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
    Keys.onLeftPressed: moveBy(-1)
    Keys.onRightPressed: moveBy(1)
    Keys.onUpPressed: moveBy(-3)
    Keys.onDownPressed: moveBy(3)
    Keys.onEscapePressed: (event) => {
        event.accepted = slideBox.shown
        if (slideBox.shown)
            closeMenu()
    }
    // Focus moving elsewhere (Tab, a click on another control) closes the grid.
    onActiveFocusChanged: {
        if (!activeFocus && slideBox.shown)
            closeMenu()
    }

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
            dropDownGrid.forceActiveFocus(Qt.MouseFocusReason)
            dropDownGrid.toggle()
        }
    }

    SlideBox {
        id: slideBox

        objectName: "slideBox"
        y: box.height
        width: 3 * dropDownGrid.width
        duration: 180 - 10 * dropDownGrid.count
        fullHeight: Math.floor(dropDownGrid.count / 3) * dropDownGrid.rowHeight

        // The panel reaches the control by id from its own context.
        // qmllint disable unqualified
        panel: Component {
            Item {
                Rectangle {
                    anchors.fill: parent
                    color: dropDownGrid.bgColor
                    border.color: dropDownGrid.borderColor
                }

                Grid {
                    columns: 3

                    Repeater {
                        model: dropDownGrid.mdItems

                        delegate: Rectangle {
                            id: cell

                            required property int index
                            required property var model

                            width: dropDownGrid.width
                            height: dropDownGrid.rowHeight
                            color: index === dropDownGrid.currentSelect || index === dropDownGrid.hoveredCell
                                   ? Theme.colorOrange : "transparent"
                            border.color: index === dropDownGrid.keyCell ? Theme.colorFocus : "transparent"

                            Text {
                                anchors.verticalCenter: parent.verticalCenter
                                x: 8 + dropDownGrid.horizontalOffset
                                width: parent.width - x - 8
                                elide: Text.ElideRight
                                text: cell.model.textValue === undefined ? "" : cell.model.textValue
                                color: Theme.fontColor
                                font.family: Theme.fontFamily
                                font.preferShaping: Theme.needsShaping(text)
                                font.pixelSize: Theme.fontNormalSize
                            }

                            MouseArea {
                                anchors.fill: parent
                                onClicked: dropDownGrid.choose(cell.index)
                            }
                        }
                    }
                }
            }
        }
        // qmllint enable unqualified
    }
}
