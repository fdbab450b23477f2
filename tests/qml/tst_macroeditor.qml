import QtQuick
import QtTest
import "qrc:/modules/qml/screens"

// The macro editor (names, files, recording, event editing) over a real view and a temporary folder.
Item {
    width: 700; height: 500

    Component { id: editorComponent; MacroEditor {} }

    SceneTestCase {
        name: "MacroEditor"

        function events(editor) {
            return Array.from({ length: editor.actionModel.count },
                              (_, i) => editor.actionModel.get(i).type + "," + editor.actionModel.get(i).info)
        }

        function pairs(n) { return Array.from({ length: n }, (_, i) => i % 2 === 0 ? "1,A" : "2,A") }

        // Macros `names` (the first with the stored events), the first selected.
        function editorWith(stored, names = ["Macro_0"]) {
            ui_View.updataNameList(0, names)
            names.forEach((name) => ui_View.createMacroIni(name, 0))
            ui_View.saveMacroIni(names[0], stored, 1)
            const editor = makeInit(editorComponent)
            editor.selectMacro(0)
            return editor
        }

        // The keyboard does what the pointer does in both lists: arrows choose, F2 renames, the Menu key, Delete asks.
        function test_keyboard() {
            const editor = editorWith(pairs(4), ["Macro_0", "Macro_1"])
            const [names, actions] = [editor.macroNumber_lv, editor.actionList]
            const menus = ["macroMenu", "actionMenu", "macroDeleteConfirm"].map((name) => child(editor, name))
            const state = () => [names.currentIndex, editor.actionModel.count, actions.currentIndex,
                                 names.activeFocus || actions.activeFocus, menus.findIndex((m) => m.visible)]
            names.forceActiveFocus(Qt.TabFocusReason)
            const steps = [Qt.Key_Down, Qt.Key_Up, [Qt.Key_F2, Qt.Key_Q, Qt.Key_Return], Qt.Key_Menu,
                           [Qt.Key_Escape, Qt.Key_Delete], Qt.Key_Escape, () => actions.forceActiveFocus(Qt.TabFocusReason),
                           [Qt.Key_Down, Qt.Key_Down], Qt.Key_Menu]
            compare(walk(steps, state), [[1, 0, -1, true, -1], [0, 4, -1, true, -1], [0, 4, -1, true, -1], [0, 4, -1, false, 0],
                                         [0, 4, -1, false, 2], [0, 4, -1, true, -1], [0, 4, -1, true, -1], [0, 4, 1, true, -1],
                                         [0, 4, 1, false, 1]])
            keyClicks(Qt.Key_Escape, Qt.Key_Up)
            compare([editor.macroNames(), Window.window.activeFocusItem.Accessible.name], [["q", "Macro_1"], "Press A"])
        }

        // While the insert-key box waits every key is the key (a taken Enter's copy is no OK); Escape inserts nothing.
        function test_insertKeyFromTheKeyboard() {
            const editor = editorWith(["1,A", "2,A"])
            const actions = editor.actionList
            actions.forceActiveFocus(Qt.TabFocusReason)
            actions.currentIndex = 0
            editor.actionMenuChosen(2)
            keyPress(Qt.Key_Return)
            editor.detectInput(true, 0x28)
            keyRelease(Qt.Key_Return)
            editor.detectInput(false, 0x28)
            const seen = [[editor.tmpKeyString, focusName(), editor.actionModel.count]]
            keyClicks(Qt.Key_Tab, Qt.Key_Space)
            editor.detectInput(true, 0x04)
            editor.detectInput(false, 0x04)
            seen.push([editor.tmpKeyString, editor.isInsertting, focusName()])
            keyClick(Qt.Key_B)
            seen.push(focusName())
            keyClick(Qt.Key_Return)
            seen.push([editor.insertKeyBox.visible, actions.activeFocus, events(editor)])
            editor.actionMenuChosen(2)
            keyClick(Qt.Key_Escape)
            editor.detectInput(true, 0x29)
            editor.detectInput(false, 0x29)
            keyClick(Qt.Key_Escape)
            seen.push([editor.tmpKeyString, editor.insertKeyBox.visible, editor.visible, events(editor).length])
            compare(seen, [["Enter", "insertKeyOk", 2], ["A", false, "insertKeySink"], "insertKeyOk",
                           [false, true, ["1,A", "2,A", "1,A", "2,A"]], ["Esc", false, true, 4]])
        }

        // With 100 macros New and Import make none, whatever their names; Import does not even ask for a file.
        function test_newStopsAtOneHundred() {
            const editor = editorWith([], Array.from({ length: 100 }, (_, k) => "Fire " + k))
            testData.scriptFileDialogs([])
            editor.newMacro()
            editor.importMacro()
            compare([editor.macroNumberModel.count, ui_View.loadMacroIni("Macro_0"), testData.askedDialogs()], [100, [], []])
        }

        // Init drops the sentinel and selects nothing; New takes the smallest free number; Delete asks, loads the next row.
        function test_newAndDelete() {
            ui_View.updataNameList(0, ["Macro_1", "loaderbraxel"])
            const editor = make(editorComponent)
            const [announced, told, deleted] = [spy(editor, "macroNamesChanged"), spy(ui_View, "userNotice"), spy(editor, "deleteMacro")]
            editor.init()
            mouseClick(child(editor, "recordButton"))
            compare([editor.macroNames(), editor.macroNumber_lv.currentIndex, args(announced), editor.isInputting, args(told)],
                    [["Macro_1"], -1, [[["Macro_1"]]], false, [["Choose a macro in the list before recording."]]])
            for (let i = 0; i < 2; ++i)
                mouseClick(child(editor, "macroNewButton"))
            ui_View.saveMacroIni("Macro_2", ["1,C", "2,C"], 4)
            editor.selectMacro(1)
            const confirm = child(editor, "macroDeleteConfirm")
            for (const answer of ["confirmCancel", "confirmOk"]) {
                mouseClick(child(editor, "macroDeleteButton"))
                compare(child(confirm, "confirmQuestion").text, "Delete the macro “Macro_0”?")
                compare(walk([Qt.Key_Tab, Qt.Key_Tab, Qt.Key_Tab, Qt.Key_Backtab], focusName),
                        ["confirmCancel", "confirmOk", "confirmCancel", "confirmOk"])
                mouseClick(child(confirm, answer))
            }
            compare([confirm.visible, args(deleted), ui_View.getNameList(0), ui_View.loadMacroIni("Macro_0"),
                     editor.macroNumber_lv.currentIndex, events(editor), editor.timesInput.textValue],
                    [false, [["Macro_0"]], ["Macro_1", "Macro_2"], [], 1, ["1,C", "2,C"], "4"])
            mouseClick(child(editor, "macroNewButton"))
            compare([ui_View.getNameList(0), ui_View.loadMacroIni("Macro_0")], [["Macro_1", "Macro_2", "Macro_0"], ["1"]])
        }

        // Recording ends stored, keys released, with Stop, another macro, or where held keys need room for releases.
        function test_recording() {
            const editor = editorWith(["1,Z", "2,Z"], ["Macro_0", "B"])
            const saved = spy(editor, "modifyMacroData")
            // Keys the recorder takes, each [10 ms ticks waited before it, pressed, usage].
            const record = (...keys) => keys.forEach(([ticks, down, code]) => {
                editor.macroRecordCount = ticks
                editor.detectKeyboard(down, code)
            })
            editor.delayCheck.isSelect = true
            mouseClick(child(editor, "recordButton"))
            record([7, true, 0x04], [3, false, 0x04], [12, true, 0xF0], [0, false, 0xF0])
            mouseClick(child(editor, "recordButton"))
            compare([editor.isInputting, editor.recordClock.running, args(saved), ui_View.loadMacroIni("Macro_0")],
                    [false, false, [["Macro_0"]], ["1,A", "0,30", "2,A", "0,120", "3,MS-L", "0,0", "4,MS-L", "1"]])
            editor.delayCheck.isSelect = false
            editor.toggleRecording()
            editor.detectKeyboard(true, 0x05)
            editor.selectMacro(1)
            compare([editor.isInputting, ui_View.loadMacroIni("Macro_0")], [false, ["1,B", "2,B", "1"]])
            // Stopped with Space on the button: its press, taken by the recorder first, goes.
            editor.delayCheck.isSelect = true
            child(editor, "recordButton").forceActiveFocus(Qt.TabFocusReason)
            keyClick(Qt.Key_Space)
            record([5, true, 0x06], [5, false, 0x06], [5, true, 0x2C])
            keyClick(Qt.Key_Space)
            compare([editor.isInputting, ui_View.loadMacroIni("B")], [false, ["1,C", "0,50", "2,C", "1"]])
            editor.delayCheck.isSelect = false
            // Stopped with Space after another key's press: that press is the macro's, and gets its release.
            keyClick(Qt.Key_Space)
            editor.detectKeyboard(true, 0x06)
            keyClick(Qt.Key_Space)
            compare(ui_View.loadMacroIni("B"), ["1,C", "2,C", "1"])
            editor.toggleRecording()
            for (const e of pairs(58).concat(["1,B", "1,C", "1,D"], pairs(20)))
                editor.detectKeyboard(e[0] === "1", { A: 4, B: 5, C: 6, D: 7 }[e[2]])
            compare([editor.isInputting, child(editor, "recordCountText").text], [true, "124 / 126"])
            editor.toggleRecording()
            compare([ui_View.loadMacroIni("B").slice(-6), editor.recordCount()], [["2,A", "1,B", "1,C", "2,B", "2,C", "1"], 128])
        }

        // Event edits are stored at once; those past the block's 128 bytes (two waits merged too) are refused.
        function test_editEvents_data() {
            const three = ["1,A", "0,50", "2,A"]
            const full = ["1,A", "0,700", "2,A", "0,700"].concat(pairs(60))
            const waits = (n, ms) => ["1,A", "0," + ms].concat(pairs(n))
            return [{ tag: "delay in front", entry: 1, row: 2, stored: three, expected: ["1,A", "0,50", "0,50", "2,A"] },
                    { tag: "delay in front, full disk", entry: 1, row: 2, stored: three, expected: three, full: true },
                    { tag: "left key after the last event", entry: 3, row: 2, stored: three,
                      expected: three.concat(["3,MS-L", "4,MS-L"]), selected: 2 },
                    { tag: "key in front of a middle event", entry: 2, key: 0x2B, row: 1, stored: three,
                      expected: ["1,A", "1,Tab", "2,Tab", "0,50", "2,A"], selected: 1 },
                    { tag: "typing", delay: "250", times: "300", row: 1, stored: three, expected: ["1,A", "0,250", "2,A"] },
                    { tag: "delete merging two waits", entry: 0, row: 2, stored: full, expected: full, refused: true },
                    { tag: "delete the last event", entry: 0, row: 2, stored: three, expected: three.slice(0, 2), selected: 1 },
                    { tag: "left key, no row chosen", entry: 3, row: -1, stored: three, expected: three },
                    { tag: "long delay", delay: "2000", row: 1, stored: waits(60, 50), expected: waits(60, 50), refused: true },
                    { tag: "long delay that fits", delay: "2000", row: 1, stored: waits(58, 50), expected: waits(58, 2000) }]
        }

        function test_editEvents(data) {
            const [editor, told] = [editorWith(data.stored), spy(ui_View, "userNotice")]
            if (data.delay) {
                editor.startDelayEdit(data.row)
                keyClicks(...data.delay, Qt.Key_Return)
                if (data.times)
                    typeInto(editor.timesInput, data.times)
            } else {
                editor.actionList.currentIndex = data.row
                testData.setDiskFull(!!data.full)
                editor.actionMenuChosen(data.entry)
                testData.setDiskFull(false)
            }
            if (data.key) {
                editor.detectInput(true, data.key)
                editor.detectInput(true, 0xF1)
                mouseClick(child(editor, "insertKeyOk"))
            }
            compare([editor.delayEditRow, editor.isInsertting || editor.insertKeyBox.visible, events(editor),
                     data.selected === undefined || editor.actionList.currentIndex === data.selected,
                     ui_View.loadMacroIni("Macro_0"), told.count, String(args(told)).indexOf("128") >= 0, data.full ? editor.saveCount : 0],
                    [-1, false, data.expected, true, data.expected.concat([data.times || "1"]),
                     data.refused || data.full ? 1 : 0, !!data.refused, 0])
        }

        // The name rules are the library's and the profiles' links the store's; here what the editor adds (stray files, its refusal).
        function test_rename_data() {
            return [{ tag: "free name", name: "Burst", renamed: true },
                    { tag: "stray file", name: "Stray", notice: "That name is already taken." },
                    { tag: "store refuses", name: "Burst", fileGone: true,
                      notice: "The macro could not be renamed; nothing was changed." }]
        }

        function test_rename(data) {
            ui_View.createMacroIni("Stray", 0)
            const editor = editorWith([])
            if (data.fileGone)
                ui_View.deleteMacroIni("Macro_0")
            const [renamed, told] = [spy(editor, "modifyMacroName"), spy(ui_View, "userNotice")]
            editor.startNameEdit(0)
            editor.editText = data.name
            editor.macroEditorFocus()
            const now = data.renamed ? data.name : "Macro_0"
            compare([editor.nameEditRow, editor.macroNames()[0], ui_View.getNameList(0)[0], args(renamed), args(told)],
                    [-1, now, now, data.renamed ? [["Macro_0", data.name]] : [], data.notice ? [[data.notice]] : []])
            // An edit that ends after its row has gone renames nothing.
            compare([editor.renameMacro(-1, "Gone"), editor.renameMacro(1, "Gone"), editor.macroNames()], [false, false, [now]])
        }

        // Imports go in front of the selected row under the next free name; what cannot become a row leaves nothing.
        function test_importAndExport_data() {
            return [{ tag: "in front of the selected row", source: ["1,Q", "2,Q"], after: ["A", "Macro_0", "B"] },
                    { tag: "cancelled", answer: "", after: ["A", "B"] },
                    { tag: "over 128 bytes", source: pairs(70), after: ["A", "B"], told: 1 },
                    { tag: "new macro whose file cannot be written", unwritable: true, after: ["A", "B"], told: 1, asked: [] },
                    { tag: "export", exported: true, after: ["A", "B"], asked: ["save Macro(*.mc)"] },
                    { tag: "delete on a full disk", full: true, after: ["A", "B"], told: 1, asked: [] }]
        }

        function test_importAndExport(data) {
            ui_View.createMacroIni("Source", 0)
            const editor = editorWith(["1,A", "2,A"], ["A", "B"])
            ui_View.saveMacroIni("Source", data.source || [], 7)
            testData.scriptFileDialogs([data.answer === undefined ? testData.path(data.exported ? "out.mc"
                                                                      : "modules/macro/Source.bin") : data.answer])
            if (data.unwritable)
                testData.setUnwritable("modules/macro/Macro_0.bin", true)
            const told = spy(ui_View, "userNotice")
            editor.selectMacro(1)
            if (data.exported) {
                mouseClick(editor.macroNumber_lv, 20, 12, Qt.RightButton)
                mouseClick(child(editor, "macroMenu"), 30, 1 + 2 * 24 + 12)
            }
            testData.setDiskFull(!!data.full)
            if (data.full)
                editor.deleteCurrentMacro()
            else if (!data.exported)
                data.unwritable ? editor.newMacro() : editor.importMacro()
            testData.setDiskFull(false)
            compare([editor.macroNames(), ui_View.getNameList(0).filter((name) => name !== "loaderbraxel"), told.count,
                     testData.askedDialogs(), data.unwritable || data.full ? [] : ui_View.loadMacroIni("Macro_0"),
                     editor.macroNumber_lv.currentIndex],
                    [data.after, data.after, data.told || 0, data.asked || ["open Macro(*.mc)"],
                     data.source && !data.told ? ["1,Q", "2,Q", "7"] : [], data.exported ? 0 : 1])
        }
    }
}
