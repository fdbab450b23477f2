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

    function fillOptions(model: var, options: var) {
        model.clear()
        for (const option of options)
            model.append({ textValue: dialog.lang(option.label) })
        while (model.count % 3 !== 0)
            model.append({ textValue: "" })
    }

    function init(macroNames: var) {
        fillOptions(mediaModel, Keys.mediaOptions)
        fillOptions(windowsModel, Keys.windowsOptions)
        fillOptions(shortcutModel, Keys.shortcutOptions)
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
        lightRadio(mouseRadios, Keys.choiceIndex("mouse", codes))
        lightRadio(dpiRadios, Keys.choiceIndex("dpi", codes))
        lightRadio(gunRadios, Keys.choiceIndex("gun", codes))
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
        macroList.currentSelect = d.keyCode0 === 0x04 ? macroRow(d.keyString) : -1
        lightMacroMode(d.keyCode0 === 0x04 ? d.keyCode1 : -1)
    }

    function lightMacroMode(mode: int) {
        lightRadio(macroModes, mode)
    }

    function lightRadio(radios: var, index: int) {
        for (let i = 0; i < radios.count; ++i)
            radios.itemAt(i).isSelect = i === index
    }

    function macroRow(name: string): int {
        for (let i = 0; i < macroModel.count; ++i) {
            if (String(macroModel.get(i).textValue) === name)
                return i
        }
        return -1
    }

    // The macro name on a row of the list, "" past its end.
    function macroName(row: int): string {
        return row >= 0 && row < macroModel.count ? String(macroModel.get(row).textValue) : ""
    }

    function countValue(): int {
        const n = parseInt(countField.textValue, 10)
        return isNaN(n) || n < 0 ? 0 : Math.min(255, n)
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
    Section {
        y: 12
        z: 9
        caption: page.dialog.lang(1)

        Grid {
            y: 28
            columns: 3
            columnSpacing: 0
            rowSpacing: 10

            Repeater {
                id: mouseRadios

                model: Keys.mouseOptions.length

                // qmllint disable unqualified
                delegate: RadioButton {
                    objectName: "mouseRadio" + model.index
                    width: 160
                    index: model.index
                    textValue: page.dialog.lang(Keys.mouseOptions[model.index].label)
                    onBtnClick: (i) => page.dialog.chooseRadio(i, Keys.mouseOptions)
                }
                // qmllint enable unqualified
            }
        }
    }

    // Fire function.
    Section {
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
                    anchors.centerIn: parent
                    text: page.dialog.fireKeyText === "" ? page.dialog.lang(10)
                                                              : page.dialog.fireKeyText
                }

                MouseArea {
                    anchors.fill: parent
                    onClicked: page.dialog.startFireInput()
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
    Section {
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
    Section {
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
    Section {
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
                                    ? page.macroRow(page.dialog.keyString) : -1
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

        Column {
            y: 62
            spacing: 8

            Repeater {
                id: macroModes

                model: 3

                // qmllint disable unqualified
                delegate: RadioButton {
                    objectName: "macroMode" + model.index
                    index: model.index
                    textValue: page.dialog.lang(18 + model.index)
                    onBtnClick: (i) => page.dialog.chooseMacroMode(i)
                }
                // qmllint enable unqualified
            }
        }
    }

    // DPI function.
    Section {
        y: 494
        z: 4
        caption: page.dialog.lang(21)

        Grid {
            y: 28
            columns: 3
            rowSpacing: 10

            Repeater {
                id: dpiRadios

                model: Keys.dpiOptions.length

                // qmllint disable unqualified
                delegate: RadioButton {
                    objectName: "dpiRadio" + model.index
                    width: 160
                    index: model.index
                    textValue: page.dialog.lang(Keys.dpiOptions[model.index].label)
                    onBtnClick: (i) => page.dialog.chooseRadio(i, Keys.dpiOptions)
                }
                // qmllint enable unqualified
            }
        }
    }

    // Windows function.
    Section {
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
    Section {
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
    Section {
        y: 746
        z: 1
        visible: page.dialog.isGun
        caption: page.dialog.lang(52)

        Row {
            y: 28

            Repeater {
                id: gunRadios

                model: Keys.gunOptions.length

                // qmllint disable unqualified
                delegate: RadioButton {
                    objectName: "gunRadio" + model.index
                    width: 160
                    index: model.index
                    textValue: page.dialog.lang(Keys.gunOptions[model.index].label)
                    onBtnClick: (i) => page.dialog.chooseRadio(i, Keys.gunOptions)
                }
                // qmllint enable unqualified
            }
        }
    }

    component Section: Item {
        property string caption

        x: 20
        width: 480
        height: 60

        Text {
            id: captionText

            text: parent.caption
            color: Theme.colorOrange
            font.family: Theme.fontFamily
            font.pixelSize: Theme.fontMiddleSize
            font.bold: true
        }

        Rectangle {
            anchors.left: captionText.right
            anchors.leftMargin: 10
            anchors.verticalCenter: captionText.verticalCenter
            width: 480 - captionText.width - 10
            height: 1
            color: Theme.colorGray1
        }
    }

    component FieldLabel: Text {
        height: 24
        verticalAlignment: Text.AlignVCenter
        color: Theme.fontColor
        font.family: Theme.fontFamily
        font.pixelSize: Theme.fontNormalSize
    }

    component MarkButton: Rectangle {
        property alias source: icon.source

        signal clicked()

        width: 24
        height: 24
        radius: 2
        color: markArea.containsMouse ? Theme.colorOrange : Theme.colorGray1

        Image {
            id: icon

            anchors.centerIn: parent
        }

        MouseArea {
            id: markArea

            anchors.fill: parent
            hoverEnabled: true
            onClicked: parent.clicked()
        }
    }
}
