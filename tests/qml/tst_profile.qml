import QtQuick
import QtTest
import "qrc:/modules/qml/screens"

// The profile manager over a real view and a temporary data folder.
Item {
    id: scene

    width: 500
    height: 400

    Component { id: profileComponent; Profile {} }


    SceneTestCase {
        name: "Profile"

        function makeProfile(active, properties) {
            const dialog = make(profileComponent, Object.assign({ profileNo: active }, properties))
            dialog.init()
            return dialog
        }

        function rows(dialog) {
            const list = []
            for (let i = 0; i < dialog.profileDataModel0.count; ++i) {
                const row = dialog.profileDataModel0.get(i)
                list.push(row.textValue + "/" + row.profileNo)
            }
            return list
        }

        // Init drops the list's sentinel and marks the active row; without a
        // stored list row zero is the first name of the texts, and stored.
        // New takes the lowest free number and the default profile, without
        // switching; six rows are the most, by New or Import.
        function test_rowsAndNumbers() {
            let dialog = makeProfile(0, { profileLang: ["config", "New", "Import", "Delete", "Export", "Normal"] })
            compare([rows(dialog), ui_View.getNameList(2)], [["Normal/0"], ["Normal0", "loaderbraxel"]])
            ui_View.updataNameList(2, ["Standard0", "A3", "B1"])
            dialog = makeProfile(1)
            compare([rows(dialog), child(dialog, "profileList").currentIndex], [["Standard/0", "A/3", "B/1"], 2])
            const switched = spy(dialog, "changeProfile")
            child(dialog, "profileList").currentIndex = 1
            dialog.deleteCurrentProfile()
            mouseClick(child(dialog, "profileNewButton"))
            compare([rows(dialog), child(dialog, "profileList").currentIndex],
                    [["Standard/0", "B/1", "profile_0/2"], 2])
            compare(ui_View.getNameList(2), ["Standard0", "B1", "profile_02"])
            compare(testData.read("modules/setting/p3.bin"), testData.read("modules/setting/pD.bin"))
            for (let i = 0; i < 3; ++i)
                dialog.newProfile()
            testData.scriptFileDialogs([testData.path("modules/setting/p1.bin")])
            dialog.newProfile()
            dialog.importProfile()
            compare([dialog.profileDataModel0.count, testData.askedDialogs(), switched.count], [6, [], 0])
        }

        function test_deleteRules_data() {
            return [
                { tag: "row zero", row: 0, active: 2, deleted: false },
                { tag: "the active profile", row: 2, active: 2, deleted: false },
                { tag: "another row", row: 1, active: 2, deleted: true },
            ]
        }

        // Delete from the row's menu asks first, naming the profile; Cancel
        // keeps it.
        function test_deleteRules(data) {
            // "$&" in a name is shown as typed.
            ui_View.updataNameList(2, ["Standard0", "A$&1", "B2"])
            const dialog = makeProfile(data.active)
            const confirm = child(dialog, "profileDeleteConfirm")
            const notices = spy(ui_View, "userNotice")
            for (const answer of ["confirmCancel", "confirmOk"]) {
                mouseClick(child(dialog, "profileList"), 40, 27 * data.row + 13, Qt.RightButton)
                mouseClick(child(dialog, "profileMenu"), 30, 1 + 12)
                compare(confirm.visible, data.deleted)
                if (!data.deleted) {
                    compare(notices.signalArguments.map((args) => args[0]),
                            ["The first profile and the active one cannot be deleted."])
                    break
                }
                compare(child(confirm, "confirmQuestion").text, "Delete the profile “A$&”?")
                compare(dialog.profileDataModel0.count, 3)
                mouseClick(child(confirm, answer))
                verify(!confirm.visible)
            }
            compare(dialog.profileDataModel0.count, data.deleted ? 2 : 3)
            compare(ui_View.getNameList(2).length, data.deleted ? 2 : 3)
        }

        // Export from any row's menu writes the active profile; Import loads
        // the chosen file into the lowest free number, a cancel adds nothing.
        function test_exportAndImport() {
            ui_View.updataNameList(2, ["Standard0", "A2"])
            ui_View.setCurrentProfile(2)
            ui_View.setData("mouse/reportRate", 3)
            testData.write("chosen.pf", "[mouse]\nreportRate=2\n")
            testData.scriptFileDialogs([testData.path("exported.pf"), testData.path("chosen.pf"), ""])
            const dialog = makeProfile(2)
            const profileMenu = child(dialog, "profileMenu")
            mouseClick(child(dialog, "profileList"), 40, 27 + 13, Qt.RightButton)
            compare([child(dialog, "profileList").currentIndex, profileMenu.visible], [1, true])
            mouseClick(profileMenu, 30, 1 + 24 + 12)
            verify(!profileMenu.visible)
            compare(testData.read("exported.pf"), testData.read("modules/setting/p3.bin"))
            verify(testData.read("exported.pf").indexOf("reportRate=3") >= 0)
            mouseClick(child(dialog, "profileImportButton"))
            dialog.importProfile()
            compare(rows(dialog), ["Standard/0", "A/2", "profile_0/1"])
            compare(ui_View.getNameList(2), ["Standard0", "A2", "profile_01"])
            compare(testData.read("modules/setting/p2.bin"), "[mouse]\nreportRate=2\n")
            compare(testData.askedDialogs(), ["save Profile(*.pf)", "open Profile(*.pf)", "open Profile(*.pf)"])
        }

        // Renamed by a double click or by typing; a name another row has, an
        // empty one or the list's sentinel is refused.
        function test_rename_data() {
            return [
                { tag: "free name", name: "Sniper", expected: "Sniper" },
                { tag: "typed", typed: [Qt.Key_Z, Qt.Key_Return], expected: "z" },
                { tag: "another row's name", name: "Standard", expected: "A" },
                { tag: "empty", name: "", expected: "" },
                { tag: "name list sentinel", name: "loaderbraxel", expected: "A" },
            ]
        }

        function test_rename(data) {
            ui_View.updataNameList(2, ["Standard0", "A1"])
            const dialog = makeProfile(0)
            if (data.typed) {
                dialog.startEdit(1)
                for (const key of data.typed)
                    keyClick(key)
            } else {
                mouseDoubleClickSequence(child(dialog, "profileList"), 40, 27 + 13)
                compare(dialog.editRow, 1)
                dialog.editText = data.name
                dialog.profileFocus()
            }
            compare(dialog.editRow, -1)
            compare(dialog.profileDataModel0.get(1).textValue, data.expected)
            compare(ui_View.getNameList(2), ["Standard0", data.expected + "1"])
        }
    }
}
