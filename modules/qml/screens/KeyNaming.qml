import QtQuick
import "../basic"
import "keys.js" as Keys
import "../basic/settingkeys.js" as SettingKeys

// What the key table needs to show and send its entries: key names, the
// assignment texts and macro bodies. Shared by the key table, the button
// assignment dialog and the scene's sequences, so that neither dialog has to
// exist for the table to be shown or sent.
KeyCodeString {
    // Labels of every category and option; the main scene puts the
    // "keyAssigment" language group here at start.
    property var keyAssigmentLang: Keys.defaultLang

    function macroNameOf(slot: int): string {
        const name = ui_View.getData(SettingKeys.mouseMacroKey + slot, false)
        return name === undefined || name === null ? "" : String(name)
    }

    // The text the key table shows for an entry.
    function keyCodeToString(code0: int, code1: int, code2: int, code3: int): string {
        return Keys.keyCodeToString(code0, code1, code2, code3, keyAssigmentLang,
                                    (code) => keycodeTostr(code), (slot) => macroNameOf(slot))
    }

    // Sends macro `macroName`, as stored, to device macro slot `index`; a
    // body the mouse does not take leaves the profile owed (Save sends it).
    function sendMacro(index: int, macroName: string) {
        ui_View.sendMacro(index, macroName)
    }
}
