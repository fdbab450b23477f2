.pragma library
// Reasons given when a change is refused, and the questions the scene asks
// before a delete, by their index in the language files' "refusal" group.
// 0 to 19 are told by the view (ui_View.refuse(reason)), in the order of
// myQQuickView's Refusal (here those the scene names itself); the scene's
// own texts start at 20.

var nameTaken = 0
var nameNotFileName = 1
var nameTooLong = 2
var nameReserved = 3
var renameFailed = 4
var macroTooLong = 5
var importTooLong = 7

var lastLeftKey = 20
var noMacroToRecord = 21
var deleteProfile = 22
var deleteMacro = 23
var cancel = 24
var keptProfile = 25

var english = (function() {
    var texts = []
    for (var i = 0; i < 20; ++i)
        texts.push("")
    texts.push("At least one button must stay a left click.",
               "Choose a macro in the list before recording.",
               "Delete the profile \u201c%1\u201d?",
               "Delete the macro \u201c%1\u201d?",
               "Cancel",
               "The first profile and the active one cannot be deleted.")
    return texts
})()

// Text `index` of `lang` with %1 replaced by `name`.
function text(lang, index, name) {
    var found = lang && index < lang.length ? lang[index] : undefined
    if (found === undefined || found === null || String(found) === "")
        found = english[index]
    var shown = name === undefined ? "" : String(name)
    // A function, so that "$&" and the like in a name stay as typed.
    return String(found).replace("%1", function() { return shown })
}
