.pragma library
.import "macro.js" as Macro
.import "../basic/refusal.js" as Refusal
.import "../basic/values.js" as Values
// What the macro editor does with its lists: `editor` is the editor item
// (its models, lists and fields), `view` the native side that keeps the
// macro files and the name list.

function currentName(editor) {
    var row = editor.macroNumber_lv.currentIndex
    return row >= 0 && row < editor.macroNumberModel.count
            ? String(editor.macroNumberModel.get(row).textValue) : ""
}

function autoSave(editor, view) {
    var name = currentName(editor)
    if (name.length === 0)
        return
    // An edit the data folder did not take is not shown as the macro (nor
    // sent): the stored events come back, and the view says why.
    if (!view.saveMacroIni(name, Macro.storedList(Macro.eventsOf(editor.actionModel)),
                           Values.toInt(editor.timesInput.textValue, 0))) {
        loadEvents(editor, view)
        return
    }
    ++editor.saveCount
    editor.modifyMacroData(name)
}

function loadEvents(editor, view) {
    editor.actionModel.clear()
    var name = currentName(editor)
    if (name.length === 0)
        return
    var loaded = Macro.parseLoaded(view.loadMacroIni(name))
    for (var i = 0; i < loaded.events.length; ++i)
        editor.actionModel.append(loaded.events[i])
    editor.timesInput.textValue = String(Math.min(loaded.repeat, 9999))
    editor.actionList.currentIndex = -1
}

// Appends a recorded key event, with the wait before it when delays are
// recorded, while the macro may still grow.
function recordKey(editor, view, isDown, usbCode) {
    var name = editor.nameOf(usbCode)
    if (name.length === 0)
        return
    var events = Macro.eventsOf(editor.actionModel)
    var added = []
    if (events.length > 0 && editor.delayCheck.isSelect)
        added.push({ type: 0, info: String(editor.macroRecordCount * 10) })
    added.push({ type: Macro.recordedType(isDown, usbCode), info: name })
    if (!Macro.mayRecord(view, events, added))
        return
    editor.macroRecordCount = 0
    for (var i = 0; i < added.length; ++i)
        editor.actionModel.append(added[i])
    editor.actionList.positionViewAtEnd()
}

// A row appears only once its file is written.
function newMacro(editor, view) {
    var name = Macro.nextName(editor.macroNames())
    if (editor.macroNumberModel.count >= Macro.maxMacros || name.length === 0)
        return
    if (editor.isInputting)
        editor.stopRecording()
    if (!view.createMacroIni(name, 0))
        return
    editor.macroNumberModel.append({ textValue: name })
    editor.macroNumber_lv.currentIndex = editor.macroNumberModel.count - 1
    loadEvents(editor, view)
    editor.storeNames()
}

// A stray macro file under the new name would be kept instead of the
// imported one, so such names are passed over.
function importMacro(editor, view) {
    var name = Macro.nextName(editor.macroNames(), function (taken) {
        return editor.hasMacroFile(taken)
    })
    if (editor.macroNumberModel.count >= Macro.maxMacros || name.length === 0)
        return
    if (editor.isInputting)
        editor.stopRecording()
    // Cancelled or refused (the view says why): no row.
    if (!view.loadMacroFile(name))
        return
    if (!Macro.fits(view, Macro.parseLoaded(view.loadMacroIni(name)).events)) {
        view.deleteMacroIni(name)
        view.refuse(Refusal.importTooLong)
        return
    }
    var selected = editor.macroNumber_lv.currentIndex
    var row = selected >= 0 ? selected : editor.macroNumberModel.count
    editor.macroNumberModel.insert(row, { textValue: name })
    editor.macroNumber_lv.currentIndex = row
    loadEvents(editor, view)
    editor.storeNames()
}

function deleteCurrentMacro(editor, view) {
    var row = editor.macroNumber_lv.currentIndex
    var name = currentName(editor)
    if (name.length === 0)
        return
    if (editor.isInputting)
        editor.stopRecording()
    // Refused (the view says why): the macro stays.
    if (!view.deleteMacroIni(name))
        return
    editor.actionModel.clear()
    editor.deleteMacro(name)
    editor.macroNumberModel.remove(row)
    editor.macroNumber_lv.currentIndex = Math.min(row, editor.macroNumberModel.count - 1)
    loadEvents(editor, view)
    editor.storeNames()
}

// A new name is taken when no row bears it yet, it can name a file, and
// no stray macro file already has it. The store renames the file and the
// profiles' links first; a rename it refuses changes nothing here.
function renameMacro(editor, view, row, newName) {
    if (row < 0 || row >= editor.macroNumberModel.count)
        return false
    var oldName = String(editor.macroNumberModel.get(row).textValue)
    if (newName === oldName)
        return false
    var reason = Macro.nameRefusal(newName, editor.macroNames())
    if (reason < 0 && editor.hasMacroFile(newName))
        reason = Refusal.nameTaken
    if (reason < 0 && !view.modifyMacroNameUpdateProfile(oldName, newName))
        reason = Refusal.renameFailed
    if (reason >= 0) {
        view.refuse(reason)
        return false
    }
    editor.macroNumberModel.setProperty(row, "textValue", newName)
    editor.storeNames()
    editor.modifyMacroName(oldName, newName)
    return true
}

