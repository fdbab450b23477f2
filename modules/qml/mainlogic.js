.pragma library
// The root's sequences: start-up, save, discard, profile switch, factory
// reset, the unsaved-changes question and the macro links of the key table.
// `s` is the root's `screens`: the root (`main`), its screens and dialogs by
// role, and the native objects (`view`, `ctl`; `hid()`, which tests may lack).

.import "basic/values.js" as Values
.import "basic/settingkeys.js" as SettingKeys

// Runs one step of a sequence; a step that fails (a damaged value, an
// operation the native side lacks) is reported and the next one runs.
function runStep(s, label, step) {
    try {
        step()
    } catch (error) {
        console.warn(s.log, "Step failed:", label, "-", error)
    }
}

// The texts of `type` in the current language over `texts`.
function textsOf(s, type, texts) {
    return Values.mergeTexts(texts, s.view.getLangStrings(type, s.main.language))
}

function loadTexts(s) {
    const m = s.main
    m.mainLang = textsOf(s, "main", m.mainLang)
    s.keyMatrix.keyMatrixLang = textsOf(s, "keyMatrix", s.keyMatrix.keyMatrixLang)
    s.keys.keyAssigmentLang = textsOf(s, "keyAssigment", s.keys.keyAssigmentLang)
    s.dpi.dpiSettingLang = textsOf(s, "dpiSetting", s.dpi.dpiSettingLang)
    s.light.lightControlLang = textsOf(s, "lightControl", s.light.lightControlLang)
    s.macro.macroEditorLang = textsOf(s, "macroEditor", s.macro.macroEditorLang)
    s.system.systemSettingLang = textsOf(s, "systemSetting", s.system.systemSettingLang)
    s.system.autostartLang = textsOf(s, "autostart", s.system.autostartLang)
    s.gun.gunControlLang = textsOf(s, "gunControl", s.gun.gunControlLang)
    s.profile.profileLang = textsOf(s, "profile", s.profile.profileLang)
    s.keyNames.keyCodeStr = textsOf(s, "keyCode", s.keyNames.keyCodeStr)
    m.noticeLang = textsOf(s, "notice", m.noticeLang)
    s.keyMatrix.refusalLang = textsOf(s, "refusal", s.keyMatrix.refusalLang)
    s.macro.refusalLang = textsOf(s, "refusal", s.macro.refusalLang)
    s.profile.refusalLang = textsOf(s, "refusal", s.profile.refusalLang)
    s.view.getLangStrings("other", m.language)
}

// A family-560 mouse works on its device profile 1. Done once, when the
// mouse has answered: a start without the mouse leaves it to the start-up
// that follows its arrival.
function checkDeviceProfile(s) {
    const m = s.main
    if (m.icType !== "560" || m.deviceProfileChecked)
        return
    runStep(s, "device profile", () => {
        const current = Values.toInt(s.view.mouseReadCurrentProfile(), 0)
        if (current !== 1)
            s.hid().hid560_02H_SetCurrentProfile(1)
        m.deviceProfileChecked = current > 0
    })
}

