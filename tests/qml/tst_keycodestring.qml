import QtQuick
import QtTest
import "qrc:/modules/qml/basic"

TestCase {
    name: "KeyCodeString"

    KeyCodeString {
        id: keys
    }

    Component {
        id: keysComponent

        KeyCodeString {}
    }

    function test_lookUps_data() {
        return [
            { tag: "A", code: 0x04, name: "A" },
            { tag: "Z", code: 0x1D, name: "Z" },
            { tag: "0", code: 0x27, name: "0" },
            { tag: "Enter", code: 0x28, name: "Enter" },
            { tag: "F12", code: 0x45, name: "F12" },
            { tag: "arrow", code: 0x4F, name: "►" },
            { tag: "KPEnter", code: 0x58, name: "KPEnter" },
            { tag: "F24", code: 0x73, name: "F24" },
            { tag: "Lang2", code: 0x91, name: "Lang2" },
            { tag: "RWin", code: 0xE7, name: "RWin" },
            { tag: "MS-B4", code: 0xF3, name: "MS-B4" },
            { tag: "MS-B5", code: 0xF4, name: "MS-B5" },
        ]
    }

    function test_lookUps(data) {
        compare(keys.keycodeTostr(data.code), data.name)
        compare(keys.strTokeycode(data.name), data.code)
    }

    function test_sharedNamesGiveTheLowerCode() {
        compare(keys.keycodeTostr(0x32), "\\")
        compare(keys.strTokeycode("\\"), 0x31)
        compare(keys.keycodeTostr(0x89), "Intl2")
        compare(keys.strTokeycode("Intl2"), 0x88)
    }

    function test_unnamed_data() {
        return [0x00, 0x03, 0x74, 0x84, 0x86, 0x8C, 0x92, 0xDF, 0xE8, 0xEF, 0xF5, 0xFF, -1, 256]
            .map((code) => ({ tag: "code " + code, code: code }))
    }

    function test_unnamed(data) {
        compare(keys.keycodeTostr(data.code), "")
    }

    function test_unknownNames() {
        compare(keys.strTokeycode(""), 0)
        compare(keys.strTokeycode("enter"), 0)
        compare(keys.strTokeycode("Nothing"), 0)
    }

    function test_localisedNamesReplaceTheDefaults() {
        const localised = createTemporaryObject(keysComponent, this)
        localised.keyCodeStr = ui_View.getLangStrings("keyCode", "ChineseSimplified")
        compare(localised.keycodeTostr(0xF0), "鼠标左键")
        compare(localised.strTokeycode("鼠标左键"), 0xF0)
        compare(localised.strTokeycode("MS-L"), 0)
        compare(localised.keycodeTostr(0x04), "A")
    }

    // The delivered English file gives exactly the built-in names.
    function test_englishFileMatchesTheTable() {
        compare(ui_View.getLangStrings("keyCode", "English"), keys.keyCodeStr)
    }

    // A short list from a damaged file names what it has, nothing beyond.
    function test_shortListNamesWhatItHas() {
        const truncated = createTemporaryObject(keysComponent, this)
        truncated.keyCodeStr = ["a", "b"]
        compare(truncated.keycodeTostr(0x05), "b")
        compare(truncated.keycodeTostr(0x06), "")
        compare(truncated.strTokeycode("b"), 0x05)
    }
}