function commitEdits(editor, view) {
    var row
    if (editor.nameEditRow >= 0) {
        row = editor.nameEditRow
        editor.nameEditRow = -1
        renameMacro(editor, view, row, editor.editText)
    }
    if (editor.delayEditRow >= 0) {
        row = editor.delayEditRow
        editor.delayEditRow = -1
        var ms = Macro.parseDelay(editor.editText)
        if (ms !== null && row < editor.actionModel.count) {
            var events = Macro.eventsOf(editor.actionModel)
            events[row].info = String(ms)
            if (Macro.fits(view, events))
                editor.actionModel.setProperty(row, "info", String(ms))
            else
                view.refuse(Refusal.macroTooLong)
        }
        autoSave(editor, view)
    }
}

function stopRecording(editor, view) {
    editor.recordClock.stop()
    editor.isInputting = false
    var events = Macro.eventsOf(editor.actionModel)
    var releases = Macro.missingReleases(events)
    // The recorder stops short of the block's end, so the releases fit.
    if (Macro.recordCount(view, events.concat(releases)) <= Macro.blockSize) {
        for (var i = 0; i < releases.length; ++i)
            editor.actionModel.append(releases[i])
    }
    autoSave(editor, view)
}

// Removes a last recorded press of `usage`, with the wait recorded before it.
function dropTrailingPress(editor, usage) {
    var model = editor.actionModel
    var last = model.count - 1
    if (last < 0)
        return
    var event = model.get(last)
    if (event.type !== Macro.recordedType(true, usage) || event.info !== editor.nameOf(usage))
        return
    model.remove(last)
    if (last > 0 && model.get(last - 1).type === 0)
        model.remove(last - 1)
}

// Inserts `events` at `row` when the macro may still grow.
function insertEvents(editor, view, row, events) {
    var current = Macro.eventsOf(editor.actionModel)
    var candidate = current.slice(0, row).concat(events, current.slice(row))
    if (!Macro.mayGrow(view, current, candidate)) {
        view.refuse(Refusal.macroTooLong)
        return false
    }
    for (var i = 0; i < events.length; ++i)
        editor.actionModel.insert(row + i, events[i])
    return true
}

// The action menu: delete, insert a delay, insert a key (through the
// insert-key box), insert a left, middle or right click after the row.
function actionMenuChosen(editor, view, entry) {
    var row = editor.actionList.currentIndex
    if (row < 0 || row >= editor.actionModel.count)
        return
    switch (entry) {
    case 0:
        // Two waits around the event merge into one longer encoding.
        var rest = Macro.eventsOf(editor.actionModel)
        rest.splice(row, 1)
        if (!Macro.fits(view, rest)) {
            view.refuse(Refusal.macroTooLong)
            return
        }
        editor.actionModel.remove(row)
        editor.actionList.currentIndex = Math.min(row, editor.actionModel.count - 1)
        break
    case 1:
        if (!insertEvents(editor, view, row, [{ type: 0, info: Macro.defaultDelay }]))
            return
        editor.actionList.currentIndex = row
        break
    case 2:
        if (Macro.recordCount(view, Macro.eventsOf(editor.actionModel)) >= Macro.recordLimit) {
            view.refuse(Refusal.macroTooLong)
            return
        }
        editor.startKeyInsert()
        return
    default:
        var button = ["MS-L", "MS-M", "MS-R"][entry - 3]
        if (!insertEvents(editor, view, row + 1, [{ type: 3, info: button },
                                                  { type: 4, info: button }]))
            return
    }
    autoSave(editor, view)
}

// The key from the insert-key box goes before the selected row, or at the
// end when no row or the last one is selected.
function insertKey(editor, view) {
    var selected = editor.actionList.currentIndex
    var last = editor.actionModel.count - 1
    var row = selected < 0 || selected >= last ? editor.actionModel.count : selected
    var name = editor.tmpKeyString
    if (name.length === 0)
        return
    if (insertEvents(editor, view, row, [{ type: 1, info: name }, { type: 2, info: name }]))
        autoSave(editor, view)
}

// Recording starts on an emptied macro and needs a selected one.
// `keyUsage`: the key that pressed the record button, 0 for a click.
function toggleRecording(editor, view, keyUsage) {
    if (editor.isInputting) {
        // The recorder may have taken the press of the key that stops it
        // before the button did: that press is no part of the macro.
        if (keyUsage > 0)
            dropTrailingPress(editor, keyUsage)
        stopRecording(editor, view)
        return
    }
    if (editor.macroNumber_lv.currentIndex < 0) {
        view.notifyUser(Refusal.text(editor.refusalLang, Refusal.noMacroToRecord))
        return
    }
    editor.macroEditorFocus()
    editor.actionModel.clear()
    editor.macroRecordCount = 0
    editor.recordClock.start()
    editor.isInputting = true
}
