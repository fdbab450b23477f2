.pragma library
// DPI stage values and upright slider positions (176-pixel track: knob
// positions 3..161, 158 pixels of travel).

var travel = 158

function ratioOf(value, minDPI, maxDPI) {
    if (maxDPI <= minDPI)
        return 0
    return (value - minDPI) / (maxDPI - minDPI)
}

// Value of knob position `position`, rounded down to a multiple of dpiBase.
function valueOf(position, minDPI, maxDPI, dpiBase) {
    var raw = (position - 3) * (maxDPI - minDPI) / travel + minDPI
    if (dpiBase <= 0)
        return Math.floor(raw)
    return Math.floor(raw / dpiBase) * dpiBase
}
