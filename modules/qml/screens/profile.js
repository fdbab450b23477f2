.pragma library
.import "../basic/refusal.js" as Refusal
// The profile list as stored: one text per row, the name followed by the
// profile number as one digit.

var maxProfiles = 6
var maxNameLength = 64
var sentinel = "loaderbraxel"

// Rows of a stored list. Entries without a number 0..5 at the end, or with
// a number an earlier row already uses, are left out; at most six rows.
function parseRows(list) {
    var entries = []
    if (list) {
        for (var i = 0; i < list.length; ++i)
            entries.push(String(list[i]))
    }
    if (entries.length === 2 && entries[1] === sentinel)
        entries.pop()
    var rows = []
    var used = []
    for (var j = 0; j < entries.length && rows.length < maxProfiles; ++j) {
        var text = entries[j]
        var digit = text.length > 0 ? "012345".indexOf(text.charAt(text.length - 1)) : -1
        if (digit < 0 || used.indexOf(digit) >= 0)
            continue
        used.push(digit)
        rows.push({ textValue: text.substring(0, text.length - 1), profileNo: digit })
    }
    return rows
}

function storedList(rows) {
    var list = []
    for (var i = 0; i < rows.length; ++i)
        list.push(String(rows[i].textValue) + String(rows[i].profileNo))
    return list
}

// "profile_" and the smallest k that no row's name uses.
function newName(rows) {
    for (var k = 0; ; ++k) {
        var name = "profile_" + k
        var taken = false
        for (var i = 0; i < rows.length && !taken; ++i)
            taken = rows[i].textValue === name
        if (!taken)
            return name
    }
}

// The smallest profile number 0..5 that no row uses, -1 when none is free.
function freeNumber(rows) {
    for (var n = 0; n < maxProfiles; ++n) {
        var used = false
        for (var i = 0; i < rows.length && !used; ++i)
            used = Number(rows[i].profileNo) === n
        if (!used)
            return n
    }
    return -1
}

// Why `name` cannot be given to a profile besides `rows` (a reason of
// refusal.js), or -1 when it can. A blank name would leave a row with
// nothing to click in the switcher; the sentinel would end the list.
function nameRefusal(rows, name) {
    if (name.trim().length === 0)
        return Refusal.nameNotFileName
    if (name.length > maxNameLength)
        return Refusal.nameTooLong
    if (name === sentinel)
        return Refusal.nameReserved
    for (var i = 0; i < rows.length; ++i) {
        if (rows[i].textValue === name)
            return Refusal.nameTaken
    }
    return -1
}
