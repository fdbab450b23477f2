import QtQuick
import QtTest
import "qrc:/modules/qml/screens"

// The profile manager over a real view and a temporary data folder.
Item {
    width: 500; height: 400

    Component { id: profileComponent; Profile {} }

    SceneTestCase {
        name: "Profile"

        function test_withoutAStoredListRowZeroIsTheTextsFirstName() {
            const dialog = makeInit(profileComponent, { profileNo: 0, profileLang: ["config", "New", "Import", "Delete", "Export", "Normal"] })
            compare([dialog.profileDataModel0.get(0).textValue, ui_View.getNameList(2)], ["Normal", ["Normal0", "loaderbraxel"]])
        }

        // Delete asks first, naming the profile ("$&" as typed); row zero and the active one stay.
        function test_deleteRules() {
            ui_View.updataNameList(2, ["Standard0", "A$&1", "B2"])
            const [dialog, notices, seen] = [makeInit(profileComponent, { profileNo: 2 }), spy(ui_View, "userNotice"), []]
            const confirm = child(dialog, "profileDeleteConfirm")
            for (const [row, answer] of [[0, ""], [2, ""], [1, "confirmCancel"], [1, "confirmOk"]]) {
                mouseClick(child(dialog, "profileList"), 40, 27 * row + 13, Qt.RightButton)
                mouseClick(child(dialog, "profileMenu"), 30, 1 + 12)
                seen.push(confirm.visible ? child(confirm, "confirmQuestion").text : notices.count)
                if (answer)
                    mouseClick(child(confirm, answer))
                seen.push(dialog.profileDataModel0.count)
                wait(0) // each refusal is told once per turn
            }
            compare(seen, [1, 3, 2, 3, "Delete the profile “A$&”?", 3, "Delete the profile “A$&”?", 2])
            compare([ui_View.getNameList(2), args(notices)[0],
                     [0, 1].map((row) => child(dialog, "profileList").itemAtIndex(row).Accessible.description)],
                    [["Standard0", "B2"], ["The first profile and the active one cannot be deleted."], ["", "Active"]])
        }

        // Export writes the active profile; Import and New take the lowest free number without switching; six rows at most.
        function test_exportImportAndNew() {
            ui_View.updataNameList(2, ["Standard0", "A2"])
            ui_View.setGlobalData("mouse/profileNo", 2)
            testData.reopen()
            ui_View.setData("mouse/reportRate", 3)
            testData.write("chosen.pf", "[mouse]\nreportRate=2\n")
            testData.scriptFileDialogs([testData.path("exported.pf"), testData.path("chosen.pf"), ""])
            const dialog = makeInit(profileComponent, { profileNo: 2 })
            const switched = spy(dialog, "changeProfile")
            mouseClick(child(dialog, "profileList"), 40, 27 + 13, Qt.RightButton)
            mouseClick(child(dialog, "profileMenu"), 30, 1 + 24 + 12)
            compare(testData.read("exported.pf"), testData.read("modules/setting/p3.bin"))
            mouseClick(child(dialog, "profileImportButton"))
            dialog.importProfile()
            mouseClick(child(dialog, "profileNewButton"))
            compare([ui_View.getNameList(2), testData.read("modules/setting/p2.bin"),
                     testData.read("modules/setting/p4.bin") === testData.read("modules/setting/pD.bin")],
                    [["Standard0", "A2", "profile_01", "profile_13"], "[mouse]\nreportRate=2\n", true])
            for (let i = 0; i < 3; ++i)
                dialog.newProfile()
            dialog.importProfile()
            compare([dialog.profileDataModel0.count, testData.askedDialogs(), switched.count],
                    [6, ["save Profile(*.pf)", "open Profile(*.pf)", "open Profile(*.pf)"], 0])
        }

        // The keyboard does what the pointer does: Tab reaches the list, Down chooses, F2 renames, Shift+F10 (not Shift alone) as Menu, Delete.
        function test_keyboard() {
            ui_View.updataNameList(2, ["Standard0", "a1", "b2"])
            const [dialog, ring] = [makeInit(profileComponent, { profileNo: 0 }), focusRing()]
            const list = child(dialog, "profileList")
            child(dialog, "closeMark").forceActiveFocus(Qt.TabFocusReason)
            const shifted = (key) => () => keyClick(key, Qt.ShiftModifier)
            const keys = [Qt.Key_Tab, Qt.Key_Down, [Qt.Key_F2, Qt.Key_Z, Qt.Key_Return], shifted(Qt.Key_Shift),
                          shifted(Qt.Key_F10), Qt.Key_Escape, Qt.Key_Delete]
            // [focus, row, ring round the list]
            compare(walk(keys, () => [focusName(), list.currentIndex, ring.frame === list.parent]),
                    [["profileList", 0, true], ["profileList", 1, true], ["profileList", 1, true], ["profileList", 1, true],
                     ["profileMenu", 1, false], ["profileList", 1, true], ["profileDeleteConfirm", 1, false]])
            compare(ui_View.getNameList(2), ["Standard0", "z1", "b2"])
        }

        // A name another row has or the list's sentinel is refused; a list the data folder does not take changes nothing.
        function test_rename_data() {
            return [{ tag: "free", typed: "z", expected: "z" }, { tag: "unchanged", typed: "a", expected: "a" },
                    { tag: "another row's", typed: "b", expected: "a", notice: "That name is already taken." },
                    { tag: "name list sentinel", typed: "loaderbraxel", expected: "a", notice: "That name is reserved." },
                    { tag: "blank", typed: " ", expected: "a", notice: "A name cannot be empty or contain \\ / : * ? \" < > |." },
                    { tag: "too long", typed: "x".repeat(65), expected: "a", notice: "A name can be at most 64 characters long." },
                    { tag: "unwritable", typed: "z", expected: "a", unwritable: true }]
        }

        function test_rename(data) {
            ui_View.updataNameList(2, ["Standard0", "a1", "b2"])
            const [dialog, notices] = [makeInit(profileComponent, { profileNo: 0 }), spy(ui_View, "userNotice")]
            if (data.unwritable) {
                testData.setDiskFull(true)
                mouseClick(child(dialog, "profileNewButton"))
            }
            mouseDoubleClickSequence(child(dialog, "profileList"), 40, 27 + 13)
            compare(dialog.editRow, 1)
            keyClicks(...data.typed, Qt.Key_Return)
            testData.setDiskFull(false)
            compare([dialog.editRow, ui_View.getNameList(2), dialog.list.rows().map((row) => row.textValue),
                     notices.count && args(notices)[0][0]],
                    [-1, ["Standard0", data.expected + "1", "b2"], ["Standard", data.expected, "b"],
                     data.unwritable ? "The data folder could not be written; the change was not made." : data.notice || 0])
        }
    }
}
