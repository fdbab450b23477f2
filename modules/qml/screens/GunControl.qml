import QtQuick
import "../common"
import "../basic/theme.js" as Theme
import "../common/listkeys.js" as ListKeys
import "../basic/values.js" as Values
import "gun.js" as Gun
import "../basic/settingkeys.js" as SettingKeys

// The gun editor: six firing presets and the mouse's three gun slots.
// Edits are stored at once and reach the mouse when the dialog closes.
Rectangle {
    id: gunControlMain

    property int selectGun1: 0
    property int selectGun2: 0
    property int selectGun3: 0
    // Something changed since the dialog last sent.
    property bool isSave: false
    property var gunControlLang: ["Gun editor", "Gun", "Select gun", "Cursor Adjust", "X Axis",
        "Y axis", "Fire adjust", "Rate", "Times", "Endness", "Close", "", "", "", ""]
    property int skinNo: 1

    property alias gunNumberModel: gunNumberModel

    // Closed after a change: the slots go to the mouse, with the key table
    // that carries their fire periods; until the mouse has taken them, the
    // next close sends them again.
    signal sendRequested()
    signal closed()

    function init() {
        labelSlots()
        gunNumberModel.clear()
        for (let i = 0; i < Gun.defaultPresets.length; ++i)
            gunNumberModel.append(storedPreset(i))
        const slots = Values.intList(ui_View.getGlobalData(SettingKeys.mouseSelectGun), [0, 0, 0])
        selectGun1 = Values.clamp(slots[0], 0, 5)
        selectGun2 = Values.clamp(slots[1], 0, 5)
        selectGun3 = Values.clamp(slots[2], 0, 5)
        slotList.currentSelect = 0
        gunList.currentIndex = selectGun1
        showPreset(selectGun1)
    }

    function gunControlFocus() {
        slotList.closeMenu()
        rateSlider.closeMenu()
        yInput.closeFocus()
        timesInput.closeFocus()
    }

    // --- Inside the dialog ---

    function labelSlots() {
        for (let i = 0; i < 3; ++i)
            slotModel.setProperty(i, "textValue", gunControlLang[1] + (i + 1))
    }

    function storedPreset(row: int): var {
        const preset = Gun.defaultPresets[row]
        const stored = Gun.presetOfRecord(preset, ui_View.getGunData(row))
        stored.gunImage = Theme.gunImage(preset.gunName)
        return stored
    }

    function preset(row: int): var {
        const item = gunNumberModel.get(Values.clamp(row, 0, gunNumberModel.count - 1))
        if (!item)
            return Gun.defaultPresets[Values.clamp(row, 0, Gun.defaultPresets.length - 1)]
        return { gunName: item.gunName, gunKey: item.gunKey, gunPeriod: item.gunPeriod,
                 gunX: item.gunX, gunY: item.gunY, gunTimes: item.gunTimes }
    }

    function slotPreset(slot: int): int {
        return [selectGun1, selectGun2, selectGun3][slot]
    }

    function showPreset(row: int) {
        const shown = preset(row)
        const y = Values.clamp(Values.toInt(shown.gunY, 0), 0, Gun.maxY)
        xInput.textValue = shown.gunX
        yInput.textValue = String(y)
        targetDot.y = Gun.dotPosition(y)
        const knob = Gun.knobOfPeriod(Values.toInt(shown.gunPeriod, 10))
        rateSlider.sliderControl.setValue(knob)
        rateSlider.textValue = Gun.rateText(knob)
        timesInput.textValue = shown.gunTimes
        endnessCheck.isSelect = shown.gunTimes === "0"
    }

    function choosePreset(row: int) {
        gunControlFocus()
        gunList.currentIndex = row
        switch (slotList.currentSelect) {
        case 1: selectGun2 = row; break
        case 2: selectGun3 = row; break
        default: selectGun1 = row
        }
        ui_View.setGlobalData(SettingKeys.mouseSelectGun, [selectGun1, selectGun2, selectGun3])
        isSave = true
        showPreset(row)
    }

    function chooseSlot(slot: int) {
        const row = slotPreset(Values.clamp(slot, 0, 2))
        gunList.currentIndex = row
        showPreset(row)
    }

    function storeField(field: string, value: string) {
        const row = gunList.currentIndex
        if (row < 0)
            return
        gunNumberModel.setProperty(row, field, value)
        // An edit the data folder did not take is not shown (nor sent): the
        // stored preset comes back, and the view says why.
        if (!ui_View.mouseSaveGundata(row, Gun.recordOfPreset(preset(row)))) {
            gunNumberModel.set(row, storedPreset(row))
            showPreset(row)
            return
        }
        isSave = true
    }

    function close() {
        gunControlFocus()
        visible = false
        if (isSave)
            sendRequested()
        closed()
    }

    width: 640
    height: 448
    color: Theme.colorGray0
    border.color: Theme.colorGray1

    onGunControlLangChanged: labelSlots()

    ListModel {
        id: gunNumberModel
    }

    ListModel {
        id: slotModel

        ListElement { textValue: "Gun1" }
        ListElement { textValue: "Gun2" }
        ListElement { textValue: "Gun3" }
    }

    DialogFrame {
        title: gunControlMain.gunControlLang[0]
        closeName: gunControlMain.gunControlLang[10]
        skinNo: gunControlMain.skinNo
        onBackgroundPressed: gunControlMain.gunControlFocus()
        onCloseClicked: gunControlMain.close()
    }

    Caption {
        x: 16
        y: 44
        text: gunControlMain.gunControlLang[1]
    }

    Rectangle {
        x: 16
        y: 68
        width: 200
        height: 350
        color: Theme.colorBlack
        border.color: Theme.colorGray1

        ListView {
            id: gunList

            objectName: "gunList"
            anchors.fill: parent
            anchors.margins: 1
            clip: true
            interactive: false
            currentIndex: 0
            model: gunNumberModel
            readonly property Item focusFrame: parent
            activeFocusOnTab: true
            Accessible.role: Accessible.List
            Accessible.name: gunControlMain.gunControlLang[1]
            Accessible.focusable: true
            Keys.onPressed: (event) => ListKeys.handle(gunList, event, (row, right) => {
                if (!right)
                    gunControlMain.choosePreset(row)
            }, null, null)
            // qmllint disable unqualified
            delegate: Rectangle {
                id: gunRow

                required property int index
                required property string gunName
                required property url gunImage

                width: gunList.width
                height: 58
                // The current row takes the list's keyboard focus.
                Accessible.role: Accessible.ListItem
                Accessible.focusable: true
                Accessible.name: gunName
                color: index === gunList.currentIndex ? Theme.colorOrange
                                                      : gunArea.containsMouse ? Theme.colorGray1
                                                                              : "transparent"

                Image {
                    x: 6
                    anchors.verticalCenter: parent.verticalCenter
                    source: gunRow.gunImage
                }

                FittedText {
                    x: 132
                    width: parent.width - x - 6
                    anchors.verticalCenter: parent.verticalCenter
                    text: gunRow.gunName
                    font.bold: true
                    tipHovered: gunArea.containsMouse
                }

                MouseArea {
                    id: gunArea

                    anchors.fill: parent
                    hoverEnabled: true
                    onClicked: gunControlMain.choosePreset(gunRow.index)
                }
            }
            // qmllint enable unqualified
        }
    }

    Caption {
        x: 232
        y: 44
        width: slotList.x - x - 8
        text: gunControlMain.gunControlLang[2]
    }

    DropDownList {
        id: slotList

        objectName: "slotList"
        description: gunControlMain.gunControlLang[2]
        x: 340
        y: 40
        z: 2
        mdItems: slotModel
        currentSelect: 0
        onBtnClick: rateSlider.closeMenu()
        onValueChange: (index) => gunControlMain.chooseSlot(index)
    }

    Caption {
        x: 232
        y: 84
        text: gunControlMain.gunControlLang[3]
    }

    Image {
        id: target

        x: 232
        y: 108
        width: 190
        height: 190
        source: Theme.gunImage("target")

        // The vertical correction: 89 (Y = 0) to 183 (Y = 64) from the top.
        Rectangle {
            id: targetDot

            objectName: "targetDot"
            x: (target.width - width) / 2
            y: Gun.dotTop
            width: 12
            height: 12
            radius: 6
            color: "#ff2020"
            border.color: "#ffffff"

            MouseArea {
                id: dotArea

                property real pressY: 0

                anchors.fill: parent
                anchors.margins: -4
                onPressed: (mouse) => {
                    gunControlMain.gunControlFocus()
                    pressY = mouse.y
                }
                onPositionChanged: (mouse) => {
                    const y = targetDot.y + mouse.y - pressY
                    targetDot.y = Values.clamp(y, Gun.dotTop, Gun.dotTop + Gun.dotTravel)
                    yInput.textValue = String(Gun.yOfDot(targetDot.y))
                }
                onReleased: gunControlMain.storeField("gunY", yInput.textValue)
            }
        }
    }

    Grid {
        x: 448
        y: 160
        columns: 2
        rowSpacing: 24
        columnSpacing: 12
        verticalItemAlignment: Grid.AlignVCenter

        Caption {
            text: gunControlMain.gunControlLang[4]
        }

        RectInput {
            id: xInput

            objectName: "xInput"
            description: gunControlMain.gunControlLang[4]
            textValue: "0"
            color: Theme.colorGray1
            txtInput.readOnly: true
        }

        Caption {
            text: gunControlMain.gunControlLang[5]
        }

        RectInput {
            id: yInput

            objectName: "yInput"
            description: gunControlMain.gunControlLang[5]
            minValue: 0
            maxValue: Gun.maxY
            onInputSignal: {
                slotList.closeMenu()
                rateSlider.closeMenu()
            }
            onEndInputSignal: {
                targetDot.y = Gun.dotPosition(Values.toInt(textValue, 0))
                gunControlMain.storeField("gunY", textValue)
            }
        }
    }

    Caption {
        x: 232
        y: 318
        text: gunControlMain.gunControlLang[6]
    }

    // The rate on one line, the count and "endless" on the next: on one
    // line the longer languages ran past the dialog's edge.
    Row {
        x: 232
        y: 344
        spacing: 12

        Caption {
            anchors.verticalCenter: parent.verticalCenter
            text: gunControlMain.gunControlLang[7]
        }

        DropDownSlider {
            id: rateSlider

            objectName: "rateSlider"
            description: gunControlMain.gunControlLang[7]
            z: 2
            textValue: "10ms"
            onBtnClick: slotList.closeMenu()
            onValueChange: (index) => { textValue = Gun.rateText(index) }
        }
    }

    Row {
        x: 232
        y: 384
        spacing: 12

        Caption {
            anchors.verticalCenter: parent.verticalCenter
            text: gunControlMain.gunControlLang[8]
        }

        RectInput {
            id: timesInput

            objectName: "timesInput"
            description: gunControlMain.gunControlLang[8]
            anchors.verticalCenter: parent.verticalCenter
            minValue: 0
            maxValue: 255
            onInputSignal: {
                slotList.closeMenu()
                rateSlider.closeMenu()
            }
            onEndInputSignal: {
                endnessCheck.isSelect = textValue === "0"
                gunControlMain.storeField("gunTimes", textValue)
            }
        }

        CheckBox {
            id: endnessCheck

            objectName: "endnessCheck"
            anchors.verticalCenter: parent.verticalCenter
            textValue: gunControlMain.gunControlLang[9]
            // Reports before it toggles: unchecked here means it is being checked.
            onBtnClick: {
                if (isSelect)
                    return
                timesInput.textValue = "0"
                gunControlMain.storeField("gunTimes", "0")
            }
        }
    }

    // A finished knob movement (drag or track click) stores the period the
    // box reads.
    Connections {
        target: rateSlider.sliderControl

        function onValueChangeDelay() {
            const period = Gun.periodOfText(rateSlider.textValue)
            if (period !== null)
                gunControlMain.storeField("gunPeriod", String(period))
        }
    }

    component Caption: FittedText {
        font.bold: true
    }
}
