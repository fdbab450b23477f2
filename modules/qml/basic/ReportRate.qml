import QtQuick
import "../common"
import "theme.js" as Theme
import "reportrate.js" as ReportRateCodes
import "values.js" as Values
import "settingkeys.js" as SettingKeys

// The report-rate box of the left panel. Choosing a row stores it in the
// profile and sends its code to the mouse.
Rectangle {
    id: reportRate

    property string caption: "Report Rate"
    // Last row that reads as valid: a damaged profile falls back to it.
    readonly property int defaultRow: 3

    signal sending(bool isBusy)
    // A chosen rate did not reach the mouse; the box shows the old one again.
    signal notWritten()

    function init(isSendData: bool) {
        const row = Values.toInt(ui_View.getData(SettingKeys.mouseReportRate, false), defaultRow)
        rateList.currentSelect = row >= 0 && row < ReportRateCodes.rows.length ? row : defaultRow
        if (isSendData)
            ui_View.mouseSetReportRate(ReportRateCodes.codeOf(rateList.currentSelect))
    }

    // Stored once the mouse has taken it; a rate it did not take goes back
    // to the stored one.
    function choose(row: int) {
        const failures = ui_View.deviceFailureCount()
        sending(true)
        try {
            ui_View.mouseSetReportRate(ReportRateCodes.codeOf(row))
        } finally {
            sending(false)
        }
        if (ui_View.deviceFailureCount() === failures) {
            ui_View.setData(SettingKeys.mouseReportRate, row)
            return
        }
        init(false)
        notWritten()
    }

    function closeMenu() {
        rateList.closeMenu()
    }

    width: 232
    height: 42
    color: Theme.colorBlack

    ThemedText {
        anchors.left: parent.left
        anchors.leftMargin: 8
        anchors.verticalCenter: parent.verticalCenter
        text: reportRate.caption
    }

    DropDownList {
        id: rateList

        objectName: "rateList"
        // Screen readers read the caption as its name, the rate as its value.
        description: reportRate.caption
        anchors.right: parent.right
        anchors.rightMargin: 8
        y: (parent.height - height) / 2
        width: 120
        mdItems: ListModel {
            id: rateModel
        }
        onValueChange: (index) => reportRate.choose(index)
        Component.onCompleted: {
            for (const row of ReportRateCodes.rows)
                rateModel.append({ textValue: row })
        }
    }
}
