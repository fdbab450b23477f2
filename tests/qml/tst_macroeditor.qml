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
            const list = []
            for (let i = 0; i < editor.actionModel.count; ++i)
                list.push(editor.actionModel.get(i).type + "," + editor.actionModel.get(i).info)
            return list
        }

        // `n` alternating presses and releases of A.
        function pairs(n) {
            return Array.from({ length: n }, (_, i) => i % 2 === 0 ? "1,A" : "2,A")
        }

        function notices() {
            return spy(ui_View, "userNotice")
        }

        // A macro with the given stored events, selected in the editor.
        function editorWith(stored) {
            ui_View.updataNameList(0, ["Macro_0"])
            ui_View.createMacroIni("Macro_0", 0)
            ui_View.saveMacroIni("Macro_0", stored, 1)
            const editor = makeEditor()
            editor.selectMacro(0)
            return editor
        }

        // Init drops the list's sentinel and selects nothing; New takes the
        // smallest free number; Delete asks first, naming the macro.
        function test_newAndDelete() {
            ui_View.updataNameList(0, ["Macro_1"])
            const editor = make(editorComponent)
            const announced = spy(editor, "macroNamesChanged")
            editor.init()
            compare([editor.macroNames(), editor.macroNumber_lv.currentIndex], [["Macro_1"], -1])
            compare(args(announced), [[["Macro_1"]]])
            const told = notices()
            mouseClick(child(editor, "recordButton"))
            verify(!editor.isInputting)
            compare(args(told), [["Choose a macro in the list before recording."]])
            for (let i = 0; i < 2; ++i)
                mouseClick(child(editor, "macroNewButton"))
            compare([editor.macroNames(), editor.macroNumber_lv.currentIndex],
                    [["Macro_1", "Macro_0", "Macro_2"], 2])
            editor.selectMacro(1)
            const confirm = child(editor, "macroDeleteConfirm")
            for (const answer of ["confirmCancel", "confirmOk"]) {
                mouseClick(child(editor, "macroDeleteButton"))
                compare(child(confirm, "confirmQuestion").text, "Delete the macro “Macro_0”?")
                compare(editor.macroNames().length, 3)
                const seen = []
                for (const key of [Qt.Key_Tab, Qt.Key_Tab, Qt.Key_Tab, Qt.Key_Backtab]) {
                    keyClick(key)
                    seen.push(focusName())
                }
                compare(seen, ["confirmCancel", "confirmOk", "confirmCancel", "confirmOk"])
                mouseClick(child(confirm, answer))
                verify(!confirm.visible)
            }
            compare([ui_View.getNameList(0), ui_View.loadMacroIni("Macro_0")], [["Macro_1", "Macro_2"], []])
            mouseClick(child(editor, "macroNewButton"))
            compare([ui_View.getNameList(0), ui_View.loadMacroIni("Macro_0")],
                    [["Macro_1", "Macro_2", "Macro_0"], ["1"]])
        }

        // Deleting selects the next row, loads it and tells the screens.
        function test_deleteSelectsTheNextRowAndAnnounces() {
            ui_View.updataNameList(0, ["A", "B", "C"])
            for (const name of ["A", "B", "C"])
                ui_View.createMacroIni(name, 0)
            ui_View.saveMacroIni("C", ["1,C", "2,C"], 4)
            const editor = makeEditor()
            const deleted = spy(editor, "deleteMacro")
            editor.selectMacro(1)
            editor.deleteCurrentMacro()
            compare(args(deleted), [["B"]])
            compare([editor.macroNames(), editor.macroNumber_lv.currentIndex, events(editor),
                     editor.timesInput.textValue, ui_View.getNameList(0)],
                    [["A", "C"], 1, ["1,C", "2,C"], "4", ["A", "C"]])
        }

        // Waits are the clock's count of 10 ms before each event but the first.
        function test_recordingWithDelays() {
            const editor = editorWith([])
            const saved = spy(editor, "modifyMacroData")
            editor.delayCheck.isSelect = true
            mouseClick(child(editor, "recordButton"))
            verify(editor.isInputting && editor.recordClock.running)
            for (const [count, down, code] of [[7, true, 0x04], [3, false, 0x04], [12, true, 0xF0],
                                               [0, false, 0xF0]]) {
                editor.macroRecordCount = count
                editor.detectKeyboard(down, code)
            }
            compare(editor.macroRecordCount, 0)
            mouseClick(child(editor, "recordButton"))
            verify(!editor.isInputting && !editor.recordClock.running)
            compare(args(saved), [["Macro_0"]])
            compare(ui_View.loadMacroIni("Macro_0"),
                    ["1,A", "0,30", "2,A", "0,120", "3,MS-L", "0,0", "4,MS-L", "1"])
        }

        // Without delays: recording starts from an empty list and ends
        // (stored, held keys released) when another macro is selected or the
        // editor closes.
        function test_recordingWithoutDelays() {
            ui_View.updataNameList(0, ["A", "B"])
            ui_View.createMacroIni("A", 0)
            ui_View.saveMacroIni("A", ["1,Z", "2,Z"], 1)
            ui_View.createMacroIni("B", 0)
            const editor = makeEditor()
            editor.selectMacro(0)
            editor.toggleRecording()
            compare(events(editor), [])
            editor.detectKeyboard(true, 0x05)
            tryVerify(() => editor.macroRecordCount >= 2, 1000)
            editor.detectKeyboard(false, 0x05)
            editor.detectKeyboard(true, 0x01)
            editor.selectMacro(1)
            verify(!editor.isInputting)
            compare(ui_View.loadMacroIni("A"), ["1,B", "2,B", "1"])
            editor.toggleRecording()
            editor.detectKeyboard(true, 0x04)
            editor.close()
            verify(!editor.isInputting && !editor.visible)
            compare(ui_View.loadMacroIni("B"), ["1,A", "2,A", "1"])
        }

        // 126 bytes of events are the most a macro holds: insertions and
        // recording stop there, and keys held when recording stops are
        // still released.
        function test_eventLimit() {
            const editor = editorWith(pairs(61))
            compare(editor.recordCount(), 126)
            editor.actionList.currentIndex = 3
            for (const entry of [1, 2, 3, 4, 5])
                editor.actionMenuChosen(entry)
            compare(editor.actionModel.count, 61)
            verify(!editor.isInsertting)
            editor.toggleRecording()
            for (let i = 0; i < 80; ++i)
                editor.detectKeyboard(i % 2 === 0, 0x04)
            compare([editor.recordCount(), editor.actionModel.count, editor.isInputting], [126, 61, true])
            compare(child(editor, "recordCountText").text, "126 / 126")
            editor.toggleRecording()
            editor.toggleRecording()
            for (let i = 0; i < 58; ++i)
                editor.detectKeyboard(i % 2 === 0, 0x04)
            for (const code of [0x05, 0x06, 0x07])
                editor.detectKeyboard(true, code)
            editor.toggleRecording()
            compare(ui_View.loadMacroIni("Macro_0").slice(-6), ["2,A", "1,B", "1,C", "2,B", "2,C", "1"])
            compare(editor.recordCount(), 128)
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
                { tag: "left key after the last event", entry: 3, row: 4, stored: five,
                  expected: five.concat(["3,MS-L", "4,MS-L"]), selected: 4 },
                { tag: "right key", entry: 5, row: 0, stored: five,
                  expected: ["1,A", "3,MS-R", "4,MS-R", "0,50", "2,A", "1,B", "2,B"], selected: 0 },
                { tag: "delay in front, selected", entry: 1, row: 3, stored: five,
                  expected: ["1,A", "0,50", "2,A", "0,50", "1,B", "2,B"], selected: 3 },
                { tag: "delete", entry: 0, row: 1, stored: five, expected: ["1,A", "2,A", "1,B", "2,B"], selected: 1 },
                { tag: "right click menu, middle key", menu: true, entry: 4, row: 1, stored: three,
                  expected: ["1,A", "0,50", "3,MS-M", "4,MS-M", "2,A"], selected: 1 },
                { tag: "key in front of a middle event", entry: 2, key: 0x2B, row: 1, stored: three,
                  expected: ["1,A", "1,Tab", "2,Tab", "0,50", "2,A"], selected: 1 },
                { tag: "key after the last event", entry: 2, key: 0x2B, row: 2, stored: three,
                  expected: three.concat(["1,Tab", "2,Tab"]), selected: 2 },
                { tag: "no key pressed", entry: 2, key: 0, row: 1, stored: three, expected: three, selected: 1 },
                { tag: "delay typed", delay: "250", row: 1, stored: three, expected: ["1,A", "0,250", "2,A"] },
                { tag: "delay not a number", delay: "soon", row: 1, stored: three, expected: three },
                { tag: "not a delay row", delay: "250", row: 0, stored: three, expected: three },
                { tag: "delete merging two waits", entry: 0, row: 2, stored: full, expected: full, refused: true },
                { tag: "delete without merging", entry: 0, row: 0, stored: full, expected: full.slice(1) },
                { tag: "long delay", delay: "2000", row: 1, stored: waits(60, 50), expected: waits(60, 50),
                  refused: true },
                { tag: "long delay that fits", delay: "2000", row: 1, stored: waits(58, 50),
                  expected: waits(58, 2000) },
            ]
        }

        function test_editEvents(data) {
            const editor = editorWith(data.stored)
            const told = notices()
            const list = editor.actionList
            if (data.delay) {
                editor.startDelayEdit(data.row)
                editor.editText = data.delay
                editor.macroEditorFocus()
                compare(editor.delayEditRow, -1)
            } else if (data.menu) {
                mouseClick(list, 100, 24 * data.row + 12, Qt.RightButton)
                compare(list.currentIndex, data.row)
                mouseClick(child(editor, "actionMenu"), 30, 1 + data.entry * 24 + 12)
                verify(!child(editor, "actionMenu").visible)
            } else {
                list.currentIndex = data.row
                editor.actionMenuChosen(data.entry)
            }
            if (data.key !== undefined) {
                verify(editor.isInsertting && editor.insertKeyBox.visible)
                if (data.key) {
                    editor.detectInput(true, data.key)
                    editor.detectInput(true, 0xF1)
                    compare([editor.tmpKeyString, editor.tmpKeycodeUSB], ["Tab", 0x2B])
                }
                mouseClick(child(editor, "insertKeyOk"))
                verify(!editor.isInsertting && !editor.insertKeyBox.visible)
            }
            compare(events(editor), data.expected)
            if (data.selected !== undefined)
                compare(list.currentIndex, data.selected)
            compare(ui_View.loadMacroIni("Macro_0"), data.expected.concat(["1"]))
            compare(told.count, data.refused ? 1 : 0)
            if (data.refused)
                verify(told.signalArguments[0][0].indexOf("128") >= 0)
        }

        // A delay typed in its row with the keyboard; the repeat count is
        // stored when its field ends editing.
        function test_typingDelayAndTimes() {
            const editor = editorWith(["1,A", "0,50", "2,A"])
            editor.startDelayEdit(1)
            for (const key of [Qt.Key_2, Qt.Key_5, Qt.Key_0, Qt.Key_Return])
                keyClick(key)
            mouseClick(editor.timesInput)
            editor.timesInput.txtInput.selectAll()
            for (const key of [Qt.Key_3, Qt.Key_0, Qt.Key_0])
                keyClick(key)
            editor.macroEditorFocus()
            compare(ui_View.loadMacroIni("Macro_0"), ["1,A", "0,250", "2,A", "300"])
        }

        // The name rules themselves are the library's; here: what the
        // editor adds (stray files, the store's refusal) and what it changes.
        function test_rename_data() {
            const taken = "That name is already taken."
            return [
                { tag: "free name", name: "Burst", renamed: true },
                { tag: "own name", name: "Macro_0" },
                { tag: "another row's name", name: "Other", notice: taken },
                // A stray macro file of the new name would be taken over.
                { tag: "stray file", name: "Stray", notice: taken },
                { tag: "store refuses", name: "Burst", fileGone: true,
                  notice: "The macro could not be renamed; nothing was changed." },
            ]
        }

        function test_rename(data) {
            ui_View.updataNameList(0, ["Macro_0", "Other"])
            for (const name of ["Macro_0", "Other", "Stray"])
                ui_View.createMacroIni(name, 0)
            ui_View.setData("mouseMacroKey/3", "Macro_0")
            if (data.fileGone)
                ui_View.deleteMacroIni("Macro_0")
            const editor = makeEditor()
            const renamed = spy(editor, "modifyMacroName")
            const told = notices()
            editor.selectMacro(0)
            editor.startNameEdit(0)
            editor.editText = data.name
            editor.macroEditorFocus()
            const now = data.renamed ? data.name : "Macro_0"
            compare([editor.nameEditRow, editor.macroNames()[0], ui_View.getNameList(0)[0],
                     ui_View.getData("mouseMacroKey/3", false)], [-1, now, now, now])
            compare(args(renamed), data.renamed ? [["Macro_0", data.name]] : [])
            compare(args(told), data.notice ? [[data.notice]] : [])
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
            for (const name of data.names.slice(0, 2))
                ui_View.createMacroIni(name, 0)
            if (data.exported)
                ui_View.saveMacroIni("A", ["1,A", "2,A"], 1)
            if (data.stray)
                ui_View.createMacroIni("Macro_0", 0)
            ui_View.createMacroIni("Source", 0)
            ui_View.saveMacroIni("Source", data.source || [], 7)
            const target = data.exported ? testData.path("out.mc") : testData.path("modules/macro/Source.bin")
            testData.scriptFileDialogs([data.answer === undefined ? target : data.answer])
            if (data.unwritable)
                testData.setUnwritable("modules/macro/Macro_0.bin", true)
            const editor = makeEditor()
            const told = notices()
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
            compare([editor.macroNames(), ui_View.getNameList(0).filter((name) => name !== "loaderbraxel")],
                    [after, after])
            compare(told.count, data.told || 0)
            if (data.selected !== undefined) {
                compare([editor.macroNumber_lv.currentIndex, events(editor), editor.timesInput.textValue],
                        [data.selected, ["1,Q", "2,Q"], "7"])
            } else if (!data.exported && !data.unwritable) {
                compare(ui_View.loadMacroIni(data.stray ? "Macro_1" : "Macro_0"), [])
            }
            compare(testData.askedDialogs(), data.asked || ["open Macro(*.mc)"])
        }
    }
}
