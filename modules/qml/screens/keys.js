.pragma library
// The key assignment records of the button screens: built-in table, option
// codes, display texts, capture steps and the list the view takes.

var entryCount = 16
// The HID usage of Escape, which a capture may take as any other key.
var escapeUsage = 0x29

// The assignment texts (labels of every category and option) before the
// language file replaces them.
var defaultLang = ["Key ", "Mouse Function", "Left Key", "Middle Key", "Right Key",
    "Forward Key", "Back Key", "Double Fire", "Fire Function", "Key Value", "Click Input",
    "Rate", "Times", "Endness", "Group Function", "Media Function", "Macro Function",
    "Macro Editor", "Macro runs one-time after pressing the button",
    "Macro runs endless loop until any button is pressed",
    "Macro runs endless loop until button is released", "DPI Function", "DPI+", "DPI-",
    "DPI LOOP", "Windows Function", "Shortcut Function", "Player", "Next", "Privous", "Stop",
    "Mute", "Play/Pause", "Volumn+", "Volumn-", "My PC", "Index", "Search", "Max", "Min",
    "Desktop", "Run", "New", "Cut", "Copy", "Paste", "Save", "Print", "Find", "Redo", "Undo",
    "Select All", "Gun Function", "One Gun", "Two Gun", "Three Gun", "Sniper Key", "Close",
    "Restore the button", ""]

// Options of each category: the label index and the codes as eight
// hexadecimal digits, category first.
var mouseOptions = [
    { label: 2, code: "0000F000" }, { label: 3, code: "0000F200" },
    { label: 4, code: "0000F100" }, { label: 5, code: "0000F400" },
    { label: 6, code: "0000F300" }, { label: 7, code: "00f01e02" }
]
var mediaOptions = [
    { label: 27, code: "03008301" }, { label: 28, code: "0300b500" },
    { label: 29, code: "0300b600" }, { label: 30, code: "0300b700" },
    { label: 31, code: "0300e200" }, { label: 32, code: "0300cd00" },
    { label: 33, code: "0300e900" }, { label: 34, code: "0300ea00" }
]
var windowsOptions = [
    { label: 35, code: "06009401" }, { label: 36, code: "06002302" },
    { label: 37, code: "06002102" }, { label: 38, code: "06042c1b" },
    { label: 39, code: "06042c11" }, { label: 40, code: "0600e307" },
    { label: 41, code: "0600e315" }
]
var shortcutOptions = [
    { label: 42, code: "0700e011" }, { label: 43, code: "0700e01b" },
    { label: 44, code: "0700e006" }, { label: 45, code: "0700e019" },
    { label: 46, code: "0700e016" }, { label: 47, code: "0700e013" },
    { label: 48, code: "0700e009" }, { label: 49, code: "0700e01c" },
    { label: 50, code: "0700e01d" }, { label: 51, code: "0700e004" }
]
var dpiOptions = [
    { label: 22, code: "05000100" }, { label: 23, code: "05000200" },
    { label: 24, code: "05000300" }, { label: 56, code: "05000400" }
]
var gunOptions = [
    { label: 53, code: "08000100" }, { label: 54, code: "08000200" },
    { label: 55, code: "08000300" }
]

// Four codes from eight hexadecimal digits, two per code, category first;
// null for anything else.
function keyCodeStrProc(keyCode) {
    var text = String(keyCode)
    if (!/^[0-9a-fA-F]{8}$/.test(text))
        return null
    var codes = []
    for (var i = 0; i < 4; ++i)
        codes.push(parseInt(text.substr(2 * i, 2), 16))
    return codes
}

// The option of `options` whose second and third parameters are (c2, c3).
function optionIndex(options, c2, c3) {
    for (var i = 0; i < options.length; ++i) {
        var codes = keyCodeStrProc(options[i].code)
        if (codes[2] === c2 && codes[3] === c3)
            return i
    }
    return -1
}

// The row of the option group `group` ("mouse", "dpi", "gun", "media",
// "windows" or "shortcut") that shows the assignment `codes`; -1 when the
// assignment belongs to another group or no row shows it.
function choiceIndex(group, codes) {
    var c0 = codes[0]
    var c2 = codes[2]
    switch (group) {
    case "mouse":
        return c0 === 0 ? [0xF0, 0xF2, 0xF1, 0xF4, 0xF3, 0x1E].indexOf(c2) : -1
    case "dpi":
        return c0 === 5 && c2 >= 1 && c2 <= 4 ? c2 - 1 : -1
    case "gun":
        return c0 === 8 && c2 >= 1 && c2 <= 3 ? c2 - 1 : -1
    case "media":
        return c0 === 3 ? optionIndex(mediaOptions, c2, codes[3]) : -1
    case "windows":
        return c0 === 6 ? optionIndex(windowsOptions, c2, codes[3]) : -1
    case "shortcut":
        return c0 === 7 ? optionIndex(shortcutOptions, c2, codes[3]) : -1
    default:
        return -1
    }
}

