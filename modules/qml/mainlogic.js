.pragma library
// The root's part of the scene: its start, what it shows of the session's
// sequences (the native side runs them: Save, a switch, a reset, the sends
// of macros and gun slots) and the unsaved-changes question. `s` is the
// root's `screens`: the root (`main`), its screens and dialogs by role, and
// the native objects (`view`, `ctl`). A dialog not built yet (or released)
// is null there.

.import "basic/values.js" as Values
.import "basic/settingkeys.js" as SettingKeys
.import "dialogs.js" as Dialogs

// The texts of the screens built at start; each dialog takes its own when
// it is built.
function loadTexts(s) {
    const m = s.main
    const textsOf = (type, texts) => Dialogs.textsOf(s, type, texts)
    m.mainLang = textsOf("main", m.mainLang)
    s.keyMatrix.keyMatrixLang = textsOf("keyMatrix", s.keyMatrix.keyMatrixLang)
    s.keyNames.keyAssigmentLang = textsOf("keyAssigment", s.keyNames.keyAssigmentLang)
    s.dpi.dpiSettingLang = textsOf("dpiSetting", s.dpi.dpiSettingLang)
    s.light.lightControlLang = textsOf("lightControl", s.light.lightControlLang)
    s.profiles.firstName = textsOf("profile", ["", "", "", "", "", s.profiles.firstName])[5]
    s.keyNames.keyCodeStr = textsOf("keyCode", s.keyNames.keyCodeStr)
    m.noticeLang = textsOf("notice", m.noticeLang)
    s.keyMatrix.refusalLang = textsOf("refusal", s.keyMatrix.refusalLang)
}

// Another language is in use: the screens, the dialogs built and the key
// table's rows take its texts; nothing else changes.
function relabel(s) {
    s.main.language = s.view.language()
    loadTexts(s)
    s.keyMatrix.relabel()
    s.profiles.init()
    for (const role of ["macro", "gun", "system", "profile"]) {
        if (s[role])
            Dialogs.applyTexts(s, role, s[role])
    }
}

function firstStart(s) {
    const m = s.main
    const view = s.view
    Dialogs.runStep(s, "global settings", () => {
        m.isColorful = Values.toBool(view.getGlobalData(SettingKeys.mouseIsColorful), m.isColorful)
        m.icType = Values.toText(view.getGlobalData(SettingKeys.mouseIcType), m.icType)
        m.is55328 = Values.toBool(view.getGlobalData(SettingKeys.mouseIs55328), m.is55328)
        m.isGun = Values.toBool(view.getGlobalData(SettingKeys.mouseIsGun), m.isGun)
        s.mouse.keyCount = Values.toInt(view.getGlobalData(SettingKeys.mouseKeyCount), 8)
        m.language = Values.toText(view.getGlobalData(SettingKeys.commonLanguage), m.language)
        m.url = view.manualUrl() || Values.toText(view.getGlobalData(SettingKeys.commonUrl), m.url.toString())
    })
    Dialogs.runStep(s, "texts", () => loadTexts(s))
    Dialogs.runStep(s, "profiles", () => s.profiles.init())
    profileShown(s, view.activeProfile)
    s.menuUp.closeMenu()
    // A switch or reset the mouse refused before the last quit is still owed.
    if (view.profileUnsent) {
        markUnsaved(s)
        view.notifyUser(m.noticeLang[7])
    }
}

// The session made `profileNo` active, or put its values anew: the screens
// show the stored values, and the edits of the one before are gone.
function profileShown(s, profileNo) {
    s.main.profileNo = profileNo
    s.menuUp.markProfile(profileNo)
    const profile = s.view.profileSettings(false)
    Dialogs.runStep(s, "key table", () => s.keyMatrix.load(profile.keys,
                                                           s.view.profileSettings(true).keys))
    Dialogs.runStep(s, "report rate", () => s.reportRate.show(profile.reportRate))
    Dialogs.runStep(s, "DPI", () => s.dpi.load(profile.dpi))
    Dialogs.runStep(s, "lighting", () => s.light.load(profile.lighting))
    Dialogs.runStep(s, "system settings", () => {
        if (s.system)
            s.system.init(false, false)
    })
    clearUnsaved(s)
}