function firstStart(s) {
    const m = s.main
    const view = s.view
    runStep(s, "global settings", () => {
        m.isColorful = Values.toBool(view.getGlobalData(SettingKeys.mouseIsColorful), m.isColorful)
        m.icType = Values.toText(view.getGlobalData(SettingKeys.mouseIcType), m.icType)
        m.is55328 = Values.toBool(view.getGlobalData(SettingKeys.mouseIs55328), m.is55328)
        m.isGun = Values.toBool(view.getGlobalData(SettingKeys.mouseIsGun), m.isGun)
        s.mouse.keyCount = Values.toInt(view.getGlobalData(SettingKeys.mouseKeyCount), 8)
        m.language = Values.toText(view.getGlobalData(SettingKeys.commonLanguage), m.language)
        m.url = Values.toText(view.getGlobalData(SettingKeys.commonUrl), m.url.toString())
        s.helpMenu.setTexts(m.url.toString(), Qt.application.version)
    })
    checkDeviceProfile(s)
    runStep(s, "texts", () => loadTexts(s))
    runStep(s, "profile", () => {
        const stored = Values.toInt(view.getGlobalData(SettingKeys.mouseProfileNo), 0)
        m.profileNo = stored >= 0 && stored <= 5 ? stored : 0
        // The profile becomes current before anything reads from it.
        view.setCurrentProfile(m.profileNo)
    })
    runStep(s, "report rate", () => s.reportRate.init(false))
    s.profile.profileNo = m.profileNo
    runStep(s, "profiles", () => s.profile.init())
    s.menuUp.markProfile(m.profileNo)
    s.menuUp.closeMenu()
    runStep(s, "macro editor", () => s.macro.init())
    runStep(s, "gun control", () => s.gun.init())
    runStep(s, "button assignment", () => s.keys.init())
    runStep(s, "key table", () => s.keyMatrix.init(false, false))
    runStep(s, "DPI", () => s.dpi.init(false, false))
    runStep(s, "lighting", () => s.light.init(false, false))
    runStep(s, "system settings", () => s.system.init(false, false))
}

// Keys go to the field or the recorder that waits for them.
function routeKey(s, isDown, usbCode) {
    const macroList = s.macro.macroNumber_lv
    if (macroList && macroList.currentIndex >= 0) {
        if (s.macro.isInputting === true)
            s.macro.detectKeyboard(isDown, usbCode)
        if (s.macro.isInsertting === true)
            s.macro.detectInput(isDown, usbCode)
    }
    if (s.keys.isFireInput === true)
        s.keys.detectKeyboard(isDown, usbCode, 0)
    if (s.keys.isComboInput === true)
        s.keys.detectKeyboard(isDown, usbCode, 1)
}

// The window went to the tray: nothing waits for keys any more.
function endCaptures(s) {
    if (s.macro.isInputting)
        s.macro.stopRecording()
    // The insert-key box goes as when the editor closes: nothing inserted.
    s.macro.insertKeyBox.visible = false
    s.macro.isInsertting = false
    s.keys.isFireInput = false
    if (s.keys.isComboInput)
        s.keys.cancelCombo()
}

// Escape: the open dialog on top closes as its close mark would.
function closeTopDialog(s) {
    const returns = s.main.focusReturns
    for (let i = returns.length - 1; i >= 0; --i) {
        const dialog = returns[i].dialog
        if (!dialog.visible)
            continue
        if (dialog === s.keys)
            s.keys.closeDialog()
        else
            dialog.close()
        return true
    }
    return false
}

// Tab or Backtab that reached the root from `item`: inside a dialog (one
// that holds the focus itself, as it does when it opens), the key enters
// the dialog at its first or last stop instead of leaving for the window
// behind. False outside the dialogs.
function tabIntoDialog(item, forward) {
    for (; item; item = item.parent) {
        for (let i = 0; i < item.children.length; ++i) {
            const child = item.children[i]
            if (typeof child.focusEnd === "function") {
                child.focusEnd(forward)
                return true
            }
        }
    }
    return false
}

// Stores and sends every screen with unsaved changes. False when the mouse
// did not take everything: those screens stay marked unsaved and the user
// is told.
function saveChanges(s) {
    const view = s.view
    s.main.mainFocus()
    const keyMatrixUnsaved = s.keyMatrix.isSave === true
    const dpiUnsaved = s.dpi.isSave
    const lightUnsaved = s.light.isSave === true
    if (keyMatrixUnsaved || dpiUnsaved || lightUnsaved)
        s.main.controlUIEnable(false)
    const failures = view.deviceFailureCount()
    const writeFailures = view.failedWrites()
    // A screen whose values could not be written stays unsaved (the view
    // has told the user), so that the next Save tries again.
    const saveScreen = (screen, label, save) => {
        const failed = view.failedWrites()
        screen.isSave = false
        runStep(s, label, save)
        if (view.failedWrites() !== failed)
            screen.isSave = true
    }
    try {
        if (keyMatrixUnsaved)
            saveScreen(s.keyMatrix, "key table", () => s.keyMatrix.modKeys.saveData())
        if (dpiUnsaved)
            saveScreen(s.dpi, "DPI", () => s.dpi.saveData(true))
        if (lightUnsaved)
            saveScreen(s.light, "lighting", () => s.light.saveData(true, 0))
    } finally {
        s.main.controlUIEnable(true)
    }
    if (view.deviceFailureCount() === failures)
        return view.failedWrites() === writeFailures
    markUnsaved(s, keyMatrixUnsaved, dpiUnsaved, lightUnsaved)
    view.notifyUser(s.main.noticeLang[5])
    return false
}

