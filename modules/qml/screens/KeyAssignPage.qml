import QtQuick
import "../common"
import "../basic/theme.js" as Theme
import "keys.js" as Keys

// The scrolling page of the button assignment dialog: nine categories of
// controls, each lit from the dialog's pending assignment and writing the
// user's choice back to it.
Flickable {
    id: page

    // The dialog whose pending assignment the page shows and edits. Untyped:
    // the dialog holds the page, and the linter cannot follow a type that
    // refers back to the file that uses it.
    property var dialog: null

    property alias macroList: macroList
    // Tab reaches controls below the fold: the page follows the focus.
    readonly property Item focusedItem: Window.activeFocusItem

    function showFocused() {
        let inside = focusedItem
        while (inside && inside !== contentItem)
            inside = inside.parent
        if (!inside)
            return
        const margin = 8
        const top = focusedItem.mapToItem(contentItem, 0, 0).y - margin
        const bottom = top + focusedItem.height + 2 * margin
        if (top < contentY)
            contentY = Math.max(0, top)
        else if (bottom > contentY + height)
            contentY = Math.min(Math.max(0, contentHeight - height), bottom - height)
    }

    onFocusedItemChanged: showFocused()

    function texts(options: var): var {
        return options.map((option) => dialog.lang(option.label))
    }

    function init(macroNames: var) {
        Keys.fillGrid(mediaModel, texts(Keys.mediaOptions))
        Keys.fillGrid(windowsModel, texts(Keys.windowsOptions))
        Keys.fillGrid(shortcutModel, texts(Keys.shortcutOptions))
        macroList.addData(macroNames, true)
        macroList.closeMenu()
    }

    // The fire and macro controls at their start values.
    function reset() {
        rateSlider.textValue = "10ms"
        rateSlider.sliderControl.setValue(dialog.fireRate - 1)
        countField.textValue = "0"
        endlessBox.isSelect = true
        lightMacroMode(-1)
        contentY = 0
    }

    // Exactly one choice is lit, the one that is the button's function.
    function showPending() {
        const d = dialog
        const codes = [d.keyCode0, d.keyCode1, d.keyCode2, d.keyCode3]
        mouseChoices.light(Keys.choiceIndex("mouse", codes))
        dpiChoices.light(Keys.choiceIndex("dpi", codes))
        gunChoices.light(Keys.choiceIndex("gun", codes))
        mediaGrid.currentSelect = Keys.choiceIndex("media", codes)
        windowsGrid.currentSelect = Keys.choiceIndex("windows", codes)
        shortcutGrid.currentSelect = Keys.choiceIndex("shortcut", codes)
        if (d.keyCode0 === 0x01) {
            d.fireRate = Math.max(4, Math.min(80, d.keyCode2))
            rateSlider.textValue = d.fireRate + "MS"
            rateSlider.sliderControl.setValue(d.fireRate - 1)
            countField.textValue = String(d.keyCode3)
            endlessBox.isSelect = d.keyCode3 === 0
        }
        macroList.currentSelect = d.keyCode0 === 0x04 ? Keys.rowOf(macroModel, d.keyString) : -1
        lightMacroMode(d.keyCode0 === 0x04 ? d.keyCode1 : -1)
    }

    function lightMacroMode(mode: int) {
        macroModes.light(mode)
    }

    // The macro name on a row of the list, "" past its end.
    function macroName(row: int): string {
        return row >= 0 && row < macroModel.count ? String(macroModel.get(row).textValue) : ""
    }

    function countValue(): int {
        return Keys.repeatCount(countField.textValue)
    }

    function closeMenus() {
        mediaGrid.closeMenu()
        windowsGrid.closeMenu()
        shortcutGrid.closeMenu()
        rateSlider.closeMenu()
        macroList.closeMenu()
        countField.closeFocus()
    }

    objectName: "page"
    clip: true
    contentWidth: width
    contentHeight: 830
    boundsBehavior: Flickable.StopAtBounds
    interactive: !page.dialog.isDragging

    MouseArea {
        width: page.contentWidth
        height: page.contentHeight
        onPressed: page.closeMenus()
    }

    // Mouse function.
    AssignSection {
        y: 12
        z: 9
        caption: page.dialog.lang(1)

        AssignChoices {
            id: mouseChoices

            y: 28
            name: "mouseRadio"
            texts: page.texts(Keys.mouseOptions)
            onChosen: (i) => page.dialog.chooseRadio(i, Keys.mouseOptions)
        }
    }

    // Fire function.
    AssignSection {
        y: 100
        z: 8
        caption: page.dialog.lang(8)

        Row {
            y: 28
            spacing: 10

            FieldLabel { text: page.dialog.lang(9) }

            Rectangle {
                objectName: "fireKeyBox"
                width: 120
                height: 24
                radius: 2
                color: page.dialog.isFireInput ? Theme.colorOrange : Theme.colorBlue

                ThemedText {
                    id: fireKeyText

                    anchors.centerIn: parent
                    text: page.dialog.fireKeyText === "" ? page.dialog.lang(10)
                                                              : page.dialog.fireKeyText
                }

                MouseArea {
                    anchors.fill: parent
                    onClicked: page.dialog.startFireInput()
                }

                FocusStop {
                    objectName: "fireKeyStop"
                    name: page.dialog.lang(9) + ": " + fireKeyText.text
                    actsOnRelease: true
                    onActivated: page.dialog.startFireInput()
                }
            }
        }

        Row {
            y: 62
            spacing: 10

            FieldLabel { text: page.dialog.lang(11) }

            DropDownSlider {
                id: rateSlider

                objectName: "rateSlider"
                description: page.dialog.lang(11)
                z: 1
                width: 110
                textValue: "10ms"
                onValueChange: (position) => {
                    const n = Keys.fireRate(position)
                    page.dialog.fireRate = n
                    textValue = n + "MS"
                    if (page.dialog.keyCode0 === 0x01)
                        page.dialog.keyCode2 = n
                }
                onDragSignal: (isDrag) => { page.dialog.isDragging = isDrag }
                // The knob starts where 10 ms sits.
                Component.onCompleted: sliderControl.setValue(9)
            }

            Item { width: 8; height: 1 }

            FieldLabel { text: page.dialog.lang(12) }

            RectInput {
                id: countField

                objectName: "countField"
                description: page.dialog.lang(12)
                anchors.verticalCenter: parent.verticalCenter
                maxValue: 255
                textValue: "0"
                onEndInputSignal: {
                    const count = page.countValue()
                    endlessBox.isSelect = count === 0
                    if (page.dialog.keyCode0 === 0x01)
                        page.dialog.keyCode3 = count
                }
            }

            CheckBox {
                id: endlessBox

                objectName: "endlessBox"
                anchors.verticalCenter: parent.verticalCenter
                textValue: page.dialog.lang(13)
                isSelect: true
                onBtnClick: {
                    if (isSelect)
                        return
                    countField.textValue = "0"
                    if (page.dialog.keyCode0 === 0x01)
                        page.dialog.keyCode3 = 0
                }
            }
        }
    }

    // Group (combination) function.
    AssignSection {
        y: 206
        z: 7
        caption: page.dialog.lang(14)

        Row {
            y: 28
            spacing: 12

            Rectangle {
                objectName: "comboBox"
                width: 300
                height: 24
                radius: 2
                color: page.dialog.isComboInput ? Theme.colorOrange : Theme.colorBlue

                ThemedText {
                    id: comboText

                    anchors.verticalCenter: parent.verticalCenter
                    x: 8
                    width: parent.width - 16
                    elide: Text.ElideRight
                    text: page.dialog.comboText === "" && !page.dialog.isComboInput
                          ? page.dialog.lang(10) : page.dialog.comboText
                }

                MouseArea {
                    anchors.fill: parent
                    onClicked: page.dialog.startComboInput()
                }

                // From the keyboard a combination is held and let go: it
                // ends as its last key comes up (no click can end it, and
                // Tab would become one of its keys).
                FocusStop {
                    objectName: "comboStop"
                    name: page.dialog.lang(14) + ": " + comboText.text
                    actsOnRelease: true
                    onActivated: {
                        page.dialog.startComboInput()
                        page.dialog.isChordCapture = true
                    }
                }
            }

            MarkButton {
                objectName: "comboConfirm"
                source: Theme.checkMark
                onClicked: page.dialog.confirmCombo()
            }

            MarkButton {
                objectName: "comboCancel"
                source: Theme.skinImage(page.dialog.skinNo, "index", "closeMark")
                onClicked: page.dialog.cancelCombo()
            }
        }
    }

    // Media function.
    AssignSection {
        y: 278
        z: 6
        caption: page.dialog.lang(15)

        DropDownGrid {
            id: mediaGrid

            objectName: "mediaGrid"
            description: page.dialog.lang(15)
            y: 28
            width: 150
            mdItems: ListModel { id: mediaModel }
            onBtnClick: page.dialog.applyGrid(mediaGrid, Keys.mediaOptions)
        }
    }

    // Macro function.
    AssignSection {
        y: 350
        z: 5
        caption: page.dialog.lang(16)

        Row {
            y: 28
            z: 1
            spacing: 12

            DropDownList {
                id: macroList

                // Replaces the macro names offered, in the given order.
                function addData(names: var, isInit: bool) {
                    macroModel.clear()
                    for (let i = 0; i < (names ? names.length : 0); ++i)
                        macroModel.append({ textValue: String(names[i]) })
                    currentSelect = page.dialog.keyCode0 === 0x04
                                    ? Keys.rowOf(macroModel, page.dialog.keyString) : -1
                }

                objectName: "macroList"
                width: 200
                description: page.dialog.lang(16)
                mdItems: ListModel { id: macroModel }
                onValueChange: (row) => page.dialog.chooseMacro(row)
                onDragSignal: (isDrag) => { page.dialog.isDragging = isDrag }
            }

            TextButton {
                objectName: "macroEditorButton"
                width: 120
                textValue: page.dialog.lang(17)
                onClicked: page.dialog.macroEditorClick()
            }
        }

        AssignChoices {
            id: macroModes

            y: 62
            columns: 1
            rowSpacing: 8
            choiceWidth: 0
            name: "macroMode"
            texts: [page.dialog.lang(18), page.dialog.lang(19), page.dialog.lang(20)]
            onChosen: (i) => page.dialog.chooseMacroMode(i)
        }
    }

    // DPI function.
    AssignSection {
        y: 494
        z: 4
        caption: page.dialog.lang(21)

        AssignChoices {
            id: dpiChoices

            y: 28
            name: "dpiRadio"
            texts: page.texts(Keys.dpiOptions)
            onChosen: (i) => page.dialog.chooseRadio(i, Keys.dpiOptions)
        }
    }

    // Windows function.
    AssignSection {
        y: 582
        z: 3
        caption: page.dialog.lang(25)

        DropDownGrid {
            id: windowsGrid

            objectName: "windowsGrid"
            description: page.dialog.lang(25)
            y: 28
            width: 150
            mdItems: ListModel { id: windowsModel }
            onBtnClick: page.dialog.applyGrid(windowsGrid, Keys.windowsOptions)
        }
    }

    // Shortcut function.
    AssignSection {
        y: 654
        z: 2
        caption: page.dialog.lang(26)

        DropDownGrid {
            id: shortcutGrid

            objectName: "shortcutGrid"
            description: page.dialog.lang(26)
            y: 28
            width: 150
            mdItems: ListModel { id: shortcutModel }
            onBtnClick: page.dialog.applyGrid(shortcutGrid, Keys.shortcutOptions)
        }
    }

    // Gun slot switches.
    AssignSection {
        y: 746
        z: 1
        visible: page.dialog.isGun
        caption: page.dialog.lang(52)

        AssignChoices {
            id: gunChoices

            y: 28
            name: "gunRadio"
            texts: page.texts(Keys.gunOptions)
            onChosen: (i) => page.dialog.chooseRadio(i, Keys.gunOptions)
        }
    }
}
