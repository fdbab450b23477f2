import QtQuick
import QtTest
import "qrc:/modules/qml/basic"
import "qrc:/modules/qml/basic/keycodes.js" as KeyCodes
import "qrc:/modules/qml/screens/keys.js" as Keys
import "qrc:/modules/qml/screens/light.js" as Light

// The script libraries of the button and lighting screens and the key name table, on their own.
TestCase {
    name: "ButtonAndLightLibraries"

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
                                    (slot) => slot === 3 ? "M1" : (slot === 5 ? null : undefined))
    }

    ListModel {
        id: gridModel
    }

    // Option grids are whole rows of three; a text is found by its row.
    function test_grid() {
        Keys.fillGrid(gridModel, ["a", "b", "c", "d"])
        compare([gridModel.count, gridModel.get(4).textValue, gridModel.get(5).textValue], [6, "", ""])
        compare(["a", "d", "x"].map((t) => Keys.rowOf(gridModel, t)), [0, 3, -1])
        Keys.fillGrid(gridModel, ["a", "b", "c"])
        compare(gridModel.count, 3)
    }

    // Each [input, expected] pair: `f` of the input is the expected.
    function table(pairs, f) {
        for (const [input, expected] of pairs)
            compare(f(input), expected, JSON.stringify(input))
    }

    function test_keyCodeStrProc() {
        compare(["06042c1b", "0000F000", "0600e30", "0600e3zz"].map(Keys.keyCodeStrProc), [[6, 4, 0x2C, 0x1B], [0, 0, 0xF0, 0], null, null])
    }

    // Codes of every option are covered by the option test below; a macro
    // shows the name bound to its slot (3 is "M1", 5 null).
    function test_keyCodeToString() {
        table([[[0, 0, 0, 0], ""], [[1, 0x04, 10, 0], "A"], [[2, 0x03, 0x04, 0x05], "LCtrl+LShift+A+B"],
                     [[2, 0xC0, 0, 0], "RAlt+RWin"], [[2, 0, 0, 0x05], "B"], [[3, 0, 0x12, 0], ""],
                     [[4, 2, 3, 0], "M1"], [[4, 0, 4, 0], ""], [[4, 0, 5, 0], ""], [[5, 0, 5, 0], ""],
                     [[6, 0, 0x2C, 0x1B], "Max"], [[8, 0, 4, 0], ""], [[0xFF, 0, 1, 0], ""]], text)
    }

    // Every option's codes read back as the option's own label and light
    // the option's own row of its group, and no row of another group.
    function test_everyOptionReadsBack() {
        const groups = {
            mouse: [Keys.mouseOptions, ["Left Key", "Middle Key", "Right Key", "Forward Key", "Back Key",
                                        "Double Fire"]],
            media: [Keys.mediaOptions, ["Player", "Next", "Privous", "Stop", "Mute", "Play/Pause",
                                        "Volumn+", "Volumn-"]],
            windows: [Keys.windowsOptions, ["My PC", "Index", "Search", "Max", "Min", "Desktop", "Run"]],
            shortcut: [Keys.shortcutOptions, ["New", "Cut", "Copy", "Paste", "Save", "Print", "Find",
                                              "Redo", "Undo", "Select All"]],
            dpi: [Keys.dpiOptions, ["DPI+", "DPI-", "DPI LOOP", "Sniper Key"]],
            gun: [Keys.gunOptions, ["One Gun", "Two Gun", "Three Gun"]],
        }
        for (const group in groups) {
            const options = groups[group][0]
            compare(options.map((o) => Keys.label(lang, o.label)), groups[group][1], group)
            options.forEach((option, row) => {
                const codes = Keys.keyCodeStrProc(option.code)
                compare(text(codes), groups[group][1][row], option.code)
                for (const other in groups)
                    compare(Keys.choiceIndex(other, codes), other === group ? row : -1,
                            option.code + " in " + other)
            })
        }
        compare([Keys.choiceIndex("media", [3, 0, 0x12, 0]), Keys.choiceIndex("", [0, 0, 0xF0, 0])], [-1, -1])
        compare([Keys.label(null, 2), Keys.label(lang, 999), Keys.label(lang, 8)], ["", "", ""])
    }

    // [entries with a left click, selected entry] → whether it is the last
    // left click; -1 in the list is entry 1 with the left-click code in
    // another category.
    function test_lastLeftKey() {
        compare([[[0], 0], [[0], 1], [[0], -1], [[0, 1], 0], [[0, 1], 1], [[6], 6], [[0, -1], 0]].map((input) => {
            const entries = Keys.defaultCodes.map(() => [5, 0, 1, 0])
            for (const i of input[0])
                entries[Math.abs(i)] = [i < 0 ? 1 : 0, 0, 0xF0, 0]
            return Keys.isLastLeftKey(entries, input[1])
        }), [true, false, false, false, false, true, true])
    }

    // Keys pressed → [codes, text]: modifiers as a mask, at most two keys.
    function test_combination() {
        table([[[], [[2, 0, 0, 0], ""]], [[0x04], [[2, 0, 0x04, 0], "A"]],
                     [[0xE7], [[2, 0x80, 0, 0], "RWin"]],
                     [[0xE0, 0xE1, 0x04, 0x05, 0x06, 0xE0], [[2, 0x03, 0x04, 0x05], "LCtrl + LShift + A + B + LCtrl"]]], (codes) => {
            const state = codes.reduce((combo, code) => Keys.comboAdd(combo, code, nameOf(code)), Keys.newCombo())
            return [Keys.comboCodes(state), Keys.comboText(state)]
        })
    }

    // What the view takes: the factory table as sent, and short tables
    // padded with zeros.
    function test_src64() {
        compare(Keys.src64(Keys.defaultCodes),
                [0, 0, 0xF0, 0, 0, 0, 0xF1, 0, 0, 0, 0xF2, 0, 0, 0, 0xF4, 0, 0, 0, 0xF3, 0,
                 5, 0, 1, 0, 5, 0, 2, 0, 0, 0xF0, 0x1E, 2].concat(new Array(24).fill(0),
                                                                  [0xFF, 0, 1, 0, 0xFF, 0, 2, 0]))
        compare(Keys.src64([[1, 2, 3, 4], [7]]), [1, 2, 3, 4, 7, 0, 0, 0].concat(new Array(56).fill(0)))
    }

    // Knob position → rate; typed repeat counts.
    function test_numbers() {
        compare([3, 9, 79, 120].map(Keys.fireRate), [4, 10, 80, 80])
        compare(["25", "255", "300", "-1", "x"].map((t) => Keys.repeatCount(t)), [25, 255, 255, 0, 0])
    }

    // Every effect of each mouse kind, as the panel shows it once picked with speed at step 3 and brightness
    // at step 2 before: label, rows shown (speed, brightness), panel height, the steps it leaves, and
    // whether its colours can be edited.
    function test_effects_data() {
        const base = ["1 B 224 3/2>3/4 colours", "2 S 224 3/2>0/2 colours", "3 S 224 3/2>0/2", "4 - 176 3/2>3/0"]
        return [
            { tag: "plain", colorful: false, is55328: false, effects: base },
            { tag: "full colour", colorful: true, is55328: false,
              effects: base.concat(["8 B 224 3/2>3/4 colours", "9 SB 264 3/2>0/4",
                                    "10 - 176 3/2>0/4", "11 B 224 3/2>3/4", "12 SB 264 3/2>0/4",
                                    "13 SB 264 3/2>0/4 colours", "14 SB 264 3/2>0/4 colours"]) },
            { tag: "55328", colorful: false, is55328: true, effects: base.concat(["15 S 224 3/2>0/2 colours"]) },
        ]
    }

    function test_effects(data) {
        const list = Light.effects(data.colorful, data.is55328)
        compare(list.map((e) => e.label + " " + ((e.speed ? "S" : "") + (e.bright ? "B" : "") || "-")
                         + " " + Light.panelHeight(e) + " 3/2>"
                         + (e.speedStep === null ? 3 : e.speedStep) + "/"
                         + (e.brightStep === null ? 2 : e.brightStep)
                         + (e.colors ? " colours" : "")), data.effects)
        compare([Light.effectAt(list, -1), Light.effectAt(list, list.length)], [list[0], list[0]])
    }

    // [colourful, 55328, DPI stages, effect] → blocks shown, as bits of blocks 0..7.
    function test_blockVisible() {
        compare([[false, false, 4, 0], [false, false, 6, 0], [true, false, 1, 0], [false, true, 4, 0], [false, true, 4, 4],
                 [false, true, 0, 4], [false, true, 1, 0]].map((a) => [0, 1, 2, 3, 4, 5, 6, 7].map(
                     (i) => Light.blockVisible(i, a[0], a[1], a[2], a[3]) ? 1 : 0).join("")),
                ["11110000", "11111100", "11111111", "10000000", "11111110", "01111110", "10000000"])
    }

    // Hue bar position → colour, and colour → marker position (0 off the ring).
    function test_hueRing() {
        compare([0, 29, 30, 45, 75, 100, 135, 179, 180, 182, 183].map(Light.hueAt),
                [[255, 0, 0], [255, 246, 0], [255, 255, 0], [128, 255, 0], [0, 255, 127], [0, 170, 255], [127, 0, 255],
                 [255, 0, 9], [255, 0, 0], [255, 0, 0], [255, 255, 255]])
        compare([[255, 0, 0], [255, 255, 0], [255, 127, 0], [128, 255, 0], [0, 255, 127], [0, 170, 255], [96, 0, 255],
                 [255, 0, 128], [0, 255, 0], [255, 255, 255], [10, 20, 30], [255, 10, 255]].map((c) => Light.markerPosition(c[0], c[1], c[2])),
                [0, 30, 15, 45, 76, 101, 133, 167, 60, 183, 0, 0])
    }

    // The 24 components stored and sent; the 55328 sends block 8 only with
    // Breath Loop.
    function test_colorList() {
        const plain = [255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 0, 255, 0, 255, 255, 255, 127, 0,
                       96, 0, 255, 255, 255, 255]
        compare([[false, 0], [true, 0], [true, 4]].map((a) => Light.colorList(Light.defaultColors, a[0], a[1])),
                [plain, plain.slice(0, 21).concat([0, 0, 0]), plain])
    }
}
