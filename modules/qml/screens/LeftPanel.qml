import QtQuick
import "../basic"
import "../common"

// The left panel: the key table, the editors box, the report rate and the
// system-settings button.
Column {
    id: leftPanel

    property int skinNo: 1
    property bool isGun: true
    property var mainLang: []
    property Mouse mousePicture: null
    property KeyNaming keyNames: null
    // The button assignment dialog is open.
    property bool assigning: false
    property alias keyMatrix: keyMatrixMain
    property alias reportRate: reportRateMain

    signal openKey(int index)
    signal macroEditorClicked()
    signal gunEditorClicked()
    signal systemSettingClicked()

    spacing: 8

    // The key table panel (button assignment).
    KeyMatrix {
        id: keyMatrixMain

        objectName: "keyMatrixMain"

        skinNo: leftPanel.skinNo
        mousePicture: leftPanel.mousePicture
        keyNames: leftPanel.keyNames
        assigning: leftPanel.assigning
        onOpenKey: (index) => leftPanel.openKey(index)
    }

    EditorBox {
        id: editorBox

        isGun: leftPanel.isGun
        title: leftPanel.mainLang[0]
        macroText: leftPanel.mainLang[1]
        gunText: leftPanel.mainLang[2]
        onMacroEditorClicked: leftPanel.macroEditorClicked()
        onGunEditorClicked: leftPanel.gunEditorClicked()
    }

    ReportRate {
        id: reportRateMain

        objectName: "reportRateMain"

        z: 1
        caption: leftPanel.mainLang[3]
    }

    TextButton {
        id: systemSettingButton

        objectName: "systemSettingButton"

        width: 232
        textValue: leftPanel.mainLang[9]
        bold: true
        onClicked: leftPanel.systemSettingClicked()
    }
}
