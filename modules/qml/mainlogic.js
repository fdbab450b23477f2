.pragma library
// The root's sequences: start-up, save, discard, profile switch, factory
// reset, the unsaved-changes question and the macro links of the key table.
// `s` is the root's `screens`: the root (`main`), its screens and dialogs by
// role, and the native objects (`view`, `ctl`; `hid()`, which tests may lack).
// A dialog not built yet (or released) is null there.

.import "basic/values.js" as Values
.import "basic/settingkeys.js" as SettingKeys
.import "screens/gun.js" as Gun
.import "screens/systemsetting.js" as System

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

// The texts of the screens built at start; each dialog takes its own when
// it is built (prepareDialog).
function loadTexts(s) {
    const m = s.main
    m.mainLang = textsOf(s, "main", m.mainLang)
    s.keyMatrix.keyMatrixLang = textsOf(s, "keyMatrix", s.keyMatrix.keyMatrixLang)
    s.keyNames.keyAssigmentLang = textsOf(s, "keyAssigment", s.keyNames.keyAssigmentLang)
    s.dpi.dpiSettingLang = textsOf(s, "dpiSetting", s.dpi.dpiSettingLang)
    s.light.lightControlLang = textsOf(s, "lightControl", s.light.lightControlLang)
    s.profiles.firstName = textsOf(s, "profile", ["", "", "", "", "", s.profiles.firstName])[5]
    s.keyNames.keyCodeStr = textsOf(s, "keyCode", s.keyNames.keyCodeStr)
    m.noticeLang = textsOf(s, "notice", m.noticeLang)
    s.keyMatrix.refusalLang = textsOf(s, "refusal", s.keyMatrix.refusalLang)
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

// The language groups of each dialog's text properties.
const dialogTexts = {
    macro: { macroEditorLang: "macroEditor", refusalLang: "refusal" },
    gun: { gunControlLang: "gunControl" },
    system: { systemSettingLang: "systemSetting", autostartLang: "autostart" },
    profile: { profileLang: "profile", refusalLang: "refusal" }
}

// What each dialog's signals do. The handlers read the scene's `screens`
// when they run: the object is rebuilt as dialogs come and go.
const dialogHandlers = {
    macro: (d, dialog) => {
        dialog.deleteMacro.connect((macroName) => deleteMacro(d.screens, macroName))
        dialog.modifyMacroName.connect((oldName, newName) => modifyMacroName(d.screens, newName))
        dialog.modifyMacroData.connect((macroName) => modifyMacroData(d.screens, macroName))
        dialog.macroNamesChanged.connect((names) => offerMacroNames(d.screens, names))
        dialog.closed.connect(() => macroEditorClosed(d.screens))
    },
    gun: (d, dialog) => {
        dialog.closed.connect(() => releaseMask(d.screens))
        dialog.firePeriodsChanged.connect(() => d.keyMatrix.modKeys.saveData())
        dialog.notWritten.connect(() => tellNotWritten(d.screens))
    },
    system: (d, dialog) => {
        dialog.inputStarted.connect(() => mainFocus(d.screens))
        dialog.visibleChanged.connect(() => {
            // Also hidden as the scene is torn down, when there is nothing left to release.
            if (!dialog.visible && d.screens)
                releaseMask(d.screens)
        })
    },
    keys: (d, dialog) => {
        dialog.closed.connect(() => keyAssigmentClosed(d.screens))
        dialog.macroEditorClick.connect(() => openMacroEditorOverKeyAssigment(d.screens, d.loaders.macro))
    },
    profile: (d, dialog) => {
        dialog.changeProfile.connect((profileNo) => changeProfile(d.screens, profileNo))
        dialog.closed.connect(() => {
            releaseMask(d.screens)
            d.screens.menuUp.closeMenu()
        })
    },
    unsaved: (d, dialog) => {
        dialog.chosen.connect((answer) => answerUnsavedChanges(d.screens, answer))
    },
    reset: (d, dialog) => {
        dialog.confirmed.connect(() => factoryReset(d.screens))
        dialog.cancelled.connect(() => {
            dialog.visible = false
            releaseMask(d.screens)
        })
    },
    help: (d, dialog) => {
        dialog.chosen.connect((index) => helpChosen(d.screens, index))
    }
}

// A dialog of SceneDialogs `d` was just built from its file.
function dialogLoaded(d, role, dialog) {
    dialogHandlers[role](d, dialog)
    prepareDialog(d.screens, role, dialog)
}

// A dialog was just built: it takes its texts and the stored state.
function prepareDialog(s, role, dialog) {
    const m = s.main
    const texts = dialogTexts[role] || {}
    for (const property in texts)
        dialog[property] = textsOf(s, texts[property], dialog[property])
    if (role === "help") {
        dialog.setTexts(m.url.toString(), Qt.application.version)
        return
    }
    // The profile manager shows the shared list, loaded at start; the two
    // questions take their texts through bindings.
    if (role === "profile" || role === "reset" || role === "unsaved")
        return
    runStep(s, role, () => {
        if (role === "system")
            dialog.init(false, false)
        else
            dialog.init()
    })
    if (role === "gun") {
        // A factory reset while the editor was not built is sent on its
        // next closing, as when it was.
        dialog.isSave = m.gunUnsent
        m.gunUnsent = false
    }
}

// The window went to the tray: dialogs that are closed go, and are built
// again on their next opening. What they hold is stored, except the gun
// editor's pending send, which the root keeps.
function releaseClosedDialogs(s) {
    for (const role in s.loaders) {
        const loader = s.loaders[role]
        const dialog = loader.item
        if (!dialog || dialog.visible)
            continue
        if (dialog === s.gun && s.gun.isSave)
            s.main.gunUnsent = true
        s.main.focusReturns = s.main.focusReturns.filter((entry) => entry.dialog !== dialog)
        loader.active = false
    }
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
    runStep(s, "profiles", () => s.profiles.init())
    s.menuUp.markProfile(m.profileNo)
    s.menuUp.closeMenu()
    runStep(s, "key table", () => s.keyMatrix.init(false, false))
    runStep(s, "DPI", () => s.dpi.init(false, false))
    runStep(s, "lighting", () => s.light.init(false, false))
    // A switch or reset the mouse refused before the last quit is still owed.
    if (Values.toBool(view.getGlobalData(SettingKeys.mouseProfileUnsent), false)) {
        m.profileRestUnsent = true
        markUnsaved(s, true, true, true)
        view.notifyUser(m.noticeLang[7])
    }
}

// Kept across a restart: the store holds a profile the mouse does not, and
// the screens would otherwise show it as saved.
function rememberProfileRestUnsent(s) {
    if (s.main.isPownOn)
        s.view.setGlobalData(SettingKeys.mouseProfileUnsent, s.main.profileRestUnsent)
}

function initUI(s) {
    const m = s.main
    m.setProtectUI(1000)
    m.visible = true
    if (!m.isPownOn) {
        firstStart(s)
        m.isPownOn = true
    } else {
        checkDeviceProfile(s)
    }
    runStep(s, "current DPI stage", () => {
        const dpi = s.dpi
        dpi.currentDPI = Values.toInt(s.view.mouseGetCurrentDPI(), dpi.currentDPI + 1) - 1
    })
}

// Comes after initUI's exchanges with the mouse have ended: the start-up
// lock has nothing left to protect.
function run(s, lockTimer) {
    if (lockTimer.running) {
        lockTimer.stop()
        unlock(s)
    }
}

function setMouseState(s, connected, title, detail) {
    const m = s.main
    m.mouseConnected = connected
    m.noMouseTitle = title
    m.noMouseDetail = detail
    if (!connected)
        m.visible = true
}

function setProtectUI(s, lockTimer, interval) {
    s.busy.visible = true
    s.view.setEnabled(false)
    // A zero-length timer would fire at once; one millisecond unlocks at the
    // next turn of the event loop.
    lockTimer.interval = Math.max(1, interval)
    lockTimer.restart()
}

function controlUIEnable(s, isEnable) {
    s.busy.visible = !isEnable
    s.view.setEnabled(isEnable)
}

function unlock(s) {
    s.view.setEnabled(true)
    s.busy.visible = false
    if (s.powerOn.visible) {
        s.powerOn.visible = false
        s.main.isMainShown = true
    }
}

function requestProfileSwitch(s, profileNo) {
    if (profileNo === s.main.profileNo)
        s.menuUp.markProfile(profileNo)
    else
        askAboutUnsavedChanges(s, { quit: false, profileNo: profileNo })
}

// Closes the drop-downs and the help menu.
function mainFocus(s) {
    s.reportRate.closeMenu()
    s.dpi.dpiSegment.closeMenu()
    s.menuUp.closeMenu()
    if (s.helpMenu)
        s.helpMenu.visible = false
    s.light.lightModel.closeMenu()
}

function toggleHelpMenu(s, loader) {
    const open = !(s.helpMenu && s.helpMenu.visible)
    mainFocus(s)
    if (open)
        s.main.built(loader).visible = true
}

function helpChosen(s, index) {
    // Without a browser the desktop opens nothing: say so, with the link.
    if (index === 0 && !Qt.openUrlExternally(s.main.url))
        s.view.notifyUser(String(s.main.noticeLang[8]).arg(s.main.url))
}

// Shows `dialog` centred over the mask.
function showCentred(s, dialog) {
    const m = s.main
    mainFocus(s)
    dialog.x = (m.width - dialog.width) / 2
    dialog.y = (m.height - dialog.height) / 2
    s.mask.visible = true
    dialog.visible = true
}

function openDialog(s, dialog) {
    showCentred(s, dialog)
    s.main.takeDialogFocus(dialog)
}

function showKeyAssigment(s, dialog, index) {
    mainFocus(s)
    s.mask.visible = true
    dialog.show(index)
    if (dialog.visible)
        s.main.takeDialogFocus(dialog)
}

function openMacroEditorOverKeyAssigment(s, loader) {
    s.keys.keyAssigmentFocus()
    const editor = s.main.built(loader)
    editor.z = s.keys.z + 1
    openDialog(s, editor)
}

// A press on the mask: the open dialog ends its editing and takes the focus.
function maskPressed(s) {
    if (s.macro)
        s.macro.macroEditorFocus()
    if (s.profile)
        s.profile.profileFocus()
    if (s.gun)
        s.gun.gunControlFocus()
    s.light.lightControlFocus()
    if (s.system)
        s.system.systemSettingFocus()
}

function keyAssigmentClosed(s) {
    releaseMask(s)
    // A closed dialog waits for no key, now or when it opens again.
    s.keys.isFireInput = false
    if (s.keys.isComboInput)
        s.keys.cancelCombo()
}

function macroEditorClosed(s) {
    releaseMask(s)
    if (s.keys)
        s.keys.macroList.closeMenu()
}

// The macro names changed: the assignment dialog offers them.
function offerMacroNames(s, names) {
    if (s.keys)
        s.keys.macroList.addData(names, true)
}

// Keys go to the field or the recorder that waits for them.
function routeKey(s, isDown, usbCode) {
    const macroList = s.macro ? s.macro.macroNumber_lv : null
    if (macroList && macroList.currentIndex >= 0) {
        if (s.macro.isInputting === true)
            s.macro.detectKeyboard(isDown, usbCode)
        if (s.macro.isInsertting === true)
            s.macro.detectInput(isDown, usbCode)
    }
    if (!s.keys)
        return
    if (s.keys.isFireInput === true)
        s.keys.detectKeyboard(isDown, usbCode, 0)
    if (s.keys.isComboInput === true)
        s.keys.detectKeyboard(isDown, usbCode, 1)
}

// The window went to the tray: nothing waits for keys any more.
function endCaptures(s) {
    if (s.macro) {
        if (s.macro.isInputting)
            s.macro.stopRecording()
        // The insert-key box goes as when the editor closes: nothing inserted.
        s.macro.insertKeyBox.visible = false
        s.macro.isInsertting = false
    }
    if (s.keys) {
        s.keys.isFireInput = false
        if (s.keys.isComboInput)
            s.keys.cancelCombo()
    }
}

// Escape: the open dialog on top closes as its close mark would.
function closeTopDialog(s) {
    const returns = s.main.focusReturns
    for (let i = returns.length - 1; i >= 0; --i) {
        const dialog = returns[i].dialog
        if (!dialog.visible)
            continue
        if (dialog === s.keys) {
            if (!s.keys.takesEscape())
                s.keys.closeDialog()
        } else
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
    if (keyMatrixUnsaved || dpiUnsaved || lightUnsaved || s.main.profileRestUnsent)
        s.main.controlUIEnable(false)
    const failures = view.deviceFailureCount()
    const writeFailures = view.failedWrites()
    // A screen whose values could not be written, or that the mouse did not
    // take, stays unsaved so that the next Save tries again; the profile then
    // goes back to what it held, so that it keeps what the mouse has.
    const saveScreen = (screen, label, save) => {
        const [failed, refused] = [view.failedWrites(), view.deviceFailureCount()]
        view.holdProfile()
        screen.isSave = false
        runStep(s, label, save)
        if (view.deviceFailureCount() !== refused)
            view.restoreHeldProfile()
        if (view.failedWrites() !== failed || view.deviceFailureCount() !== refused)
            screen.isSave = true
    }
    try {
        if (keyMatrixUnsaved)
            saveScreen(s.keyMatrix, "key table", () => s.keyMatrix.modKeys.saveData())
        if (dpiUnsaved)
            saveScreen(s.dpi, "DPI", () => s.dpi.saveData(true))
        if (lightUnsaved)
            saveScreen(s.light, "lighting", () => s.light.saveData(true, 0))
        if (s.main.profileRestUnsent) {
            const before = view.deviceFailureCount()
            sendProfileRest(s)
            s.main.profileRestUnsent = view.deviceFailureCount() !== before
        }
    } finally {
        s.main.controlUIEnable(true)
    }
    if (view.deviceFailureCount() === failures)
        return view.failedWrites() === writeFailures
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
    const prompt = m.built(s.loaders.unsaved)
    if (!prompt.visible)
        openDialog(s, prompt)
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
        changeProfile(s, action.profileNo)
}

// Runs `send` (device traffic for settings the screens already show); when
// the mouse did not take it all, the screens are marked unsaved so that Save
// sends them again, and the user is told.
function sendOrMarkUnsaved(s, send) {
    const sent = sendAndTell(s, send)
    s.main.profileRestUnsent = !sent
    if (!sent)
        markUnsaved(s, true, true, true)
}

// Runs `send`, traffic the user asked for; false when the mouse did not take
// all of it, and the user is told.
function sendAndTell(s, send) {
    const failures = s.view.deviceFailureCount()
    send()
    if (s.view.deviceFailureCount() === failures)
        return true
    tellNotWritten(s)
    return false
}

// A macro body sent as it was assigned or restored did not reach its slot:
// the user is told, and Save sends the slots again.
function macroBodyRefused(s) {
    s.main.profileRestUnsent = true
    tellNotWritten(s)
}

function tellNotWritten(s) {
    s.view.notifyUser(s.main.noticeLang[5])
}

// Loads every device screen of the current profile and sends it.
function reloadAndSend(s) {
    runStep(s, "key table", () => s.keyMatrix.init(true, false))
    runStep(s, "report rate", () => s.reportRate.init(true))
    runStep(s, "DPI", () => s.dpi.init(true, false))
    runStep(s, "lighting", () => s.light.init(true, false))
    runStep(s, "system settings", () => {
        if (s.system)
            s.system.init(true, false)
        else
            System.applyStored(s.view)
    })
    sendGunMatrices(s)
}

// What a profile switch sends to the mouse besides the key table, DPI and
// lighting (the pointer settings went to the desktop, not to the mouse).
function sendProfileRest(s) {
    runStep(s, "report rate", () => s.reportRate.init(true))
    sendGunMatrices(s)
    sendMacroSlots(s)
}

function sendGunMatrices(s) {
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
        s.menuUp.markProfile(profileNo)
        s.view.setGlobalData(SettingKeys.mouseProfileNo, profileNo)
        s.view.setCurrentProfile(profileNo)
        sendOrMarkUnsaved(s, () => {
            reloadAndSend(s)
            sendMacroSlots(s)
        })
    } finally {
        m.controlUIEnable(true)
    }
}

// The macro slots the current key table plays get the bodies this profile
// names; the mouse still holds those of the previous profile.
// The rows that play a macro: the row, the slot it plays and the macro
// stored for that slot (rows of an empty slot are left out).
function macroRows(s) {
    const keys = s.keyMatrix.modKeys
    const rows = []
    for (let i = 0; keys && i < keys.count; ++i) {
        const entry = keys.get(i)
        if (Number(entry.keyCode0) !== 4)
            continue
        const slot = Number(entry.keyCode2)
        const name = s.view.getData(SettingKeys.mouseMacroKey + slot, false)
        if (name !== undefined && String(name).length > 0)
            rows.push({ row: i, slot: slot, name: String(name) })
    }
    return rows
}

// Sends each slot's macro once: every bound slot, or only the slots that
// play `macroName`. Several buttons may play one slot.
function sendMacroSlots(s, macroName) {
    const sent = []
    for (const r of macroRows(s)) {
        if ((macroName !== undefined && r.name !== macroName) || sent.indexOf(r.slot) >= 0)
            continue
        sent.push(r.slot)
        runStep(s, "macro " + r.slot, () => s.keyNames.sendMacro(r.slot, r.name))
    }
}

function factoryReset(s) {
    const m = s.main
    m.controlUIEnable(false)
    try {
        if (s.resetConfirm)
            s.resetConfirm.visible = false
        releaseMask(s)
        clearUnsaved(s)
        s.view.resetProfile(m.profileNo)
        sendOrMarkUnsaved(s, () => {
            reloadAndSend(s)
            s.view.mouseSetCurrentDPI(2)
        })
        s.dpi.currentDPI = 1
        runStep(s, "gun control", () => {
            if (s.gun) {
                s.gun.resetData()
            } else {
                Gun.resetStored(s.view)
                m.gunUnsent = true
            }
        })
    } finally {
        m.controlUIEnable(true)
    }
}

// Hides the mask unless a dialog is still open: the macro editor can close
// over the assignment dialog, which must stay modal. The focus goes back to
// where it was when the closed dialogs opened.
function releaseMask(s) {
    const dialogs = [s.macro, s.gun, s.system, s.keys, s.profile, s.resetConfirm, s.unsavedPrompt]
    s.mask.visible = dialogs.some((dialog) => dialog !== null && dialog.visible)
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
    return macroRows(s).filter((r) => r.name === macroName).map((r) => r.row)
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
            // Buttons the mouse still plays the macro from stay to be saved.
            if (!sendAndTell(s, () => keys.saveData()))
                markUnsaved(s, true, false, false)
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

// An edited macro goes again to every slot a button plays it from (the
// slot is the entry's, which need not be the button's own number).
function modifyMacroData(s, macroName) {
    sendAndTell(s, () => sendMacroSlots(s, String(macroName)))
}
