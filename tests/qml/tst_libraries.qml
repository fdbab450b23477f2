import QtQuick
import QtTest
import "qrc:/modules/qml/basic/values.js" as Values
import "qrc:/modules/qml/basic/refusal.js" as Refusal
import "qrc:/modules/qml/basic/theme.js" as Theme
import "qrc:/modules/qml/common/slider.js" as Slider
import "qrc:/modules/qml/screens/systemsetting.js" as System
import "qrc:/modules/qml/screens/macro.js" as Macro
import "qrc:/modules/qml/screens/profile.js" as Profiles
import "qrc:/modules/qml/screens/gun.js" as Gun
import "qrc:/modules/qml/basic"
import "qrc:/modules/qml/basic/keycodes.js" as KeyCodes
import "qrc:/modules/qml/screens/keys.js" as Keys
import "qrc:/modules/qml/screens/light.js" as Light

// The scene's script libraries on their own.
TestCase {
    name: "Libraries"

    readonly property var lang: Keys.defaultLang

    KeyCodeString { id: keys }
    Component { id: keysComponent; KeyCodeString {} }
    ListModel { id: gridModel }

    // A stored value read as a number or a flag, the fallback where it is none.
    function test_toInt_data() {
        return [["number", 5, 5], ["padded text", " 12 ", 12], ["negative text", "-3", -3], ["plus sign", "+4", 4],
                ["missing", undefined, 9], ["half a number", "12abc", 9], ["infinite", Infinity, 9],
        ].map((r) => ({ tag: r[0], value: r[1], expected: r[2] }))
    }

    function test_toInt(data) {
        compare(Values.toInt(data.value, 9), data.expected)
    }

    function test_toBool() {
        compare([true, "true", "false", "False", 0, undefined, "yes please"].map((v) => Values.toBool(v, "fallback")),
                [true, true, false, false, false, "fallback", "fallback"])
    }

    function test_toText() {
        compare([Values.toText("", "x"), Values.toText(0, "x"), Values.toText(undefined, "x")], ["x", "0", "x"])
    }

    function test_lists() {
        compare([Values.intList(["1", "x", 3], [7, 8, 9, 10]), Values.intList([], [7, 8])], [[1, 8, 3, 10], [7, 8]])
    }

    // A language's own text with the name as typed; the built-in English where it has none.
    function test_refusalTexts() {
        const chinese = Array(23).fill("").concat(["删除宏“%1”？"])
        compare([Refusal.text(chinese, 23, "$&"), Refusal.text(chinese, 22, "P"), Refusal.text(undefined, 20)],
                ["删除宏“$&”？", "Delete the profile “P”?", "At least one button must stay a left click."])
    }

    // The language files' scripts skip the text shaper; joined letters, placed marks and combining kana do not.
    function test_needsShaping() {
        compare(["Profile 1", "配置文件 2", "Ünïcödé €", "", "Ελληνικά", "Українська", "Türkçe ğ", "日本語 カタカナ ひらがな ー",
                 "한국어", "ＡＢＣ（１）", "سلام", "שלום", "नमस्ते", "ไทย", "e\u0301", "🙂", "か\u3099"].map(Theme.needsShaping),
                [false, false, false, false, false, false, false, false, false, false, true, true, true, true, true, true, true])
    }

    // A 96 px slider of four steps; the step at or beyond a point, within a slack.
    function test_sliderGeometry() {
        compare([Slider.travel(96), Slider.travelEnd(96), [0, 30, 200].map((x) => Slider.clickTarget(96, x))], [78, 81, [3, 24, 81]])
        compare([0, 1, 2, 3, 4].map((i) => Slider.stepPoint(96, 4, i)), [3, 22.5, 42, 61.5, 81])
        compare([[24, 0], [22.5, 0], [81, 0], [23.5, 1], [23.6, 1]].map((p) => Slider.stepAtOrBeyond(96, 4, p[0], p[1])), [2, 1, 4, 1, 2])
    }

    // Pointer speed levels at the ends and the thresholds; the scroll amount, one screen being 1000.
    function test_systemSettings() {
        compare([3, 4, 36, 37, 69, 70, 103, 104, 137, 138, 171, 172, 204, 205, 238, 239, 271, 272, 304, 305, 337, 500].map(System.levelOf),
                [0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8, 9, 9, 10, 10, 10])
        compare([[false, "7"], [true, "7"], [true, ""], [true, "0"], [true, "250"]].map((p) => System.scrollAmount(p[0], p[1])),
                [1000, 7, 1, 1, 100])
    }

    function press(name) { return { type: 1, info: name } }
    function release(name) { return { type: 2, info: name } }
    function delay(ms) { return { type: 0, info: String(ms) } }

    // A list model reads like its array; recording stops at 126 bytes, or where a long wait would overflow the block.
    function test_listModelsAndGrowth() {
        const model = Qt.createQmlObject("import QtQuick; ListModel {}", this)
        for (const event of [press("A"), delay(30), release("A")])
            model.append(event)
        compare(Macro.eventsOf(model), [press("A"), delay(30), release("A")])
        model.destroy()
        const full = Array.from({ length: 61 }, (_, i) => i % 2 === 0 ? press("A") : release("A"))
        const shorter = full.slice(0, 60)
        compare([Macro.recordCount(ui_View, full), Macro.recordCount(ui_View, shorter)], [126, 124])
        compare([Macro.mayGrow(ui_View, full, full.concat([press("B")])),
                 Macro.mayGrow(ui_View, shorter, shorter.concat([press("B")])),
                 Macro.mayGrow(ui_View, shorter, shorter.concat([delay(5000), press("B")]))], [false, true, false])
    }

    function test_missingReleases_data() {
        return [
            { tag: "held key", events: [press("A"), press("B"), release("A")], releases: [release("B")] },
            { tag: "in press order", events: [press("B"), { type: 3, info: "MS-L" }, press("A")],
              releases: [release("B"), { type: 4, info: "MS-L" }, release("A")] },
            { tag: "key and button of one name", events: [press("X"), { type: 4, info: "X" }], releases: [release("X")] },
            { tag: "release without press", events: [release("A")], releases: [] },
            { tag: "pressed twice", events: [press("A"), press("A")], releases: [release("A")] }
        ]
    }

    function test_missingReleases(data) {
        compare(Macro.missingReleases(data.events), data.releases)
    }

    // The stored form round-trips; damaged lines are skipped, a bare type is kept, a repeat below 0 is 0.
    function test_storedForm() {
        const events = [press(","), delay(50), release(",")]
        compare(Macro.storedList(events), ["1,,", "0,50", "2,,"])
        compare(Macro.parseLoaded(Macro.storedList(events).concat(["3"])), { events: events, repeat: 3 })
        compare(Macro.parseLoaded(["9,x", "", "1,A", "x"]), { events: [press("A")], repeat: 1 })
        compare(Macro.parseLoaded(["3", "-2"]), { events: [{ type: 3, info: "" }], repeat: 0 })
        compare(Macro.parseLoaded([]), { events: [], repeat: 1 })
        compare(["120", " 0 ", "65535", "65536", "-5", "12ms", ""].map(Macro.parseDelay),
                [120, 0, 65535, null, null, null, null])
    }

    function test_names() {
        compare(Macro.dropSentinel(["Macro_0", "loaderbraxel"]), ["Macro_0"])
        compare(Macro.nextName(["Macro_0", "Macro_2"]), "Macro_1")
        compare(Macro.nextName(Array.from({ length: 100 }, (_, k) => "Macro_" + k)), "")
        compare(Macro.nextName([], (name) => name === "Macro_0"), "Macro_1")
        compare(["Fire ä,1", "", "  ", ".", "..", "a/b", "a\\b", "tab\there", "a:b", "a*", "a?", "a\"", "<a", "a>", "a|b"]
                .filter(Macro.isPlainFileName), ["Fire ä,1"])
        compare(["m".repeat(64), "m".repeat(65), "a:b", "", "loaderbraxel", "A", "B", "b"]
                .map((name) => Macro.nameRefusal(name, ["A", "B"])), [-1, 2, 1, 1, 3, 0, 0, -1])
    }

    // Rows: sentinel, damaged names and numbers out of range or taken drop; new rows take the smallest free ones.
    function test_profileRows() {
        compare(Profiles.parseRows(["Standard0", "", "profile_13", "x", "dup0", "dup3", "six9", "B2", "loaderbraxel"]),
                [{ textValue: "Standard", profileNo: 0 }, { textValue: "profile_1", profileNo: 3 },
                 { textValue: "B", profileNo: 2 }])
        const rows = [{ textValue: "Standard", profileNo: 0 }, { textValue: "B", profileNo: 2 }]
        compare([Profiles.freeNumber(rows), Profiles.newName([{ textValue: "profile_0", profileNo: 1 }].concat(rows)),
                 Profiles.storedList(rows)], [1, "profile_1", ["Standard0", "B2"]])
    }

    function test_gunHelpers() {
        compare(["9MS", "90MS", "10ms", "MS"].map(Gun.periodOfText), [9, 90, 10, null])
        compare([Gun.rateText(Gun.knobOfPeriod(10)), Gun.knobOfPeriod(90), Gun.knobOfPeriod(4)], ["10MS", 89, 3])
        fuzzyCompare(Gun.dotPosition(5), 96.34, 0.01)
        compare([Gun.dotPosition(64), Gun.yOfDot(183), Gun.yOfDot(500), Gun.yOfDot(0)], [183, 64, 64, 0])
    }

    // [code, its name, the name looked up, the code it gives]: the tables line up, a shared name gives the lower code.
    function test_lookUps_data() {
        return [
            [0x04, "A"], [0xF4, "MS-B5"], [0x32, "\\", "\\", 0x31], [0x89, "Intl2", "Intl2", 0x88],
            [0x03, "", "enter", 0], [0x74, "", "Nothing", 0],
        ].concat([0x00, 0x84, 0xE8, 0xF5, -1, 256].map((c) => [c, ""]))
            .map((r) => ({ tag: r[0] + " " + r[1], code: r[0], name: r[1],
                           query: r.length > 2 ? r[2] : r[1], back: r.length > 2 ? r[3] : (r[1] ? r[0] : 0) }))
    }

    function test_lookUps(data) {
        compare(keys.keycodeTostr(data.code), data.name)
        compare(keys.strTokeycode(data.query), data.back)
    }

    // Localised names replace the defaults; a short list from a damaged file names what it has, nothing beyond.
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

    function nameOf(code) {
        return KeyCodes.keycodeTostr(KeyCodes.keyCode, KeyCodes.defaultKeyCodeStr, code)
    }

    function text(codes) {
        return Keys.keyCodeToString(codes[0], codes[1], codes[2], codes[3], lang, nameOf,
                                    (slot) => slot === 3 ? "M1" : (slot === 5 ? null : undefined))
    }

    // Option grids are whole rows of three; a text is found by its row.
    function test_grid() {
        Keys.fillGrid(gridModel, ["a", "b", "c", "d"])
        compare([gridModel.count, gridModel.get(4).textValue, gridModel.get(5).textValue], [6, "", ""])
        compare(["a", "d", "x"].map((t) => Keys.rowOf(gridModel, t)), [0, 3, -1])
        Keys.fillGrid(gridModel, ["a", "b", "c"])
        compare(gridModel.count, 3)
    }

    function table(pairs, f) {
        for (const [input, expected] of pairs)
            compare(f(input), expected, JSON.stringify(input))
    }

    function test_keyCodeStrProc() {
        compare(["06042c1b", "0000F000", "0600e30", "0600e3zz"].map(Keys.keyCodeStrProc), [[6, 4, 0x2C, 0x1B], [0, 0, 0xF0, 0], null, null])
    }

    // A macro shows the name bound to its slot (3 is "M1", 5 null); every option: below.
    function test_keyCodeToString() {
        table([[[0, 0, 0, 0], ""], [[1, 0x04, 10, 0], "A"], [[2, 0x03, 0x04, 0x05], "LCtrl+LShift+A+B"],
                     [[2, 0xC0, 0, 0], "RAlt+RWin"], [[2, 0, 0, 0x05], "B"], [[3, 0, 0x12, 0], ""],
                     [[4, 2, 3, 0], "M1"], [[4, 0, 4, 0], ""], [[4, 0, 5, 0], ""], [[5, 0, 5, 0], ""],
                     [[6, 0, 0x2C, 0x1B], "Max"], [[8, 0, 4, 0], ""], [[0xFF, 0, 1, 0], ""]], text)
    }

    // Every option's codes read back as the option's own label and light its own row, and no row of another group.
    function test_everyOptionReadsBack() {
        const groups = { mouse: Keys.mouseOptions, media: Keys.mediaOptions, windows: Keys.windowsOptions,
                         shortcut: Keys.shortcutOptions, dpi: Keys.dpiOptions, gun: Keys.gunOptions }
        for (const group in groups) {
            groups[group].forEach((option, row) => {
                const [codes, label] = [Keys.keyCodeStrProc(option.code), Keys.label(lang, option.label)]
                compare([label !== "", text(codes)], [true, label], option.code)
                for (const other in groups)
                    compare(Keys.choiceIndex(other, codes), other === group ? row : -1, option.code + " in " + other)
            })
        }
        compare([Keys.choiceIndex("media", [3, 0, 0x12, 0]), Keys.choiceIndex("", [0, 0, 0xF0, 0])], [-1, -1])
        compare([Keys.label(null, 2), Keys.label(lang, 999)], ["", ""])
    }

    // [left-click entries, selected] → is it the last left click; -1: entry 1 with the code in another category.
    function test_lastLeftKey() {
        compare([[[0], 0], [[0], 1], [[0], -1], [[0, 1], 0], [[0, 1], 1], [[6], 6], [[0, -1], 0]].map((input) => {
            const entries = Array.from({ length: Keys.entryCount }, () => [5, 0, 1, 0])
            for (const i of input[0])
                entries[Math.abs(i)] = [i < 0 ? 1 : 0, 0, 0xF0, 0]
            return Keys.isLastLeftKey(entries, input[1])
        }), [true, false, false, false, false, true, true])
    }

    // Keys pressed → [codes, text]: modifiers as a mask, at most two keys.
    function test_combination() {
        table([[[], [[2, 0, 0, 0], ""]], [[0x04], [[2, 0, 0x04, 0], "A"]], [[0xE7], [[2, 0x80, 0, 0], "RWin"]],
               [[0xE0, 0xE1, 0x04, 0x05, 0x06, 0xE0], [[2, 0x03, 0x04, 0x05], "LCtrl + LShift + A + B + LCtrl"]]], (codes) => {
            const state = codes.reduce((combo, code) => Keys.comboAdd(combo, code, nameOf(code)), Keys.newCombo())
            return [Keys.comboCodes(state), Keys.comboText(state)]
        })
    }

    // What the view takes: sixteen entries in order, short tables padded with zeros.
    function test_src64() {
        compare(Keys.src64([[1, 2, 3, 4], [7]]), [1, 2, 3, 4, 7, 0, 0, 0].concat(new Array(56).fill(0)))
    }

    // Knob position → rate; typed repeat counts.
    function test_numbers() {
        compare([3, 9, 79, 120].map(Keys.fireRate), [4, 10, 80, 80])
        compare(["25", "255", "300", "-1", "x"].map((t) => Keys.repeatCount(t)), [25, 255, 255, 0, 0])
    }

    // The colourful list adds seven effects, the 55328 Breath Loop; the panel grows with its rows; off the list: Static.
    function test_effects() {
        const lists = [[false, false], [true, false], [false, true]].map((a) => Light.effects(a[0], a[1]))
        compare(lists.map((list) => list.map((effect) => effect.label).join(" ")), ["1 2 3 4", "1 2 3 4 8 9 10 11 12 13 14", "1 2 3 4 15"])
        const height = (speed, bright) => Light.panelHeight({ speed, bright })
        compare([height(false, false), height(true, false), height(false, true), height(true, true)], [176, 224, 224, 264])
        compare([-1, 1, 4].map((code) => Light.effectAt(lists[0], code)), [lists[0][0], lists[0][1], lists[0][0]])
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

    // The 24 components stored and sent (a damaged colour as black); the 55328 sends block 8 only with Breath Loop.
    function test_colorList() {
        const colors = ["#f28e01", "x", "#c45671"].concat(Array(4).fill("#000000"), ["#3A9bDd"]) // every hex digit, either case
        const list = (is55328, effect) => Light.colorList(colors, is55328, effect)
        compare([list(false, 0), list(true, 0).slice(21), list(true, 4).slice(21)],
                [[242, 142, 1, 0, 0, 0, 196, 86, 113].concat(Array(12).fill(0), [58, 155, 221]), [0, 0, 0], [58, 155, 221]])
    }
}
