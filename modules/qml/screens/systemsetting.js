.pragma library
// Pointer and double-click speed levels from slider positions (352-pixel
// track: knob positions 3..337), and the stored wheel scroll amount.

.import "../basic/values.js" as Values
.import "../basic/settingkeys.js" as SettingKeys

var compareValue = [4, 37, 70, 104, 138, 172, 205, 239, 272, 305, 338]
var minPosition = 3
var maxPosition = 337
var oneScreen = 1000
var maxRows = 100

// Index of the first threshold above the position: 0..10.
function levelOf(position) {
    var above = compareValue.findIndex((value) => value > position)
    return above < 0 ? compareValue.length - 1 : above
}

// Line count 1..100, or 1000 for one screen at a time.
function scrollAmount(isRows, rowsText) {
    if (!isRows)
        return oneScreen
    var rows = parseInt(rowsText, 10)
    return isNaN(rows) || rows < 1 ? 1 : Math.min(rows, maxRows)
}

// The stored settings as the dialog shows them: knob positions on the
// track (`fallbacks` [speed, double click] for missing ones) and the scroll
// amount.
function storedValues(view, isRecovery, fallbacks) {
    var position = function(key, fallback) {
        return Values.clamp(Values.toInt(view.getData(key, isRecovery), fallback), minPosition,
                            maxPosition)
    }
    var scroll = Values.toInt(view.getData(SettingKeys.mouseScrollRate, isRecovery), 1)
    return { speed: position(SettingKeys.mouseMouseRate, fallbacks[0]),
             doubleClick: position(SettingKeys.mouseDoubleRate, fallbacks[1]),
             scroll: scroll > maxRows ? oneScreen : Math.max(1, scroll) }
}

// Why the desktop cannot take each setting ("" where it can).
function reasons(view) {
    return [0, 1, 2].map(function(i) { return Values.toText(view.pointerSettingReason(i), "") })
}

// Stores `values` and applies step `step` of them (0 all, 1 speed, 2
// double click, 3 scroll) where the desktop takes it.
function storeAndApply(view, values, step, why) {
    view.setData(SettingKeys.mouseMouseRate, values.speed)
    view.setData(SettingKeys.mouseDoubleRate, values.doubleClick)
    view.setData(SettingKeys.mouseScrollRate, values.scroll)
    if (step < 0)
        return
    if ((step === 0 || step === 1) && why[0] === "")
        view.mouseSetCursorSpeed(levelOf(values.speed))
    if ((step === 0 || step === 2) && why[1] === "")
        view.mouseSetDoubleClickSpeed(levelOf(values.doubleClick))
    if ((step === 0 || step === 3) && why[2] === "")
        view.mouseSetVerticalScrollLines(values.scroll)
}

// The row of language `code` in the drop-down's model, -1 where it has none.
function rowOfLanguage(model, code) {
    for (let row = 0; row < model.count; ++row) {
        if (model.get(row).code === code)
            return row
    }
    return -1
}
