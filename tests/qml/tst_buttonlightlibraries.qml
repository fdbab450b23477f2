import QtQuick
import QtTest
import "qrc:/modules/qml/basic/keycodes.js" as KeyCodes
import "qrc:/modules/qml/screens/keys.js" as Keys
import "qrc:/modules/qml/screens/light.js" as Light

// The script libraries of the button and lighting screens, on their own.
TestCase {
    name: "ButtonAndLightLibraries"

    readonly property var lang: ["Key ", "Mouse Function", "Left Key", "Middle Key", "Right Key",
        "Forward Key", "Back Key", "Double Fire", "", "", "", "", "", "", "", "", "", "", "", "",
        "", "", "DPI+", "DPI-", "DPI LOOP", "", "", "Player", "Next", "Privous", "Stop", "Mute",
        "Play/Pause", "Volumn+", "Volumn-", "My PC", "Index", "Search", "Max", "Min", "Desktop",
        "Run", "New", "Cut", "Copy", "Paste", "Save", "Print", "Find", "Redo", "Undo",
        "Select All", "", "One Gun", "Two Gun", "Three Gun", "Sniper Key"]

    function nameOf(code) {
        return KeyCodes.keycodeTostr(KeyCodes.keyCode, KeyCodes.defaultKeyCodeStr, code)
    }

    function text(codes) {
        return Keys.keyCodeToString(codes[0], codes[1], codes[2], codes[3], lang, nameOf,
                                    (slot) => slot === 3 ? "M1" : undefined)
    }

    function test_keyCodeStrProc_data() {
        return [
            { tag: "max window", code: "06042c1b", expected: [6, 4, 0x2C, 0x1B] },
            { tag: "upper case", code: "0000F000", expected: [0, 0, 0xF0, 0] },
            { tag: "double click", code: "00f01e02", expected: [0, 0xF0, 0x1E, 2] },
            { tag: "too short", code: "0600e30", expected: null },
            { tag: "not hex", code: "0600e3zz", expected: null },
        ]
    }

    function test_keyCodeStrProc(data) {
        compare(Keys.keyCodeStrProc(data.code), data.expected)
    }

    // Codes every option offers are covered by the option test below.
    function test_keyCodeToString_data() {
        return [
            { tag: "unassigned", codes: [0, 0, 0, 0], expected: "" },
            { tag: "fire key", codes: [1, 0x04, 10, 0], expected: "A" },
            { tag: "combination", codes: [2, 0x03, 0x04, 0x05], expected: "LCtrl+LShift+A+B" },
            { tag: "right modifiers only", codes: [2, 0xC0, 0, 0], expected: "RAlt+RWin" },
            { tag: "combination, second key only", codes: [2, 0, 0, 0x05], expected: "B" },
            { tag: "unknown media", codes: [3, 0, 0x12, 0], expected: "" },
            { tag: "macro", codes: [4, 2, 3, 0], expected: "M1" },
            { tag: "unbound macro", codes: [4, 0, 5, 0], expected: "" },
            { tag: "dpi out of range", codes: [5, 0, 5, 0], expected: "" },
            { tag: "windows max, mask ignored", codes: [6, 0, 0x2C, 0x1B], expected: "Max" },
            { tag: "gun out of range", codes: [8, 0, 4, 0], expected: "" },
            { tag: "placeholder", codes: [0xFF, 0, 1, 0], expected: "" },
        ]
    }

    function test_keyCodeToString(data) {
        compare(text(data.codes), data.expected)
    }

    // Every option's codes read back as the option's own label.
    function test_everyOptionReadsBackAsItsLabel() {
        for (const options of [Keys.mouseOptions, Keys.mediaOptions, Keys.windowsOptions,
                               Keys.shortcutOptions, Keys.dpiOptions, Keys.gunOptions]) {
            for (const option of options)
                compare(text(Keys.keyCodeStrProc(option.code)), lang[option.label], option.code)
        }
    }

    function test_lastLeftKey() {
        const entries = Keys.defaultCodes.map((c) => c.slice())
        verify(Keys.isLastLeftKey(entries, 0))
        verify(!Keys.isLastLeftKey(entries, 1))
        verify(!Keys.isLastLeftKey(entries, -1))
        entries[1] = [0, 0, 0xF0, 0]
        verify(!Keys.isLastLeftKey(entries, 0))
        verify(!Keys.isLastLeftKey(entries, 1))
        // A left-click code outside category 0 does not count.
        entries[1] = [1, 0, 0xF0, 0]
        verify(Keys.isLastLeftKey(entries, 0))
    }

    function test_comboCapture() {
        let state = Keys.newCombo()
        for (const code of [0xE0, 0xE1, 0x04, 0x05, 0x06, 0xE0])
            state = Keys.comboAdd(state, code, nameOf(code))
        compare(Keys.comboCodes(state), [2, 0x03, 0x04, 0x05])
        compare(Keys.comboText(state), "LCtrl + LShift + A + B + LCtrl")
        compare(Keys.comboCodes(Keys.comboAdd(Keys.newCombo(), 0xE7, "RWin")), [2, 0x80, 0, 0])
    }

    function test_recordCodes() {
        compare(Keys.recordCodes(["5", "0", "1", "0"], 3), [5, 0, 1, 0])
        compare(Keys.recordCodes([], 3), [0, 0, 0xF4, 0])
        compare(Keys.recordCodes(["5", "x", "1", "0"], 14), [0xFF, 0, 1, 0])
        compare(Keys.recordCodes(["5", "0", "300", "0"], 0), [0, 0, 0xF0, 0])
        // Only what the screens can assign: known categories, macro slots
        // 0..11, DPI actions 1..4, gun presets 1..3.
        compare(Keys.recordCodes(["4", "0", "11", "0"], 8), [4, 0, 11, 0])
        compare(Keys.recordCodes(["255", "0", "2", "0"], 8), [0xFF, 0, 2, 0])
        for (const bad of [["9", "0", "0", "0"], ["4", "0", "12", "0"], ["5", "0", "7", "0"],
                           ["8", "0", "4", "0"], ["254", "0", "1", "0"]])
            compare(Keys.recordCodes(bad, 3), [0, 0, 0xF4, 0], bad.join())
    }

    function test_withLeftClick() {
        const none = Keys.defaultCodes.map(() => [3, 0, 0x83, 1])
        const kept = Keys.withLeftClick(none)
        compare(kept[0], [0, 0, 0xF0, 0])
        compare(kept.filter((c) => c[0] === 0 && c[2] === 0xF0).length, 1)
        const other = Keys.defaultCodes.map(() => [3, 0, 0x83, 1])
        other[5] = [0, 0, 0xF0, 0]
        compare(Keys.withLeftClick(other)[0], [3, 0, 0x83, 1])
    }

    function test_src64() {
        const list = Keys.src64(Keys.defaultCodes)
        compare(list.length, 64)
        compare(list.slice(28, 32), [0, 0xF0, 0x1E, 2])
        compare(list.slice(60, 64), [0xFF, 0, 2, 0])
        compare(Keys.src64([[1, 2, 3, 4]]).length, 64)
    }

    function test_fireRate() {
        compare(Keys.fireRate(3), 4)
        compare(Keys.fireRate(9), 10)
        compare(Keys.fireRate(79), 80)
        compare(Keys.fireRate(120), 80)
    }

    function test_hueAt_data() {
        return [
            { tag: "start", p: 0, expected: [255, 0, 0] },
            { tag: "p 29", p: 29, expected: [255, 246, 0] },
            { tag: "p 30", p: 30, expected: [255, 255, 0] },
            { tag: "p 45", p: 45, expected: [128, 255, 0] },
            { tag: "p 75", p: 75, expected: [0, 255, 127] },
            { tag: "p 100", p: 100, expected: [0, 170, 255] },
            { tag: "p 135", p: 135, expected: [127, 0, 255] },
            { tag: "p 179", p: 179, expected: [255, 0, 9] },
            { tag: "p 180", p: 180, expected: [255, 0, 0] },
            { tag: "p 182", p: 182, expected: [255, 0, 0] },
            { tag: "end", p: 183, expected: [255, 255, 255] },
        ]
    }

    function test_hueAt(data) {
        compare(Light.hueAt(data.p), data.expected)
    }

    function test_markerPosition_data() {
        return [
            { tag: "red", rgb: [255, 0, 0], expected: 0 },
            { tag: "yellow", rgb: [255, 255, 0], expected: 30 },
            { tag: "orange", rgb: [255, 127, 0], expected: 15 },
            { tag: "green side", rgb: [128, 255, 0], expected: 45 },
            { tag: "cyan side", rgb: [0, 255, 127], expected: 76 },
            { tag: "blue side", rgb: [0, 170, 255], expected: 101 },
            { tag: "purple", rgb: [96, 0, 255], expected: 133 },
            { tag: "magenta side", rgb: [255, 0, 128], expected: 167 },
            { tag: "white", rgb: [255, 255, 255], expected: 183 },
            { tag: "off the ring", rgb: [10, 20, 30], expected: 0 },
        ]
    }

    function test_markerPosition(data) {
        compare(Light.markerPosition(data.rgb[0], data.rgb[1], data.rgb[2]), data.expected)
    }

    // A marker placed for a colour of the ring gives back nearly that colour.
    function test_placementAndHueAgree() {
        for (let p = 0; p < 180; p += 7) {
            const c = Light.hueAt(p)
            const back = Light.hueAt(Light.markerPosition(c[0], c[1], c[2]))
            for (let k = 0; k < 3; ++k)
                verify(Math.abs(back[k] - c[k]) <= 17, "p " + p + ": " + c + " / " + back)
        }
    }

    function test_effects() {
        const colorful = Light.effects(true, false)
        compare([0, 1, 2, 3, 5, 6, 8].map((code) => Light.panelHeight(colorful[code])),
                [224, 224, 224, 176, 264, 176, 264])
        compare(Light.effectAt(colorful, 42).label, 1)
    }

    // No DPI stages on a 55328 in breath loop: block 0 hides too (the other
    // cases are checked on the lighting panel).
    function test_blockVisible() {
        compare([0, 1, 2, 3, 4, 5, 6, 7].map((i) => Light.blockVisible(i, false, true, 0, 4) ? 1 : 0),
                [0, 1, 1, 1, 1, 1, 1, 0])
    }

    function test_colorList() {
        const colors = Light.defaultColors
        const plain = Light.colorList(colors, false, 0)
        compare(plain.length, 24)
        compare(plain.slice(15, 24), [255, 127, 0, 96, 0, 255, 255, 255, 255])
    }

    function test_colorsFromList() {
        compare(Light.colorsFromList(["1", "2", "3"]).slice(0, 2), ["#010203", "#00ff00"])
        compare(Light.colorsFromList([300, -1, "x"])[0], "#ff0000")
        compare(Light.colorText(128, 255, 0), "#80ff00")
        compare(Light.fieldValue(""), 0)
        compare(Light.fieldValue("0"), 0)
        compare(Light.fieldValue("77"), 77)
    }
}