function markUnsaved(s, keyMatrix, dpi, light) {
    if (keyMatrix)
        s.keyMatrix.isSave = true
    if (dpi)
        s.dpi.isSave = true
    if (light)
        s.light.isSave = true
}

// The screens show the stored settings again.
function discardChanges(s) {
    runStep(s, "key table", () => s.keyMatrix.init(false, false))
    runStep(s, "DPI", () => s.dpi.init(false, false))
    runStep(s, "lighting", () => s.light.init(false, false))
    clearUnsaved(s)
}

function clearUnsaved(s) {
    s.keyMatrix.isSave = false
    s.dpi.isSave = false
    s.light.isSave = false
}

// Runs `action` ({ quit: bool, profileNo: int }) at once, or after the user
// chose Save, Discard or Cancel when there are unsaved changes.
function askAboutUnsavedChanges(s, action) {
    const m = s.main
    if (!m.hasUnsavedChanges) {
        runAction(s, action)
        return
    }
    if (!s.unsavedPrompt.visible)
        m.openDialog(s.unsavedPrompt)
    m.pendingAction = action
    // Also asked from the tray, with the window hidden.
    s.ctl.onShow()
}

// 0 Save, 1 Discard, 2 Cancel.
function answerUnsavedChanges(s, answer) {
    const m = s.main
    const action = m.pendingAction
    m.pendingAction = null
    s.unsavedPrompt.visible = false
    releaseMask(s)
    if (!action || answer === 2 || (answer === 0 && !saveChanges(s))) {
        s.menuUp.markProfile(m.profileNo)
        return
    }
    if (answer === 1)
        discardChanges(s)
    runAction(s, action)
}

function runAction(s, action) {
    if (action.quit)
        s.ctl.onQuit()
    else
        s.profile.changeProfile(action.profileNo)
}

// Runs `send` (device traffic for settings the screens already show); when
// the mouse did not take it all, the screens are marked unsaved so that Save
// sends them again, and the user is told.
function sendOrMarkUnsaved(s, send) {
    const failures = s.view.deviceFailureCount()
    send()
    if (s.view.deviceFailureCount() === failures)
        return
    markUnsaved(s, true, true, true)
    s.view.notifyUser(s.main.noticeLang[5])
}

// Loads every device screen of the current profile and sends it.
function reloadAndSend(s) {
    runStep(s, "key table", () => s.keyMatrix.init(true, false))
    runStep(s, "report rate", () => s.reportRate.init(true))
    runStep(s, "DPI", () => s.dpi.init(true, false))
    runStep(s, "lighting", () => s.light.init(true, false))
    runStep(s, "system settings", () => s.system.init(true, false))
    if (s.main.isGun) {
        s.view.mouseSwitchKeyMatrix(1)
        s.view.mouseResetKeyMatrix()
    }
}

function changeProfile(s, profileNo) {
    const m = s.main
    if (profileNo === m.profileNo)
        return
    m.controlUIEnable(false)
    try {
        m.profileNo = profileNo
        s.profile.profileNo = profileNo
        s.menuUp.markProfile(profileNo)
        s.view.setGlobalData(SettingKeys.mouseProfileNo, profileNo)
        s.view.setCurrentProfile(profileNo)
        sendOrMarkUnsaved(s, () => {
            reloadAndSend(s)
            sendBoundMacros(s)
        })
    } finally {
        m.controlUIEnable(true)
    }
}

