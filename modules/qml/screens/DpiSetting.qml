import QtQuick
import "../common"
import "../basic/theme.js" as Theme
import "../basic/values.js" as Values
import "dpi.js" as Dpi
import "../basic/settingkeys.js" as SettingKeys

// The DPI panel: how many stages are active and the resolution of each.
// Edits only mark the panel unsaved; saveData(true) stores and sends.
Rectangle {
    id: dpiSettingMain

    property int dpiCount: 4
    property int currentDpiCount: 4
    property int minDPI: 200
    property int maxDPI: 6000
    property int dpiBase: 50
    property string sensorType: "3360"
    property var dpiValueArray: Dpi.defaultValues.slice()
    property int currentDPI: 0
    property bool isSave: false
    property var dpiSettingLang: ["DPI", "Restore defaults", "DPI stage %1: %2",
        "Number of DPI stages", "Current stage", "", "", "", "", ""]
    property alias dpiSegment: dpiSegment
    property int skinNo: 1
    readonly property int stageCount: 8

    // A press on a slider: the main scene closes its drop-downs.
    signal sliderPressed()

    function stage(i: int): Item {
        return sliders.itemAt(i)
    }

    function init(isSendData: bool, isRecovery: bool) {
        if (!isRecovery) {
            dpiCount = Values.toInt(ui_View.getData(SettingKeys.mouseDpiCount, false), dpiCount)
            currentDpiCount = Values.toInt(ui_View.getData(SettingKeys.mouseCurrentDpiCount, false),
                                           currentDpiCount)
            const min = Values.toInt(ui_View.getGlobalData(SettingKeys.mouseMinDPI), minDPI)
            const max = Values.toInt(ui_View.getGlobalData(SettingKeys.mouseMaxDPI), maxDPI)
            if (min < max) {
                minDPI = min
                maxDPI = max
            }
            sensorType = Values.toText(ui_View.getGlobalData(SettingKeys.mouseSensorType),
                                       sensorType)
            const base = Values.toInt(ui_View.getGlobalData(SettingKeys.mouseDpiBase), dpiBase)
            if (base > 0)
                dpiBase = base
        }
        dpiValueArray = storedValues(isRecovery)
        if (dpiCount > stageCount)
            return
        if (dpiCount < 1)
            dpiCount = 1
        currentDpiCount = Values.clamp(currentDpiCount, 1, dpiCount)
        if (!isRecovery) {
            fillSegmentRows()
            dpiSegment.currentSelect = currentDpiCount - 1
            dpiSegment.closeMenu()
        }
        for (let i = 0; i < stageCount; ++i)
            stage(i).slider.setRatioValue(Dpi.ratioOf(dpiValueArray[i], minDPI, maxDPI))
        if (isSendData)
            saveData(true)
    }

    // The stored stage values as the panel shows and sends them: a missing
    // or unreadable one is the stage's default, one outside the sensor's
    // range the nearest end. The command line's status reads them too.
    function storedValues(isRecovery: bool): var {
        return Values.intList(ui_View.getDataList(SettingKeys.mouseDpiValueArray, isRecovery),
                              Dpi.defaultValues)
            .map((value) => Values.clamp(value, minDPI, maxDPI))
    }

    function saveData(isSendData: bool) {
        const list = []
        for (let i = 0; i < stageCount; ++i)
            list.push(Values.toInt(stage(i).dpiValue, 0))
        ui_View.setDataList(SettingKeys.mouseDpiValueArray, list)
        ui_View.setData(SettingKeys.mouseCurrentDpiCount, currentDpiCount)
        if (!isSendData)
            return
        ui_View.mouseSetDpi(currentDpiCount, sensorType, list)
        // A mouse left on a stage that is no longer active is moved to the
        // last one left, so the panel and the mouse agree on one that shows.
        if (currentDPI >= currentDpiCount) {
            ui_View.mouseSetCurrentDPI(currentDpiCount)
            currentDPI = currentDpiCount - 1
        }
    }

    function chooseStageCount(row: int) {
        currentDpiCount = row + 1
        isSave = true
    }

    function resetValues() {
        init(false, true)
        isSave = true
    }

    // The stage-count list offers 1..dpiCount.
    function fillSegmentRows() {
        segmentModel.clear()
        for (let i = 1; i <= dpiCount; ++i)
            segmentModel.append({ textValue: String(i) })
    }

    function valueAt(position: real): int {
        return Dpi.valueOf(position, minDPI, maxDPI, dpiBase)
    }

    width: 232
    height: 252
    color: Theme.colorBlack

    ThemedText {
        id: title

        x: 8
        y: 8
        text: dpiSettingMain.dpiSettingLang[0]
        font.pixelSize: Theme.fontMiddleSize
        font.bold: true
    }

    // Declared first: the Tab order follows the declarations, and the
    // drop-down comes first in reading order.
    DropDownList {
        id: dpiSegment

        objectName: "stageCountList"

        anchors.right: resetMark.left
        anchors.rightMargin: 12
        y: 4
        width: 56
        z: 1
        description: dpiSettingMain.dpiSettingLang[3]
        mdItems: ListModel {
            id: segmentModel
        }
        onValueChange: (index) => dpiSettingMain.chooseStageCount(index)
        Component.onCompleted: {
            for (let i = 1; i <= dpiSettingMain.stageCount; ++i)
                segmentModel.append({ textValue: String(i) })
        }
    }

    ImageButton {
        id: resetMark

        objectName: "resetMark"
        anchors.right: parent.right
        anchors.rightMargin: 8
        anchors.verticalCenter: title.verticalCenter
        normalSource: Theme.skinImage(dpiSettingMain.skinNo, "index", "back")
        hoverSource: Theme.skinImage(dpiSettingMain.skinNo, "index", "backHover")
        description: dpiSettingMain.dpiSettingLang[1]
        onClicked: dpiSettingMain.resetValues()
    }

    Row {
        id: stageRow

        x: 8
        y: 44
        width: parent.width - 16

        Repeater {
            id: sliders

            model: dpiSettingMain.stageCount

            // qmllint disable unqualified
            delegate: Item {
                id: stageItem

                required property int index
                property string dpiValue: "2000"
                property alias slider: slider

                width: stageRow.width / Math.max(1, dpiSettingMain.currentDpiCount)
                height: 200
                visible: index < dpiSettingMain.currentDpiCount

                Item {
                    anchors.horizontalCenter: parent.horizontalCenter
                    width: 12
                    height: 176

                    SliderButton {
                        id: slider

                        anchors.centerIn: parent
                        width: 176
                        rotation: -90
                        Accessible.name: String(dpiSettingMain.dpiSettingLang[2]).arg(stageItem.index + 1)
                                                                 .arg(stageItem.dpiValue)
                        // The name says the DPI (a percentage of the travel would only
                        // add noise); the orange of the current stage is said in words.
                        Accessible.description: stageItem.index === dpiSettingMain.currentDPI
                                                ? dpiSettingMain.dpiSettingLang[4] : ""
                        colorS: stageItem.index === dpiSettingMain.currentDPI
                                ? Theme.colorOrange : Theme.colorBlue
                        onValueChange: (tmpValue) => {
                            stageItem.dpiValue = String(dpiSettingMain.valueAt(tmpValue))
                        }
                        onValueChangeDelay: (tmpValue) => {
                            stageItem.dpiValue = String(dpiSettingMain.valueAt(tmpValue))
                            dpiSettingMain.isSave = true
                        }
                        onBtnClick: dpiSettingMain.sliderPressed()
                    }
                }

                Text {
                    anchors.horizontalCenter: parent.horizontalCenter
                    y: 184
                    text: stageItem.dpiValue
                    color: stageItem.index === dpiSettingMain.currentDPI
                           ? Theme.colorOrange : Theme.fontColor
                    font.family: Theme.fontFamily
                    font.preferShaping: Theme.needsShaping(text)
                    font.pixelSize: Theme.fontMinSize
                }
            }
            // qmllint enable unqualified
        }
    }
}
