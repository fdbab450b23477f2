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

// The scene's pure script libraries, on their own; then the macro editor's, the profile
// list's and the gun editor's helpers.
TestCase {
    name: "Libraries"

    // A stored value read as a number or a flag, the fallback where it is none.
    function test_toInt_data() {
        return [["number", 5, 5], ["text after a restart", "5", 5], ["padded text", " 12 ", 12], ["negative text", "-3", -3], ["plus sign", "+4", 4],
                ["missing", undefined, 9], ["null", null, 9], ["word", "abc", 9], ["half a number", "12abc", 9],
                ["fraction text", "1.5", 9], ["empty", "", 9], ["infinite", Infinity, 9],
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

    // Only scripts whose letters join or carry placed marks go through the text shaper.
    function test_needsShaping() {
        // A text of every script the language files use is left unshaped; the
        // kana voicing marks that combine (U+3099, U+309A) are not.
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

    // A list model reads like its array; recording stops at 126 bytes and
    // never lets the block overflow (a long wait takes it to 130).
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
            { tag: "key and button of one name", events: [press("X"), { type: 4, info: "X" }],
              releases: [release("X")] },
            { tag: "release without press", events: [release("A")], releases: [] },
            { tag: "pressed twice", events: [press("A"), press("A")], releases: [release("A")] }
        ]
    }

    function test_missingReleases(data) {
        compare(Macro.missingReleases(data.events), data.releases)
    }

    // The stored form round-trips; damaged lines are skipped.
    function test_storedForm() {
        const events = [press(","), delay(50), release(",")]
        compare(Macro.storedList(events), ["1,,", "0,50", "2,,"])
        compare(Macro.parseLoaded(Macro.storedList(events).concat(["3"])), { events: events, repeat: 3 })
        compare(Macro.parseLoaded(["9,x", "", "1,A", "x"]), { events: [press("A")], repeat: 1 })
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

    // Rows: sentinel, damaged names and numbers out of range or taken drop;
    // new rows take the smallest free number and name.
    function test_profileRows() {
        compare(Profiles.parseRows(["Standard0", "", "profile_13", "x", "dup0", "dup3", "six9", "B2", "loaderbraxel"]),
                [{ textValue: "Standard", profileNo: 0 }, { textValue: "profile_1", profileNo: 3 },
                 { textValue: "B", profileNo: 2 }])
        const rows = [{ textValue: "Standard", profileNo: 0 }, { textValue: "B", profileNo: 2 }]
        compare([Profiles.freeNumber(rows), Profiles.newName(rows.concat([{ textValue: "profile_0", profileNo: 1 }])),
                 Profiles.storedList(rows)], [1, "profile_1", ["Standard0", "B2"]])
    }

    function test_gunHelpers() {
        compare(["9MS", "90MS", "10ms", "MS"].map(Gun.periodOfText), [9, 90, 10, null])
        compare([Gun.rateText(Gun.knobOfPeriod(10)), Gun.knobOfPeriod(90), Gun.knobOfPeriod(4)], ["10MS", 89, 3])
        fuzzyCompare(Gun.dotPosition(5), 96.34, 0.01)
        compare([Gun.dotPosition(64), Gun.yOfDot(183), Gun.yOfDot(500), Gun.yOfDot(0)], [183, 64, 64, 0])
    }
}