// The macro slots the current key table plays get the bodies this profile
// names; the mouse still holds those of the previous profile.
function sendBoundMacros(s) {
    const keys = s.keyMatrix.modKeys
    if (!keys)
        return
    const sent = []
    for (let i = 0; i < keys.count; ++i) {
        const entry = keys.get(i)
        const slot = Number(entry.keyCode2)
        if (Number(entry.keyCode0) !== 4 || sent.indexOf(slot) >= 0)
            continue
        const name = s.view.getData(SettingKeys.mouseMacroKey + slot, false)
        if (name === undefined || String(name).length === 0)
            continue
        sent.push(slot)
        runStep(s, "macro " + slot, () => s.macro.sendMacro(slot, String(name)))
    }
}

function factoryReset(s) {
    const m = s.main
    m.controlUIEnable(false)
    try {
        s.resetConfirm.visible = false
        releaseMask(s)
        clearUnsaved(s)
        s.view.resetProfile(m.profileNo)
        sendOrMarkUnsaved(s, () => {
            reloadAndSend(s)
            s.view.mouseSetCurrentDPI(2)
        })
        s.dpi.currentDPI = 1
        runStep(s, "gun control", () => s.gun.resetData())
    } finally {
        m.controlUIEnable(true)
    }
}

// Hides the mask unless a dialog is still open: the macro editor can close
// over the assignment dialog, which must stay modal. The focus goes back to
// where it was when the closed dialogs opened.
function releaseMask(s) {
    s.mask.visible = s.macro.visible || s.gun.visible || s.system.visible || s.keys.visible
            || s.profile.visible || s.resetConfirm.visible || s.unsavedPrompt.visible
    const returns = s.main.focusReturns
    let back = null
    while (returns.length > 0 && !returns[returns.length - 1].dialog.visible)
        back = returns.pop().item
    if (back)
        back.forceActiveFocus(Qt.PopupFocusReason)
}

// Keys bound to macro `macroName`: entries of category 04H whose slot
// (keyCode2) holds that name.
function keysOfMacro(s, macroName) {
    const keys = s.keyMatrix.modKeys
    const found = []
    if (!keys)
        return found
    for (let i = 0; i < keys.count; ++i) {
        const entry = keys.get(i)
        if (Number(entry.keyCode0) !== 4)
            continue
        const bound = s.view.getData(SettingKeys.mouseMacroKey + Number(entry.keyCode2), false)
        if (bound !== undefined && String(bound) === macroName)
            found.push(i)
    }
    return found
}

function deleteMacro(s, macroName) {
    const keys = s.keyMatrix.modKeys
    const defaults = s.keyMatrix.modKeys_tmp
    s.main.controlUIEnable(false)
    try {
        if (keys && defaults) {
            for (const i of keysOfMacro(s, macroName)) {
                const entry = defaults.get(i)
                keys.set(i, { keyCode0: entry.keyCode0, keyCode1: entry.keyCode1,
                              keyCode2: entry.keyCode2, keyCode3: entry.keyCode3,
                              keyText: entry.keyText })
            }
            keys.saveData()
        }
        s.view.deleteMacroUpdateProfile(macroName)
    } finally {
        s.main.controlUIEnable(true)
    }
}

// The macro editor has renamed the file and the links of profiles 0..5; the
// key texts follow.
function modifyMacroName(s, newMacroName) {
    for (const i of keysOfMacro(s, newMacroName))
        s.keyMatrix.modKeys.setProperty(i, "keyText", newMacroName)
}

function modifyMacroData(s, macroName) {
    for (const i of keysOfMacro(s, macroName))
        runStep(s, "macro " + i, () => s.macro.sendMacro(i, macroName))
}
