import QtQuick
import "basic"
import "common"
import "screens"
import "dialogs.js" as Dialogs
import "mainlogic.js" as Logic

// The root of the scene: the 1024 x 640 surface of the main window (its
// properties and signals in SceneState). It starts the screens, shows what
// the session does (mainlogic.js: its sequences run on the native side),
// locks the panels while it sends, drags the window, and places the title
// bar, the panels, the bottom bar and the dialogs. The dialogs are built when
// first opened and released when the window goes to the tray.
SceneState {
    id: mainWindow

    // The screens' own edits, not yet saved.
    readonly property bool hasUnsavedEdits: leftPanel.keyMatrix.isSave === true
                                            || rightPanel.dpiSetting.isSave
                                            || rightPanel.lightControl.isSave === true
    // Also what the mouse lacks of the stored profile: Save sends it.
    readonly property bool hasUnsavedChanges: ui_View.profileUnsent || hasUnsavedEdits
    // The session sends (or the start-up waits for the mouse): the panels
    // and dialogs take no edits meanwhile; the title bar stays usable.
    readonly property bool locked: protectTimer.running || ui_View.busy

    // A field or the recorder waits for keys: only then does the native side
    // watch the keyboard and buttons at all.
    readonly property bool isCapturing: keyAssigment !== null && keyAssigment.visible
                                        && (keyAssigment.isFireInput || keyAssigment.isComboInput)
                                        || macroEditor !== null && macroEditor.visible
                                        && (macroEditor.isInputting || macroEditor.isInsertting)

    // The dialogs that are built, else null (untyped: their types load
    // with their first opening).
    readonly property var keyAssigment: dialogs.keyAssigment
    readonly property var macroEditor: dialogs.macroEditor
    readonly property var gunControl: dialogs.gunControl

    // The root, its screens and the native objects, for mainlogic.js.
    readonly property var screens: ({
        main: mainWindow, log: sceneLog, view: ui_View, ctl: ui_Ctl,
        keyMatrix: leftPanel.keyMatrix, reportRate: leftPanel.reportRate,
        dpi: rightPanel.dpiSetting, light: rightPanel.lightControl, keys: keyAssigment,
        mouse: mouseMain, macro: macroEditor, gun: gunControl, system: dialogs.systemSetting,
        profile: dialogs.profileManager, profiles: sharedProfiles, menuUp: menuUp,
        helpMenu: dialogs.helpMenu, keyNames: keyNaming, mask: mask,
        resetConfirm: dialogs.resetConfirm, unsavedPrompt: dialogs.unsavedPrompt, busy: busyIndicator,
        powerOn: powerOnPicture, loaders: dialogs.loaders
    })

    onIsCapturingChanged: ui_View.setCaptureActive(isCapturing)
    onHasUnsavedEditsChanged: ui_View.setUnsavedEdits(hasUnsavedEdits)
    onLockedChanged: Logic.lockChanged(screens, locked, Window.activeFocusItem)

    // --- Called by the native side ---

    function initUI() {
        Logic.initUI(screens)
    }

    function run() {
        Logic.run(screens, protectTimer)
    }

    function setMouseState(connected: bool, title: string, detail: string) {
        Logic.setMouseState(screens, connected, title, detail)
    }

    function setProtectUI(interval: int) {
        Logic.setProtectUI(protectTimer, interval)
    }

    function setCurrentDPI(dpiValue: int) {
        if (dpiValue !== 0)
            rightPanel.dpiSetting.currentDPI = dpiValue - 1
    }

    function detectKeyboard(isDown: bool, usbCode: int) {
        msg_KB(isDown, usbCode)
    }

    function detectMouse(isDown: bool, mirkCode: int, x: int, y: int) {
        msg_MS(isDown, mirkCode, x, y)
    }

    // Shows `text` in the notice bar for a few seconds (the tray tells it
    // instead while the window is hidden or not in use).
    function showNotice(text: string) {
        noticeText = text
        noticeBar.show()
    }

    // Switches to profile `profileNo` as the title-bar switcher does, asking
    // first what to do with unsaved changes.
    function requestProfileSwitch(profileNo: int) {
        Logic.requestProfileSwitch(screens, profileNo)
    }

    // Ends the program, asking first what to do with unsaved changes.
    function requestQuit() {
        Logic.askAboutUnsavedChanges(screens, { quit: true, profileNo: -1 })
    }

    // The window went to the tray: nothing waits for keys any more, and the
    // closed dialogs and the backdrop's pictures are released until needed.
    function endCaptures() {
        Dialogs.endCaptures(screens)
        Dialogs.releaseClosedDialogs(screens)
        asleep = true
    }

    // The window is shown again.
    function wake() {
        asleep = false
    }

    // --- Used inside the scene and by its dialogs ---

    function factoryReset() {
        Logic.factoryReset(screens)
    }

    function answerUnsavedChanges(answer: int) {
        Logic.answerUnsavedChanges(screens, answer)
    }

    function deleteMacro(macroName: string) {
        Logic.deleteMacro(screens, macroName)
    }

    function modifyMacroName(newMacroName: string) {
        leftPanel.keyMatrix.renameMacro(newMacroName)
    }

    // An edited macro goes again to every slot a button plays it from.
    function modifyMacroData(macroName: string) {
        ui_View.sendMacroSlots(leftPanel.keyMatrix.src64(), String(macroName))
    }

    function mainFocus() {
        Dialogs.mainFocus(screens)
    }

    function unlock() {
        Logic.unlock(screens)
    }

    // The dialog of `loader` (a Loader), built on first use. A list in the
    // new dialog can take the focus as it is built; it goes back, so that
    // the dialog's opener stays where the focus returns.
    function built(loader: Item): Item {
        const dialogLoader = loader as Loader
        const window = Window.window
        const focused = window ? window.activeFocusItem : null
        dialogLoader.active = true
        if (focused && window.activeFocusItem !== focused)
            focused.forceActiveFocus()
        return dialogLoader.item as Item
    }

    // Shows the dialog of `loader` centred over the mask, with the keyboard.
    function openDialog(loader: Item) {
        Dialogs.openDialog(screens, built(loader))
    }

    // The dialog takes the keyboard; the focus goes back where it was when
    // the dialog closes (releaseMask).
    function takeDialogFocus(dialog: Item) {
        const window = Window.window
        focusReturns.push({ dialog: dialog, item: window ? window.activeFocusItem : null })
        dialog.forceActiveFocus(Qt.PopupFocusReason)
    }

    // The button assignment dialog for button `index`, over the mask.
    function showKeyAssigment(index: int) {
        Dialogs.showKeyAssigment(screens, built(dialogs.loaders.keys), index)
    }

    function releaseMask() {
        Dialogs.releaseMask(screens)
    }

    width: 1024
    height: 640
    visible: false
    Keys.onEscapePressed: (event) => { event.accepted = Dialogs.closeTopDialog(screens) }
    Keys.onTabPressed: (event) => { event.accepted = Dialogs.tabIntoDialog(Window.activeFocusItem, true) }
    Keys.onBacktabPressed: (event) => {
        event.accepted = Dialogs.tabIntoDialog(Window.activeFocusItem, false)
    }

    onMsg_KB: (isDown, usbCode) => Dialogs.routeKey(screens, isDown, usbCode)

    // Filtered with the program's own lines: debug only with --verbose.
    LoggingCategory {
        id: sceneLog

        name: "skarn.scene"
        defaultLogLevel: LoggingCategory.Info
    }

    KeyNaming {
        id: keyNaming
        objectName: "keyNames"
    }

    // The profile list the switcher, the manager and the command line share.
    ProfileList {
        id: sharedProfiles
        objectName: "profiles"
        profileNo: mainWindow.profileNo
        onProfilesChanged: menuUp.markProfile(mainWindow.profileNo)
    }

    Timer {
        id: protectTimer

        interval: 1000
        repeat: false
        onTriggered: mainWindow.unlock()
    }

    // Window dragging: below every other item.
    WindowDrag {
        id: dragArea

        anchors.fill: parent
        onDragStarted: {
            mainWindow.emptyAreaPressed()
            mainWindow.mainFocus()
        }
    }

    Environment {
        id: environment

        visible: mainWindow.isMainShown
        sourceTitleLogo: mainWindow.asleep ? "" : mainWindow.sourceTitleLogo
    }

    Image {
        id: powerOnPicture
        objectName: "powerOnPicture"
        anchors.centerIn: parent
        // Shown only while the program starts: its decoded picture goes
        // when it hides, not kept in the image cache either. The window
        // mostly shows once the start is over: the picture is only decoded
        // if the window is on screen before that.
        cache: false
        source: visible && Window.window !== null && Window.window.visible
                ? mainWindow.sourcePowerOn : ""
    }

    // The title bar's controls come first in the Tab order, as they are
    // read first.
    Menu_Up {
        id: menuUp

        objectName: "menuUp"

        x: 920
        y: 16
        z: 2
        visible: mainWindow.isMainShown
        skinNo: mainWindow.skin_No
        texts: mainWindow.mainLang
        profileModel: sharedProfiles.model
        profilesEnabled: mainWindow.mouseConnected
        onHelpClick: Dialogs.toggleHelpMenu(mainWindow.screens, dialogs.loaders.help)
        onMinimizeClick: ui_Ctl.onMinimize()
        onCloseClick: ui_Ctl.onClose()
        onProfileChosen: (profileNo) => mainWindow.requestProfileSwitch(profileNo)
    }

    // The mouse picture with its button call-outs (button assignment).
    Mouse {
        id: mouseMain
        objectName: "mouseMain"
        anchors.fill: parent
        visible: mainWindow.isMainShown
        skinNo: mainWindow.skin_No
        asleep: mainWindow.asleep
        keyMatrix: leftPanel.keyMatrix
        onBtnClick: mainWindow.mainFocus()
        onOpenKey: (index) => mainWindow.showKeyAssigment(index)
    }

    LeftPanel {
        id: leftPanel
        objectName: "leftPanel"
        x: 24
        y: 88
        visible: mainWindow.isMainShown
        enabled: mainWindow.mouseConnected && !mainWindow.locked
        skinNo: mainWindow.skin_No
        isGun: mainWindow.isGun
        mainLang: mainWindow.mainLang
        mousePicture: mouseMain
        keyNames: keyNaming
        assigning: mainWindow.keyAssigment !== null && mainWindow.keyAssigment.visible
        onOpenKey: (index) => mainWindow.showKeyAssigment(index)
        onMacroEditorClicked: mainWindow.openDialog(dialogs.loaders.macro)
        onGunEditorClicked: mainWindow.openDialog(dialogs.loaders.gun)
        onSystemSettingClicked: mainWindow.openDialog(dialogs.loaders.system)
    }

    RightPanel {
        id: rightPanel

        x: 768
        y: 56
        visible: mainWindow.isMainShown
        enabled: mainWindow.mouseConnected && !mainWindow.locked
        skinNo: mainWindow.skin_No
        isColorful: mainWindow.isColorful
        is55328: mainWindow.is55328
        onSliderPressed: mainWindow.mainFocus()
    }

    BottomBar {
        anchors.right: parent.right
        anchors.rightMargin: 24
        anchors.bottom: parent.bottom
        anchors.bottomMargin: 8
        visible: mainWindow.isMainShown
        enabled: mainWindow.mouseConnected && !mainWindow.locked
        mainLang: mainWindow.mainLang
        unsaved: mainWindow.hasUnsavedChanges
        unsavedText: mainWindow.noticeLang[0]
        onConfigClicked: mainWindow.openDialog(dialogs.loaders.profile)
        onResetClicked: mainWindow.openDialog(dialogs.loaders.reset)
        onSaveClicked: Logic.saveChanges(mainWindow.screens, null)
    }

    // Notices from anywhere (ui_View.notifyUser) show in the notice bar;
    // what the session did, wherever it was asked for, shows on the screens.
    Connections {
        target: ui_View

        function onUserNotice(text) {
            mainWindow.showNotice(text)
        }
        function onProfileChanged(number) {
            Logic.profileShown(mainWindow.screens, number)
        }
        function onProfileReloaded() {
            Logic.profileShown(mainWindow.screens, mainWindow.profileNo)
        }
        function onProfileUnsentChanged() {
            if (ui_View.profileUnsent)
                Logic.markUnsaved(mainWindow.screens)
        }
        function onReportRateChanged(row) {
            leftPanel.reportRate.show(row)
        }
        function onDpiStageChanged() {
            mainWindow.setCurrentDPI(ui_View.dpiStage)
        }
        function onGunPresetsReset() {
            Logic.gunPresetsReset(mainWindow.screens)
        }
        function onProfileListChanged() {
            sharedProfiles.init()
        }
        function onProfileSwitchRequested(number) {
            mainWindow.requestProfileSwitch(number)
        }
        function onQuitRequested() {
            mainWindow.requestQuit()
        }
        function onLanguageChanged() {
            Logic.relabel(mainWindow.screens)
        }
    }

    NoMousePanel {
        id: noMousePanel

        visible: !mainWindow.mouseConnected
        title: mainWindow.noMouseTitle
        detail: mainWindow.noMouseDetail
    }

    // Behind every dialog; a press hands the focus back to the open dialog.
    DialogMask {
        id: mask
        objectName: "mask"
        anchors.fill: parent
        z: 10
        visible: false
        onMaskPressed: Dialogs.maskPressed(mainWindow.screens)
    }

    // The dialogs, centred over the mask when opened.
    SceneDialogs {
        id: dialogs

        anchors.fill: parent
        z: 11
        enabled: !mainWindow.locked
        screens: mainWindow.screens
        scene: mainWindow
        keyMatrix: leftPanel.keyMatrix
        mousePicture: mouseMain
        keyNames: keyNaming
        profiles: sharedProfiles
    }

    NoticeBar {
        id: noticeBar

        text: mainWindow.noticeText
    }

    BusyIndicator {
        id: busyIndicator
        objectName: "busyIndicator"
        visible: mainWindow.locked
        text: String(mainWindow.noticeLang[6] || qsTr("LOADING ......"))
    }

    FocusRing {
        objectName: "focusRing"
        focused: mainWindow.Window.activeFocusItem
    }
}
