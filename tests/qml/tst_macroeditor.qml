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
            compare(editor.macroNumberModel.get(0).textValue, "Fire")
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
            const confirm = child(editor, "macroDeleteConfirm")
            for (const answer of ["confirmCancel", "confirmOk"]) {
                mouseClick(child(editor, "macroDeleteButton"))
                verify(confirm.visible)
                compare(child(confirm, "confirmQuestion").text, "Delete the macro “Macro_0”?")
                compare(editor.macroNames().length, 3)
                if (answer === "confirmCancel") {
                    // Tab and Backtab stay with the two answers.
                    const seen = []
                    for (const key of [Qt.Key_Tab, Qt.Key_Tab, Qt.Key_Tab, Qt.Key_Backtab]) {
                        keyClick(key)
                        seen.push(focusName())
                    }
                    compare(seen, ["confirmCancel", "confirmOk", "confirmCancel", "confirmOk"])
                }
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
            const handle = child(bar, "scrollHandle")
            verify(bar.visible)
            mousePress(handle, 6, 6)
            for (const dy of [20, 100, bar.height])
                mouseMove(handle, 6, 6 + dy)
            mouseRelease(handle, 6, 6 + bar.height)
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
            mouseClick(child(editor, "recordButton"))
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
            mouseClick(child(editor, "recordButton"))
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

        // Stored at the block's full 128 bytes or close to it: edits that
        // would push the encoding past the block are refused with a notice.
        function test_editsBeyondTheBlockAreRefused_data() {
            const pairs = (n) => {
                const list = []
                for (let i = 0; i < n; ++i)
                    list.push(i % 2 === 0 ? "1,A" : "2,A")
                return list
            }
            // 62 actions: 128 bytes; two 700 ms waits around event 2 merge
            // into one long wait of four more bytes once it goes.
            const full = ["1,A", "0,700", "2,A", "0,700"].concat(pairs(60))
            return [
                { tag: "delete merging two waits", stored: full, edit: "delete", row: 2,
                  refused: true },
                { tag: "delete without merging", stored: full, edit: "delete", row: 0,
                  refused: false },
                { tag: "long delay", stored: ["1,A", "0,50"].concat(pairs(60)), edit: "delay",
                  row: 1, refused: true },
                { tag: "long delay that fits", stored: ["1,A", "0,50"].concat(pairs(58)),
                  edit: "delay", row: 1, refused: false },
            ]
        }

        function test_editsBeyondTheBlockAreRefused(data) {
            const editor = editorWith(data.stored)
            const notices = spy(ui_View, "userNotice")
            if (data.edit === "delete") {
                editor.actionList.currentIndex = data.row
                editor.actionMenuChosen(0)
            } else {
                editor.startDelayEdit(data.row)
                editor.editText = "2000"
                editor.macroEditorFocus()
            }
            compare(notices.count, data.refused ? 1 : 0)
            if (data.refused)
                verify(notices.signalArguments[0][0].indexOf("128") >= 0)
            verify(editor.recordCount() <= 128)
            const changed = data.edit === "delete" ? editor.actionModel.count !== data.stored.length
                                                   : editor.actionModel.get(data.row).info === "2000"
            compare(changed, !data.refused)
        }

        // Keys held when the recording stops are released in the macro,
        // however close to the limit it ran.
        function test_recordingKeepsRoomForTheReleases() {
            const editor = editorWith([])
            editor.toggleRecording()
            for (let i = 0; i < 58; ++i)
                editor.detectKeyboard(i % 2 === 0, 0x04)
            for (const code of [0x05, 0x06, 0x07])
                editor.detectKeyboard(true, code)
            editor.toggleRecording()
            const stored = ui_View.loadMacroIni("Macro_0")
            compare(stored.slice(-6), ["2,A", "1,B", "1,C", "2,B", "2,C", "1"])
            compare(editor.recordCount(), 128)
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
            verify(child(editor, "actionMenu").visible)
            // Its fifth entry: Insert Middle Key.
            mouseClick(child(editor, "actionMenu"), 30, 1 + 4 * 24 + 12)
            verify(!child(editor, "actionMenu").visible)
            compare(events(editor), ["1,A", "0,50", "3,MS-M", "4,MS-M", "2,A"])
        }

        function test_insertKeyBox_data() {
            return [
                { tag: "in front of a middle event", row: 1, key: 0x2B,
                  expected: ["1,A", "1,Tab", "2,Tab", "0,50", "2,A"] },
                { tag: "after the last event", row: 2, key: 0x2B,
                  expected: ["1,A", "0,50", "2,A", "1,Tab", "2,Tab"] },
                { tag: "no key pressed", row: 1, key: 0, expected: ["1,A", "0,50", "2,A"] },
            ]
        }

        function test_insertKeyBox(data) {
            const editor = editorWith(["1,A", "0,50", "2,A"])
            editor.actionList.currentIndex = data.row
            editor.actionMenuChosen(2)
            verify(editor.isInsertting)
            verify(editor.insertKeyBox.visible)
            if (data.key) {
                editor.detectInput(true, data.key)
                editor.detectInput(true, 0xF1)
                compare(editor.tmpKeyString, "Tab")
                compare(editor.tmpKeycodeUSB, 0x2B)
            }
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
            const taken = "That name is already taken."
            const notFileName = "A name cannot be empty or contain \\ / : * ? \" < > |."
            return [
                { tag: "free name", name: "Burst", taken: true },
                { tag: "own name", name: "Macro_0", taken: false },
                { tag: "another row's name", name: "Other", taken: false, notice: taken },
                { tag: "not a file name", name: "../x", taken: false, notice: notFileName },
                { tag: "not a Windows file name", name: "a:b", taken: false, notice: notFileName },
                { tag: "empty", name: "", taken: false, notice: notFileName },
                { tag: "65 characters", name: "m".repeat(65), taken: false,
                  notice: "A name can be at most 64 characters long." },
                { tag: "64 characters", name: "m".repeat(64), taken: true },
                // Dropped from a one-entry list on read, the macro would vanish.
                { tag: "name list sentinel", name: "loaderbraxel", taken: false,
                  notice: "That name is reserved." },
                // A stray macro file of the new name would be taken over.
                { tag: "stray file", name: "Stray", taken: false, notice: taken },
                // The store cannot rename a file that is gone.
                { tag: "store refuses", name: "Burst", taken: false, fileGone: true,
                  notice: "The macro could not be renamed; nothing was changed." },
            ]
        }

        function test_rename(data) {
            ui_View.updataNameList(0, ["Macro_0", "Other"])
            ui_View.createMacroIni("Macro_0", 0)
            ui_View.createMacroIni("Other", 0)
            ui_View.createMacroIni("Stray", 0)
            ui_View.setData("mouseMacroKey/3", "Macro_0")
            if (data.fileGone)
                ui_View.deleteMacroIni("Macro_0")
            const editor = makeEditor()
            const renamed = spy(editor, "modifyMacroName")
            const notices = spy(ui_View, "userNotice")
            editor.selectMacro(0)
            editor.startNameEdit(0)
            editor.editText = data.name
            editor.macroEditorFocus()
            compare(editor.nameEditRow, -1)
            compare(renamed.count, data.taken ? 1 : 0)
            compare(editor.macroNames()[0], data.taken ? data.name : "Macro_0")
            compare(ui_View.getNameList(0)[0], data.taken ? data.name : "Macro_0")
            compare(ui_View.getData("mouseMacroKey/3", false), data.taken ? data.name : "Macro_0")
            compare(notices.count, data.notice ? 1 : 0)
            if (data.notice)
                compare(notices.signalArguments[0][0], data.notice)
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
            // A cancelled import leaves no row and no file behind.
            editor.importMacro()
            compare(editor.macroNames(), ["A", "Macro_0", "B"])
            compare(ui_View.loadMacroIni("Macro_1"), [])
            compare(testData.askedDialogs(), ["open Macro(*.mc)", "open Macro(*.mc)"])
        }

        function test_newMacroWhoseFileCannotBeWrittenAddsNoRow() {
            testData.setUnwritable("modules/macro/Macro_0.bin", true)
            const editor = makeEditor()
            const notices = spy(ui_View, "userNotice")
            editor.newMacro()
            compare(editor.macroNames(), [])
            compare(ui_View.getNameList(0), [])
            compare(notices.count, 1)
        }

        function test_importsTheMouseCannotHoldAreRefused_data() {
            const tooLong = []
            for (let i = 0; i < 70; ++i)
                tooLong.push(i % 2 === 0 ? "1,A" : "2,A")
            return [
                { tag: "over 128 bytes", content: "", events: tooLong },
                { tag: "over 1 MiB", content: "[config]\ntotal=0\n" + " ".repeat(1024 * 1024) },
            ]
        }

        function test_importsTheMouseCannotHoldAreRefused(data) {
            if (data.events) {
                ui_View.createMacroIni("Source", 0)
                ui_View.saveMacroIni("Source", data.events, 1)
            } else {
                testData.write("modules/macro/Source.bin", data.content)
            }
            testData.scriptFileDialogs([testData.path("modules/macro/Source.bin")])
            ui_View.updataNameList(0, ["A", "B"])
            const editor = makeEditor()
            const notices = spy(ui_View, "userNotice")
            editor.importMacro()
            compare(editor.macroNames(), ["A", "B"])
            compare(ui_View.getNameList(0), ["A", "B"])
            compare(ui_View.loadMacroIni("Macro_0"), [])
            compare(notices.count, 1)
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
            verify(child(editor, "macroMenu").visible)
            mouseClick(child(editor, "macroMenu"), 30, 1 + 2 * 24 + 12)
            compare(testData.askedDialogs(), ["save Macro(*.mc)"])
            compare(testData.read("out.mc"), testData.read("modules/macro/Macro_0.bin"))
        }

    }
}
