import QtQuick
import QtTest

// The scene with a virtual mouse behind its session: what a click asks for
// reaches the mouse (the bytes of each sequence: tst_session), the window
// shows it busy meanwhile and shows the outcome.
Item {
    id: scene

    width: 1024
    height: 640

    SceneTestCase {
        name: "SceneDevice"

        function setMacro(slot, button) {
            ui_View.updataNameList(0, ["M1"])
            ui_View.createMacroIni("M1", 0)
            ui_View.saveMacroIni("M1", ["1,A", "0,30", "2,A"], 1)
            ui_View.setDataList("mouseKeyMatrix/" + button, [4, 0, slot, 0])
            ui_View.setData("mouseMacroKey/" + slot, "M1")
        }

        // Nothing is stored or sent without a change. Each panel edited, one Save: the key
        // table, the DPI stages and the lighting go out in that order while the window shows it
        // busy; then nothing is unsaved. A Save the data folder does not take is told and the
        // panels stay unsaved.
        function test_saveSendsTheEditedPanels() {
            const main = startMain(true)
            ui_View.setDataList("mouse/dpiValueArray", [1, 2, 3, 4, 5, 6, 7, 8])
            const [keys, dpi, light, save] = ["keyMatrixMain", "dpiSettingMain", "lightControlMain", "saveButton"]
                .map((n) => child(main, n))
            const notices = spy(ui_View, "userNotice")
            const state = () => [notices.count, main.hasUnsavedChanges, keys.isSave, dpi.isSave, light.isSave,
                                 ui_View.getDataList("mouse/dpiValueArray", false)[0]]
            mouseClick(save)
            settle()
            compare([codes()].concat(state()), ["", 0, false, false, false, false, 1])
            keys.modKeys.setProperty(3, "keyCode2", 0xF1)
            keys.isSave = true
            drag(dpi.stage(0).slider.children[2], 494, 0)
            light.pickEffect(2)
            testData.setUnwritable("modules/setting/p1.bin", true)
            mouseClick(save)
            settle()
            testData.setUnwritable("modules/setting/p1.bin", false)
            compare(state(), [1, true, true, true, true, 6000])
            testData.clearDeviceRecord()
            mouseClick(save)
            compare([main.locked, child(main, "busyIndicator").visible, child(main, "leftPanel").enabled], [true, true, false])
            settle()
            compare([codes(), main.locked].concat(state()), ["12 11 0d 10 10", false, 1, false, false, false, false, 6000])
        }

        // What the mouse did not take is told, and stays marked unsaved (a
        // switch: owed, across a restart, until a Save sends it); the report
        // rate box goes back to the stored rate.
        function test_refusedSendsAreToldAndStayUnsaved_data() {
            return [
                { tag: "switch", action: (main) => main.requestProfileSwitch(1), owed: true,
                  shown: (main) => [main.profileNo], after: [1] },
                { tag: "report rate", action: (main) => {
                    const list = child(main, "rateList")
                    list.currentSelect = 1
                    list.valueChange(1)
                  }, shown: (main) => [child(main, "rateList").textValue, ui_View.getData("mouse/reportRate", false)],
                  after: ["1000Hz", "3"] },
            ]
        }

        function test_refusedSendsAreToldAndStayUnsaved(data) {
            ui_View.updataNameList(2, ["Standard0", "Gaming1"])
            const main = startMain(true)
            const notices = spy(ui_View, "userNotice")
            testData.setMouseSilent(true)
            data.action(main)
            settle()
            const failed = main.noticeLang[5]
            compare([notices.signalArguments.filter((a) => a[0] === failed).length, child(main, "noticeBar").Accessible.name,
                     main.hasUnsavedChanges, String(child(main, "saveButton").faceColor)].concat(data.shown(main)),
                    [1, failed, !data.tag.startsWith("report"), data.tag.startsWith("report") ? "#09347f" : "#ff3030"]
                    .concat(data.after))
            if (!data.owed)
                return
            main.destroy()
            const again = startMain() // after a restart: owed, and said so; a Save sends it
            compare([again.hasUnsavedChanges, again.noticeText], [true, again.noticeLang[7]])
            testData.setMouseSilent(false)
            testData.clearDeviceRecord()
            mouseClick(child(again, "saveButton"))
            settle()
            compare([again.hasUnsavedChanges, codes()], [false, "12 11 0d 10 10 01"])
        }

        // The assignment dialog's macro goes to its slot as it closes; an
        // edited macro goes again to every slot a button plays it from; a
        // renamed one shows its new name on its buttons at once; a deleted one
        // gives its buttons their defaults back, on the mouse and in every
        // profile.
        function test_macros() {
            setMacro(3, 4)
            const main = startMain(true)
            main.showKeyAssigment(2)
            const keys = dialog(main, "keyAssigmentMain")
            keys.chooseMacroMode(0)
            keys.chooseMacro(0)
            keys.closeDialog()
            settle()
            compare([codes(), ui_View.getData("mouseMacroKey/2", false)], ["13", "M1"])
            testData.clearDeviceRecord()
            const editor = dialog(main, "macroEditorMain")
            editor.modifyMacroData("M1")
            settle()
            compare(codes(), "13 13")
            verify(editor.renameMacro(0, "Burst"))
            compare([2, 4].map((row) => child(main, "keyMatrixMain").modKeys.get(row).keyText), ["Burst", "Burst"])
            testData.clearDeviceRecord()
            editor.selectMacro(0)
            editor.deleteCurrentMacro()
            settle()
            compare([codes(), child(main, "keyMatrixMain").modKeys.get(4).keyCode2, JSON.stringify(ui_View.getDataList("mouseKeyMatrix/4", false)),
                     JSON.stringify(ui_View.getNameList(0))], ["12", 0xF3, "[0,0,243,0]", "[]"])
        }
    }
}
