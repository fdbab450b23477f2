.pragma library
// Settings come back from the store as numbers or booleans within the run
// that wrote them and as texts after a restart, or not at all on a first
// start or from a damaged file. These turn them into what the scene needs.

function toInt(value, fallback) {
    if (typeof value === "number")
        return isFinite(value) ? Math.trunc(value) : fallback
    var text = String(value).trim()
    if (!/^[+-]?\d+$/.test(text))
        return fallback
    return parseInt(text, 10)
}

function toBool(value, fallback) {
    if (typeof value === "boolean")
        return value
    if (typeof value === "number")
        return value !== 0
    var text = String(value).trim().toLowerCase()
    if (text === "true" || text === "1")
        return true
    if (text === "false" || text === "0")
        return false
    return fallback
}

function toText(value, fallback) {
    if (value === undefined || value === null)
        return fallback
    var text = String(value)
    return text.length > 0 ? text : fallback
}

function clamp(value, low, high) {
    return Math.max(low, Math.min(high, value))
}

// Elements of a stored list, with a built-in default for each missing or
// unreadable element.
function intList(list, defaults) {
    var result = []
    for (var i = 0; i < defaults.length; ++i)
        result.push(toInt(list && i < list.length ? list[i] : undefined, defaults[i]))
    return result
}
