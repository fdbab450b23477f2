.pragma library
// The gun screen's numbers: the target's dot, the rate box and the presets.

var dotTop = 89
var dotTravel = 94
var maxY = 64
var minPeriod = 4
var maxPeriod = 90

var defaultPresets = [
    { gunName: "M416", gunKey: "L-Click", gunPeriod: "10", gunX: "0", gunY: "10", gunTimes: "0" },
    { gunName: "AKM", gunKey: "L-Click", gunPeriod: "10", gunX: "0", gunY: "10", gunTimes: "0" },
    { gunName: "M16A4", gunKey: "L-Click", gunPeriod: "10", gunX: "0", gunY: "10", gunTimes: "0" },
    { gunName: "SCAR-L", gunKey: "L-Click", gunPeriod: "10", gunX: "0", gunY: "10", gunTimes: "0" },
    { gunName: "UNP9", gunKey: "L-Click", gunPeriod: "10", gunX: "0", gunY: "10", gunTimes: "0" },
    { gunName: "Thomson", gunKey: "L-Click", gunPeriod: "10", gunX: "0", gunY: "10", gunTimes: "0" }
]

// The dot's distance from the target's top for correction `y`.
function dotPosition(y) {
    return dotTop + dotTravel * y / maxY
}

// The correction shown for a dot at `position`, within the target.
function yOfDot(position) {
    var clamped = Math.max(dotTop, Math.min(dotTop + dotTravel, position))
    return Math.floor((clamped - dotTop) / dotTravel * maxY)
}

// The rate knob sits at period - 1 and reads knob + 1.
function knobOfPeriod(period) {
    return Math.max(minPeriod, Math.min(maxPeriod, period)) - 1
}

function rateText(knob) {
    return String(Math.round(knob) + 1) + "MS"
}

// The period at the start of a rate box text: two digits in a text longer
// than three characters, one otherwise; null when they are no number.
function periodOfText(text) {
    var head = text.length > 3 ? text.substring(0, 2) : text.substring(0, 1)
    if (!/^\d+$/.test(head))
        return null
    return parseInt(head, 10)
}

// `text` as a whole number within low..high, or `fallback` when it is no
// number.
function inRange(text, low, high, fallback) {
    var trimmed = String(text).trim()
    if (!/^[+-]?\d+$/.test(trimmed))
        return fallback
    return String(Math.max(low, Math.min(high, parseInt(trimmed, 10))))
}

// A stored record [name, key, period, X, Y, times] over a preset; records
// shorter than six values leave the preset as it is. Values from the file
// are brought into the ranges the screen offers, so that what it shows is
// what it sends.
function presetOfRecord(preset, record) {
    if (!record || record.length < 6)
        return preset
    return { gunName: preset.gunName, gunKey: String(record[1]),
             gunPeriod: inRange(record[2], minPeriod, maxPeriod, preset.gunPeriod),
             gunX: inRange(record[3], 0, 255, preset.gunX),
             gunY: inRange(record[4], 0, maxY, preset.gunY),
             gunTimes: inRange(record[5], 0, 255, preset.gunTimes) }
}

function recordOfPreset(preset) {
    return [preset.gunName, preset.gunKey, preset.gunPeriod, preset.gunX, preset.gunY,
            preset.gunTimes]
}