function initUI(s) {
    const m = s.main
    m.setProtectUI(1000)
    m.visible = true
    if (!m.isPownOn) {
        firstStart(s)
        m.isPownOn = true
    }
}

// Comes after the mouse's start-up exchanges have ended: the start-up lock
// has nothing left to protect.
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

function setProtectUI(lockTimer, interval) {
    // A zero-length timer would fire at once; one millisecond unlocks at the
    // next turn of the event loop.
    lockTimer.interval = Math.max(1, interval)
    lockTimer.restart()
}

function unlock(s) {
    if (s.powerOn.visible) {
        s.powerOn.visible = false
        s.main.isMainShown = true
    }
}

// The panels are locked while the session sends: the control that had the
// keyboard (`focused`) gets it back when they are unlocked.
function lockChanged(s, locked, focused) {
    const m = s.main
    if (locked) {
        m.lockedFocus = focused
    } else if (m.lockedFocus) {
        if (m.lockedFocus.visible && m.lockedFocus.enabled)
            m.lockedFocus.forceActiveFocus()
        m.lockedFocus = null
    }
}

function requestProfileSwitch(s, profileNo) {
    if (profileNo === s.main.profileNo)
        s.menuUp.markProfile(profileNo)
    else
        askAboutUnsavedChanges(s, { quit: false, profileNo: profileNo })
}

// Stores and sends every screen with unsaved changes (and, while the mouse
// lacks part of the profile, the rest of it). `then(ok)` hears whether it
// all went through; what did not stays marked unsaved, and the user is
// told.
function saveChanges(s, then) {
    Dialogs.mainFocus(s)
    const panels = { keys: s.keyMatrix, dpi: s.dpi, lighting: s.light }
    const values = {}
    if (s.keyMatrix.isSave === true)
        values.keys = s.keyMatrix.src64()
    if (s.dpi.isSave)
        values.dpi = s.dpi.saveValues()
    if (s.light.isSave === true)
        values.lighting = s.light.saveValues()
    s.view.save(values, (ok, keys, dpi, lighting) => {
        const unsaved = { keys: keys, dpi: dpi, lighting: lighting }
        for (const panel in values)
            panels[panel].isSave = unsaved[panel]
        if (then)
            then(ok)
    })
}

function markUnsaved(s) {
    s.keyMatrix.isSave = true
    s.dpi.isSave = true
    s.light.isSave = true
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
        Dialogs.openDialog(s, prompt)
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
    Dialogs.releaseMask(s)
    const unchanged = () => s.menuUp.markProfile(m.profileNo)
    if (!action || answer === 2) {
        unchanged()
    } else if (answer === 0) {
        saveChanges(s, (ok) => ok ? runAction(s, action) : unchanged())
    } else {
        profileShown(s, m.profileNo)
        runAction(s, action)
    }
}

function runAction(s, action) {
    if (action.quit)
        s.ctl.onQuit()
    else
        s.view.switchProfile(action.profileNo)
}

function factoryReset(s) {
    if (s.resetConfirm)
        s.resetConfirm.visible = false
    Dialogs.releaseMask(s)
    s.view.factoryReset()
}

// The reset gave the gun slots their presets back; what of them the mouse
// did not take goes again with the gun editor's next closing.
function gunPresetsReset(s) {
    if (s.gun) {
        s.gun.init()
        s.gun.isSave = true
    } else {
        s.main.gunUnsent = true
    }
}

// Buttons that played a deleted macro get their defaults back, on the
// mouse too; if it does not take them they stay to be saved.
function deleteMacro(s, macroName) {
    s.keyMatrix.restoreRowsPlaying(macroName)
    s.view.sendKeyTable(s.keyMatrix.src64(), (ok) => {
        if (!ok)
            s.keyMatrix.isSave = true
    })
    s.view.deleteMacroUpdateProfile(macroName)
}
