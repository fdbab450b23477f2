import QtQuick
import "profile.js" as Profiles
import "../basic/refusal.js" as Refusal

// The stored profile list: up to six named profiles. The title bar's
// switcher, the profile manager and the command line all use this one
// model, so that the manager need not exist for the others.
QtObject {
    id: profiles

    // The active profile; the owner keeps it up to date.
    property int profileNo: -1
    // The first profile's name in the current language.
    property string firstName: "Standard"
    property ListModel model: ListModel {}

    // Rows were added, removed or renamed (the switcher marks its row again).
    signal profilesChanged()
    // The row a manager showing the list selects after a change.
    signal rowChosen(int row)

    function init() {
        showRows(storedRows())
        storeRows()
    }

    // The rows as the data folder holds them.
    function storedRows(): var {
        const rows = Profiles.parseRows(ui_View.getNameList(2))
        // Without a stored list there is still the first profile.
        if (rows.length === 0)
            rows.push({ textValue: "", profileNo: 0 })
        rows[0].textValue = firstName
        return rows
    }

    // In place: a row's delegate that asked for the change (a rename being
    // committed) stays alive when the change is taken back.
    function showRows(list: var) {
        while (model.count > list.length)
            model.remove(model.count - 1)
        for (let i = 0; i < list.length; ++i) {
            if (i < model.count)
                model.set(i, list[i])
            else
                model.append(list[i])
        }
        rowChosen(activeRow())
    }

    function rows(): var {
        const list = []
        for (let i = 0; i < model.count; ++i) {
            const row = model.get(i)
            list.push({ textValue: String(row.textValue), profileNo: Number(row.profileNo) })
        }
        return list
    }

    function rowOfProfile(number: int): int {
        for (let i = 0; i < model.count; ++i) {
            if (Number(model.get(i).profileNo) === number)
                return i
        }
        return -1
    }

    // The active profile's row, the first when no row has it.
    function activeRow(): int {
        return Math.max(0, rowOfProfile(profileNo))
    }

    // A change the data folder does not take (the view says so) is not
    // made: the rows go back to the stored ones, so that none shows that a
    // restart would lose.
    function storeRows(): bool {
        const stored = ui_View.updataNameList(2, Profiles.storedList(rows()))
        if (!stored)
            showRows(storedRows())
        profilesChanged()
        return stored
    }

    // Appends a row under a new name and the lowest free number; -1 when
    // six profiles exist or the list could not be stored.
    function addRow(): int {
        const current = rows()
        const number = Profiles.freeNumber(current)
        if (current.length >= Profiles.maxProfiles || number < 0)
            return -1
        model.append({ textValue: Profiles.newName(current), profileNo: number })
        rowChosen(model.count - 1)
        storeRows()
        return rowOfProfile(number) >= 0 ? number : -1
    }

    function newProfile() {
        const number = addRow()
        if (number >= 0)
            ui_View.resetProfile(number)
    }

    // A cancelled or refused import (the view says why) leaves no row.
    function importProfile() {
        const number = addRow()
        if (number >= 0 && !ui_View.loadProfile(number))
            removeRow(rowOfProfile(number))
    }

    function removeRow(row: int) {
        model.remove(row)
        rowChosen(activeRow())
        storeRows()
    }

    // Neither the first profile nor the active one can go.
    function mayDelete(row: int): bool {
        return row > 0 && row < model.count && Number(model.get(row).profileNo) !== profileNo
    }

    function rename(row: int, newName: string): bool {
        if (row < 0 || row >= model.count)
            return false
        if (newName === model.get(row).textValue)
            return true
        const reason = Profiles.nameRefusal(rows(), newName)
        if (reason >= 0) {
            ui_View.refuse(reason)
            return false
        }
        model.setProperty(row, "textValue", newName)
        return storeRows()
    }
}
