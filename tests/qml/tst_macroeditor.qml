import QtQuick
import QtTest
import "qrc:/modules/qml/screens"

// The macro editor over a real view and a temporary data folder: the name
// list, the macro files, recording, editing of the event list.
Item {
    id: scene

    width: 700
    height: 500

    Component { id: editorComponent; MacroEditor {} }

    SceneTestCase {
        name: "MacroEditor"

        function makeEditor() {
            const editor = make(editorComponent)
            editor.init()
            return editor
        }

        function events(editor) {
            return Array.from({ length: editor.actionModel.count },
                              (_, i) => editor.actionModel.get(i).type + "," + editor.actionModel.get(i).info)
        }

        // `n` alternating presses and releases of A.
        function pairs(n) {
            return Array.from({ length: n }, (_, i) => i % 2 === 0 ? "1,A" : "2,A")
        }

        // Macros `names` (the first with the stored events), the first selected.
        function editorWith(stored, names) {
            ui_View.updataNameList(0, names || ["Macro_0"])
            for (const name of names || ["Macro_0"])
                ui_View.createMacroIni(name, 0)
            ui_View.saveMacroIni((names || ["Macro_0"])[0], stored, 1)
            const editor = makeEditor()
            editor.selectMacro(0)
            return editor
        }

        // Init drops the list's sentinel and selects nothing; New takes the
        // smallest free number; Delete asks first, naming the macro, then
        // selects and loads the next row and tells the screens.
        function test_newAndDelete() {
            ui_View.updataNameList(0, ["Macro_1", "loaderbraxel"])
            const editor = make(editorComponent)
            const [announced, told, deleted] = [spy(editor, "macroNamesChanged"), spy(ui_View, "userNotice"),
                                                spy(editor, "deleteMacro")]
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
                compare([child(confirm, "confirmQuestion").text, editor.macroNames()], ["Delete the macro “Macro_0”?",
                         ["Macro_1", "Macro_0", "Macro_2"]])
                mouseClick(child(confirm, answer))
            }
            compare([confirm.visible, args(deleted), ui_View.getNameList(0), ui_View.loadMacroIni("Macro_0"),
                     editor.macroNumber_lv.currentIndex, events(editor), editor.timesInput.textValue],
                    [false, [["Macro_0"]], ["Macro_1", "Macro_2"], [], 1, ["1,C", "2,C"], "4"])
            mouseClick(child(editor, "macroNewButton"))
            compare([ui_View.getNameList(0), ui_View.loadMacroIni("Macro_0")], [["Macro_1", "Macro_2", "Macro_0"], ["1"]])
        }

        // With delays, waits are the clock's count of 10 ms before each event
        // but the first; without, recording starts from an empty list. It
        // ends (stored, held keys released) with Stop, when another macro is
        // selected or when the editor closes.
        function test_recording() {
            const editor = editorWith(["1,Z", "2,Z"], ["Macro_0", "B"])
            const saved = spy(editor, "modifyMacroData")
            editor.delayCheck.isSelect = true
            mouseClick(child(editor, "recordButton"))
            verify(editor.isInputting && editor.recordClock.running)
            for (const [count, down, code] of [[7, true, 0x04], [3, false, 0x04], [12, true, 0xF0], [0, false, 0xF0]]) {
                editor.macroRecordCount = count
                editor.detectKeyboard(down, code)
            }
            compare(editor.macroRecordCount, 0)
            mouseClick(child(editor, "recordButton"))
            compare([editor.isInputting, editor.recordClock.running, args(saved), ui_View.loadMacroIni("Macro_0")],
                    [false, false, [["Macro_0"]], ["1,A", "0,30", "2,A", "0,120", "3,MS-L", "0,0", "4,MS-L", "1"]])
            editor.delayCheck.isSelect = false
            editor.toggleRecording()
            compare(events(editor), [])
            editor.detectKeyboard(true, 0x05)
            editor.selectMacro(1)
            editor.toggleRecording()
            editor.detectKeyboard(true, 0x04)
            editor.close()
            compare([editor.isInputting, editor.visible, ui_View.loadMacroIni("Macro_0"), ui_View.loadMacroIni("B")],
                    [false, false, ["1,B", "2,B", "1"], ["1,A", "2,A", "1"]])
        }

        // 126 bytes of events are the most a macro holds: insertions and
        // recording stop there; keys held when recording stops are released.
        function test_eventLimit() {
            const editor = editorWith(pairs(61))
            editor.actionList.currentIndex = 3
            for (const entry of [1, 2, 3, 4, 5])
                editor.actionMenuChosen(entry)
            editor.toggleRecording()
            for (let i = 0; i < 80; ++i)
                editor.detectKeyboard(i % 2 === 0, 0x04)
            compare([editor.recordCount(), editor.actionModel.count, editor.isInputting, editor.isInsertting,
                     child(editor, "recordCountText").text], [126, 61, true, false, "126 / 126"])
            editor.toggleRecording()
            editor.toggleRecording()
            for (const [down, code] of pairs(58).map((e) => [e[0] === "1", 0x04]).concat([[true, 5], [true, 6], [true, 7]]))
                editor.detectKeyboard(down, code)
            editor.toggleRecording()
            compare([ui_View.loadMacroIni("Macro_0").slice(-6), editor.recordCount()],
                    [["2,A", "1,B", "1,C", "2,B", "2,C", "1"], 128])
        }

        // The event menu (right click or chosen entry) on row `row`, a key
        // through the insert-key box or a delay typed in its row; the result
        // is stored at once. Near the block's 128 bytes, edits that would
        // push the encoding past it are refused with a notice: 62 actions
        // make 128 bytes; two 700 ms waits around event 2 merge into one
        // long wait of four more bytes once it goes.
        function test_editEvents_data() {
            const five = ["1,A", "0,50", "2,A", "1,B", "2,B"]
            const three = ["1,A", "0,50", "2,A"]
            const full = ["1,A", "0,700", "2,A", "0,700"].concat(pairs(60))
            const waits = (n, ms) => ["1,A", "0," + ms].concat(pairs(n))
            return [
                { tag: "middle key after event 2", entry: 4, row: 2, stored: five,
                  expected: ["1,A", "0,50", "2,A", "3,MS-M", "4,MS-M", "1,B", "2,B"], selected: 2 },
                { tag: "delay in front, selected", entry: 1, row: 3, stored: five,
                  expected: ["1,A", "0,50", "2,A", "0,50", "1,B", "2,B"], selected: 3 },
                { tag: "right click menu, left key after the last event", menu: true, entry: 3, row: 2, stored: three,
                  expected: three.concat(["3,MS-L", "4,MS-L"]), selected: 2 },
                { tag: "key in front of a middle event", entry: 2, key: 0x2B, row: 1, stored: three,
                  expected: ["1,A", "1,Tab", "2,Tab", "0,50", "2,A"], selected: 1 },
                { tag: "no key pressed", entry: 2, key: 0, row: 1, stored: three, expected: three, selected: 1 },
                { tag: "delay and times typed", delay: "250", times: "300", row: 1, stored: three,
                  expected: ["1,A", "0,250", "2,A"] },
                { tag: "delay not a number", delay: "soon", row: 1, stored: three, expected: three },
                { tag: "delete merging two waits", entry: 0, row: 2, stored: full, expected: full, refused: true },
                { tag: "delete without merging", entry: 0, row: 0, stored: full, expected: full.slice(1) },
                { tag: "long delay", delay: "2000", row: 1, stored: waits(60, 50), expected: waits(60, 50), refused: true },
                { tag: "long delay that fits", delay: "2000", row: 1, stored: waits(58, 50), expected: waits(58, 2000) },
            ]
        }

        function test_editEvents(data) {
            const editor = editorWith(data.stored)
            const told = spy(ui_View, "userNotice")
            const list = editor.actionList
            if (data.delay) {
                editor.startDelayEdit(data.row)
                for (const c of data.delay + "\r")
                    keyClick(c === "\r" ? Qt.Key_Return : c)
                if (data.times)
                    typeInto(editor.timesInput, data.times)
                compare(editor.delayEditRow, -1)
            } else if (data.menu) {
                mouseClick(list, 100, 24 * data.row + 12, Qt.RightButton)
                mouseClick(child(editor, "actionMenu"), 30, 1 + data.entry * 24 + 12)
                verify(!child(editor, "actionMenu").visible)
            } else {
                list.currentIndex = data.row
                editor.actionMenuChosen(data.entry)
            }
            if (data.key !== undefined) {
                verify(editor.isInsertting && editor.insertKeyBox.visible)
                for (const code of data.key ? [data.key, 0xF1] : [])
                    editor.detectInput(true, code)
                mouseClick(child(editor, "insertKeyOk"))
                verify(!editor.isInsertting && !editor.insertKeyBox.visible)
            }
            compare([events(editor), data.selected === undefined || list.currentIndex === data.selected,
                     ui_View.loadMacroIni("Macro_0"), told.count, String(args(told)).indexOf("128") >= 0],
                    [data.expected, true, data.expected.concat([data.times || "1"]), data.refused ? 1 : 0, !!data.refused])
        }

        // The name rules themselves are the library's; here: what the editor
        // adds (stray files, the store's refusal) and what it changes.
        function test_rename_data() {
            const taken = "That name is already taken."
            return [
                { tag: "free name", name: "Burst", renamed: true },
                { tag: "another row's name", name: "Other", notice: taken },
                // A stray macro file of the new name would be taken over.
                { tag: "stray file", name: "Stray", notice: taken },
                { tag: "store refuses", name: "Burst", fileGone: true,
                  notice: "The macro could not be renamed; nothing was changed." },
            ]
        }

        function test_rename(data) {
            ui_View.createMacroIni("Stray", 0)
            const editor = editorWith([], ["Macro_0", "Other"])
            ui_View.setData("mouseMacroKey/3", "Macro_0")
            if (data.fileGone)
                ui_View.deleteMacroIni("Macro_0")
            const [renamed, told] = [spy(editor, "modifyMacroName"), spy(ui_View, "userNotice")]
            editor.startNameEdit(0)
            editor.editText = data.name
            editor.macroEditorFocus()
            const now = data.renamed ? data.name : "Macro_0"
            compare([editor.nameEditRow, editor.macroNames()[0], ui_View.getNameList(0)[0],
                     ui_View.getData("mouseMacroKey/3", false), args(renamed), args(told)],
                    [-1, now, now, now, data.renamed ? [["Macro_0", data.name]] : [], data.notice ? [[data.notice]] : []])
        }

        // Imports go in front of the selected row under the next free name
        // that no stray file has; what cannot become a row leaves nothing.
        function test_importAndExport_data() {
            return [
                { tag: "in front of the selected row", names: ["A", "B"], select: 1,
                  source: ["1,Q", "2,Q"], after: ["A", "Macro_0", "B"], selected: 1 },
                { tag: "cancelled", names: ["A", "B"], answer: "", after: ["A", "B"] },
                { tag: "passes over a stray file", names: [], stray: true, source: ["1,Q", "2,Q"],
                  after: ["Macro_1"], selected: 0 },
                { tag: "over 128 bytes", names: ["A", "B"], source: pairs(70), after: ["A", "B"], told: 1 },
                { tag: "a hundred macros", names: Array.from({ length: 100 }, (_, k) => "M" + k),
                  select: 5, create: true, source: ["1,Q", "2,Q"], asked: [] },
                { tag: "new macro whose file cannot be written", names: [], unwritable: true, after: [],
                  told: 1, asked: [] },
                { tag: "export", names: ["A"], select: 0, exported: true, asked: ["save Macro(*.mc)"] },
            ]
        }

        function test_importAndExport(data) {
            ui_View.updataNameList(0, data.names)
            for (const name of data.names.slice(0, 2).concat(data.stray ? ["Macro_0"] : [], ["Source"]))
                ui_View.createMacroIni(name, 0)
            ui_View.saveMacroIni(data.exported ? "A" : "Source", data.exported ? ["1,A", "2,A"] : data.source || [], 7)
            const target = data.exported ? testData.path("out.mc") : testData.path("modules/macro/Source.bin")
            testData.scriptFileDialogs([data.answer === undefined ? target : data.answer])
            if (data.unwritable)
                testData.setUnwritable("modules/macro/Macro_0.bin", true)
            const editor = makeEditor()
            const told = spy(ui_View, "userNotice")
            if (data.select !== undefined)
                editor.selectMacro(data.select)
            if (data.exported) {
                mouseClick(editor.macroNumber_lv, 20, 12, Qt.RightButton)
                mouseClick(child(editor, "macroMenu"), 30, 1 + 2 * 24 + 12)
                compare(testData.read("out.mc"), testData.read("modules/macro/A.bin"))
            } else {
                if (data.create || data.unwritable)
                    editor.newMacro()
                if (!data.unwritable)
                    editor.importMacro()
            }
            const after = data.after || data.names
            compare([editor.macroNames(), ui_View.getNameList(0).filter((name) => name !== "loaderbraxel"), told.count,
                     testData.askedDialogs()], [after, after, data.told || 0, data.asked || ["open Macro(*.mc)"]])
            if (data.selected !== undefined)
                compare([editor.macroNumber_lv.currentIndex, events(editor), editor.timesInput.textValue],
                        [data.selected, ["1,Q", "2,Q"], "7"])
            else if (!data.exported && !data.unwritable)
                compare(ui_View.loadMacroIni(data.stray ? "Macro_1" : "Macro_0"), [])
        }
    }
}
