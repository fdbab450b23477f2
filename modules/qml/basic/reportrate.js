.pragma library
// Report-rate rows 125, 250, 500 and 1000 Hz and the codes the device takes
// for them; any other row is sent as 1000 Hz.

var rows = ["125Hz", "250Hz", "500Hz", "1000Hz"]
var codes = [8, 4, 2, 1]

function codeOf(row) {
    return row >= 0 && row < codes.length ? codes[row] : 1
}
