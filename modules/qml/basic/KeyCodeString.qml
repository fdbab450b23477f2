import QtQuick
import "keycodes.js" as KeyCodes

// The key name table: codes and their display names. The main scene
// replaces `keyCodeStr` with the "keyCode" language group at start.
QtObject {
    id: keyCodeString

    readonly property var keyCode: KeyCodes.keyCode
    property var keyCodeStr: KeyCodes.defaultKeyCodeStr.slice()

    // The name of `keycode`, or "" when the table has none.
    function keycodeTostr(keycode: int): string {
        return KeyCodes.keycodeTostr(keyCode, keyCodeStr, keycode)
    }

    // The code named exactly `str` (case-sensitive), or 0.
    function strTokeycode(str: string): int {
        return KeyCodes.strTokeycode(keyCode, keyCodeStr, str)
    }
}
