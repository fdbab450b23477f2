import QtQuick
import QtTest
import "qrc:/modules/qml/basic/values.js" as Values
import "qrc:/modules/qml/basic/reportrate.js" as ReportRate
import "qrc:/modules/qml/common/slider.js" as Slider
import "qrc:/modules/qml/screens/dpi.js" as Dpi
import "qrc:/modules/qml/screens/systemsetting.js" as System

// The scene's pure script libraries, on their own.
TestCase {
    name: "Libraries"

    function test_toInt_data() {
        return [
            { tag: "number", value: 5, fallback: 9, expected: 5 },
            { tag: "text after a restart", value: "5", fallback: 9, expected: 5 },
            { tag: "padded text", value: " 12 ", fallback: 9, expected: 12 },
            { tag: "negative text", value: "-3", fallback: 9, expected: -3 },
            { tag: "missing", value: undefined, fallback: 9, expected: 9 },
            { tag: "null", value: null, fallback: 9, expected: 9 },
            { tag: "word", value: "abc", fallback: 9, expected: 9 },
            { tag: "half a number", value: "12abc", fallback: 9, expected: 9 },
            { tag: "fraction text", value: "1.5", fallback: 9, expected: 9 },
            { tag: "empty", value: "", fallback: 9, expected: 9 },
            { tag: "infinite", value: Infinity, fallback: 9, expected: 9 },
        ]
    }

    function test_toInt(data) {
        compare(Values.toInt(data.value, data.fallback), data.expected)
    }

    function test_toBool_data() {
        return [
            { tag: "bool", value: true, expected: true },
            { tag: "text true", value: "true", expected: true },
            { tag: "text false", value: "false", expected: false },
            { tag: "mixed case", value: "False", expected: false },
            { tag: "number", value: 0, expected: false },
            { tag: "missing keeps fallback", value: undefined, expected: "fallback" },
            { tag: "garbage keeps fallback", value: "yes please", expected: "fallback" },
        ]
    }

    function test_toBool(data) {
        compare(Values.toBool(data.value, "fallback"), data.expected)
    }

    function test_mergeTexts() {
        compare(Values.mergeTexts(["a", "b", "c"], []), ["a", "b", "c"])
        compare(Values.mergeTexts(["a", "b", "c"], ["x"]), ["x", "b", "c"])
        compare(Values.mergeTexts(["a"], ["x", "y"]), ["x", "y"])
        compare(Values.mergeTexts(["a"], undefined), ["a"])
    }

    function test_intList() {
        compare(Values.intList(["1", "x", 3], [7, 8, 9, 10]), [1, 8, 3, 10])
        compare(Values.intList([], [7, 8]), [7, 8])
    }

    function test_reportRateCodes() {
        compare([0, 1, 2, 3, 4, -1].map(ReportRate.codeOf), [8, 4, 2, 1, 1, 1])
    }

    function test_sliderGeometry() {
        compare(Slider.travel(96), 78)
        compare(Slider.travelEnd(96), 81)
        compare([0, 1, 2, 3, 4].map((i) => Slider.stepPoint(96, 4, i)), [3, 22.5, 42, 61.5, 81])
        compare(Slider.clickTarget(96, 30), 24)
        compare(Slider.stepAtOrBeyond(96, 4, 24, 0), 2)
        compare(Slider.stepAtOrBeyond(96, 4, 22.5, 0), 1)
        compare(Slider.stepAtOrBeyond(96, 4, 81, 0), 4)
        compare(Slider.stepAtOrBeyond(96, 4, 23.5, 1), 1)
        compare(Slider.stepAtOrBeyond(96, 4, 23.6, 1), 2)
        compare(Slider.clickTarget(96, 0), 3)
        compare(Slider.clickTarget(96, 200), 81)
    }

    // Every multiple of 50 in 200..6000 survives the knob round trip.
    function test_dpiRoundTripOfEveryMultipleOfTheBase() {
        for (let value = 200; value <= 6000; value += 50) {
            const position = Dpi.positionOf(value, 200, 6000)
            compare(Dpi.valueOf(position, 200, 6000, 50), value, "value " + value)
        }
    }

    function test_dpiEnds() {
        compare(Dpi.valueOf(161, 200, 6000, 50), 6000)
        compare(Dpi.positionOf(6000, 200, 6000), 162)
        compare(Dpi.valueOf(162, 200, 6000, 50), 6000)
        // A degenerate range or step does not divide by zero.
        compare(Dpi.positionOf(500, 800, 800), 4)
        compare(Dpi.valueOf(50, 200, 6000, 0), Math.floor(47 * 5800 / 158 + 200))
    }

    function test_speedLevels_data() {
        return [
            { tag: "left end", position: 3, level: 0 },
            { tag: "first threshold", position: 4, level: 1 },
            { tag: "just below 37", position: 36, level: 1 },
            { tag: "104", position: 104, level: 4 },
            { tag: "103", position: 103, level: 3 },
            { tag: "middle", position: 170, level: 5 },
            { tag: "right end", position: 337, level: 10 },
            { tag: "beyond the end", position: 500, level: 10 },
        ]
    }

    function test_speedLevels(data) {
        compare(System.levelOf(data.position), data.level)
    }

    function test_scrollAmount() {
        compare(System.scrollAmount(false, "7"), 1000)
        compare(System.scrollAmount(true, "7"), 7)
        compare(System.scrollAmount(true, ""), 1)
        compare(System.scrollAmount(true, "0"), 1)
        compare(System.scrollAmount(true, "250"), 100)
    }
}
