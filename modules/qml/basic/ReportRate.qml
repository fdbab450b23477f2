import QtQuick
import "../common"
import "theme.js" as Theme
import "reportrate.js" as ReportRateCodes

// The report-rate box of the left panel. A row chosen goes to the mouse and,
// once the mouse has taken it, into the profile.
Rectangle {
    id: reportRate

    property string caption: "Report Rate"
    // Last row that reads as valid: a damaged profile falls back to it.
    readonly property int defaultRow: 3

    // Shows row `row` (0 to 3; any other the last).
    function show(row: int) {
        rateList.currentSelect = row >= 0 && row < ReportRateCodes.rows.length ? row : defaultRow
    }

    // A rate the mouse did not take goes back to the stored one, which the
    // mouse has (the user is told).
    function choose(row: int) {
        ui_View.chooseReportRate(row, (ok) => {
            if (!ok)
                show(ui_View.profileSettings(false).reportRate)
        })
    }

    function closeMenu() {
        rateList.closeMenu()
    }

    width: 232
    height: 42
    color: Theme.colorBlack

    FittedText {
        anchors.left: parent.left
        anchors.leftMargin: 8
        anchors.right: rateList.left
        anchors.rightMargin: 8
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
