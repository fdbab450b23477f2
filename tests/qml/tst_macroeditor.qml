import QtQuick
import QtTest
import "qrc:/modules/qml/screens"

// The macro editor over a real view and a temporary data folder: the name
// list, the macro files, recording, editing of the event list.
Item {
    id: scene

    width: 700
    height: 500

    Component {
        id: editorComponent

        MacroEditor {}
    }


    SceneTestCase {
        name: "MacroEditor"

        function makeEditor() {
            const editor = make(editorComponent)
            editor.init()
            return editor
        }

        function events(editor) {
            const list = []
            for (let i = 0; i < editor.actionModel.count; ++i) {
                const row = editor.actionModel.get(i)
                list.push(row.type + "," + row.info)
            }
            return list
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

        function test_initDropsTheSentinelAndSelectsNothing() {
            ui_View.updataNameList(0, ["Fire"])
            const editor = make(editorComponent)
            const announced = spy(editor, "macroNamesChanged")
            editor.init()
            compare(editor.macroNumberModel.count, 1)
            compare(editor.macroListModel.get(0).textValue, "Fire")
            compare(editor.macroNumber_lv.currentIndex, -1)
            compare(announced.count, 1)
            compare(announced.signalArguments[0][0], ["Fire"])
            // Recording without a chosen macro is refused with a reason.
            const notices = spy(ui_View, "userNotice")
            mouseClick(child(editor, "recordButton"))
            verify(!editor.isInputting)
            compare(notices.signalArguments.map((args) => args[0]),
                    ["Choose a macro in the list before recording."])
        }

        function test_newTakesTheSmallestFreeNumber() {
            const editor = makeEditor()
            for (let i = 0; i < 3; ++i)
                mouseClick(child(editor, "macroNewButton"))
            compare(editor.macroNames(), ["Macro_0", "Macro_1", "Macro_2"])
            compare(editor.macroNumber_lv.currentIndex, 2)
            editor.selectMacro(0)
            // Delete asks first, naming the macro; Cancel keeps it.
            const confirm = editor.deleteConfirm
            for (const answer of ["confirmCancel", "confirmOk"]) {
                mouseClick(child(editor, "macroDeleteButton"))
                verify(confirm.visible)
                compare(child(confirm, "confirmQuestion").text, "Delete the macro “Macro_0”?")
                compare(editor.macroNames().length, 3)
                mouseClick(child(confirm, answer))
                verify(!confirm.visible)
            }
            compare(editor.macroNames(), ["Macro_1", "Macro_2"])
            compare(ui_View.loadMacroIni("Macro_0"), [])
            mouseClick(findChild(editor, "macroNewButton"))
            compare(editor.macroNames(), ["Macro_1", "Macro_2", "Macro_0"])
            compare(ui_View.getNameList(0), ["Macro_1", "Macro_2", "Macro_0"])
            compare(ui_View.loadMacroIni("Macro_0"), ["1"])
        }

        function test_atMostOneHundredMacros() {
            const names = []
            for (let k = 0; k < 100; ++k)
                names.push("M" + k)
            ui_View.updataNameList(0, names)
            const editor = makeEditor()
            editor.newMacro()
            editor.selectMacro(5)
            editor.importMacro()
            compare(editor.macroNumberModel.count, 100)
            compare(ui_View.loadMacroIni("Macro_0"), [])
            compare(testData.askedDialogs(), [])
            // The long list scrolls by its scroll bar, to its last row.
            const bar = child(editor, "macroScrollBar")
            verify(bar.visible)
            mousePress(bar.handle, 6, 6)
            for (const dy of [20, 100, bar.height])
                mouseMove(bar.handle, 6, 6 + dy)
            mouseRelease(bar.handle, 6, 6 + bar.height)
            verify(editor.macroNumber_lv.atYEnd)
            verify(editor.macroNumber_lv.contentY > 0)
        }

        function test_deleteSelectsTheNextRowAndAnnounces() {
            ui_View.updataNameList(0, ["A", "B", "C"])
            for (const name of ["A", "B", "C"])
                ui_View.createMacroIni(name, 0)
            ui_View.saveMacroIni("C", ["1,C", "2,C"], 4)
            const editor = makeEditor()
            const deleted = spy(editor, "deleteMacro")
            editor.selectMacro(1)
            editor.deleteCurrentMacro()
            compare(deleted.count, 1)
            compare(deleted.signalArguments[0][0], "B")
            compare(editor.macroNames(), ["A", "C"])
            compare(editor.macroNumber_lv.currentIndex, 1)
            compare(events(editor), ["1,C", "2,C"])
            compare(editor.timesInput.textValue, "4")
            compare(ui_View.getNameList(0), ["A", "C"])
        }

        function test_recordingWithDelays() {
            const editor = editorWith([])
            const saved = spy(editor, "modifyMacroData")
            editor.delayCheck.isSelect = true
            mouseClick(editor.recordButton)
            verify(editor.isInputting)
            verify(editor.recordClock.running)
            editor.macroRecordCount = 7
            editor.detectKeyboard(true, 0x04)
            editor.macroRecordCount = 3
            editor.detectKeyboard(false, 0x04)
            editor.macroRecordCount = 12
            editor.detectKeyboard(true, 0xF0)
            editor.macroRecordCount = 0
            editor.detectKeyboard(false, 0xF0)
            compare(events(editor), ["1,A", "0,30", "2,A", "0,120", "3,MS-L", "0,0", "4,MS-L"])
            compare(editor.macroRecordCount, 0)
            mouseClick(editor.recordButton)
            verify(!editor.isInputting)
            verify(!editor.recordClock.running)
            compare(saved.count, 1)
            compare(saved.signalArguments[0][0], "Macro_0")
            compare(ui_View.loadMacroIni("Macro_0"),
                    ["1,A", "0,30", "2,A", "0,120", "3,MS-L", "0,0", "4,MS-L", "1"])
        }

        // Recording needs a selected macro, starts from an empty list, runs
        // the clock, and ends (stored) when another macro is selected or the
        // editor closes.
        function test_recordingWithoutDelaysAndTheClock() {
            ui_View.updataNameList(0, ["A", "B"])
            ui_View.createMacroIni("A", 0)
            ui_View.saveMacroIni("A", ["1,Z", "2,Z"], 1)
            ui_View.createMacroIni("B", 0)
            const editor = makeEditor()
            editor.toggleRecording()
            verify(!editor.isInputting)
            editor.selectMacro(0)
            editor.toggleRecording()
            compare(events(editor), [])
            editor.detectKeyboard(true, 0x05)
            wait(60)
            verify(editor.macroRecordCount >= 2)
            editor.detectKeyboard(false, 0x05)
            editor.detectKeyboard(true, 0x01)
            editor.selectMacro(1)
            verify(!editor.isInputting)
            compare(ui_View.loadMacroIni("A"), ["1,B", "2,B", "1"])
            // Closed while A is still held: the recording lets it go.
            editor.toggleRecording()
            editor.detectKeyboard(true, 0x04)
            editor.close()
            verify(!editor.isInputting)
            verify(!editor.visible)
            compare(ui_View.loadMacroIni("B"), ["1,A", "2,A", "1"])
        }

        // 126 bytes of events are the most a macro holds: insertions and
        // recording stop there.
        function test_eventLimit() {
            const stored = []
            for (let i = 0; i < 61; ++i)
                stored.push(i % 2 === 0 ? "1,A" : "2,A")
            const editor = editorWith(stored)
            compare(editor.recordCount(), 126)
            // More events than the list shows: a click on the scroll bar's
            // track pages down.
            const bar = child(editor, "actionScrollBar")
            verify(bar.visible)
            mouseClick(bar, 6, bar.height - 4)
            compare(editor.actionList.contentY, editor.actionList.height)
            editor.actionList.currentIndex = 3
            for (const entry of [1, 2, 3, 4, 5])
                editor.actionMenuChosen(entry)
            compare(editor.actionModel.count, 61)
            verify(!editor.isInsertting)
            editor.toggleRecording()
            compare(editor.actionModel.count, 0)
            for (let i = 0; i < 80; ++i)
                editor.detectKeyboard(i % 2 === 0, 0x04)
            compare([editor.recordCount(), editor.actionModel.count], [126, 61])
            verify(editor.isInputting)
            compare(findChild(editor, "recordCountText").text, "126 / 126")
        }

        function test_insertEntries_data() {
            const five = ["1,A", "0,50", "2,A", "1,B", "2,B"]
            return [
                { tag: "middle key after event 2", entry: 4, row: 2, stored: five,
                  expected: ["1,A", "0,50", "2,A", "3,MS-M", "4,MS-M", "1,B", "2,B"], selected: 2 },
                { tag: "left key after the last event", entry: 3, row: 4, stored: five,
                  expected: five.concat(["3,MS-L", "4,MS-L"]), selected: 4 },
                { tag: "right key", entry: 5, row: 0, stored: five,
                  expected: ["1,A", "3,MS-R", "4,MS-R", "0,50", "2,A", "1,B", "2,B"], selected: 0 },
                { tag: "delay in front, selected", entry: 1, row: 3, stored: five,
                  expected: ["1,A", "0,50", "2,A", "0,50", "1,B", "2,B"], selected: 3 },
                { tag: "delete", entry: 0, row: 1, stored: five,
                  expected: ["1,A", "2,A", "1,B", "2,B"], selected: 1 },
            ]
        }

        function test_insertEntries(data) {
            const editor = editorWith(data.stored)
            editor.actionList.currentIndex = data.row
            editor.actionMenuChosen(data.entry)
            compare(events(editor), data.expected)
            compare(editor.actionList.currentIndex, data.selected)
            compare(ui_View.loadMacroIni("Macro_0"), data.expected.concat(["1"]))
        }

        function test_rightClickOpensTheEventMenu() {
            const editor = editorWith(["1,A", "0,50", "2,A"])
            const list = editor.actionList
            mouseClick(list, 100, 24 + 12, Qt.RightButton)
            compare(list.currentIndex, 1)
            verify(editor.actionMenu.visible)
            // Its fifth entry: Insert Middle Key.
            mouseClick(editor.actionMenu, 30, 1 + 4 * 24 + 12)
            verify(!editor.actionMenu.visible)
            compare(events(editor), ["1,A", "0,50", "3,MS-M", "4,MS-M", "2,A"])
        }

        function test_insertKeyBox_data() {
            return [
                { tag: "in front of a middle event", row: 1,
                  expected: ["1,A", "1,Tab", "2,Tab", "0,50", "2,A"] },
                { tag: "after the last event", row: 2,
                  expected: ["1,A", "0,50", "2,A", "1,Tab", "2,Tab"] },
            ]
        }

        function test_insertKeyBox(data) {
            const editor = editorWith(["1,A", "0,50", "2,A"])
            editor.actionList.currentIndex = data.row
            editor.actionMenuChosen(2)
            verify(editor.isInsertting)
            verify(editor.insertKeyBox.visible)
            editor.detectInput(true, 0x2B)
            editor.detectInput(true, 0xF1)
            compare(editor.tmpKeyString, "Tab")
            compare(editor.tmpKeycodeUSB, 0x2B)
            mouseClick(findChild(editor, "insertKeyOk"))
            verify(!editor.isInsertting)
            verify(!editor.insertKeyBox.visible)
            compare(events(editor), data.expected)
            compare(ui_View.loadMacroIni("Macro_0"), data.expected.concat(["1"]))
        }

        function test_delayEditing() {
            const editor = editorWith(["1,A", "0,50", "2,A"])
            editor.startDelayEdit(0)
            compare(editor.delayEditRow, -1)
            editor.startDelayEdit(1)
            compare(editor.delayEditRow, 1)
            keyClick(Qt.Key_2)
            keyClick(Qt.Key_5)
            keyClick(Qt.Key_0)
            keyClick(Qt.Key_Return)
            compare(editor.delayEditRow, -1)
            compare(events(editor), ["1,A", "0,250", "2,A"])
            compare(ui_View.loadMacroIni("Macro_0"), ["1,A", "0,250", "2,A", "1"])
            editor.startDelayEdit(1)
            editor.editText = "soon"
            editor.macroEditorFocus()
            compare(events(editor), ["1,A", "0,250", "2,A"])
        }

        function test_timesIsStoredWhenEditingEnds() {
            const editor = editorWith(["1,A", "2,A"])
            mouseClick(editor.timesInput)
            editor.timesInput.txtInput.selectAll()
            for (const key of [Qt.Key_3, Qt.Key_0, Qt.Key_0])
                keyClick(key)
            editor.macroEditorFocus()
            compare(ui_View.loadMacroIni("Macro_0"), ["1,A", "2,A", "300"])
            compare(editor.deCode(editor.actionModel, 300).slice(0, 2), [0x01, 0x2C])
        }

        function test_rename_data() {
            return [
                { tag: "free name", name: "Burst", taken: true },
                { tag: "own name", name: "Macro_0", taken: false },
                { tag: "another row's name", name: "Other", taken: false },
                { tag: "not a file name", name: "../x", taken: false },
                { tag: "empty", name: "", taken: false },
                // A stray macro file of the new name would be taken over.
                { tag: "stray file", name: "Stray", taken: false },
            ]
        }

        function test_rename(data) {
            ui_View.updataNameList(0, ["Macro_0", "Other"])
            ui_View.createMacroIni("Macro_0", 0)
            ui_View.createMacroIni("Other", 0)
            ui_View.createMacroIni("Stray", 0)
            const editor = makeEditor()
            const renamed = spy(editor, "modifyMacroName")
            editor.selectMacro(0)
            editor.startNameEdit(0)
            editor.editText = data.name
            editor.macroEditorFocus()
            compare(editor.nameEditRow, -1)
            compare(renamed.count, data.taken ? 1 : 0)
            compare(editor.macroNames()[0], data.taken ? data.name : "Macro_0")
            compare(ui_View.getNameList(0)[0], data.taken ? data.name : "Macro_0")
            if (data.taken)
                compare([renamed.signalArguments[0][0], renamed.signalArguments[0][1]],
                        ["Macro_0", data.name])
        }

        function test_importInFrontOfTheSelectedRow() {
            ui_View.updataNameList(0, ["A", "B"])
            ui_View.createMacroIni("A", 0)
            ui_View.createMacroIni("B", 0)
            ui_View.createMacroIni("Source", 0)
            ui_View.saveMacroIni("Source", ["1,Q", "2,Q"], 7)
            testData.scriptFileDialogs([testData.path("modules/macro/Source.bin"), ""])
            const editor = makeEditor()
            editor.selectMacro(1)
            editor.importMacro()
            compare(editor.macroNames(), ["A", "Macro_0", "B"])
            compare(editor.macroNumber_lv.currentIndex, 1)
            compare(events(editor), ["1,Q", "2,Q"])
            compare(editor.timesInput.textValue, "7")
            compare(ui_View.getNameList(0), ["A", "Macro_0", "B"])
            // A cancelled import leaves an empty macro under the new name.
            editor.importMacro()
            compare(editor.macroNames(), ["A", "Macro_1", "Macro_0", "B"])
            compare(ui_View.loadMacroIni("Macro_1"), ["1"])
            compare(testData.askedDialogs(), ["open Macro(*.mc)", "open Macro(*.mc)"])
        }

        function test_importPassesOverAStrayFile() {
            ui_View.createMacroIni("Macro_0", 0)
            ui_View.saveMacroIni("Macro_0", ["1,S", "2,S"], 1)
            ui_View.createMacroIni("Source", 0)
            ui_View.saveMacroIni("Source", ["1,Q", "2,Q"], 2)
            testData.scriptFileDialogs([testData.path("modules/macro/Source.bin")])
            const editor = makeEditor()
            editor.importMacro()
            compare(editor.macroNames(), ["Macro_1"])
            compare(events(editor), ["1,Q", "2,Q"])
        }

        function test_exportWritesTheSelectedMacro() {
            const editor = editorWith(["1,A", "2,A"])
            testData.scriptFileDialogs([testData.path("out.mc")])
            mouseClick(editor.macroNumber_lv, 20, 12, Qt.RightButton)
            verify(editor.macroMenu.visible)
            mouseClick(editor.macroMenu, 30, 1 + 2 * 24 + 12)
            compare(testData.askedDialogs(), ["save Macro(*.mc)"])
            compare(testData.read("out.mc"), testData.read("modules/macro/Macro_0.bin"))
        }

    }
}
