import QtQuick
import QtTest
import "qrc:/modules/qml/screens"

// The scene with a virtual mouse behind the view: what Save, a profile switch, the
// macro names and the gun editor hand over reaches the mouse, and nothing else does.
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

        // The factory key matrix with slots `changes` ({slot: "xx xx xx xx"}).
        function keys(changes) {
            const bytes = factoryKeys.split(" ")
            return Array.from({ length: 16 }, (_, k) => changes[k] || bytes.slice(4 * k, 4 * k + 4).join(" ")).join(" ")
        }

        function block(bytes) {
            return bytes + " 00".repeat(128 - bytes.split(" ").length)
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

        // `action(main)` (Save when none) runs on a started scene; the mouse then holds
        // `commands` and key matrices 1.. `keys`; Save again sends nothing.
        function test_sends_data() {
            const [colours, m1] = ["00 10 00 18 00 00 00 00", "00 12 01 40 08 00 00 00"]
            const is55328 = { "mouse/isColorful": false, "mouse/is55328": true }
            // A whole profile: key matrix 1, report rate (1000 Hz), DPI
            // stages, lighting (Static, full brightness), the colours twice.
            const profile = [m1, "00 01 01 00 00 00 00 00", "00 11 04 08 00 00 00 00", "00 0d 01 ff 00 00 00 00",
                             colours, colours]
            const guns = ["00 12 02 40 08 00 00 00", "00 12 03 40 08 00 00 00", "00 12 04 40 08 00 00 00"]
            // The three gun slots sent ("<preset> <slot>" each), each after a read of the options.
            const gunSlots = (...presets) => [].concat(...presets.map((preset) => ["00 83 00 00 00 00 00 00",
                                                                                 "00 04 00 00 00 " + preset + " 00"]))
            return [
                { tag: "combination and windows keys", action: (main) => {
                    assign(main, 3, [2, 3, 4, 5], "LCtrl+LShift+A+B")
                    assign(main, 5, [6, 4, 0x2C, 0x1B], "Max")
                    save(main)
                  }, commands: [m1], keys: [keys({ 3: "00 03 04 05", 9: "00 04 2c 1b" })] },
                // The body goes to slot 3 (macro 4) as the dialog closes, the key matrix with Save.
                { tag: "macro assignment", macros: true, action: (main) => {
                    mouseClick(child(child(main, "keyMatrixMain"), "keyRow3"))
                    const dialog = child(main, "keyAssigmentMain")
                    dialog.chooseMacroMode(2)
                    dialog.macroList.currentSelect = 1
                    dialog.chooseMacro(1)
                    mouseClick(findChild(dialog, "closeMark"))
                    compare([ui_View.getData("mouseMacroKey/3", false), commands(), testData.deviceMacro(4)],
                            ["M1", ["00 13 04 80 00 00 00 00"], block("00 01 03 04 81 04 00 00")])
                    save(main)
                  }, commands: ["00 13 04 80 00 00 00 00", m1], keys: [keys({ 3: "09 02 04 00" })] },
                // Button 8 switches gun presets: matrices 2..4 carry the
                // fire periods of the three slots.
                { tag: "gun switch", gun: true, action: (main) => {
                    assign(main, 7, [8, 0, 2, 0], "Two Gun")
                    save(main)
                  }, commands: [m1].concat(guns, ["00 02 01 00 00 00 00 00"]),
                  keys: [[undefined, "01"], ["0b 00 09 00", "02"], ["0b 01 09 00", "00"], ["0b 02 09 00", "00"]]
                      .map(([first, preset]) => keys({ 0: first, 6: "08 00 01 " + preset, 7: "08 00 01 " + preset })) },
                { tag: "wave with a picked colour", flags: { "mouse/isColorful": true }, effect: 5, action: (main) => {
                    const light = child(main, "lightControlMain")
                    child(light, "speedSlider").setIndexValue(2, false)
                    light.selectBlock(1)
                    light.dragMarker(45)
                    save(main)
                    compare(ui_View.getDataList("mouse/colorValue", false).slice(3, 6), [128, 255, 0])
                  }, commands: ["00 0d 05 ff 05 00 00 00", colours, colours] },
                // The 55328 takes one fixed colour outside Breath Loop.
                { tag: "55328 static", flags: is55328, effect: 0,
                  commands: ["00 0d 01 0a 01 00 00 00", "00 0c ff 00 00 00 00 00"] },
                { tag: "55328 breath loop", flags: is55328, effect: 4, commands: ["00 0d 02 01 03 00 00 00", colours] },
                // A mouse left on a stage no longer active goes to the last one left, and it shows.
                { tag: "fewer stages than the one in use", action: (main) => {
                    main.setCurrentDPI(4)
                    const dpi = child(main, "dpiSettingMain")
                    dpi.chooseStageCount(1)
                    save(main)
                    compare(dpi.currentDPI, 1)
                  }, commands: ["00 11 02 08 00 00 00 00", "00 0b 02 00 00 00 00 00"] },
                // The screens reload the factory profile, unchanged; the gun slots go back to their presets.
                { tag: "factory reset", gun: true, action: (main) => {
                    assign(main, 2, [7, 0, 0xE0, 0x06], "Copy")
                    child(main, "lightControlMain").pickEffect(2)
                    save(main)
                    testData.clearDeviceRecord()
                    mouseClick(child(main, "resetButton"))
                    mouseClick(child(main, "resetOk"))
                    const [panel, light] = [child(main, "keyMatrixMain"), child(main, "lightControlMain")]
                    compare([panel.modKeys.get(2).keyCode2, light.effect, panel.isSave, light.isSave], [0xF2, 0, false, false])
                  }, commands: profile.concat(["00 02 00 00 00 00 00 00"], guns, ["00 0b 02 00 00 00 00 00"],
                                              gunSlots("05 00", "07 01", "08 02")), keys: [factoryKeys] },
                // The gun editor's close sends the slots' presets (0, 4, 2) only after a change.
                { tag: "gun editor", gun: true, setup: () => ui_View.setDataList("mouseKeyMatrix/3", [8, 0, 2, 0]),
                  action: (main) => {
                    const gun = dialog(main, "gunControlMain")
                    gun.visible = true
                    gun.close()
                    compare(commands(), [])
                    gun.visible = true
                    child(gun, "slotList").currentSelect = 1
                    gun.choosePreset(4) // UNP9, 10 ms
                    gun.close()
                  }, commands: gunSlots("05 00", "0a 01", "08 02").concat([m1], guns, ["00 02 01 00 00 00 00 00"]),
                  keys: [[undefined, "01"], ["0b 00 09 00", "02"], ["0b 01 0a 00", "00"], ["0b 02 09 00", "00"]]
                      .map(([first, preset]) => keys({ 0: first, 3: "08 00 01 " + preset })) },
                // All of the new profile at once; its bound macro to the slot it plays (the mouse
                // holds the old bodies); with guns the firmware table goes out as matrices 2..4.
                { tag: "profile switch", gun: true, macros: true, action: (main) => {
                    main.changeProfile(1)
                    compare([main.profileNo, Number(ui_View.getGlobalData("mouse/profileNo")), testData.deviceMacro(10)],
                            [1, 1, block("00 01 03 04 81 04 00 00")])
                  }, commands: [m1, "00 01 08 00 00 00 00 00"].concat(profile.slice(2),
                                ["00 02 00 00 00 00 00 00"], guns, ["00 13 0a 80 00 00 00 00"]),
                  keys: [keys({ 3: "09 00 0a 00" }), factoryKeys, factoryKeys, factoryKeys] },
            ]
        }

        function test_sends(data) {
            if (data.setup)
                data.setup()
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
            if (data.effect !== undefined)
                child(main, "lightControlMain").pickEffect(data.effect)
            data.action ? data.action(main) : save(main)
            compare([commands(), Array.from(data.keys || [], (_, i) => testData.deviceKeyMatrix(i + 1))],
                    [data.commands, data.keys || []])
            testData.clearDeviceRecord()
            data.tag === "profile switch" ? main.changeProfile(1) : save(main)
            compare(commands(), [])
            if (data.tag === "profile switch") {
                // An edited macro goes to the slot its button plays.
                dialog(main, "macroEditorMain").modifyMacroData("M1")
                compare(commands(), ["00 13 0a 80 00 00 00 00"])
            }
        }

        // A stored macro goes to its slot with its repeat count; an unknown name empties the slot.
        function test_macroNamesReachTheirSlots_data() {
            return [{ tag: "553", family: 553 }, { tag: "560", family: 560 }]
        }

        function test_macroNamesReachTheirSlots(data) {
            verify(testData.attachMouse(data.family, false))
            ui_View.updataNameList(0, ["Macro_0", "Other"])
            ui_View.createMacroIni("Other", 0)
            ui_View.saveMacroIni("Other", ["1,B", "2,B"], 9)
            const names = make(namingComponent)
            names.sendMacro(11, "Other")
            names.sendMacro(0, "Missing")
            compare([12, 1].map((n) => testData.deviceMacro(n)), [block("00 09 01 05 81 05 00 00"), block("00 01")])
        }

        // Buttons bound to a deleted macro get their defaults back, on the mouse and in every profile.
        function test_deletingAMacroRestoresItsButtons() {
            ui_View.updataNameList(0, ["Macro_0", "Other"])
            ui_View.createMacroIni("Macro_0", 3)
            ui_View.createMacroIni("Other", 5)
            const stored = (k) => [4, 0].map((p) => {
                ui_View.setCurrentProfile(p)
                return ui_View.getDataList(k, false).map(Number)
            })
            for (const profile of [4, 0]) {
                ui_View.setCurrentProfile(profile)
                ui_View.setData("mouseMacroKey/3", "Macro_0")
                ui_View.setData("mouseMacroKey/5", "Other")
                ui_View.setDataList("mouseKeyMatrix/3", [4, 0, 3, 0])
                ui_View.setDataList("mouseKeyMatrix/4", [4, 1, 5, 0])
            }
            const main = startOnMouse(false)
            dialog(main, "macroEditorMain").selectMacro(0)
            dialog(main, "macroEditorMain").deleteCurrentMacro()
            compare([ui_View.enabled, testData.deviceKeyMatrix(1).substring(36, 47), stored("mouseKeyMatrix/3"),
                     stored("mouseKeyMatrix/4"), ui_View.getNameList(0), ui_View.loadMacroIni("Macro_0")],
                    [true, "01 00 f4 00", [[0, 0, 244, 0], [0, 0, 244, 0]], [[4, 1, 5, 0], [4, 1, 5, 0]],
                     ["Other", "loaderbraxel"], []])
        }

        // What goes to the mouse the moment it is asked for, and does not get there, is not
        // shown as done: the user is told once, and it goes out when asked again. `shown` reads
        // what the screen shows (as refused, then as taken); `sent` the commands that carry it.
        function test_refusedSendsAreToldAndGoAgain_data() {
            const gunEditor = (main, change) => {
                const gun = dialog(main, "gunControlMain")
                gun.visible = true
                if (change)
                    gun.choosePreset(4)
                gun.close()
            }
            return [
                // The box goes back to the rate the mouse has.
                { tag: "report rate", sent: "00 01 04", action: (main) => {
                    const list = child(main, "rateList")
                    list.currentSelect = 1
                    list.valueChange(1)
                  }, shown: (main) => [child(main, "rateList").textValue, ui_View.getData("mouse/reportRate", false)],
                  refused: ["1000Hz", 3], taken: ["250Hz", 1] },
                // The gun editor's next close sends the presets again, changed or not.
                { tag: "gun editor", gun: true, sent: "00 04 00", count: 3,
                  action: (main) => gunEditor(main, true), retry: (main) => gunEditor(main, false),
                  shown: (main) => [dialog(main, "gunControlMain").isSave], refused: [true], taken: [false] },
                // A body sent as the dialog closes goes again with the next Save.
                { tag: "macro assigned", sent: "00 13 05", macro: true, action: (main) => {
                    main.showKeyAssigment(4)
                    const keys = dialog(main, "keyAssigmentMain")
                    keys.chooseMacro(0)
                    keys.closeDialog()
                  }, retry: save, shown: (main) => [main.hasUnsavedChanges], refused: [true], taken: [false] },
                { tag: "edited macro", sent: "00 13 04", macro: true,
                  action: (main) => dialog(main, "macroEditorMain").modifyMacroData("M1") },
                // The button that played a deleted macro waits for Save.
                { tag: "deleted macro", sent: "00 12 01", macro: true, action: (main) => {
                    dialog(main, "macroEditorMain").selectMacro(0)
                    dialog(main, "macroEditorMain").deleteCurrentMacro()
                  }, retry: save, shown: (main) => [child(main, "keyMatrixMain").isSave], refused: [true], taken: [false] },
            ]
        }

        function test_refusedSendsAreToldAndGoAgain(data) {
            if (data.macro) {
                ui_View.updataNameList(0, ["M1"])
                ui_View.createMacroIni("M1", 0)
                ui_View.setDataList("mouseKeyMatrix/3", [4, 0, 3, 0])
                ui_View.setData("mouseMacroKey/3", "M1")
            }
            const main = startOnMouse(!!data.gun)
            const notices = spy(ui_View, "userNotice")
            const shown = () => data.shown ? data.shown(main).map(String) : []
            testData.setMouseSilent(true)
            data.action(main)
            compare([notices.count, main.noticeText, shown()],
                    [1, main.noticeLang[5], (data.refused || []).map(String)])
            testData.setMouseSilent(false)
            testData.clearDeviceRecord();
            (data.retry || data.action)(main)
            compare([notices.count, shown(), commands().filter((c) => c.startsWith(data.sent)).length],
                    [1, (data.taken || []).map(String), data.count || 1])
        }

        // A mouse that stops answering mid-write: the user is told (notice, notice bar) and
        // Save keeps showing what the mouse does not hold, until a Save that goes through;
        // the profile keeps what the mouse has until then.
        function test_interruptedWritesAreReported_data() {
            return [
                { tag: "save", changed: true, action: (main) => save(main) },
                { tag: "save asked for before a switch", changed: true, profileNo: 0,
                  action: (main) => { main.requestProfileSwitch(1); mouseClick(child(main, "unsavedSave")) } },
                { tag: "profile switch", profileNo: 1, action: (main) => main.requestProfileSwitch(1) },
                { tag: "factory reset", profileNo: 0, action: (main) => main.factoryReset() },
            ]
        }

        function test_interruptedWritesAreReported(data) {
            ui_View.updataNameList(2, ["Standard0", "Gaming1"])
            const main = startOnMouse(true)
            const [notices, failed] = [spy(ui_View, "userNotice"), main.noticeLang[5]]
            const reported = () => notices.signalArguments.filter((a) => a[0] === failed).length
            if (data.changed)
                drag(child(main, "dpiSettingMain").stage(0).slider.children[2], 494, 0)
            testData.setMouseSilent(true)
            data.action(main)
            const stored = () => Number(ui_View.getDataList("mouse/dpiValueArray", false)[0])
            compare([ui_View.enabled, reported(), child(main, "noticeBar").Accessible.name, child(main, "noticeBar").visible,
                     child(main, "dpiSettingMain").isSave, child(main, "saveButton").faceColor,
                     child(main, "saveButton").Accessible.description, main.profileNo, stored()],
                    [true, 1, failed, true, true, Qt.color("#ff3030"), "Unsaved changes", data.profileNo || 0, 500])
            // A restart shows unsaved what the mouse still lacks of the stored profile.
            const restarted = () => { // the second scene gone before the next click
                const again = startMain(), shown = [again.hasUnsavedChanges, again.noticeText]
                again.destroy(); wait(0); return shown }
            compare(restarted(), data.changed ? [false, ""] : [true, main.noticeLang[7]])
            testData.setMouseSilent(false)
            testData.clearDeviceRecord()
            save(main)
            // After a switch or reset, the rest of the profile goes too: report rate, gun matrices.
            const count = (code) => commands().filter((c) => c.startsWith(code)).length
            compare([main.hasUnsavedChanges, reported(), count("00 11"), count("00 01"), count("00 12 02"), stored(),
                     restarted()], [false, 1, 1, data.changed ? 0 : 1, data.changed ? 0 : 1, data.changed ? 6000 : 500, [false, ""]])
        }
    }
}
