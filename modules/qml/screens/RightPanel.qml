import QtQuick

// The right panel: the DPI screen above the lighting screen.
Column {
    id: rightPanel

    property int skinNo: 1
    property bool isColorful: false
    property bool is55328: false
    property alias dpiSetting: dpiSettingMain
    property alias lightControl: lightControlMain

    signal sliderPressed()

    spacing: 8

    DpiSetting {
        id: dpiSettingMain

        objectName: "dpiSettingMain"

        z: 1
        skinNo: rightPanel.skinNo
        onSliderPressed: rightPanel.sliderPressed()
    }

    // The lighting panel.
    LightControl {
        id: lightControlMain

        objectName: "lightControlMain"

        skinNo: rightPanel.skinNo
        isColorful: rightPanel.isColorful
        is55328: rightPanel.is55328
        dpiCount: dpiSettingMain.dpiCount
    }
}
