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

        function startOnMouse(isGun) {
            verify(testData.attachMouse(553, isGun))
            return startMain()
        }

        // The command codes since the last clear.
        function codes() {
            return testData.deviceCommands().map((c) => c.substring(3, 5)).join(" ")
        }

        function setMacro(slot, button) {
            ui_View.updataNameList(0, ["M1"])
            ui_View.createMacroIni("M1", 0)
            ui_View.saveMacroIni("M1", ["1,A", "0,30", "2,A"], 1)
            ui_View.setDataList("mouseKeyMatrix/" + button, [4, 0, slot, 0])
            ui_View.setData("mouseMacroKey/" + slot, "M1")
        }

        // Each panel edited, one Save: the key table, the DPI stages and the
        // lighting go out in that order while the window shows it busy; then
        // nothing is unsaved.
        function test_saveSendsTheEditedPanels() {
            const main = startOnMouse(false)
            const [keys, dpi, light] = ["keyMatrixMain", "dpiSettingMain", "lightControlMain"].map((n) => child(main, n))
            keys.modKeys.setProperty(3, "keyCode2", 0xF1)
            keys.isSave = true
            drag(dpi.stage(0).slider.children[2], 494, 0)
            light.pickEffect(2)
            mouseClick(child(main, "saveButton"))
            compare([main.locked, child(main, "busyIndicator").visible, child(main, "leftPanel").enabled], [true, true, false])
            settle()
            compare([codes(), main.hasUnsavedChanges, keys.isSave, dpi.isSave, light.isSave, main.locked],
                    ["12 11 0d 10 10", false, false, false, false, false])
            compare(ui_View.getDataList("mouse/dpiValueArray", false)[0], 6000)
        }

        // What the mouse did not take is told, and stays marked unsaved (a
        // switch: owed, across a restart, until a Save sends it); the report
        // rate box goes back to the stored rate.
        function test_refusedSendsAreToldAndStayUnsaved_data() {
            return [
                { tag: "save", action: (main) => {
                    drag(child(main, "dpiSettingMain").stage(0).slider.children[2], 494, 0)
                    mouseClick(child(main, "saveButton"))
                  }, shown: (main) => [child(main, "dpiSettingMain").isSave], after: [true] },
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
            const main = startOnMouse(false)
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
        // deleted one gives its buttons their defaults back, on the mouse and
        // in every profile.
        function test_macros() {
            setMacro(3, 4)
            const main = startOnMouse(false)
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
            compare([codes(), testData.deviceMacro(3).substring(0, 23)], ["13 13", "00 01 03 04 81 04 00 00"])
            testData.clearDeviceRecord()
            editor.selectMacro(0)
            editor.deleteCurrentMacro()
            settle()
            compare([codes(), child(main, "keyMatrixMain").modKeys.get(4).keyCode2, JSON.stringify(ui_View.getDataList("mouseKeyMatrix/4", false)),
                     JSON.stringify(ui_View.getNameList(0))], ["12", 0xF3, "[0,0,243,0]", "[]"])
        }

        // The gun editor's close sends its slots with the key table after a
        // change only, and keeps them to send while the mouse has not taken them.
        function test_gunEditorSendsOnClose() {
            const main = startOnMouse(true)
            const gun = dialog(main, "gunControlMain")
            gun.visible = true
            gun.close()
            settle()
            compare(codes(), "")
            testData.setMouseSilent(true)
            gun.visible = true
            gun.choosePreset(4)
            gun.close()
            settle()
            compare(gun.isSave, true)
            testData.setMouseSilent(false)
            testData.clearDeviceRecord()
            gun.visible = true
            gun.close()
            settle()
            compare([codes(), gun.isSave], ["83 04 83 04 83 04 12", false])
        }
    }
}
