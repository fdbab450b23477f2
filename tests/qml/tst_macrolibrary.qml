import QtQuick
import QtTest
import "qrc:/modules/qml/screens/macro.js" as Macro
import "qrc:/modules/qml/screens/profile.js" as Profiles
import "qrc:/modules/qml/screens/gun.js" as Gun
import "qrc:/modules/qml/basic/keycodes.js" as KeyCodes

// The macro encoding and the profile and gun helpers, on their own.
TestCase {
    name: "MacroLibrary"

    function codeOf(name) {
        return KeyCodes.strTokeycode(KeyCodes.keyCode, KeyCodes.defaultKeyCodeStr, name)
    }

    function press(name) { return { type: 1, info: name } }
    function release(name) { return { type: 2, info: name } }
    function delay(ms) { return { type: 0, info: String(ms) } }
    function mouseDown(name) { return { type: 3, info: name } }
    function mouseUp(name) { return { type: 4, info: name } }

    // The block as hex: repeat count, then per action its wait and code, the
    // end mark 00 00.
    function test_deCode_data() {
        const [a, b] = [press("A"), release("A")]
        return [
            { tag: "press, 30 ms, release", repeat: 1, events: [a, delay(30), b], hex: "0001 0304 8104 0000" },
            { tag: "2000 ms takes the long form in 20 ms units", repeat: 1, events: [a, delay(2000), b],
              hex: "0001 0004 0001 0064 8104 0000" },
            { tag: "no delays give 10 ms waits", repeat: 2,
              events: [press("B"), release("B"), mouseDown("MS-L"), mouseUp("MS-L")],
              hex: "0002 0105 8105 01f0 81f0 0000" },
            { tag: "delays between two actions add up", repeat: 1, events: [a, delay(500), delay(700), b],
              hex: "0001 7804 8104 0000" },
            { tag: "126 units stay short", repeat: 1, events: [a, delay(1260), b], hex: "0001 7e04 8104 0000" },
            { tag: "127 units are long", repeat: 1, events: [a, delay(1270), b],
              hex: "0001 0004 0001 003f 8104 0000" },
            { tag: "a long wait after a release keeps bit 7", repeat: 1,
              events: [a, b, delay(3000), press("B"), release("B")], hex: "0001 0104 8004 0001 0096 0105 8105 0000" },
            { tag: "100000 units count 50 ms", repeat: 1,
              events: [a].concat(Array(16).fill(delay(60000)), [delay(40000), b]),
              hex: "0001 0004 0002 4e20 8104 0000" },
            { tag: "leading and trailing delays are dropped", repeat: 1,
              events: [delay(40), a, delay(20), b, delay(90)], hex: "0001 0204 8104 0000" },
            { tag: "fractions of 10 ms round to the nearest unit", repeat: 1,
              events: [a, delay(34), b, delay(35), press("B")], hex: "0001 0304 8404 0105 0000" },
            { tag: "a name the table lacks is code 0", repeat: 1, events: [press("Nope"), release("Nope")],
              hex: "0001 0100 8100 0000" },
            { tag: "Times 300", repeat: 300, events: [a, b], hex: "012c 0104 8104 0000" },
            { tag: "only delays", repeat: 1, events: [delay(10), delay(20)], hex: "0001" },
            { tag: "one press", repeat: 1, events: [a], hex: "0001" },
            { tag: "delays then one press", repeat: 5, events: [delay(10), a], hex: "0005" },
            { tag: "empty", repeat: 0, events: [], hex: "0000" },
            { tag: "a press then a delay", repeat: 1, events: [a, delay(50)], hex: "0001 0104 0000" },
        ]
    }

    function test_deCode(data) {
        const bytes = Macro.deCode(data.events, data.repeat, codeOf)
        compare(bytes.map((v) => (v + 0x100).toString(16).slice(1)).join("").replace(/(....)(?!$)/g, "$1 "),
                data.hex)
        compare(Macro.recordCount(data.events), bytes.length)
    }

    // From 600000 units on the value pair carries the units themselves, and
    // a value beyond 16 bits is FFFF.
    function test_deCodeOfHugeDelays() {
        const held = (ms) => [press("A")].concat(Array(100).fill(delay(ms)), [release("A")])
        compare(Macro.deCode(held(65535), 1, codeOf), [0x00, 0x01, 0x00, 0x04, 0xFF, 0xFF, 0x81, 0x04, 0x00, 0x00])
        const exact = held(60000)
        // 600000 units (6000 s): no unit pair, and 600000 does not fit.
        compare(Macro.deCode(exact, 1, codeOf).slice(2, 6), [0x00, 0x04, 0xFF, 0xFF])
    }

    function test_repeatOutsideSixteenBitsIsClamped() {
        compare(Macro.deCode([], 70000, codeOf), [0xFF, 0xFF])
        compare(Macro.deCode([], -3, codeOf), [0x00, 0x00])
    }

    function test_listModelsEncodeLikeArrays() {
        const model = Qt.createQmlObject("import QtQuick; ListModel {}", this)
        model.append(press("A"))
        model.append(delay(30))
        model.append(release("A"))
        compare(Macro.deCode(Macro.eventsOf(model), 1, codeOf),
                [0x00, 0x01, 0x03, 0x04, 0x81, 0x04, 0x00, 0x00])
        model.destroy()
    }

    // Recording stops at 126 bytes, and never lets the block overflow.
    function test_mayGrow() {
        const events = []
        while (Macro.recordCount(events) < Macro.recordLimit)
            events.push(events.length % 2 === 0 ? press("A") : release("A"))
        compare(Macro.recordCount(events), 126)
        verify(!Macro.mayGrow(events, events.concat([press("B")])))
        const shorter = events.slice(0, events.length - 1)
        compare(Macro.recordCount(shorter), 124)
        verify(Macro.mayGrow(shorter, shorter.concat([press("B")])))
        // A long wait would take the encoding to 130 bytes.
        verify(!Macro.mayGrow(shorter, shorter.concat([delay(5000), press("B")])))
    }

    function test_missingReleases_data() {
        return [
            { tag: "all released", events: [press("A"), delay(30), release("A")], releases: [] },
            { tag: "held key", events: [press("A"), press("B"), release("A")],
              releases: [release("B")] },
            { tag: "in press order", events: [press("B"), mouseDown("MS-L"), press("A")],
              releases: [release("B"), mouseUp("MS-L"), release("A")] },
            { tag: "key and button of one name", events: [press("X"), mouseUp("X")],
              releases: [release("X")] },
            { tag: "release without press", events: [release("A")], releases: [] },
            { tag: "pressed twice", events: [press("A"), press("A")], releases: [release("A")] }
        ]
    }

    function test_missingReleases(data) {
        compare(Macro.missingReleases(data.events), data.releases)
    }

    function test_storedFormRoundTrip() {
        const events = [press(","), delay(50), release(",")]
        const stored = Macro.storedList(events)
        compare(stored, ["1,,", "0,50", "2,,"])
        const loaded = Macro.parseLoaded(stored.concat(["3"]))
        compare(loaded.repeat, 3)
        compare(loaded.events, events)
    }

    function test_parseLoadedSkipsDamage() {
        const loaded = Macro.parseLoaded(["9,x", "", "1,A", "x"])
        compare(loaded.events, [press("A")])
        compare(loaded.repeat, 1)
        compare(Macro.parseLoaded([]).events, [])
        compare(Macro.parseLoaded([]).repeat, 1)
    }

    function test_names() {
        compare(Macro.dropSentinel(["Macro_0", "loaderbraxel"]), ["Macro_0"])
        compare(Macro.dropSentinel(["a", "b"]), ["a", "b"])
        compare(Macro.nextName(["Macro_0", "Macro_2"]), "Macro_1")
        const all = []
        for (let k = 0; k < 100; ++k)
            all.push("Macro_" + k)
        compare(Macro.nextName(all), "")
        compare(Macro.nextName([], (name) => name === "Macro_0"), "Macro_1")
        verify(Macro.isPlainFileName("Fire ä,1"))
        for (const bad of ["", ".", "..", "a/b", "a\\b", "tab\there", "a:b", "a*", "a?", "a\"",
                           "<a", "a>", "a|b"])
            verify(!Macro.isPlainFileName(bad), bad)
        compare(["m".repeat(64), "m".repeat(65), "a:b", "", "loaderbraxel", "B", "b"]
                .map((name) => Macro.nameRefusal(name, ["A", "B"])), [-1, 2, 1, 1, 3, 0, -1])
    }

    function test_parseDelay() {
        compare(Macro.parseDelay("120"), 120)
        compare(Macro.parseDelay(" 0 "), 0)
        compare(Macro.parseDelay("65535"), 65535)
        compare(Macro.parseDelay("65536"), null)
        compare(Macro.parseDelay("-5"), null)
        compare(Macro.parseDelay("12ms"), null)
        compare(Macro.parseDelay(""), null)
    }

    function test_profileRows() {
        compare(Profiles.parseRows(["Standard0", "loaderbraxel"]),
                [{ textValue: "Standard", profileNo: 0 }])
        compare(Profiles.parseRows(["Standard0", "profile_13", "x", "dup3", "six9", "B2"]),
                [{ textValue: "Standard", profileNo: 0 }, { textValue: "profile_1", profileNo: 3 },
                 { textValue: "B", profileNo: 2 }])
        const rows = [{ textValue: "Standard", profileNo: 0 }, { textValue: "B", profileNo: 2 }]
        compare(Profiles.freeNumber(rows), 1)
        compare(Profiles.newName(rows.concat([{ textValue: "profile_0", profileNo: 1 }])),
                "profile_1")
        compare(Profiles.storedList(rows), ["Standard0", "B2"])
    }

    function test_gunHelpers() {
        compare(Gun.periodOfText("9MS"), 9)
        compare(Gun.periodOfText("90MS"), 90)
        compare(Gun.periodOfText("10ms"), 10)
        compare(Gun.periodOfText("MS"), null)
        compare(Gun.rateText(Gun.knobOfPeriod(10)), "10MS")
        compare(Gun.knobOfPeriod(90), 89)
        compare(Gun.knobOfPeriod(4), 3)
        fuzzyCompare(Gun.dotPosition(5), 96.34, 0.01)
        compare(Gun.dotPosition(64), 183)
        compare(Gun.yOfDot(183), 64)
        compare(Gun.yOfDot(500), 64)
        compare(Gun.yOfDot(0), 0)
        compare(Gun.slotValues({ gunTimes: "3", gunX: "0", gunY: "300" }), [3, 0, 255])
    }
}
