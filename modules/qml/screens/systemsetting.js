.pragma library
// Pointer and double-click speed levels from slider positions (352-pixel
// track: knob positions 3..337), and the stored wheel scroll amount.

var compareValue = [4, 37, 70, 104, 138, 172, 205, 239, 272, 305, 338]
var minPosition = 3
var maxPosition = 337
var oneScreen = 1000
var maxRows = 100

// Index of the first threshold above the position: 0..10.
function levelOf(position) {
    for (var i = 0; i < compareValue.length; ++i) {
        if (compareValue[i] > position)
            return i
    }
    return compareValue.length - 1
}

// Line count 1..100, or 1000 for one screen at a time.
function scrollAmount(isRows, rowsText) {
    if (!isRows)
        return oneScreen
    var rows = parseInt(rowsText, 10)
    return isNaN(rows) || rows < 1 ? 1 : Math.min(rows, maxRows)
}
