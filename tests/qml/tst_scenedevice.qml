import QtQuick
import QtTest
import "qrc:/modules/qml/screens"

// The scene with a virtual mouse behind the view: what Save, a profile
// switch, the macro names and the gun editor hand over reaches the mouse
// as the right reports, and nothing else does.
Item {
    id: scene

    width: 1024
    height: 640

    Component {
        id: namingComponent

        KeyNaming {}
    }

    SceneTestCase {
        name: "SceneDevice"

        // The factory key matrix as the mouse holds it.
        readonly property string factoryKeys: "01 00 f0 00 01 00 f1 00 01 00 f2 00 01 00 f4 00 "
            + "01 00 f3 00 01 00 00 00 0a f0 1e 02 0a f0 1e 02 07 00 02 00 07 00 01 00 "
            + "01 00 00 00 01 00 00 00 01 00 00 00 01 00 00 00 04 00 01 00 04 00 02 00"

        // `flags` are global settings written before the mouse is attached.
        function startOnMouse(isGun, flags) {
            for (const key in flags || {})
                ui_View.setGlobalData(key, flags[key])
            verify(testData.attachMouse(553, isGun))
            const main = startMain()
            testData.clearDeviceRecord()
            return main
        }

        // The command reports since the last clear, without their checksum.
        function commands() {
            return testData.deviceCommands().map((c) => c.substring(0, 23))
        }

        // Key matrix `n` with slots `changes` ({slot: "xx xx xx xx"}) in
        // place of the factory ones.
        function keys(changes) {
            const bytes = factoryKeys.split(" ")
            const slots = []
            for (let k = 0; k < 16; ++k)
                slots.push(changes[k] || bytes.slice(4 * k, 4 * k + 4).join(" "))
            return slots.join(" ")
        }

        function matrices(count) {
            return Array.from({ length: count }, (_, i) => testData.deviceKeyMatrix(i + 1))
        }

        function assign(main, index, codes, text) {
            const keyPanel = child(main, "keyMatrixMain")
            keyPanel.modKeys.set(index, { keyCode0: codes[0], keyCode1: codes[1], keyCode2: codes[2],
                                          keyCode3: codes[3], keyText: text })
            keyPanel.isSave = true
        }

        function save(main) {
            mouseClick(child(main, "saveButton"))
            verify(ui_View.enabled)
        }

        // `action(main)` runs on a started scene; the mouse then holds
        // `commands` and key matrices 1.. `keys`.
        function test_sends_data() {
            const twice = (report) => [report, report]
            const colourful = { "mouse/isColorful": true }
            const is55328 = { "mouse/isColorful": false, "mouse/is55328": true }
            // A whole profile: key matrix 1, report rate (1000 Hz), DPI
            // stages, lighting (Static, full brightness), the colours twice.
            const profile = ["00 12 01 40 08 00 00 00", "00 01 01 00 00 00 00 00",
                             "00 11 04 08 00 00 00 00", "00 0d 01 ff 00 00 00 00"]
                .concat(twice("00 10 00 18 00 00 00 00"))
            return [
                { tag: "no changes", commands: [] },
                { tag: "combination and windows keys", action: (main) => {
                    assign(main, 3, [2, 3, 4, 5], "LCtrl+LShift+A+B")
                    assign(main, 5, [6, 4, 0x2C, 0x1B], "Max")
                    save(main)
                    verify(!child(main, "keyMatrixMain").isSave)
                  }, commands: ["00 12 01 40 08 00 00 00"],
                  keys: [keys({ 3: "00 03 04 05", 9: "00 04 2c 1b" })] },
                // The body goes to slot 3 (macro 4) as the dialog closes,
                // the key matrix with Save.
                { tag: "macro assignment", macros: true, action: (main) => {
                    mouseClick(child(child(main, "keyMatrixMain"), "keyRow3"))
                    const dialog = child(main, "keyAssigmentMain")
                    dialog.chooseMacroMode(2)
                    dialog.macroList.currentSelect = 1
                    dialog.chooseMacro(1)
                    mouseClick(findChild(dialog, "closeMark"))
                    compare(ui_View.getData("mouseMacroKey/3", false), "M1")
                    compare(commands(), ["00 13 04 80 00 00 00 00"])
                    compare(testData.deviceMacro(4), block("00 01 03 04 81 04 00 00"))
                    save(main)
                  }, commands: ["00 13 04 80 00 00 00 00", "00 12 01 40 08 00 00 00"],
                  keys: [keys({ 3: "09 02 04 00" })] },
                // Button 8 switches gun presets: matrices 2..4 carry the
                // fire periods of the three slots.
                { tag: "gun switch", gun: true, action: (main) => {
                    assign(main, 7, [8, 0, 2, 0], "Two Gun")
                    save(main)
                  }, commands: ["00 12 01 40 08 00 00 00", "00 12 02 40 08 00 00 00",
                                "00 12 03 40 08 00 00 00", "00 12 04 40 08 00 00 00",
                                "00 02 01 00 00 00 00 00"],
                  keys: [keys({ 6: "08 00 01 01", 7: "08 00 01 01" }),
                         keys({ 0: "0b 00 09 00", 6: "08 00 01 02", 7: "08 00 01 02" }),
                         keys({ 0: "0b 01 09 00", 6: "08 00 01 00", 7: "08 00 01 00" }),
                         keys({ 0: "0b 02 09 00", 6: "08 00 01 00", 7: "08 00 01 00" })] },
                { tag: "lighting off, full colour", flags: colourful, effect: 3,
                  commands: ["00 0d 00 00 00 00 00 00"].concat(twice("00 10 00 18 00 00 00 00")) },
                { tag: "wave with a picked colour", flags: colourful, effect: 5, action: (main) => {
                    const light = child(main, "lightControlMain")
                    child(light, "speedSlider").setIndexValue(2, false)
                    light.selectBlock(1)
                    light.dragMarker(45)
                    save(main)
                    compare(ui_View.getDataList("mouse/colorValue", false).slice(3, 6), [128, 255, 0])
                  }, commands: ["00 0d 05 ff 05 00 00 00"].concat(twice("00 10 00 18 00 00 00 00")) },
                // The 55328 takes one fixed colour outside Breath Loop.
                { tag: "55328 static", flags: is55328, effect: 0,
                  commands: ["00 0d 01 0a 01 00 00 00", "00 0c ff 00 00 00 00 00"] },
                { tag: "55328 breath loop", flags: is55328, effect: 4,
                  commands: ["00 0d 02 01 03 00 00 00", "00 10 00 18 00 00 00 00"] },
                // The screens reload the factory profile, unchanged.
                { tag: "factory reset", action: (main) => {
                    assign(main, 2, [7, 0, 0xE0, 0x06], "Copy")
                    child(main, "lightControlMain").pickEffect(2)
                    save(main)
                    compare(testData.deviceKeyMatrix(1), keys({ 2: "00 00 e0 06" }))
                    testData.clearDeviceRecord()
                    mouseClick(child(main, "resetButton"))
                    mouseClick(child(main, "resetOk"))
                    const panel = child(main, "keyMatrixMain")
                    const light = child(main, "lightControlMain")
                    compare([panel.modKeys.get(2).keyCode2, light.effect, panel.isSave, light.isSave],
                            [0xF2, 0, false, false])
                  }, commands: profile.concat(["00 0b 02 00 00 00 00 00"]),
                  keys: [factoryKeys] },
                // Everything of the new profile goes out at once; its bound
                // macro goes to the slot it plays (the mouse still holds the
                // old profile's bodies); with guns, matrix 1 becomes current
                // and the firmware table goes out as matrices 2..4.
                { tag: "profile switch", gun: true, macros: true, action: (main) => {
                    main.changeProfile(1)
                    compare([main.profileNo, Number(ui_View.getGlobalData("mouse/profileNo"))], [1, 1])
                    compare(testData.deviceMacro(10), block("00 01 03 04 81 04 00 00"))
                  }, commands: [profile[0], "00 01 08 00 00 00 00 00"].concat(profile.slice(2), [
                                "00 02 00 00 00 00 00 00", "00 12 02 40 08 00 00 00",
                                "00 12 03 40 08 00 00 00", "00 12 04 40 08 00 00 00",
                                "00 13 0a 80 00 00 00 00"]),
                  keys: [keys({ 3: "09 00 0a 00" }), factoryKeys, factoryKeys, factoryKeys] },
            ]
        }

        // A 128-byte macro block: `bytes`, then zeros.
        function block(bytes) {
            return bytes + " 00".repeat(128 - bytes.split(" ").length)
        }

        function test_sends(data) {
            if (data.macros) {
                ui_View.updataNameList(0, ["M0", "M1"])
                ui_View.updataNameList(2, ["Standard0", "Gaming1"])
                ui_View.createMacroIni("M1", 0)
                ui_View.saveMacroIni("M1", ["1,A", "0,30", "2,A"], 1)
                ui_View.setCurrentProfile(1)
                ui_View.setDataList("mouseKeyMatrix/3", [4, 0, 9, 0])
                ui_View.setData("mouseMacroKey/9", "M1")
                ui_View.setData("mouse/reportRate", 0) // 125 Hz
                ui_View.setCurrentProfile(0)
            }
            const main = startOnMouse(!!data.gun, data.flags)
            if (data.effect !== undefined) {
                compare(child(main, "lightControlMain").lightModel.count, data.flags["mouse/is55328"] ? 5 : 11)
                child(main, "lightControlMain").pickEffect(data.effect)
            }
            if (data.action)
                data.action(main)
            else
                save(main)
            compare(commands(), data.commands)
            const expected = data.keys || []
            compare(matrices(expected.length), expected)
            // The same again sends nothing.
            testData.clearDeviceRecord()
            if (data.tag === "profile switch") {
                main.changeProfile(1)
                compare(commands(), [])
                // An edited macro goes to the slot its button plays.
                dialog(main, "macroEditorMain").modifyMacroData("M1")
                compare(commands(), ["00 13 0a 80 00 00 00 00"])
            } else {
                save(main)
                compare(commands(), [])
            }
        }

        // The gun editor's close sends the three slots' presets ([times, X,
        // Y] of presets 0, 4 and 2), only after a change; the key matrices
        // take the new fire periods.
        function test_closingTheGunEditorSendsTheThreeSlots() {
            ui_View.setDataList("mouseKeyMatrix/3", [8, 0, 2, 0])
            const main = startOnMouse(true)
            const gun = dialog(main, "gunControlMain")
            gun.visible = true
            gun.close()
            compare(commands(), [])
            gun.visible = true
            child(gun, "slotList").currentSelect = 1
            gun.choosePreset(4) // UNP9, 10 ms
            testData.clearDeviceRecord()
            gun.close()
            compare(commands().filter((c) => c.startsWith("00 04")),
                    ["00 04 00 00 00 05 00 00", "00 04 00 00 00 0a 01 00", "00 04 00 00 00 08 02 00"])
            compare(matrices(4).map((m) => m.substring(0, 11)),
                    ["01 00 f0 00", "0b 00 09 00", "0b 01 0a 00", "0b 02 09 00"])
            compare(testData.deviceKeyMatrix(1).substring(36, 47), "08 00 01 01")
        }

        // A stored macro goes to its slot with its repeat count; a name the
        // store does not hold clears the slot to an empty macro.
        function test_macroNamesReachTheirSlots_data() {
            return [{ tag: "553", family: 553 }, { tag: "560", family: 560 }]
        }

        function test_macroNamesReachTheirSlots(data) {
            verify(testData.attachMouse(data.family, false))
            ui_View.updataNameList(0, ["Macro_0", "Other"])
            ui_View.createMacroIni("Macro_0", 0)
            ui_View.saveMacroIni("Macro_0", ["1,A", "0,30", "2,A"], 1)
            ui_View.createMacroIni("Other", 0)
            ui_View.saveMacroIni("Other", ["1,B", "2,B"], 9)
            const names = make(namingComponent)
            names.sendMacro(2, "Macro_0")
            names.sendMacro(11, "Other")
            names.sendMacro(0, "Missing")
            compare([3, 12, 1].map((n) => testData.deviceMacro(n)),
                    [block("00 01 03 04 81 04 00 00"), block("00 09 01 05 81 05 00 00"),
                     block("00 01")])
        }

        // Buttons bound to a deleted macro get their defaults back, on the
        // mouse and in every profile; the other macro's button keeps it.
        function test_deletingAMacroRestoresItsButtons() {
            ui_View.updataNameList(0, ["Macro_0", "Other"])
            ui_View.createMacroIni("Macro_0", 3)
            ui_View.createMacroIni("Other", 5)
            for (const profile of [4, 0]) {
                ui_View.setCurrentProfile(profile)
                ui_View.setData("mouseMacroKey/3", "Macro_0")
                ui_View.setData("mouseMacroKey/5", "Other")
                ui_View.setDataList("mouseKeyMatrix/3", [4, 0, 3, 0])
                ui_View.setDataList("mouseKeyMatrix/4", [4, 1, 5, 0])
            }
            const main = startOnMouse(false)
            const editor = dialog(main, "macroEditorMain")
            editor.selectMacro(0)
            editor.deleteCurrentMacro()
            verify(ui_View.enabled)
            compare(testData.deviceKeyMatrix(1).substring(36, 47), "01 00 f4 00")
            for (const profile of [4, 0]) {
                ui_View.setCurrentProfile(profile)
                compare(ui_View.getDataList("mouseKeyMatrix/3", false).map(Number), [0, 0, 244, 0])
                compare(ui_View.getDataList("mouseKeyMatrix/4", false).map(Number), [4, 1, 5, 0])
            }
            compare(ui_View.getNameList(0), ["Other", "loaderbraxel"])
            compare(ui_View.loadMacroIni("Macro_0"), [])
        }

        // A mouse that stops answering mid-write: nothing looks done. The
        // user is told (ui_View's notice, the window's notice bar) and Save
        // keeps showing what the mouse does not hold, until a Save that
        // goes through.
        function test_interruptedWritesAreReported_data() {
            return [
                { tag: "save", action: (main) => {
                    drag(child(main, "dpiSettingMain").stage(0).slider.children[2], 494, 0)
                    testData.setMouseSilent(true)
                    save(main)
                } },
                { tag: "save asked for before a switch", action: (main) => {
                    drag(child(main, "dpiSettingMain").stage(0).slider.children[2], 494, 0)
                    testData.setMouseSilent(true)
                    main.requestProfileSwitch(1)
                    mouseClick(child(main, "unsavedSave"))
                    compare(main.profileNo, 0)
                } },
                { tag: "profile switch", action: (main) => {
                    testData.setMouseSilent(true)
                    main.requestProfileSwitch(1)
                    compare(main.profileNo, 1)
                } },
                { tag: "factory reset", action: (main) => {
                    testData.setMouseSilent(true)
                    main.factoryReset()
                } },
            ]
        }

        function test_interruptedWritesAreReported(data) {
            ui_View.updataNameList(2, ["Standard0", "Gaming1"])
            const main = startOnMouse(true)
            const notices = spy(ui_View, "userNotice")
            const failed = main.noticeLang[5]
            const reported = () => notices.signalArguments.filter((a) => a[0] === failed).length
            data.action(main)
            verify(ui_View.enabled)
            compare(reported(), 1)
            compare(main.noticeText, failed)
            verify(child(main, "noticeBar").visible)
            verify(child(main, "dpiSettingMain").isSave)
            compare(child(main, "saveButton").faceColor, Qt.color("#ff3030"))

            testData.setMouseSilent(false)
            testData.clearDeviceRecord()
            save(main)
            verify(!main.hasUnsavedChanges)
            compare(reported(), 1)
            compare(commands().filter((c) => c.startsWith("00 11")).length, 1)
        }
    }
}
