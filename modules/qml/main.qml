import QtQuick
import "basic"
import "common"
import "screens"
import "basic/theme.js" as Theme
import "basic/values.js" as Values
import "basic/settingkeys.js" as SettingKeys

// The root of the scene: the 1024 x 640 surface of the main window. It owns
// the scene-wide properties, the start-up sequence, the input lock, window
// dragging, the title bar, the left panel, the bottom bar, the factory-reset
// confirmation and the help menu, and it places the screens.
Item {
    id: mainWindow

    // Device capabilities, language and links; initUI reads them.
    property string language: "ChineseSimplified"
    property url url: "https://skarn-config.example.org/"
    property bool isColorful: false
    property bool isGun: true
    property string icType: "553"
    property bool is55328: false
    property bool isPownOn: false
    property var mainLang: ["Editor", "Macro Editor", "Gun Editor", "Report Rate", "Config", "Reset",
        "Reset factory setting", "Cancel", "OK", "System setting", "Save", "", "", "", ""]
    property bool initProfile: true
    property bool isScrollRateFocus: false
    // The active profile number (0..5).
    property int profileNo: 0
    property bool isMainShown: false
    // Texts of the notices and of the unsaved-changes question.
    property var noticeLang: ["Unsaved changes", "The changes to this profile are not saved.",
        "Save", "Discard", "Cancel",
        "The settings were not written to the mouse. Check that it is connected and try again.",
        "The desktop did not take the pointer speed.",
        "The desktop did not take the double-click speed."]
    // The last notice shown (the bar shows it for a few seconds).
    property string noticeText: ""
    // What waits for the answer to the unsaved-changes question:
    // { quit: bool, profileNo: int }, or null.
    property var pendingAction: null
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
    property url sourceBackground: "qrc:/modules/img/background.png"
    property url sourceTitleBar: "qrc:/modules/img/titleBar.png"
    property url sourceTitleLogo: "qrc:/modules/img/titleLogo.png"
    property url sourcePowerOn: Theme.skinImage(skin_No, "index", "powerOn")
    property url sourceMouse: Theme.skinImage(skin_No, "mouse", "mouse")
    property url sourceM416: Theme.gunImage("M416")
    property url sourceAKM: Theme.gunImage("AKM")
    property url sourceM16A4: Theme.gunImage("M16A4")
    property url sourceSCAR_L: Theme.gunImage("SCAR-L")
    property url sourceThomson: Theme.gunImage("Thomson")
    property url sourceUNP9: Theme.gunImage("UNP9")
    property url sourceTarget: Theme.gunImage("target")

    readonly property bool hasUnsavedChanges: keyMatrixMain.isSave === true
                                              || dpiSettingMain.isSave
                                              || lightControlMain.isSave === true

    // A field or the recorder waits for keys: only then does the native side
    // watch the keyboard and buttons at all.
    readonly property bool isCapturing: keyAssigmentMain.visible
                                        && (keyAssigmentMain.isFireInput
                                            || keyAssigmentMain.isComboInput)
                                        || macroEditorMain.visible
                                        && (macroEditorMain.isInputting
                                            || macroEditorMain.isInsertting)

    // Where the focus goes back to as the dialogs opened from it close,
    // innermost last: { dialog, item } pairs.
    property var focusReturns: []

    onIsCapturingChanged: ui_View.setCaptureActive(isCapturing)

    signal emptyAreaPressed()
    signal msg_KB(bool isDown, int usbCode)
    signal msg_MS(bool isDown, int mirkCode, int x, int y)

    // --- Called by the native side ---

    function initUI() {
        setProtectUI(1000)
        visible = true
        if (!isPownOn) {
            firstStart()
            isPownOn = true
        }
        runStep("current DPI stage", () => {
            const stage = Values.toInt(ui_View.mouseGetCurrentDPI(), dpiSettingMain.currentDPI + 1)
            dpiSettingMain.currentDPI = stage - 1
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
            dpiSettingMain.currentDPI = dpiValue - 1
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
        if (profileNo === mainWindow.profileNo) {
            menuUp.markProfile(profileNo)
            return
        }
        askAboutUnsavedChanges({ quit: false, profileNo: profileNo })
    }

    // Ends the program, asking first what to do with unsaved changes.
    function requestQuit() {
        askAboutUnsavedChanges({ quit: true, profileNo: -1 })
    }

    // The window went to the tray: nothing waits for keys any more.
    function endCaptures() {
        if (macroEditorMain.isInputting)
            macroEditorMain.stopRecording()
        // The insert-key box goes as when the editor closes: nothing inserted.
        macroEditorMain.insertKeyBox.visible = false
        macroEditorMain.isInsertting = false
        keyAssigmentMain.isFireInput = false
        if (keyAssigmentMain.isComboInput)
            keyAssigmentMain.cancelCombo()
    }

    // --- Used inside the scene ---

    function mainFocus() {
        reportRateMain.closeMenu()
        dpiSettingMain.dpiSegment.closeMenu()
        menuUp.closeMenu()
        helpMenu.visible = false
        lightControlMain.lightModel.closeMenu()
    }

    function controlUIEnable(isEnable: bool) {
        busyIndicator.visible = !isEnable
        ui_View.setEnabled(isEnable)
    }

    function askMenuCmd(cmd: int) {
        if (cmd === 0)
            Qt.openUrlExternally(url)
    }

    // Runs one step of a sequence; a step that fails (a damaged value, an
    // operation the native side lacks) is reported and the next one runs.
    function runStep(label: string, step: var) {
        try {
            step()
        } catch (error) {
            console.warn(sceneLog, "Step failed:", label, "-", error)
        }
    }

    // The texts of `type` in the current language over `texts`.
    function textsOf(type: string, texts: var): var {
        return Values.mergeTexts(texts, ui_View.getLangStrings(type, mainWindow.language))
    }

    function firstStart() {
        runStep("global settings", () => {
            isColorful = Values.toBool(ui_View.getGlobalData(SettingKeys.mouseIsColorful),
                                       isColorful)
            icType = Values.toText(ui_View.getGlobalData(SettingKeys.mouseIcType), icType)
            is55328 = Values.toBool(ui_View.getGlobalData(SettingKeys.mouseIs55328), is55328)
            isGun = Values.toBool(ui_View.getGlobalData(SettingKeys.mouseIsGun), isGun)
            mouseMain.keyCount = Values.toInt(ui_View.getGlobalData(SettingKeys.mouseKeyCount), 8)
            language = Values.toText(ui_View.getGlobalData(SettingKeys.commonLanguage), language)
            url = Values.toText(ui_View.getGlobalData(SettingKeys.commonUrl), url.toString())
            helpMenu.setTexts(url.toString(), Qt.application.version)
        })
        if (icType === "560") {
            runStep("device profile", () => {
                if (Values.toInt(ui_View.mouseReadCurrentProfile(), -1) !== 1)
                    hid.hid560_02H_SetCurrentProfile(1)
            })
        }
        runStep("texts", () => {
            mainLang = Values.mergeTexts(mainLang, ui_View.getLangStrings("main", language))
            keyMatrixMain.keyMatrixLang = textsOf("keyMatrix", keyMatrixMain.keyMatrixLang)
            keyAssigmentMain.keyAssigmentLang = textsOf("keyAssigment",
                                                        keyAssigmentMain.keyAssigmentLang)
            dpiSettingMain.dpiSettingLang = textsOf("dpiSetting", dpiSettingMain.dpiSettingLang)
            lightControlMain.lightControlLang = textsOf("lightControl",
                                                        lightControlMain.lightControlLang)
            macroEditorMain.macroEditorLang = textsOf("macroEditor",
                                                      macroEditorMain.macroEditorLang)
            systemSettingMain.systemSettingLang = textsOf("systemSetting",
                                                          systemSettingMain.systemSettingLang)
            systemSettingMain.autostartLang = textsOf("autostart", systemSettingMain.autostartLang)
            gunControlMain.gunControlLang = textsOf("gunControl", gunControlMain.gunControlLang)
            profileMain.profileLang = textsOf("profile", profileMain.profileLang)
            _KeyCodeString.keyCodeStr = textsOf("keyCode", _KeyCodeString.keyCodeStr)
            noticeLang = textsOf("notice", noticeLang)
            keyMatrixMain.refusalLang = textsOf("refusal", keyMatrixMain.refusalLang)
            macroEditorMain.refusalLang = textsOf("refusal", macroEditorMain.refusalLang)
            profileMain.refusalLang = textsOf("refusal", profileMain.refusalLang)
            ui_View.getLangStrings("other", language)
        })
        runStep("profile", () => {
            const stored = Values.toInt(ui_View.getGlobalData(SettingKeys.mouseProfileNo), 0)
            profileNo = stored >= 0 && stored <= 5 ? stored : 0
            // The profile becomes current before anything reads from it.
            ui_View.setCurrentProfile(profileNo)
        })
        runStep("report rate", () => reportRateMain.init(false))
        profileMain.profileNo = profileNo
        runStep("profiles", () => profileMain.init())
        menuUp.markProfile(profileNo)
        menuUp.closeMenu()
        runStep("macro editor", () => macroEditorMain.init())
        runStep("gun control", () => gunControlMain.init())
        runStep("button assignment", () => keyAssigmentMain.init())
        runStep("key table", () => keyMatrixMain.init(false, false))
        runStep("DPI", () => dpiSettingMain.init(false, false))
        runStep("lighting", () => lightControlMain.init(false, false))
        runStep("system settings", () => systemSettingMain.init(false, false))
    }

    function unlock() {
        ui_View.setEnabled(true)
        busyIndicator.visible = false
        if (powerOnPicture.visible) {
            powerOnPicture.visible = false
            isMainShown = true
        }
    }

    function openDialog(dialog: Item) {
        mainFocus()
        dialog.x = (width - dialog.width) / 2
        dialog.y = (height - dialog.height) / 2
        mask.visible = true
        dialog.visible = true
        takeDialogFocus(dialog)
    }

    // The dialog takes the keyboard; the focus goes back where it was when
    // the dialog closes (releaseMask).
    function takeDialogFocus(dialog: Item) {
        const window = Window.window
        focusReturns.push({ dialog: dialog, item: window ? window.activeFocusItem : null })
        dialog.forceActiveFocus(Qt.PopupFocusReason)
    }

    // Escape: the open dialog on top closes as its close mark would.
    function closeTopDialog(): bool {
        for (let i = focusReturns.length - 1; i >= 0; --i) {
            const dialog = focusReturns[i].dialog
            if (!dialog.visible)
                continue
            if (dialog === keyAssigmentMain)
                keyAssigmentMain.closeDialog()
            else
                dialog.close()
            return true
        }
        return false
    }

    // Stores and sends every screen with unsaved changes. False when the
    // mouse did not take everything: those screens stay marked unsaved and
    // the user is told.
    function saveChanges(): bool {
        mainFocus()
        const keyMatrixUnsaved = keyMatrixMain.isSave === true
        const dpiUnsaved = dpiSettingMain.isSave
        const lightUnsaved = lightControlMain.isSave === true
        if (keyMatrixUnsaved || dpiUnsaved || lightUnsaved)
            controlUIEnable(false)
        const failures = ui_View.deviceFailureCount()
        const writeFailures = ui_View.failedWrites()
        // A screen whose values could not be written stays unsaved (the view
        // has told the user), so that the next Save tries again.
        const saveScreen = (screen, label, save) => {
            const failed = ui_View.failedWrites()
            screen.isSave = false
            runStep(label, save)
            if (ui_View.failedWrites() !== failed)
                screen.isSave = true
        }
        try {
            if (keyMatrixUnsaved)
                saveScreen(keyMatrixMain, "key table", () => keyMatrixMain.modKeys.saveData())
            if (dpiUnsaved)
                saveScreen(dpiSettingMain, "DPI", () => dpiSettingMain.saveData(true))
            if (lightUnsaved)
                saveScreen(lightControlMain, "lighting", () => lightControlMain.saveData(true, 0))
        } finally {
            controlUIEnable(true)
        }
        if (ui_View.deviceFailureCount() === failures)
            return ui_View.failedWrites() === writeFailures
        markUnsaved(keyMatrixUnsaved, dpiUnsaved, lightUnsaved)
        ui_View.notifyUser(noticeLang[5])
        return false
    }

    function markUnsaved(keyMatrix: bool, dpi: bool, light: bool) {
        if (keyMatrix)
            keyMatrixMain.isSave = true
        if (dpi)
            dpiSettingMain.isSave = true
        if (light)
            lightControlMain.isSave = true
    }

    // The screens show the stored settings again.
    function discardChanges() {
        runStep("key table", () => keyMatrixMain.init(false, false))
        runStep("DPI", () => dpiSettingMain.init(false, false))
        runStep("lighting", () => lightControlMain.init(false, false))
        keyMatrixMain.isSave = false
        dpiSettingMain.isSave = false
        lightControlMain.isSave = false
    }

    // Runs `action` (see pendingAction) at once, or after the user chose
    // Save, Discard or Cancel when there are unsaved changes.
    function askAboutUnsavedChanges(action: var) {
        if (!hasUnsavedChanges) {
            runAction(action)
            return
        }
        if (!unsavedPrompt.visible) {
            mainFocus()
            unsavedPrompt.x = (width - unsavedPrompt.width) / 2
            unsavedPrompt.y = (height - unsavedPrompt.height) / 2
            mask.visible = true
            unsavedPrompt.visible = true
            unsavedPrompt.forceActiveFocus()
        }
        pendingAction = action
        // Also asked from the tray, with the window hidden.
        ui_Ctl.onShow()
    }

    // 0 Save, 1 Discard, 2 Cancel.
    function answerUnsavedChanges(answer: int) {
        const action = pendingAction
        pendingAction = null
        unsavedPrompt.visible = false
        releaseMask()
        if (!action || answer === 2 || (answer === 0 && !saveChanges())) {
            menuUp.markProfile(profileNo)
            return
        }
        if (answer === 1)
            discardChanges()
        runAction(action)
    }

    function runAction(action: var) {
        if (action.quit)
            ui_Ctl.onQuit()
        else
            profileMain.changeProfile(action.profileNo)
    }

    // Runs `send` (device traffic for settings the screens already show);
    // when the mouse did not take it all, the screens are marked unsaved so
    // that Save sends them again, and the user is told.
    function sendOrMarkUnsaved(send: var) {
        const failures = ui_View.deviceFailureCount()
        send()
        if (ui_View.deviceFailureCount() === failures)
            return
        markUnsaved(true, true, true)
        ui_View.notifyUser(noticeLang[5])
    }

    // Loads every device screen of the current profile and sends it.
    function reloadAndSend() {
        runStep("key table", () => keyMatrixMain.init(true, false))
        runStep("report rate", () => reportRateMain.init(true))
        runStep("DPI", () => dpiSettingMain.init(true, false))
        runStep("lighting", () => lightControlMain.init(true, false))
        runStep("system settings", () => systemSettingMain.init(true, false))
        if (isGun) {
            ui_View.mouseSwitchKeyMatrix(1)
            ui_View.mouseResetKeyMatrix()
        }
    }

    function changeProfile(tmpProfileNo: int) {
        if (tmpProfileNo === profileNo)
            return
        controlUIEnable(false)
        try {
            profileNo = tmpProfileNo
            profileMain.profileNo = profileNo
            menuUp.markProfile(profileNo)
            ui_View.setGlobalData(SettingKeys.mouseProfileNo, profileNo)
            ui_View.setCurrentProfile(profileNo)
            sendOrMarkUnsaved(() => {
                reloadAndSend()
                sendBoundMacros()
            })
        } finally {
            controlUIEnable(true)
        }
    }

    // The macro slots the current key table plays get the bodies this
    // profile names; the mouse still holds those of the previous profile.
    function sendBoundMacros() {
        const keys = keyMatrixMain.modKeys
        if (!keys)
            return
        const sent = []
        for (let i = 0; i < keys.count; ++i) {
            const entry = keys.get(i)
            const slot = Number(entry.keyCode2)
            if (Number(entry.keyCode0) !== 4 || sent.indexOf(slot) >= 0)
                continue
            const name = ui_View.getData(SettingKeys.mouseMacroKey + slot, false)
            if (name === undefined || String(name).length === 0)
                continue
            sent.push(slot)
            runStep("macro " + slot, () => macroEditorMain.sendMacro(slot, String(name)))
        }
    }

    function factoryReset() {
        controlUIEnable(false)
        try {
            resetConfirm.visible = false
            releaseMask()
            keyMatrixMain.isSave = false
            dpiSettingMain.isSave = false
            lightControlMain.isSave = false
            ui_View.resetProfile(profileNo)
            sendOrMarkUnsaved(() => {
                reloadAndSend()
                ui_View.mouseSetCurrentDPI(2)
            })
            dpiSettingMain.currentDPI = 1
            runStep("gun control", () => gunControlMain.resetData())
        } finally {
            controlUIEnable(true)
        }
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

    // Hides the mask unless a dialog is still open: the macro editor can
    // close over the assignment dialog, which must stay modal.
    function releaseMask() {
        mask.visible = macroEditorMain.visible || gunControlMain.visible
                || systemSettingMain.visible || keyAssigmentMain.visible || profileMain.visible
                || resetConfirm.visible || unsavedPrompt.visible
        let back = null
        while (focusReturns.length > 0 && !focusReturns[focusReturns.length - 1].dialog.visible)
            back = focusReturns.pop().item
        if (back)
            back.forceActiveFocus(Qt.PopupFocusReason)
    }

    function showResetConfirm() {
        mainFocus()
        resetConfirm.x = (width - resetConfirm.width) / 2
        resetConfirm.y = (height - resetConfirm.height) / 2
        mask.visible = true
        resetConfirm.visible = true
    }

    // Keys bound to macro `macroName`: entries of category 04H whose slot
    // (keyCode2) holds that name.
    function keysOfMacro(macroName: string): var {
        const keys = keyMatrixMain.modKeys
        const found = []
        if (!keys)
            return found
        for (let i = 0; i < keys.count; ++i) {
            const entry = keys.get(i)
            if (Number(entry.keyCode0) !== 4)
                continue
            const bound = ui_View.getData(SettingKeys.mouseMacroKey + Number(entry.keyCode2), false)
            if (bound !== undefined && String(bound) === macroName)
                found.push(i)
        }
        return found
    }

    function deleteMacro(macroName: string) {
        const keys = keyMatrixMain.modKeys
        const defaults = keyMatrixMain.modKeys_tmp
        controlUIEnable(false)
        try {
            if (keys && defaults) {
                for (const i of keysOfMacro(macroName)) {
                    const entry = defaults.get(i)
                    keys.set(i, { keyCode0: entry.keyCode0, keyCode1: entry.keyCode1,
                                  keyCode2: entry.keyCode2, keyCode3: entry.keyCode3,
                                  keyText: entry.keyText })
                }
                keys.saveData()
            }
            ui_View.deleteMacroUpdateProfile(macroName)
        } finally {
            controlUIEnable(true)
        }
    }

    // The macro editor has renamed the file and the links of profiles 0..5;
    // the key texts follow.
    function modifyMacroName(oldMacroName: string, newMacroName: string) {
        const keys = keyMatrixMain.modKeys
        for (const i of keysOfMacro(newMacroName))
            keys.setProperty(i, "keyText", newMacroName)
    }

    function modifyMacroData(macroName: string) {
        for (const i of keysOfMacro(macroName))
            runStep("macro " + i, () => macroEditorMain.sendMacro(i, macroName))
    }

    width: 1024
    height: 640
    visible: false
    Keys.onEscapePressed: (event) => { event.accepted = closeTopDialog() }

    onMsg_KB: (isDown, usbCode) => {
        const macroList = macroEditorMain.macroNumber_lv
        if (macroList && macroList.currentIndex >= 0) {
            if (macroEditorMain.isInputting === true)
                macroEditorMain.detectKeyboard(isDown, usbCode)
            if (macroEditorMain.isInsertting === true)
                macroEditorMain.detectInput(isDown, usbCode)
        }
        if (keyAssigmentMain.isFireInput === true)
            keyAssigmentMain.detectKeyboard(isDown, usbCode, 0)
        if (keyAssigmentMain.isComboInput === true)
            keyAssigmentMain.detectKeyboard(isDown, usbCode, 1)
    }

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
    MouseArea {
        id: dragArea

        property point pressPoint
        // The window system moves the window during this drag.
        property bool systemMove: false

        anchors.fill: parent
        onPressed: (mouse) => {
            mainWindow.emptyAreaPressed()
            pressPoint = Qt.point(mouse.x, mouse.y)
            mainWindow.mainFocus()
            systemMove = ui_Ctl.startSystemMove()
        }
        onPositionChanged: (mouse) => {
            if (systemMove)
                return
            ui_Ctl.onXChanged(mouse.x - pressPoint.x)
            ui_Ctl.onYChanged(mouse.y - pressPoint.y)
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

    // The mouse picture with its button call-outs (button assignment).
    Mouse {
        id: mouseMain

        objectName: "mouseMain"

        anchors.fill: parent
        visible: mainWindow.isMainShown
        skinNo: mainWindow.skin_No
        keyMatrix: keyMatrixMain
        onBtnClick: mainWindow.mainFocus()
        onOpenKey: (index) => mainWindow.showKeyAssigment(index)
    }

    Column {
        id: leftPanel

        objectName: "leftPanel"

        x: 24
        y: 88
        spacing: 8
        visible: mainWindow.isMainShown
        enabled: mainWindow.mouseConnected

        // The key table panel (button assignment).
        KeyMatrix {
            id: keyMatrixMain

            objectName: "keyMatrixMain"

            skinNo: mainWindow.skin_No
            mousePicture: mouseMain
            keyAssigment: keyAssigmentMain
            macroEditor: macroEditorMain
            gunControl: gunControlMain
            onOpenKey: (index) => mainWindow.showKeyAssigment(index)
        }

        EditorBox {
            id: editorBox

            isGun: mainWindow.isGun
            title: mainWindow.mainLang[0]
            macroText: mainWindow.mainLang[1]
            gunText: mainWindow.mainLang[2]
            onMacroEditorClicked: mainWindow.openDialog(macroEditorMain)
            onGunEditorClicked: mainWindow.openDialog(gunControlMain)
        }

        ReportRate {
            id: reportRateMain

            objectName: "reportRateMain"

            z: 1
            caption: mainWindow.mainLang[3]
            onSending: (isBusy) => mainWindow.controlUIEnable(!isBusy)
        }

        TextButton {
            id: systemSettingButton

            objectName: "systemSettingButton"

            width: 232
            textValue: mainWindow.mainLang[9]
            bold: true
            onClicked: mainWindow.openDialog(systemSettingMain)
        }
    }

    Column {
        id: rightPanel

        x: 768
        y: 56
        spacing: 8
        visible: mainWindow.isMainShown
        enabled: mainWindow.mouseConnected

        DpiSetting {
            id: dpiSettingMain

            objectName: "dpiSettingMain"

            z: 1
            skinNo: mainWindow.skin_No
            onSliderPressed: mainWindow.mainFocus()
        }

        // The lighting panel.
        LightControl {
            id: lightControlMain

            objectName: "lightControlMain"

            skinNo: mainWindow.skin_No
            isColorful: mainWindow.isColorful
            is55328: mainWindow.is55328
            dpiCount: dpiSettingMain.dpiCount
        }
    }

    Row {
        id: bottomBar

        anchors.right: parent.right
        anchors.rightMargin: 24
        anchors.bottom: parent.bottom
        anchors.bottomMargin: 8
        spacing: 16
        visible: mainWindow.isMainShown
        enabled: mainWindow.mouseConnected

        TextButton {
            id: configButton

            objectName: "configButton"

            textValue: mainWindow.mainLang[4]
            onClicked: mainWindow.openDialog(profileMain)
        }

        TextButton {
            id: resetButton

            objectName: "resetButton"

            textValue: mainWindow.mainLang[5]
            onClicked: mainWindow.showResetConfirm()
        }

        TextButton {
            id: saveButton

            objectName: "saveButton"

            textValue: mainWindow.mainLang[10]
            faceColor: mainWindow.hasUnsavedChanges ? Theme.colorUnsaved : mainWindow.colorBlue
            onClicked: mainWindow.saveChanges()
        }
    }

    Menu_Up {
        id: menuUp

        objectName: "menuUp"

        x: 920
        y: 16
        z: 2
        visible: mainWindow.isMainShown
        skinNo: mainWindow.skin_No
        profileModel: profileMain.profileDataModel0
        onHelpClick: {
            const open = !helpMenu.visible
            mainWindow.mainFocus()
            helpMenu.visible = open
        }
        onMinimizeClick: ui_Ctl.onMinimize()
        onCloseClick: ui_Ctl.onClose()
        onProfileChosen: (profileNo) => mainWindow.requestProfileSwitch(profileNo)
    }

    // Notices from anywhere (ui_View.notifyUser) show in the notice bar.
    Connections {
        target: ui_View

        function onUserNotice(text) {
            mainWindow.showNotice(text)
        }
    }

    Connections {
        target: profileMain

        function onChangeProfile(tmpProfileNo) {
            mainWindow.changeProfile(tmpProfileNo)
        }
    }

    Connections {
        target: macroEditorMain

        function onDeleteMacro(macroName) {
            mainWindow.deleteMacro(macroName)
        }
        function onModifyMacroName(oldMacroName, newMacroName) {
            mainWindow.modifyMacroName(oldMacroName, newMacroName)
        }
        function onModifyMacroData(macroName) {
            mainWindow.modifyMacroData(macroName)
        }
    }

    NoMousePanel {
        id: noMousePanel

        visible: !mainWindow.mouseConnected
        title: mainWindow.noMouseTitle
        detail: mainWindow.noMouseDetail
    }

    // Dims the window behind a dialog; a press hands the focus back to the
    // open dialog, and dragging it moves the window.
    Rectangle {
        id: mask
        objectName: "mask"

        anchors.fill: parent
        z: 10
        visible: false
        radius: 10
        color: "#90000000"

        MouseArea {
            property point pressPoint

            anchors.fill: parent
            hoverEnabled: true
            onWheel: (wheel) => { wheel.accepted = true }
            onPressed: (mouse) => {
                pressPoint = Qt.point(mouse.x, mouse.y)
                macroEditorMain.macroEditorFocus()
                profileMain.profileFocus()
                gunControlMain.gunControlFocus()
                lightControlMain.lightControlFocus()
                systemSettingMain.systemSettingFocus()
            }
            onPositionChanged: (mouse) => {
                if (!pressed)
                    return
                ui_Ctl.onXChanged(mouse.x - pressPoint.x)
                ui_Ctl.onYChanged(mouse.y - pressPoint.y)
            }
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
        onFirePeriodsChanged: keyMatrixMain.modKeys.saveData()
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
        keyMatrix: keyMatrixMain
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
        onClosed: {
            mainWindow.releaseMask()
            menuUp.closeMenu()
        }
    }

    QuestionDialog {
        id: resetConfirm

        objectName: "resetConfirm"

        z: 12
        height: 102
        title: mainWindow.mainLang[5]
        text: mainWindow.mainLang[6]
        buttons: [{ name: "resetCancel", text: mainWindow.mainLang[7] },
                  { name: "resetOk", text: mainWindow.mainLang[8] }]
        onAnswered: (index) => {
            if (index === 1) {
                mainWindow.factoryReset()
            } else {
                resetConfirm.visible = false
                mainWindow.releaseMask()
            }
        }
    }

    // The unsaved-changes question before a profile switch or the quit.
    QuestionDialog {
        id: unsavedPrompt

        objectName: "unsavedPrompt"

        z: 12
        height: 110
        buttonGap: 12
        title: mainWindow.noticeLang[0]
        text: mainWindow.noticeLang[1]
        buttons: [{ name: "unsavedCancel", text: mainWindow.noticeLang[4] },
                  { name: "unsavedDiscard", text: mainWindow.noticeLang[3] },
                  { name: "unsavedSave", text: mainWindow.noticeLang[2] }]
        // The buttons answer Cancel (2), Discard (1), Save (0).
        onAnswered: (index) => mainWindow.answerUnsavedChanges(2 - index)
        Keys.onEscapePressed: mainWindow.answerUnsavedChanges(2)
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
