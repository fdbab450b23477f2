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

    // The block as hex: repeat count, per action its wait and code, end mark 00 00.
    function test_deCode_data() {
        const [a, b] = [press("A"), release("A")]
        return [
            { tag: "press, 30 ms, release", repeat: 1, events: [a, delay(30), b], hex: "0001 0304 8104 0000" },
            { tag: "no delays give 10 ms waits", repeat: 2,
              events: [press("B"), release("B"), { type: 3, info: "MS-L" }, { type: 4, info: "MS-L" }],
              hex: "0002 0105 8105 01f0 81f0 0000" },
            { tag: "delays between two actions add up", repeat: 1, events: [a, delay(500), delay(700), b],
              hex: "0001 7804 8104 0000" },
            { tag: "126 units stay short", repeat: 1, events: [a, delay(1260), b], hex: "0001 7e04 8104 0000" },
            { tag: "127 units are long, in 20 ms units", repeat: 1, events: [a, delay(1270), b],
              hex: "0001 0004 0001 003f 8104 0000" },
            { tag: "a long wait after a release keeps bit 7", repeat: 1,
              events: [a, b, delay(3000), press("B"), release("B")], hex: "0001 0104 8004 0001 0096 0105 8105 0000" },
            { tag: "100000 units count 50 ms", repeat: 1,
              events: [a].concat(Array(16).fill(delay(60000)), [delay(40000), b]),
              hex: "0001 0004 0002 4e20 8104 0000" },
            // From 600000 units on the pair carries the units, FFFF beyond 16 bits.
            { tag: "600000 units", repeat: 1, events: [a].concat(Array(100).fill(delay(60000)), [b]),
              hex: "0001 0004 ffff 8104 0000" },
            { tag: "leading and trailing delays are dropped", repeat: 1,
              events: [delay(40), a, delay(20), b, delay(90)], hex: "0001 0204 8104 0000" },
            { tag: "fractions of 10 ms round to the nearest unit", repeat: 1,
              events: [a, delay(34), b, delay(35), press("B")], hex: "0001 0304 8404 0105 0000" },
            { tag: "a name the table lacks is code 0", repeat: 1, events: [press("Nope"), release("Nope")],
              hex: "0001 0100 8100 0000" },
            { tag: "repeat beyond 16 bits", repeat: 70000, events: [a, b], hex: "ffff 0104 8104 0000" },
            { tag: "negative repeat", repeat: -3, events: [], hex: "0000" },
            { tag: "delays then one press", repeat: 5, events: [delay(10), a], hex: "0005" },
            { tag: "a press then a delay", repeat: 1, events: [a, delay(50)], hex: "0001 0104 0000" },
        ]
    }

    function test_deCode(data) {
        const bytes = Macro.deCode(data.events, data.repeat, codeOf)
        compare(bytes.map((v) => (v + 0x100).toString(16).slice(1)).join("").replace(/(....)(?!$)/g, "$1 "),
                data.hex)
        compare(Macro.recordCount(data.events), bytes.length)
    }

    // A list model encodes like its array; recording stops at 126 bytes and
    // never lets the block overflow (a long wait takes it to 130).
    function test_listModelsAndGrowth() {
        const model = Qt.createQmlObject("import QtQuick; ListModel {}", this)
        for (const event of [press("A"), delay(30), release("A")])
            model.append(event)
        compare(Macro.deCode(Macro.eventsOf(model), 1, codeOf), [0x00, 0x01, 0x03, 0x04, 0x81, 0x04, 0x00, 0x00])
        model.destroy()
        const full = Array.from({ length: 61 }, (_, i) => i % 2 === 0 ? press("A") : release("A"))
        const shorter = full.slice(0, 60)
        compare([Macro.recordCount(full), Macro.recordCount(shorter)], [126, 124])
        compare([Macro.mayGrow(full, full.concat([press("B")])), Macro.mayGrow(shorter, shorter.concat([press("B")])),
                 Macro.mayGrow(shorter, shorter.concat([delay(5000), press("B")]))], [false, true, false])
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
        compare(Gun.slotValues({ gunTimes: "3", gunX: "0", gunY: "300" }), [3, 0, 255])
    }
}
