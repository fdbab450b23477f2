import QtQuick
import "basic/theme.js" as Theme

// The properties and signals of the scene's root (main.qml): what the
// native side and the screens read and set on it.
Item {
    // Device capabilities, language and links; initUI reads them.
    property string language: "ChineseSimplified"
    property url url: "https://skarn-config.example.org/"
    property bool isColorful: false
    property bool isGun: true
    property string icType: "553"
    property bool is55328: false
    property bool isPownOn: false
    // The window is in the tray: the backdrop holds no pictures meanwhile.
    property bool asleep: false
    property var mainLang: ["Editor", "Macro Editor", "Gun Editor", "Report Rate", "Config", "Reset",
        "Reset factory setting", "Cancel", "OK", "System setting", "Save", "Help", "Minimise", "Close",
        "Profile"]
    property bool initProfile: true
    property bool isScrollRateFocus: false
    // The active profile number (0..5).
    property int profileNo: 0
    property bool isMainShown: false
    // Texts of the notices and of the unsaved-changes question.
    property var noticeLang: ["Unsaved changes", "The changes to this profile are not saved.",
        "Save", "Discard", "Cancel",
        "The settings were not written to the mouse. Check that it is connected and try again.",
        "LOADING ......", "The mouse does not hold all of this profile yet: Save sends it.",
        "No program could open %1.",
        "The settings are still being written to the mouse; Skarn Config quits once that is done."]
    // The last notice shown (the bar shows it for a few seconds).
    property string noticeText: ""
    // What waits for the answer to the unsaved-changes question:
    // { quit: bool, profileNo: int }, or null.
    property var pendingAction: null
    // A factory reset changed the gun slots while the gun editor was not
    // built: its next closing sends them and the key table's fire periods.
    property bool gunUnsent: false
    // What had the keyboard when the panels were locked.
    property Item lockedFocus: null
    // False while no mouse is served: the window says so instead of offering
    // its panels. The native side sets it (setMouseState).
    property bool mouseConnected: true
    property string noMouseTitle: "No mouse connected"
    property string noMouseDetail: ""

    // Look.
    property string fontFamily: Theme.fontFamily
    property int fontNormalSize: Theme.fontNormalSize
    property int fontMiddleSize: Theme.fontMiddleSize
    property int fontMaxSize: Theme.fontMaxSize
    property int fontMinSize: Theme.fontMinSize
    property color fontColor: Theme.fontColor
    property color colorGray0: Theme.colorGray0
    property color colorGray1: Theme.colorGray1
    property color colorGray2: Theme.colorGray2
    property color colorGray3: Theme.colorGray3
    property color colorBlue: Theme.colorBlue
    property color colorOrange: Theme.colorOrange
    property color colorBlack: Theme.colorBlack
    property int globalSetting_size: 11
    property color globalSetting_color: "#FF00FFFF"
    property string globalSetting_fontFamily: "Arial"
    property int animation_speed: 300

    // Pictures.
    property int skin_No: 1
    property url sourceTitleLogo: "image://art/modules/img/titleLogo.svg"
    property url sourcePowerOn: Theme.skinImage(skin_No, "index", "powerOn")
    property url sourceMouse: Theme.skinImage(skin_No, "mouse", "mouse")
    property url sourceM416: Theme.gunImage("M416")
    property url sourceAKM: Theme.gunImage("AKM")
    property url sourceM16A4: Theme.gunImage("M16A4")
    property url sourceSCAR_L: Theme.gunImage("SCAR-L")
    property url sourceThomson: Theme.gunImage("Thomson")
    property url sourceUNP9: Theme.gunImage("UNP9")
    property url sourceTarget: Theme.gunImage("target")

    // Where the focus goes back to as the dialogs opened from it close,
    // innermost last: { dialog, item } pairs.
    property var focusReturns: []

    signal emptyAreaPressed()
    signal msg_KB(bool isDown, int usbCode)
    signal msg_MS(bool isDown, int mirkCode, int x, int y)
}
