.pragma library
.import "../basic/refusal.js" as Refusal
// Macros as the editor keeps them and as the mouse plays them.
//
// An event is { type, info }: 0 delay (info: whole milliseconds), 1 key
// press, 2 key release, 3 mouse-button press, 4 mouse-button release (info:
// the key's name). The device form is a list of bytes in pairs: the repeat
// count, then one [wait, key] pair per action, where the wait is the sum of
// the delays up to the next action in 10 ms units and bit 7 marks a release,
// and a closing [0, 0].

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

function isAction(event) {
    return event.type >= 1 && event.type <= 4
}

function isRelease(event) {
    return event.type === 2 || event.type === 4
}

function delayOf(event) {
    var ms = parseInt(event.info, 10)
    return isNaN(ms) || ms < 0 ? 0 : ms
}

// The waits that follow one action: bytes of D (without the release bit)
// and the extra pairs of a long wait.
function waitBytes(units) {
    if (units === 0)
        return { wait: 1, extra: [] }
    if (units < 127)
        return { wait: units, extra: [] }
    var unit = 0
    var value = units
    if (units < 100000) {
        unit = 1
        value = Math.floor(units / 2)
    } else if (units < 300000) {
        unit = 2
        value = Math.floor(units / 5)
    } else if (units < 600000) {
        unit = 3
        value = Math.floor(units / 10)
    }
    value = Math.min(value, 0xFFFF)
    var extra = unit > 0 ? [0x00, unit] : []
    return { wait: 0, extra: extra.concat([(value >> 8) & 0xFF, value & 0xFF]) }
}

// The device form of `events` with `repeat` plays. `codeOf(name)` gives a
// key's code, 0 for a name the key table does not hold.
function deCode(events, repeat, codeOf) {
    var count = Math.max(0, Math.min(0xFFFF, Math.trunc(Number(repeat)) || 0))
    var bytes = [(count >> 8) & 0xFF, count & 0xFF]
    var first = 0
    while (first < events.length && !isAction(events[first]))
        ++first
    if (first >= events.length - 1)
        return bytes
    var lastAction = -1
    for (var i = events.length - 1; i >= first; --i) {
        if (isAction(events[i])) {
            lastAction = i
            break
        }
    }
    var pendingMs = 0
    var pending = null
    var flush = function(isLast) {
        var release = isRelease(pending) ? 0x80 : 0
        var key = codeOf(pending.info) & 0xFF
        if (isLast) {
            bytes.push(release | 1, key)
            return
        }
        var wait = waitBytes(Math.round(pendingMs / 10))
        bytes.push(release | wait.wait, key)
        for (var k = 0; k < wait.extra.length; ++k)
            bytes.push(wait.extra[k])
    }
    for (var e = first; e <= lastAction; ++e) {
        var event = events[e]
        if (!isAction(event)) {
            pendingMs += delayOf(event)
            continue
        }
        if (pending)
            flush(false)
        pending = event
        pendingMs = 0
    }
    flush(true)
    bytes.push(0x00, 0x00)
    return bytes
}

// Encoded length of `events` in bytes.
function recordCount(events) {
    return deCode(events, 0, function() { return 0 }).length
}

// Whether `events` fits the device's block with its end marker.
function fits(events) {
    return recordCount(events) <= blockSize
}

// Whether `events` may still grow: below the record limit now, and the
// grown list `candidate` still fits the device's block.
function mayGrow(events, candidate) {
    return recordCount(events) < recordLimit && fits(candidate)
}

// Whether a recording may take `added` after `events`: the grown list must
// leave room for the releases of every key still held, which stopping the
// recording appends.
function mayRecord(events, added) {
    var candidate = events.concat(added)
    return recordCount(events) < recordLimit && fits(candidate.concat(missingReleases(candidate)))
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
        var type = text.length > 0 ? "01234".indexOf(text.charAt(0)) : -1
        if (type < 0)
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
