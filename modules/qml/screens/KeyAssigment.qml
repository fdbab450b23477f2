import QtQuick
import "../basic"
import "../common"
import "../basic/theme.js" as Theme
import "keys.js" as Keys
import "../basic/settingkeys.js" as SettingKeys

// The button assignment dialog: one button's pending assignment, chosen
// among nine categories on a scrolling page. Closing it commits a changed
// assignment to the key table; nothing is sent except a macro body.
Rectangle {
    id: keyAssigmentMain

    property int keyCode0: 0
    property int keyCode1: 0
    property int keyCode2: 0
    property int keyCode3: 0
    property string keyString: ""
    property string keyCode: ""
    property bool isFireInput: false
    property bool isComboInput: false
    property var keyAssigmentLang: ["Key ", "Mouse Function", "Left Key", "Middle Key", "Right Key",
        "Forward Key", "Back Key", "Double Fire", "Fire Function", "Key Value", "Click Input",
        "Rate", "Times", "Endness", "Group Function", "Media Function", "Macro Function",
        "Macro Editor", "Macro runs one-time after pressing the button",
        "Macro runs endless loop until any button is pressed",
        "Macro runs endless loop until button is released", "DPI Function", "DPI+", "DPI-",
        "DPI LOOP", "Windows Function", "Shortcut Function", "Player", "Next", "Privous", "Stop",
        "Mute", "Play/Pause", "Volumn+", "Volumn-", "My PC", "Index", "Search", "Max", "Min",
        "Desktop", "Run", "New", "Cut", "Copy", "Paste", "Save", "Print", "Find", "Redo", "Undo",
        "Select All", "Gun Function", "One Gun", "Two Gun", "Three Gun", "Sniper Key", "", "", ""]
    property bool isGun: true
    property int skinNo: 1
    // The key panel (its tables), the picture (the shared selectKey), the
    // macro editor (sends macro bodies) and the key name table.
    property KeyMatrix keyMatrix: null
    property Mouse mousePicture: null
    property MacroEditor macroEditor: null
    property KeyCodeString keyNames: null

    // Fire capture: the rate in milliseconds and the field text ("" shows
    // "Click Input").
    property int fireRate: 10
    property string fireKeyText: ""
    // Combination capture: -1 idle, else the number of non-modifier keys.
    property int comboCount: -1
    property var combo: Keys.newCombo()
    property string comboText: ""
    property int macroMode: 0
    property bool isDragging: false

    property alias macroList: macroList
    property alias page: page
    property alias rateSlider: rateSlider
    property alias countField: countField
    property alias endlessBox: endlessBox

    // The macro button: the main scene opens the macro editor over the dialog.
    signal macroEditorClick()
    // The dialog closed (the main scene hides its mask).
    signal closed()

    function lang(index: int): string {
        return Keys.label(keyAssigmentLang, index)
    }

    function nameOf(code: int): string {
        return (keyNames || ownKeyNames).keycodeTostr(code)
    }

    function macroNameOf(slot: int): string {
        const name = ui_View.getData(SettingKeys.mouseMacroKey + slot, false)
        return name === undefined || name === null ? "" : String(name)
    }

    function keyCodeToString(code0: int, code1: int, code2: int, code3: int): string {
        return Keys.keyCodeToString(code0, code1, code2, code3, keyAssigmentLang, nameOf,
                                    macroNameOf)
    }

    function selectKey(): int {
        return mousePicture ? mousePicture.selectKey : -1
    }

    function fillOptions(model: var, options: var) {
        model.clear()
        for (const option of options)
            model.append({ textValue: lang(option.label) })
        while (model.count % 3 !== 0)
            model.append({ textValue: "" })
    }

    function storedMacroNames(): var {
        const names = ui_View.getNameList(0) || []
        const list = []
        for (let i = 0; i < names.length; ++i) {
            const name = String(names[i])
            if (name === "loaderbraxel" && i === 1 && names.length === 2)
                continue
            list.push(name)
        }
        return list
    }

    function init() {
        fillOptions(mediaModel, Keys.mediaOptions)
        fillOptions(windowsModel, Keys.windowsOptions)
        fillOptions(shortcutModel, Keys.shortcutOptions)
        macroList.addData(storedMacroNames(), true)
        macroList.closeMenu()
    }

    function show(index: int) {
        if (!keyMatrix || index < 0 || index >= keyMatrix.modKeys.count)
            return
        const e = keyMatrix.modKeys.get(index)
        if (mousePicture)
            mousePicture.selectKey = index
        keyAssigmentFocus()
        startFresh()
        setPending([Number(e.keyCode0), Number(e.keyCode1), Number(e.keyCode2),
                    Number(e.keyCode3)], e.keyText)
        if (parent) {
            x = Math.round((parent.width - width) / 2)
            y = Math.round((parent.height - height) / 2)
        }
        page.contentY = 0
        visible = true
    }

    // Nothing of the previous button is carried over: no capture running,
    // the fire and macro parameters at their start values (a repeat mode is
    // lit only for a macro or once the user picks one).
    function startFresh() {
        isFireInput = false
        cancelCombo()
        fireRate = 10
        rateSlider.textValue = "10ms"
        rateSlider.sliderControl.setValue(fireRate - 1)
        countField.textValue = "0"
        endlessBox.isSelect = true
        macroMode = 0
        lightRadio(macroModes, -1)
    }

    function setPending(codes: var, text: string) {
        keyCode0 = codes[0]
        keyCode1 = codes[1]
        keyCode2 = codes[2]
        keyCode3 = codes[3]
        keyString = text
        showPending()
    }

    // Every control shows the pending assignment: exactly one choice is lit,
    // the one that is the button's function.
    function showPending() {
        const codes = [keyCode0, keyCode1, keyCode2, keyCode3]
        lightRadio(mouseRadios, Keys.choiceIndex("mouse", codes))
        lightRadio(dpiRadios, Keys.choiceIndex("dpi", codes))
        lightRadio(gunRadios, Keys.choiceIndex("gun", codes))
        mediaGrid.currentSelect = Keys.choiceIndex("media", codes)
        windowsGrid.currentSelect = Keys.choiceIndex("windows", codes)
        shortcutGrid.currentSelect = Keys.choiceIndex("shortcut", codes)
        fireKeyText = keyCode0 === 0x01 ? nameOf(keyCode1) : ""
        if (keyCode0 === 0x01) {
            fireRate = Math.max(4, Math.min(80, keyCode2))
            rateSlider.textValue = fireRate + "MS"
            rateSlider.sliderControl.setValue(fireRate - 1)
            countField.textValue = String(keyCode3)
            endlessBox.isSelect = keyCode3 === 0
        }
        if (!isComboInput)
            comboText = keyCode0 === 0x02 ? keyString : ""
        macroList.currentSelect = keyCode0 === 0x04 ? macroRow(keyString) : -1
        if (keyCode0 === 0x04)
            lightMacroMode(keyCode1)
        else
            lightRadio(macroModes, -1)
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

    // An option stated as eight hexadecimal digits.
    function applyKeyCode(code: string, text: string) {
        const codes = Keys.keyCodeStrProc(code)
        if (!codes)
            return
        keyCode = code
        setPending(codes, text)
    }

    function chooseRadio(index: int, options: var) {
        applyKeyCode(options[index].code, lang(options[index].label))
    }

    function applyGrid(grid: var, options: var) {
        const i = grid.currentSelect
        if (i >= 0 && i < options.length)
            applyKeyCode(options[i].code, lang(options[i].label))
    }

    function startFireInput() {
        fireKeyText = ""
        isFireInput = true
    }

    function countValue(): int {
        const n = parseInt(countField.textValue, 10)
        return isNaN(n) || n < 0 ? 0 : Math.min(255, n)
    }

    function startComboInput() {
        comboText = ""
        comboCount = 0
        combo = Keys.newCombo()
        isComboInput = true
    }

    function confirmCombo() {
        isComboInput = false
        comboCount = -1
        if (comboText !== "")
            setPending(Keys.comboCodes(combo), comboText)
    }

    function cancelCombo() {
        isComboInput = false
        comboCount = -1
        comboText = ""
    }

    function detectKeyboard(isDown: bool, usbCode: int, index: int) {
        if (index === 0 && isFireInput) {
            isFireInput = false
            const name = nameOf(usbCode)
            fireKeyText = name
            setPending([0x01, usbCode, fireRate, countValue()], name)
        } else if (index === 1 && isComboInput && isDown) {
            combo = Keys.comboAdd(combo, usbCode, nameOf(usbCode))
            comboCount = combo.keys.length
            comboText = Keys.comboText(combo)
        }
    }

    function chooseMacro(row: int) {
        if (row < 0 || row >= macroModel.count)
            return
        setPending([0x04, macroMode, selectKey(), 0], String(macroModel.get(row).textValue))
    }

    function chooseMacroMode(mode: int) {
        lightMacroMode(mode)
        if (keyCode0 === 0x04)
            keyCode1 = mode
    }

    function lightMacroMode(mode: int) {
        lightRadio(macroModes, mode)
        macroMode = mode
    }

    function sendMacro(index: int, macroName: string) {
        if (macroEditor)
            macroEditor.sendMacro(index, macroName)
    }

    function keyAssigmentFocus() {
        mediaGrid.closeMenu()
        windowsGrid.closeMenu()
        shortcutGrid.closeMenu()
        rateSlider.closeMenu()
        macroList.closeMenu()
        countField.closeFocus()
    }

    // The close mark: a changed assignment goes into the key table.
    function closeDialog() {
        visible = false
        closed()
        const index = selectKey()
        const keys = keyMatrix ? keyMatrix.modKeys : null
        if (keys && index >= 0 && index < keys.count) {
            const e = keys.get(index)
            if (Number(e.keyCode0) !== keyCode0 || Number(e.keyCode1) !== keyCode1
                    || Number(e.keyCode2) !== keyCode2 || Number(e.keyCode3) !== keyCode3) {
                keys.set(index, { keyCode0: keyCode0, keyCode1: keyCode1, keyCode2: keyCode2,
                                  keyCode3: keyCode3, keyText: keyString })
                keyMatrix.isSave = true
                if (keyCode0 === 0x04) {
                    sendMacro(keyCode2, keyString)
                    ui_View.setData(SettingKeys.mouseMacroKey + keyCode2, keyString)
                }
            }
        }
        if (mousePicture)
            mousePicture.selectKey = -1
        keyAssigmentFocus()
        // A capture left running would go on taking every key typed
        // anywhere for a dialog that is gone.
        isFireInput = false
        cancelCombo()
    }

    // The back arrow: this button's factory assignment, into the table at once.
    function restoreKey() {
        const index = selectKey()
        if (!keyMatrix || index < 0 || index >= keyMatrix.modKeys_tmp.count)
            return
        const f = keyMatrix.modKeys_tmp.get(index)
        if (f.keyText === keyString)
            return
        setPending([Number(f.keyCode0), Number(f.keyCode1), Number(f.keyCode2),
                    Number(f.keyCode3)], f.keyText)
        keyMatrix.modKeys.set(index, { keyCode0: keyCode0, keyCode1: keyCode1,
                                       keyCode2: keyCode2, keyCode3: keyCode3,
                                       keyText: keyString })
        keyMatrix.isSave = true
    }

    width: 520
    height: 560
    color: Theme.colorGray0
    border.color: Theme.colorGray1

    KeyCodeString {
        id: ownKeyNames
    }

    // A press on the background closes the dialog's drop-downs.
    DialogFrame {
        id: frame

        title: keyAssigmentMain.lang(0).trim() + " " + (keyAssigmentMain.selectKey() + 1)
               + " : " + keyAssigmentMain.keyString
        skinNo: keyAssigmentMain.skinNo
        onBackgroundPressed: keyAssigmentMain.keyAssigmentFocus()
        onCloseClicked: keyAssigmentMain.closeDialog()

        ImageButton {
            objectName: "restoreMark"
            normalSource: Theme.skinImage(keyAssigmentMain.skinNo, "index", "back")
            hoverSource: Theme.skinImage(keyAssigmentMain.skinNo, "index", "backHover")
            description: qsTr("Restore the button")
            onClicked: keyAssigmentMain.restoreKey()
        }
    }

    Flickable {
        id: page

        objectName: "page"
        y: frame.titleHeight
        width: parent.width
        height: parent.height - frame.titleHeight
        clip: true
        contentWidth: width
        contentHeight: 830
        boundsBehavior: Flickable.StopAtBounds
        interactive: !keyAssigmentMain.isDragging

        MouseArea {
            width: page.contentWidth
            height: page.contentHeight
            onPressed: keyAssigmentMain.keyAssigmentFocus()
        }

        // Mouse function.
        Section {
            y: 12
            z: 9
            caption: keyAssigmentMain.lang(1)

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
                        textValue: keyAssigmentMain.lang(Keys.mouseOptions[model.index].label)
                        onBtnClick: (i) => keyAssigmentMain.chooseRadio(i, Keys.mouseOptions)
                    }
                    // qmllint enable unqualified
                }
            }
        }

        // Fire function.
        Section {
            y: 100
            z: 8
            caption: keyAssigmentMain.lang(8)

            Row {
                y: 28
                spacing: 10

                FieldLabel { text: keyAssigmentMain.lang(9) }

                Rectangle {
                    objectName: "fireKeyBox"
                    width: 120
                    height: 24
                    radius: 2
                    color: keyAssigmentMain.isFireInput ? Theme.colorOrange : Theme.colorBlue

                    ThemedText {
                        anchors.centerIn: parent
                        text: keyAssigmentMain.fireKeyText === "" ? keyAssigmentMain.lang(10)
                                                                  : keyAssigmentMain.fireKeyText
                    }

                    MouseArea {
                        anchors.fill: parent
                        onClicked: keyAssigmentMain.startFireInput()
                    }
                }
            }

            Row {
                y: 62
                spacing: 10

                FieldLabel { text: keyAssigmentMain.lang(11) }

                DropDownSlider {
                    id: rateSlider

                    objectName: "rateSlider"
                    z: 1
                    width: 110
                    textValue: "10ms"
                    onValueChange: (position) => {
                        const n = Keys.fireRate(position)
                        keyAssigmentMain.fireRate = n
                        textValue = n + "MS"
                        if (keyAssigmentMain.keyCode0 === 0x01)
                            keyAssigmentMain.keyCode2 = n
                    }
                    onDragSignal: (isDrag) => { keyAssigmentMain.isDragging = isDrag }
                    // The knob starts where 10 ms sits.
                    Component.onCompleted: sliderControl.setValue(9)
                }

                Item { width: 8; height: 1 }

                FieldLabel { text: keyAssigmentMain.lang(12) }

                RectInput {
                    id: countField

                    objectName: "countField"
                    description: keyAssigmentMain.lang(12)
                    anchors.verticalCenter: parent.verticalCenter
                    maxValue: 255
                    textValue: "0"
                    onEndInputSignal: {
                        const count = keyAssigmentMain.countValue()
                        endlessBox.isSelect = count === 0
                        if (keyAssigmentMain.keyCode0 === 0x01)
                            keyAssigmentMain.keyCode3 = count
                    }
                }

                CheckBox {
                    id: endlessBox

                    objectName: "endlessBox"
                    anchors.verticalCenter: parent.verticalCenter
                    textValue: keyAssigmentMain.lang(13)
                    isSelect: true
                    onBtnClick: {
                        if (isSelect)
                            return
                        countField.textValue = "0"
                        if (keyAssigmentMain.keyCode0 === 0x01)
                            keyAssigmentMain.keyCode3 = 0
                    }
                }
            }
        }

        // Group (combination) function.
        Section {
            y: 206
            z: 7
            caption: keyAssigmentMain.lang(14)

            Row {
                y: 28
                spacing: 12

                Rectangle {
                    objectName: "comboBox"
                    width: 300
                    height: 24
                    radius: 2
                    color: keyAssigmentMain.isComboInput ? Theme.colorOrange : Theme.colorBlue

                    ThemedText {
                        anchors.verticalCenter: parent.verticalCenter
                        x: 8
                        width: parent.width - 16
                        elide: Text.ElideRight
                        text: keyAssigmentMain.comboText === "" && !keyAssigmentMain.isComboInput
                              ? keyAssigmentMain.lang(10) : keyAssigmentMain.comboText
                    }

                    MouseArea {
                        anchors.fill: parent
                        onClicked: keyAssigmentMain.startComboInput()
                    }
                }

                MarkButton {
                    objectName: "comboConfirm"
                    source: Theme.checkMark
                    onClicked: keyAssigmentMain.confirmCombo()
                }

                MarkButton {
                    objectName: "comboCancel"
                    source: Theme.skinImage(keyAssigmentMain.skinNo, "index", "closeMark")
                    onClicked: keyAssigmentMain.cancelCombo()
                }
            }
        }

        // Media function.
        Section {
            y: 278
            z: 6
            caption: keyAssigmentMain.lang(15)

            DropDownGrid {
                id: mediaGrid

                objectName: "mediaGrid"
                description: keyAssigmentMain.lang(15)
                y: 28
                width: 150
                mdItems: ListModel { id: mediaModel }
                onBtnClick: keyAssigmentMain.applyGrid(mediaGrid, Keys.mediaOptions)
            }
        }

        // Macro function.
        Section {
            y: 350
            z: 5
            caption: keyAssigmentMain.lang(16)

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
                        currentSelect = keyAssigmentMain.keyCode0 === 0x04
                                        ? keyAssigmentMain.macroRow(keyAssigmentMain.keyString) : -1
                    }

                    objectName: "macroList"
                    width: 200
                    description: keyAssigmentMain.lang(16)
                    mdItems: ListModel { id: macroModel }
                    onValueChange: (row) => keyAssigmentMain.chooseMacro(row)
                    onDragSignal: (isDrag) => { keyAssigmentMain.isDragging = isDrag }
                }

                TextButton {
                    objectName: "macroEditorButton"
                    width: 120
                    textValue: keyAssigmentMain.lang(17)
                    onClicked: keyAssigmentMain.macroEditorClick()
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
                        textValue: keyAssigmentMain.lang(18 + model.index)
                        onBtnClick: (i) => keyAssigmentMain.chooseMacroMode(i)
                    }
                    // qmllint enable unqualified
                }
            }
        }

        // DPI function.
        Section {
            y: 494
            z: 4
            caption: keyAssigmentMain.lang(21)

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
                        textValue: keyAssigmentMain.lang(Keys.dpiOptions[model.index].label)
                        onBtnClick: (i) => keyAssigmentMain.chooseRadio(i, Keys.dpiOptions)
                    }
                    // qmllint enable unqualified
                }
            }
        }

        // Windows function.
        Section {
            y: 582
            z: 3
            caption: keyAssigmentMain.lang(25)

            DropDownGrid {
                id: windowsGrid

                objectName: "windowsGrid"
                description: keyAssigmentMain.lang(25)
                y: 28
                width: 150
                mdItems: ListModel { id: windowsModel }
                onBtnClick: keyAssigmentMain.applyGrid(windowsGrid, Keys.windowsOptions)
            }
        }

        // Shortcut function.
        Section {
            y: 654
            z: 2
            caption: keyAssigmentMain.lang(26)

            DropDownGrid {
                id: shortcutGrid

                objectName: "shortcutGrid"
                description: keyAssigmentMain.lang(26)
                y: 28
                width: 150
                mdItems: ListModel { id: shortcutModel }
                onBtnClick: keyAssigmentMain.applyGrid(shortcutGrid, Keys.shortcutOptions)
            }
        }

        // Gun slot switches.
        Section {
            y: 746
            z: 1
            visible: keyAssigmentMain.isGun
            caption: keyAssigmentMain.lang(52)

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
                        textValue: keyAssigmentMain.lang(Keys.gunOptions[model.index].label)
                        onBtnClick: (i) => keyAssigmentMain.chooseRadio(i, Keys.gunOptions)
                    }
                    // qmllint enable unqualified
                }
            }
        }
    }

    ListScrollBar {
        objectName: "pageScrollBar"
        anchors.right: parent.right
        anchors.rightMargin: 2
        y: page.y + 2
        height: page.height - 4
        flickable: page
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
