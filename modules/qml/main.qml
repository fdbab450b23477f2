import QtQuick
import "basic"
import "common"
import "screens"
import "basic/values.js" as Values
import "mainlogic.js" as Logic

// The root of the scene: the 1024 x 640 surface of the main window (its
// properties and signals in SceneState). It runs the start-up sequence and
// the input lock (the sequences themselves in mainlogic.js), window dragging,
// and places the title bar, the panels, the bottom bar and the dialogs.
SceneState {
    id: mainWindow

    readonly property bool hasUnsavedChanges: leftPanel.keyMatrix.isSave === true
                                              || rightPanel.dpiSetting.isSave
                                              || rightPanel.lightControl.isSave === true

    // A field or the recorder waits for keys: only then does the native side
    // watch the keyboard and buttons at all.
    readonly property bool isCapturing: keyAssigmentMain.visible
                                        && (keyAssigmentMain.isFireInput
                                            || keyAssigmentMain.isComboInput)
                                        || macroEditorMain.visible
                                        && (macroEditorMain.isInputting
                                            || macroEditorMain.isInsertting)

    // The root, its screens and the native objects, for mainlogic.js.
    readonly property var screens: ({
        main: mainWindow, log: sceneLog, view: ui_View, ctl: ui_Ctl, hid: () => hid,
        keyMatrix: leftPanel.keyMatrix, reportRate: leftPanel.reportRate,
        dpi: rightPanel.dpiSetting, light: rightPanel.lightControl, keys: keyAssigmentMain,
        mouse: mouseMain, macro: macroEditorMain, gun: gunControlMain, system: systemSettingMain,
        profile: profileMain, menuUp: menuUp, helpMenu: helpMenu, keyNames: _KeyCodeString,
        mask: mask, resetConfirm: resetConfirm, unsavedPrompt: unsavedPrompt
    })

    onIsCapturingChanged: ui_View.setCaptureActive(isCapturing)

    // --- Called by the native side ---

    function initUI() {
        setProtectUI(1000)
        visible = true
        if (!isPownOn) {
            Logic.firstStart(screens)
            isPownOn = true
        } else {
            Logic.checkDeviceProfile(screens)
        }
        Logic.runStep(screens, "current DPI stage", () => {
            const dpi = rightPanel.dpiSetting
            dpi.currentDPI = Values.toInt(ui_View.mouseGetCurrentDPI(), dpi.currentDPI + 1) - 1
        })
    }

    function run() {
        // Comes after initUI's exchanges with the mouse have ended: the
        // start-up lock has nothing left to protect.
        if (protectTimer.running) {
            protectTimer.stop()
            unlock()
        }
    }

    function setMouseState(connected: bool, title: string, detail: string) {
        mouseConnected = connected
        noMouseTitle = title
        noMouseDetail = detail
        if (!connected)
            visible = true
    }

    function setProtectUI(interval: int) {
        busyIndicator.visible = true
        ui_View.setEnabled(false)
        // A zero-length timer would fire at once; one millisecond unlocks at
        // the next turn of the event loop.
        protectTimer.interval = Math.max(1, interval)
        protectTimer.restart()
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

    // Shows `text` in the notice bar for a few seconds (ui_View.notifyUser
    // also puts it in the tray).
    function showNotice(text: string) {
        noticeText = text
        noticeBar.show()
    }

    // Switches to profile `profileNo` as the title-bar switcher does, asking
    // first what to do with unsaved changes.
    function requestProfileSwitch(profileNo: int) {
        if (profileNo === mainWindow.profileNo)
            menuUp.markProfile(profileNo)
        else
            Logic.askAboutUnsavedChanges(screens, { quit: false, profileNo: profileNo })
    }

    // Ends the program, asking first what to do with unsaved changes.
    function requestQuit() {
        Logic.askAboutUnsavedChanges(screens, { quit: true, profileNo: -1 })
    }

    // The window went to the tray: nothing waits for keys any more.
    function endCaptures() {
        Logic.endCaptures(screens)
    }

    function controlUIEnable(isEnable: bool) {
        busyIndicator.visible = !isEnable
        ui_View.setEnabled(isEnable)
    }

    function reloadAndSend() {
        Logic.reloadAndSend(screens)
    }

    function changeProfile(tmpProfileNo: int) {
        Logic.changeProfile(screens, tmpProfileNo)
    }

    function factoryReset() {
        Logic.factoryReset(screens)
    }

    // 0 Save, 1 Discard, 2 Cancel.
    function answerUnsavedChanges(answer: int) {
        Logic.answerUnsavedChanges(screens, answer)
    }

    // --- Used inside the scene ---

    function mainFocus() {
        leftPanel.reportRate.closeMenu()
        rightPanel.dpiSetting.dpiSegment.closeMenu()
        menuUp.closeMenu()
        helpMenu.visible = false
        rightPanel.lightControl.lightModel.closeMenu()
    }

    function askMenuCmd(cmd: int) {
        if (cmd === 0)
            Qt.openUrlExternally(url)
    }

    function unlock() {
        ui_View.setEnabled(true)
        busyIndicator.visible = false
        if (powerOnPicture.visible) {
            powerOnPicture.visible = false
            isMainShown = true
        }
    }

    // Shows `dialog` centred over the mask.
    function showCentred(dialog: Item) {
        mainFocus()
        dialog.x = (width - dialog.width) / 2
        dialog.y = (height - dialog.height) / 2
        mask.visible = true
        dialog.visible = true
    }

    function openDialog(dialog: Item) {
        showCentred(dialog)
        takeDialogFocus(dialog)
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
        mainFocus()
        mask.visible = true
        keyAssigmentMain.show(index)
        if (keyAssigmentMain.visible)
            takeDialogFocus(keyAssigmentMain)
    }

    function openMacroEditorOverKeyAssigment() {
        keyAssigmentMain.keyAssigmentFocus()
        macroEditorMain.z = keyAssigmentMain.z + 1
        openDialog(macroEditorMain)
    }

    function releaseMask() {
        Logic.releaseMask(screens)
    }

    width: 1024
    height: 640
    visible: false
    Keys.onEscapePressed: (event) => { event.accepted = Logic.closeTopDialog(screens) }
    Keys.onTabPressed: (event) => { event.accepted = Logic.tabIntoDialog(Window.activeFocusItem, true) }
    Keys.onBacktabPressed: (event) => {
        event.accepted = Logic.tabIntoDialog(Window.activeFocusItem, false)
    }

    onMsg_KB: (isDown, usbCode) => Logic.routeKey(screens, isDown, usbCode)

    // Filtered with the program's own lines: debug only with --verbose.
    LoggingCategory {
        id: sceneLog

        name: "skarn.scene"
        defaultLogLevel: LoggingCategory.Info
    }

    KeyCodeString {
        id: _KeyCodeString
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
        sourceBackground: mainWindow.sourceBackground
        sourceTitleBar: mainWindow.sourceTitleBar
        sourceTitleLogo: mainWindow.sourceTitleLogo
    }

    Image {
        id: powerOnPicture

        objectName: "powerOnPicture"

        anchors.centerIn: parent
        source: mainWindow.sourcePowerOn
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
        profileModel: profileMain.profileDataModel0
        profilesEnabled: mainWindow.mouseConnected
        onHelpClick: {
            const open = !helpMenu.visible
            mainWindow.mainFocus()
            helpMenu.visible = open
        }
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
        enabled: mainWindow.mouseConnected
        skinNo: mainWindow.skin_No
        isGun: mainWindow.isGun
        mainLang: mainWindow.mainLang
        mousePicture: mouseMain
        keyAssigment: keyAssigmentMain
        macroEditor: macroEditorMain
        gunControl: gunControlMain
        onOpenKey: (index) => mainWindow.showKeyAssigment(index)
        onMacroEditorClicked: mainWindow.openDialog(macroEditorMain)
        onGunEditorClicked: mainWindow.openDialog(gunControlMain)
        onSystemSettingClicked: mainWindow.openDialog(systemSettingMain)
        onSending: (isBusy) => mainWindow.controlUIEnable(!isBusy)
    }

    RightPanel {
        id: rightPanel

        x: 768
        y: 56
        visible: mainWindow.isMainShown
        enabled: mainWindow.mouseConnected
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
        enabled: mainWindow.mouseConnected
        mainLang: mainWindow.mainLang
        unsaved: mainWindow.hasUnsavedChanges
        onConfigClicked: mainWindow.openDialog(profileMain)
        onResetClicked: mainWindow.openDialog(resetConfirm)
        onSaveClicked: Logic.saveChanges(mainWindow.screens)
    }

    // Notices from anywhere (ui_View.notifyUser) show in the notice bar.
    Connections {
        target: ui_View

        function onUserNotice(text) {
            mainWindow.showNotice(text)
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
        onMaskPressed: {
            macroEditorMain.macroEditorFocus()
            profileMain.profileFocus()
            gunControlMain.gunControlFocus()
            rightPanel.lightControl.lightControlFocus()
            systemSettingMain.systemSettingFocus()
        }
    }

    // The dialogs, centred over the mask when opened.
    MacroEditor {
        id: macroEditorMain
        objectName: "macroEditorMain"

        z: 11
        visible: false
        skinNo: mainWindow.skin_No
        keyNames: _KeyCodeString
        onDeleteMacro: (macroName) => Logic.deleteMacro(mainWindow.screens, macroName)
        onModifyMacroName: (oldMacroName, newMacroName) => {
            Logic.modifyMacroName(mainWindow.screens, newMacroName)
        }
        onModifyMacroData: (macroName) => Logic.modifyMacroData(mainWindow.screens, macroName)
        onMacroNamesChanged: (names) => {
            keyAssigmentMain.macroList.addData(names, true)
        }
        onClosed: {
            mainWindow.releaseMask()
            keyAssigmentMain.macroList.closeMenu()
        }
    }

    GunControl {
        id: gunControlMain
        objectName: "gunControlMain"

        z: 11
        visible: false
        skinNo: mainWindow.skin_No
        onClosed: mainWindow.releaseMask()
        onFirePeriodsChanged: leftPanel.keyMatrix.modKeys.saveData()
    }

    SystemSetting {
        id: systemSettingMain

        objectName: "systemSettingMain"

        z: 11
        visible: false
        skinNo: mainWindow.skin_No
        onInputStarted: mainWindow.mainFocus()
        onVisibleChanged: {
            if (!visible)
                mainWindow.releaseMask()
        }
    }

    KeyAssigment {
        id: keyAssigmentMain

        objectName: "keyAssigmentMain"

        z: 11
        visible: false
        skinNo: mainWindow.skin_No
        isGun: mainWindow.isGun
        keyMatrix: leftPanel.keyMatrix
        mousePicture: mouseMain
        macroEditor: macroEditorMain
        keyNames: _KeyCodeString
        onClosed: {
            mainWindow.releaseMask()
            // A closed dialog waits for no key, now or when it opens again.
            keyAssigmentMain.isFireInput = false
            if (keyAssigmentMain.isComboInput)
                keyAssigmentMain.cancelCombo()
        }
        onMacroEditorClick: mainWindow.openMacroEditorOverKeyAssigment()
    }

    Profile {
        id: profileMain

        objectName: "profileMain"

        z: 11
        visible: false
        skinNo: mainWindow.skin_No
        onProfilesChanged: menuUp.markProfile(mainWindow.profileNo)
        onChangeProfile: (tmpProfileNo) => mainWindow.changeProfile(tmpProfileNo)
        onClosed: {
            mainWindow.releaseMask()
            menuUp.closeMenu()
        }
    }

    ResetConfirm {
        id: resetConfirm

        objectName: "resetConfirm"

        z: 12
        mainLang: mainWindow.mainLang
        onConfirmed: mainWindow.factoryReset()
        onCancelled: {
            resetConfirm.visible = false
            mainWindow.releaseMask()
        }
    }

    UnsavedPrompt {
        id: unsavedPrompt

        objectName: "unsavedPrompt"

        z: 12
        texts: mainWindow.noticeLang
        onChosen: (answer) => mainWindow.answerUnsavedChanges(answer)
    }

    NoticeBar {
        id: noticeBar

        text: mainWindow.noticeText
    }

    HelpMenu {
        id: helpMenu

        x: mainWindow.width - 300
        y: 30
        z: 13
        onChosen: (index) => mainWindow.askMenuCmd(index)
    }

    BusyIndicator {
        id: busyIndicator

        objectName: "busyIndicator"
    }
}
