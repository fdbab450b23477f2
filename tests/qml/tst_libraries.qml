import QtQuick
import QtTest
import "qrc:/modules/qml/basic/values.js" as Values
import "qrc:/modules/qml/basic/refusal.js" as Refusal
import "qrc:/modules/qml/basic/theme.js" as Theme
import "qrc:/modules/qml/common/slider.js" as Slider
import "qrc:/modules/qml/screens/systemsetting.js" as System

// The scene's pure script libraries, on their own.
TestCase {
    name: "Libraries"

    // A stored value read as a number or a flag, the fallback where it is none.
    function test_toInt_data() {
        return [["number", 5, 5], ["text after a restart", "5", 5], ["padded text", " 12 ", 12], ["negative text", "-3", -3],
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
        compare(["Profile 1", "配置文件 2", "Ünïcödé €", "", "سلام", "שלום", "नमस्ते", "ไทย", "e\u0301", "🙂"].map(Theme.needsShaping),
                [false, false, false, false, true, true, true, true, true, true])
    }

    // A 96 px slider of four steps; the step at or beyond a point, within a slack.
    function test_sliderGeometry() {
        compare([Slider.travel(96), Slider.travelEnd(96), [0, 30, 200].map((x) => Slider.clickTarget(96, x))], [78, 81, [3, 24, 81]])
        compare([0, 1, 2, 3, 4].map((i) => Slider.stepPoint(96, 4, i)), [3, 22.5, 42, 61.5, 81])
        compare([[24, 0], [22.5, 0], [81, 0], [23.5, 1], [23.6, 1]].map((p) => Slider.stepAtOrBeyond(96, 4, p[0], p[1])), [2, 1, 4, 1, 2])
    }

    // Pointer speed levels at the ends and the thresholds; the scroll amount, one screen being 1000.
    function test_systemSettings() {
        compare([3, 4, 37, 103, 104, 170, 337, 500].map(System.levelOf), [0, 1, 2, 3, 4, 5, 10, 10])
        compare([[false, "7"], [true, "7"], [true, ""], [true, "0"], [true, "250"]].map((p) => System.scrollAmount(p[0], p[1])),
                [1000, 7, 1, 1, 100])
    }
}
