import QtQuick
import QtTest
import "qrc:/modules/qml/basic"

TestCase {
    name: "KeyCodeString"

    KeyCodeString { id: keys }
    Component { id: keysComponent; KeyCodeString {} }

    // [code, its name, the name looked up, the code it gives]: a shared
    // name gives the lower code; unnamed codes and unknown names give
    // nothing.
    function test_lookUps_data() {
        return [
            [0x04, "A"], [0x1D, "Z"], [0x27, "0"], [0x28, "Enter"], [0x45, "F12"], [0x4F, "►"],
            [0x58, "KPEnter"], [0x73, "F24"], [0x91, "Lang2"], [0xE7, "RWin"], [0xF3, "MS-B4"],
            [0xF4, "MS-B5"], [0x32, "\\", "\\", 0x31], [0x89, "Intl2", "Intl2", 0x88],
            [0x03, "", "enter", 0], [0x74, "", "Nothing", 0],
        ].concat([0x00, 0x84, 0x86, 0x8C, 0x92, 0xDF, 0xE8, 0xEF, 0xF5, 0xFF, -1, 256].map((c) => [c, ""]))
            .map((r) => ({ tag: r[0] + " " + r[1], code: r[0], name: r[1],
                           query: r.length > 2 ? r[2] : r[1], back: r.length > 2 ? r[3] : (r[1] ? r[0] : 0) }))
    }

    function test_lookUps(data) {
        compare(keys.keycodeTostr(data.code), data.name)
        compare(keys.strTokeycode(data.query), data.back)
    }

    // Localised names replace the defaults; a short list from a damaged
    // file names what it has, nothing beyond.
    function test_otherLists() {
        const localised = createTemporaryObject(keysComponent, this)
        localised.keyCodeStr = ui_View.getLangStrings("keyCode", "ChineseSimplified")
        compare([localised.keycodeTostr(0xF0), localised.keycodeTostr(0x04)], ["鼠标左键", "A"])
        compare([localised.strTokeycode("鼠标左键"), localised.strTokeycode("MS-L")], [0xF0, 0])
        localised.keyCodeStr = ["a", "b"]
        compare([localised.keycodeTostr(0x05), localised.keycodeTostr(0x06)], ["b", ""])
        compare(localised.strTokeycode("b"), 0x05)
    }

    // The delivered English file gives exactly the built-in names.
    function test_englishFileMatchesTheTable() {
        compare(ui_View.getLangStrings("keyCode", "English"), keys.keyCodeStr)
    }
}
