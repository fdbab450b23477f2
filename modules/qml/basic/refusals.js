.pragma library
// Why the scene refused a change, as ui_View.refuse(reason) takes it; the
// order of the language files' group "refusal".

var nameTaken = 0
var nameNotFileName = 1
var nameTooLong = 2
var nameReserved = 3
var renameFailed = 4
var macroTooLong = 5
var fileTooLarge = 6
var importTooLong = 7
var notSaved = 8
var importFailed = 9