function optionText(options, lang, c2, c3) {
    var i = optionIndex(options, c2, c3)
    return i < 0 ? "" : label(lang, options[i].label)
}

function label(lang, index) {
    var text = lang && index < lang.length ? lang[index] : undefined
    return text === undefined || text === null ? "" : String(text)
}

// Modifier usages E0H..E7H in the order of their mask bits.
var modifierUsages = [0xE0, 0xE1, 0xE2, 0xE3, 0xE4, 0xE5, 0xE6, 0xE7]

function isModifier(usbCode) {
    return usbCode >= 0xE0 && usbCode <= 0xE7
}

// Display text of an assignment. `nameOf(code)` gives key names and
// `macroNameOf(slot)` the name of the macro bound to a slot.
function keyCodeToString(c0, c1, c2, c3, lang, nameOf, macroNameOf) {
    switch (c0) {
    case 0:
        if (c2 === 0xF0) return label(lang, 2)
        if (c2 === 0xF2) return label(lang, 3)
        if (c2 === 0xF1) return label(lang, 4)
        if (c2 === 0xF4) return label(lang, 5)
        if (c2 === 0xF3) return label(lang, 6)
        // Only the double-click code reads as a double click; an unassigned
        // 00 00 00 00 entry shows nothing.
        return c2 === 0x1E ? label(lang, 7) : ""
    case 1:
        return nameOf(c1)
    case 2: {
        var parts = []
        for (var bit = 0; bit < 8; ++bit) {
            if (c1 & (1 << bit))
                parts.push(nameOf(modifierUsages[bit]))
        }
        if (c2 !== 0)
            parts.push(nameOf(c2))
        if (c3 !== 0)
            parts.push(nameOf(c3))
        return parts.join("+")
    }
    case 3:
        return optionText(mediaOptions, lang, c2, c3)
    case 4: {
        var name = macroNameOf(c2)
        return name === undefined || name === null ? "" : String(name)
    }
    case 5:
        return label(lang, [22, 23, 24, 56][c2 - 1])
    case 6:
        return optionText(windowsOptions, lang, c2, c3)
    case 7:
        return optionText(shortcutOptions, lang, c2, c3)
    case 8:
        return c2 >= 1 && c2 <= 3 ? label(lang, 52 + c2) : ""
    default:
        return ""
    }
}

// True when exactly one entry is a left click and it is entry `selectKey`:
// that button may not be reassigned.
function isLastLeftKey(entries, selectKey) {
    var found = -1
    var count = 0
    for (var i = 0; i < entries.length; ++i) {
        if (entries[i][0] === 0 && entries[i][2] === 0xF0) {
            ++count
            found = i
        }
    }
    return count === 1 && found === selectKey
}

// The 64 values the view takes: four codes per entry, entry by entry.
function src64(entries) {
    var list = []
    for (var i = 0; i < entryCount; ++i) {
        var codes = entries[i] || [0, 0, 0, 0]
        for (var k = 0; k < 4; ++k)
            list.push(codes[k] === undefined ? 0 : codes[k])
    }
    return list
}

// Fire rate in milliseconds at knob position `position` of the 94-pixel
// rate slider (3..79).
function fireRate(position) {
    return Math.max(4, Math.min(80, Math.floor(position) + 1))
}

// A combination capture: a modifier mask, up to two other keys and the
// names in the order they were pressed.
function newCombo() {
    return { mask: 0, keys: [], names: [] }
}

// One key press of a combination capture; returns the new state.
function comboAdd(state, usbCode, name) {
    var next = { mask: state.mask, keys: state.keys.slice(), names: state.names.slice() }
    if (isModifier(usbCode)) {
        next.mask |= 1 << (usbCode - 0xE0)
        next.names.push(name)
    } else if (next.keys.length < 2) {
        next.keys.push(usbCode)
        next.names.push(name)
    }
    return next
}

function comboText(state) {
    return state.names.join(" + ")
}

function comboCodes(state) {
    return [0x02, state.mask, state.keys.length > 0 ? state.keys[0] : 0,
            state.keys.length > 1 ? state.keys[1] : 0]
}

// Fills the model of a drop-down grid with `texts`, padded with empty cells
// to whole rows of three.
function fillGrid(model, texts) {
    model.clear()
    for (var i = 0; i < texts.length; ++i)
        model.append({ textValue: texts[i] })
    while (model.count % 3 !== 0)
        model.append({ textValue: "" })
}

// The row of a list model whose text is `text`; -1 when none is.
function rowOf(model, text) {
    for (var i = 0; i < model.count; ++i) {
        if (String(model.get(i).textValue) === text)
            return i
    }
    return -1
}

// The repeat count typed into a field: 0 (endless) for anything but a
// number, at most 255.
function repeatCount(text) {
    var n = parseInt(text, 10)
    return isNaN(n) || n < 0 ? 0 : Math.min(255, n)
}
