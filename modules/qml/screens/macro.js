.pragma library
.import "../basic/refusal.js" as Refusal
// Macros as the editor keeps them.
//
// An event is { type, info }: 0 delay (info: whole milliseconds), 1 key
// press, 2 key release, 3 mouse-button press, 4 mouse-button release (info:
// the key's name). The native side encodes them for the mouse.

var maxMacros = 100
// Recording and insertions stop once the encoded macro reaches this length.
var recordLimit = 126
// The device's macro block; an encoding longer than this loses its end.
var blockSize = 128
var sentinel = "loaderbraxel"
var maxNameLength = 64
var defaultDelay = "50"
var mouseButtonCode = 0xF0

// Events of a list model (count/get) or of an array, as plain objects.
function eventsOf(model) {
    var events = []
    if (!model)
        return events
    if (typeof model.count === "number" && typeof model.get === "function") {
        for (var i = 0; i < model.count; ++i) {
            var row = model.get(i)
            events.push({ type: Number(row.type), info: String(row.info) })
        }
        return events
    }
    for (var j = 0; j < model.length; ++j)
        events.push({ type: Number(model[j].type), info: String(model[j].info) })
    return events
}

// Encoded length of `events` in bytes, as the native side encodes them for
// the mouse (`view` is the scene's ui_View).
function recordCount(view, events) {
    return view.macroBytes(storedList(events), 0).length
}

// Whether `events` fits the device's block with its end marker.
function fits(view, events) {
    return recordCount(view, events) <= blockSize
}

// Whether `events` may still grow: below the record limit now, and the
// grown list `candidate` still fits the device's block.
function mayGrow(view, events, candidate) {
    return recordCount(view, events) < recordLimit && fits(view, candidate)
}

// Whether a recording may take `added` after `events`: the grown list must
// leave room for the releases of every key still held, which stopping the
// recording appends.
function mayRecord(view, events, added) {
    var candidate = events.concat(added)
    return recordCount(view, events) < recordLimit
            && fits(view, candidate.concat(missingReleases(candidate)))
}

// One stored event text: the type digit, a comma and the info.
function storedForm(event) {
    return String(event.type) + "," + event.info
}

function storedList(events) {
    var list = []
    for (var i = 0; i < events.length; ++i)
        list.push(storedForm(events[i]))
    return list
}

// The loaded form: event texts, then the repeat count. Texts whose first
// character is not a known type are skipped.
function parseLoaded(list) {
    var result = { events: [], repeat: 1 }
    if (!list || list.length === 0)
        return result
    var repeat = parseInt(String(list[list.length - 1]), 10)
    result.repeat = isNaN(repeat) ? 1 : Math.max(0, Math.min(0xFFFF, repeat))
    for (var i = 0; i < list.length - 1; ++i) {
        var text = String(list[i])
        var type = "01234".indexOf(text.charAt(0))
        if (text === "" || type < 0)
            continue
        result.events.push({ type: type, info: text.substring(2) })
    }
    return result
}

// A stored name list without the sentinel of a one-entry list.
function dropSentinel(list) {
    var names = []
    if (!list)
        return names
    for (var i = 0; i < list.length; ++i)
        names.push(String(list[i]))
    if (names.length === 2 && names[1] === sentinel)
        names.pop()
    return names
}

// "Macro_" and the smallest k in 0..99 not in `names` and, when given, not
// refused by `isTaken`; "" when all are taken.
function nextName(names, isTaken) {
    for (var k = 0; k < maxMacros; ++k) {
        var name = "Macro_" + k
        if (names.indexOf(name) < 0 && !(isTaken && isTaken(name)))
            return name
    }
    return ""
}

// A macro name becomes a file name in the macro folder, also on Windows
// and FAT file systems; a blank one would be an empty row in the lists.
function isPlainFileName(name) {
    if (name.trim().length === 0 || name === "." || name === "..")
        return false
    return !/[\/\\\x00-\x1f\x7f:*?"<>|]/.test(name)
}

// Why `name` cannot be given to a macro besides `names` (a reason of
// refusal.js), or -1 when it can. The name lists' sentinel would be
// dropped on read and the macro lost after a restart.
function nameRefusal(name, names) {
    if (!isPlainFileName(name))
        return Refusal.nameNotFileName
    if (name.length > maxNameLength)
        return Refusal.nameTooLong
    if (name === sentinel)
        return Refusal.nameReserved
    if (names.indexOf(name) >= 0)
        return Refusal.nameTaken
    return -1
}

// A delay entry: whole milliseconds 0..65535, or null.
function parseDelay(text) {
    var trimmed = String(text).trim()
    if (!/^\d+$/.test(trimmed))
        return null
    var ms = parseInt(trimmed, 10)
    return ms <= 0xFFFF ? ms : null
}

// The event recorded for a key or button: press or release, key or mouse.
// Releases for the keys and buttons that `events` press and never let go,
// in the order they were pressed. A recording that stops while a key is
// held would otherwise leave that key pressed whenever the macro plays.
function missingReleases(events) {
    var held = []
    for (var i = 0; i < events.length; ++i) {
        var type = Number(events[i].type)
        var release = type === 1 ? 2 : type === 3 ? 4 : 0
        var entry = { type: release, info: String(events[i].info) }
        var at = -1
        for (var j = 0; j < held.length; ++j) {
            var pressed = held[j]
            if (pressed.info === entry.info && (pressed.type === type || pressed.type === type + 1))
                at = j
        }
        if (release !== 0 && at < 0)
            held.push(entry)
        else if (release === 0 && at >= 0)
            held.splice(at, 1)
    }
    return held
}

function recordedType(isDown, usbCode) {
    if (usbCode < mouseButtonCode)
        return isDown ? 1 : 2
    return isDown ? 3 : 4
}
