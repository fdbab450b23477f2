.pragma library
// The main window's dialogs: what each one's signals do, how each is
// prepared when it is built and released when the window goes to the tray,
// the mask behind them, their focus, the keys that close or enter them and
// the keys they record.
// `s` is the root's `screens` (see mainlogic.js); the root's own sequences
// are reached through `s.main`.

// Runs one step; a step that fails (a damaged value, an operation the
// native side lacks) is reported and the next one runs.
function runStep(s, label, step) {
    try {
        step()
    } catch (error) {
        console.warn(s.log, "Step failed:", label, "-", error)
    }
}

// The texts of `type` in the current language over `texts`.
function textsOf(s, type, texts) {
    const loaded = s.view.getLangStrings(type, s.main.language)
    const result = texts.slice()
    for (let i = 0; loaded && i < loaded.length; ++i)
        result[i] = String(loaded[i])
    return result
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
        dialog.deleteMacro.connect((macroName) => d.scene.deleteMacro(macroName))
        dialog.modifyMacroName.connect((oldName, newName) => d.scene.modifyMacroName(newName))
        dialog.modifyMacroData.connect((macroName) => d.scene.modifyMacroData(macroName))
        dialog.macroNamesChanged.connect((names) => offerMacroNames(d.screens, names))
        dialog.closed.connect(() => macroEditorClosed(d.screens))
    },
    gun: (d, dialog) => {
        dialog.closed.connect(() => releaseMask(d.screens))
        // The slots go out with the key table, which carries their fire periods.
        dialog.sendRequested.connect(() => d.screens.view.sendGunSlots(d.keyMatrix.src64(), (ok) => {
            if (d.screens.gun === dialog)
                dialog.isSave = !ok
            else if (!ok)
                d.scene.gunUnsent = true
        }))
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
        dialog.changeProfile.connect((profileNo) => d.screens.view.switchProfile(profileNo))
        dialog.closed.connect(() => {
            releaseMask(d.screens)
            d.screens.menuUp.closeMenu()
        })
    },
    unsaved: (d, dialog) => {
        dialog.chosen.connect((answer) => d.scene.answerUnsavedChanges(answer))
    },
    reset: (d, dialog) => {
        dialog.confirmed.connect(() => d.scene.factoryReset())
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

// The dialog's texts in the language in use.
function applyTexts(s, role, dialog) {
    const texts = dialogTexts[role] || {}
    for (const property in texts)
        dialog[property] = textsOf(s, texts[property], dialog[property])
}

// A dialog was just built: it takes its texts and the stored state.
function prepareDialog(s, role, dialog) {
    const m = s.main
    applyTexts(s, role, dialog)
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

// Shows `dialog` centred over the mask, with the keyboard.
function openDialog(s, dialog) {
    const m = s.main
    mainFocus(s)
    dialog.x = (m.width - dialog.width) / 2
    dialog.y = (m.height - dialog.height) / 2
    s.mask.visible = true
    dialog.visible = true
    m.takeDialogFocus(dialog)
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
