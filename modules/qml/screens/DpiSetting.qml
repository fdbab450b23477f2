import QtQuick
import "../common"
import "../basic/theme.js" as Theme
import "../basic/values.js" as Values
import "dpi.js" as Dpi

// The DPI panel: how many stages are active and the resolution of each.
// Edits only mark the panel unsaved; Save stores and sends saveValues().
Rectangle {
    id: dpiSettingMain

    property int dpiCount: 4
    property int currentDpiCount: 4
    property int minDPI: 200
    property int maxDPI: 6000
    property int dpiBase: 50
    property string sensorType: "3360"
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

    // Shows the stored stages `dpi` as the session reads them; a stage
    // count the panel cannot show leaves it as it was.
    function load(dpi: var) {
        if (!dpi.shown)
            return
        dpiCount = dpi.count
        currentDpiCount = dpi.active
        minDPI = dpi.min
        maxDPI = dpi.max
        sensorType = dpi.sensor
        dpiBase = dpi.base
        fillSegmentRows()
        dpiSegment.currentSelect = currentDpiCount - 1
        dpiSegment.closeMenu()
        showValues(dpi.values)
    }

    function showValues(values: var) {
        for (let i = 0; i < stageCount; ++i)
            stage(i).slider.setRatioValue(Dpi.ratioOf(values[i], minDPI, maxDPI))
    }

    // What Save stores and sends: the active stage count and every stage's
    // value as its slider reads it.
    function saveValues(): var {
        const values = []
        for (let i = 0; i < stageCount; ++i)
            values.push(Values.toInt(stage(i).dpiValue, 0))
        return { active: currentDpiCount, values: values }
    }

    function chooseStageCount(row: int) {
        currentDpiCount = row + 1
        isSave = true
    }

    // The factory profile's values, within this sensor's range.
    function resetValues() {
        showValues(ui_View.profileSettings(true).dpi.values.map((value) =>
                                                               Values.clamp(value, minDPI, maxDPI)))
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
