import QtQuick
import "../common"
import "../basic/theme.js" as Theme
import "../basic/values.js" as Values
import "systemsetting.js" as System

// The system settings dialog: the program's language; pointer speed,
// double-click speed and wheel scroll amount, kept with the profile. Every
// change is stored and applied at once.
Rectangle {
    id: systemSettingMain

    property var systemSettingLang: ["System Setting", "Mouse Speed", "Double Click Speed", "Slow",
        "Fast", "Scroll Speed", "Number of Rows", "Scroll one Screen", "Close",
        "Restore defaults", "Language", "System default", "", "", ""]
    readonly property var compareValue: System.compareValue
    property var autostartLang: ["Start with the desktop"]
    property int skinNo: 1
    // Why the desktop cannot take a setting at all (empty where it can):
    // the control is shown disabled with this line, and its stored value
    // stays for a desktop that can.
    property string speedReason: ""
    property string doubleClickReason: ""
    property string scrollReason: ""

    // The line-count field took the focus: the main scene closes its drop-downs.
    signal inputStarted()

    // "System default" (the locale decides), then every language file by its own name.
    function showLanguages() {
        const chosen = ui_View.chosenLanguage()
        languageModel.clear()
        languageModel.append({ textValue: systemSettingLang[11], code: "" })
        for (const language of ui_View.languages())
            languageModel.append({ textValue: language.name, code: language.code })
        languageList.currentSelect = Math.max(0, System.rowOfLanguage(languageModel, chosen))
    }

    function chooseLanguage(row: int) {
        // A choice not taken shows what is in use.
        if (!ui_View.setLanguage(languageModel.get(row).code))
            showLanguages()
    }

    onSystemSettingLangChanged: {
        if (languageModel.count > 0)
            languageModel.setProperty(0, "textValue", systemSettingLang[11])
        showReasons()
    }

    function showReasons() {
        const why = System.reasons(ui_View)
        speedReason = why[0]
        doubleClickReason = why[1]
        scrollReason = why[2]
    }

    function init(isSendData: bool, isRecovery: bool) {
        showLanguages()
        showReasons()
        const stored = System.storedValues(ui_View, isRecovery, [mouseSpeedSlider.xPosition,
                                                                 doubleClickSlider.xPosition])
        mouseSpeedSlider.xPosition = stored.speed
        mouseSpeedSlider.setValue(stored.speed)
        doubleClickSlider.xPosition = stored.doubleClick
        doubleClickSlider.setValue(stored.doubleClick)
        chooseScroll(stored.scroll !== System.oneScreen)
        if (stored.scroll !== System.oneScreen)
            lineCount.textValue = String(stored.scroll)
        autostartBox.isSelect = ui_View.getStartWithDesktop()
        if (isSendData)
            saveData(true, 0)
    }

    function saveData(isSendData: bool, isStep: int) {
        const values = { speed: mouseSpeedSlider.xPosition,
                         doubleClick: doubleClickSlider.xPosition,
                         scroll: System.scrollAmount(rowsRadio.isSelect, lineCount.textValue) }
        System.storeAndApply(ui_View, values, isSendData ? isStep : -1,
                             [speedReason, doubleClickReason, scrollReason])
    }

    function chooseScroll(isRows: bool) {
        rowsRadio.isSelect = isRows
        screenRadio.isSelect = !isRows
    }

    function systemSettingFocus() {
        lineCount.closeFocus()
    }

    function close() {
        systemSettingFocus()
        visible = false
    }

    width: 416
    height: 362
    color: Theme.colorGray0
    border.color: Theme.colorGray1

    // A press on the dialog ends editing; dragging it moves it.
    DialogFrame {
        title: systemSettingMain.systemSettingLang[0]
        closeName: systemSettingMain.systemSettingLang[8]
        skinNo: systemSettingMain.skinNo
        onBackgroundPressed: systemSettingMain.systemSettingFocus()
        onCloseClicked: systemSettingMain.close()

        ImageButton {
            objectName: "resetMark"
            normalSource: Theme.skinImage(systemSettingMain.skinNo, "index", "back")
            hoverSource: Theme.skinImage(systemSettingMain.skinNo, "index", "backHover")
            description: systemSettingMain.systemSettingLang[9]
            onClicked: systemSettingMain.init(true, true)
        }
    }

    // Above the controls below it: its list opens over them.
    Item {
        x: 32
        y: 46
        z: 2
        width: 352
        height: languageList.height

        FittedText {
            anchors.left: parent.left
            anchors.right: languageList.left
            anchors.rightMargin: 8
            anchors.verticalCenter: parent.verticalCenter
            text: systemSettingMain.systemSettingLang[10]
            font.bold: true
        }

        DropDownList {
            id: languageList

            objectName: "languageList"
            anchors.right: parent.right
            width: 200
            description: systemSettingMain.systemSettingLang[10]
            mdItems: ListModel {
                id: languageModel
            }
            onValueChange: (index) => systemSettingMain.chooseLanguage(index)
        }
    }

    Column {
        x: 32
        y: 84
        spacing: 10

        SectionTitle {
            objectName: "speedTitle"
            text: systemSettingMain.systemSettingLang[1]
            reason: systemSettingMain.speedReason
            topPadding: 0
        }

        SliderButton {
            id: mouseSpeedSlider

            property int xPosition: 0

            objectName: "mouseSpeedSlider"
            Accessible.name: systemSettingMain.systemSettingLang[1]

            width: 352
            enabled: systemSettingMain.speedReason === ""
            opacity: enabled ? 1 : 0.4
            onValueChangeDelay: (tmpValue) => {
                xPosition = tmpValue
                systemSettingMain.saveData(true, 1)
            }
        }

        SpeedLabels {
            width: 352
            slowText: systemSettingMain.systemSettingLang[3]
            fastText: systemSettingMain.systemSettingLang[4]
        }

        SectionTitle {
            objectName: "doubleClickTitle"
            text: systemSettingMain.systemSettingLang[2]
            reason: systemSettingMain.doubleClickReason
        }

        SliderButton {
            id: doubleClickSlider

            property int xPosition: 0

            objectName: "doubleClickSlider"
            Accessible.name: systemSettingMain.systemSettingLang[2]

            width: 352
            enabled: systemSettingMain.doubleClickReason === ""
            opacity: enabled ? 1 : 0.4
            onValueChangeDelay: (tmpValue) => {
                xPosition = tmpValue
                systemSettingMain.saveData(true, 2)
            }
        }

        SpeedLabels {
            width: 352
            slowText: systemSettingMain.systemSettingLang[3]
            fastText: systemSettingMain.systemSettingLang[4]
        }

        SectionTitle {
            objectName: "scrollTitle"
            text: systemSettingMain.systemSettingLang[5]
            reason: systemSettingMain.scrollReason
        }

        Row {
            spacing: 12
            enabled: systemSettingMain.scrollReason === ""
            opacity: enabled ? 1 : 0.4

            RadioButton {
                id: rowsRadio

                objectName: "rowsRadio"
                // One group with the radio below the row.
                group: screenRadio.group
                anchors.verticalCenter: parent.verticalCenter
                index: 0
                textValue: systemSettingMain.systemSettingLang[6]
                gapValue: 8
                isSelect: true
                onBtnClick: {
                    systemSettingMain.chooseScroll(true)
                    systemSettingMain.saveData(true, 3)
                }
            }

            RectInput {
                id: lineCount

                objectName: "lineCount"
                anchors.verticalCenter: parent.verticalCenter
                description: systemSettingMain.systemSettingLang[6]
                minValue: 1
                maxValue: 100
                textValue: "1"
                txtInput.maximumLength: 3
                onInputSignal: systemSettingMain.inputStarted()
                onEndInputSignal: {
                    if (Values.toInt(textValue, 0) < 1)
                        textValue = "1"
                    systemSettingMain.saveData(true, 3)
                }
            }
        }

        RadioButton {
            id: screenRadio

            objectName: "screenRadio"
            enabled: systemSettingMain.scrollReason === ""
            opacity: enabled ? 1 : 0.4
            index: 1
            textValue: systemSettingMain.systemSettingLang[7]
            gapValue: 8
            onBtnClick: {
                systemSettingMain.chooseScroll(false)
                systemSettingMain.saveData(true, 3)
            }
        }
    }

    // A section's bold title, and on the same line why its control is off.
    component SectionTitle: Item {
        property alias text: title.text
        property alias reason: reasonText.text
        property alias topPadding: title.topPadding

        width: 352
        height: title.height

        ThemedText {
            id: title

            topPadding: 6
            font.bold: true
        }

        FittedText {
            id: reasonText

            objectName: "reason"
            anchors.right: parent.right
            anchors.baseline: title.baseline
            width: Math.min(implicitWidth, parent.width - title.width - 8)
            horizontalAlignment: Text.AlignRight
            visible: text !== ""
            color: Theme.colorGray2
            font.pixelSize: Theme.fontMinSize
        }
    }

    // Not part of the profile: the desktop's own autostart entry.
    CheckBox {
        id: autostartBox

        objectName: "autostartBox"

        x: 32
        anchors.bottom: parent.bottom
        anchors.bottomMargin: 14
        textValue: systemSettingMain.autostartLang[0]
        // Reports before it toggles; afterwards it shows what the entry
        // really is, also when it could not be written.
        onBtnClick: {
            ui_View.setStartWithDesktop(!isSelect)
            Qt.callLater(() => { autostartBox.isSelect = ui_View.getStartWithDesktop() })
        }
    }

    component SpeedLabels: Item {
        property string slowText
        property string fastText

        height: Math.max(14, childrenRect.height)

        Text {
            text: parent.slowText
            color: Theme.colorGray2
            font.family: Theme.fontFamily
            font.preferShaping: Theme.needsShaping(text)
            font.pixelSize: Theme.fontMinSize
        }

        Text {
            anchors.right: parent.right
            text: parent.fastText
            color: Theme.colorGray2
            font.family: Theme.fontFamily
            font.preferShaping: Theme.needsShaping(text)
            font.pixelSize: Theme.fontMinSize
        }
    }
}
