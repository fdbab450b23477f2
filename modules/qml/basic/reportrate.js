.pragma library
// Report-rate rows 125, 250, 500 and 1000 Hz.

var rows = ["125Hz", "250Hz", "500Hz", "1000Hz"]
