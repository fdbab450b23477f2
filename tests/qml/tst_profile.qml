import QtQuick
import QtTest
import "qrc:/modules/qml/screens"

// The profile manager over a real view and a temporary data folder.
Item {
    id: scene

    width: 500
    height: 400

    Component {
        id: profileComponent

        Profile {}
    }


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

        function test_init_data() {
            return [
                { tag: "sentinel dropped, row zero named", stored: ["Standard0"], active: 0,
                  properties: { profileLang: ["config", "New", "Import", "Delete", "Export", "Normal"] },
                  rows: ["Normal/0"], row: 0, after: ["Normal0", "loaderbraxel"] },
                { tag: "no stored list", active: 0, rows: ["Standard/0"], row: 0,
                  after: ["Standard0", "loaderbraxel"] },
                { tag: "active row marked", stored: ["Standard0", "A3", "B1"], active: 1,
                  rows: ["Standard/0", "A/3", "B/1"], row: 2 },
            ]
        }

        function test_init(data) {
            if (data.stored)
                ui_View.updataNameList(2, data.stored)
            const dialog = makeProfile(data.active, data.properties)
            compare(rows(dialog), data.rows)
            compare(child(dialog, "profileList").currentIndex, data.row)
            if (data.after)
                compare(ui_View.getNameList(2), data.after)
        }

        function test_newAfterDeleteTakesTheLowestFreeNumber() {
            ui_View.updataNameList(2, ["Standard0", "A1", "B2"])
            ui_View.setCurrentProfile(1)
            ui_View.setData("mouse/reportRate", 1)
            ui_View.setCurrentProfile(0)
            const dialog = makeProfile(0)
            const switched = spy(dialog, "changeProfile")
            child(dialog, "profileList").currentIndex = 1
            dialog.deleteCurrentProfile()
            compare(rows(dialog), ["Standard/0", "B/2"])
            mouseClick(findChild(dialog, "profileNewButton"))
            compare(rows(dialog), ["Standard/0", "B/2", "profile_0/1"])
            compare(child(dialog, "profileList").currentIndex, 2)
            compare(ui_View.getNameList(2), ["Standard0", "B2", "profile_01"])
            compare(testData.read("modules/setting/p2.bin"), testData.read("modules/setting/pD.bin"))
            compare(switched.count, 0)
        }

        function test_atMostSixProfiles() {
            ui_View.updataNameList(2, ["Standard0", "a1", "b2", "c3", "d4", "e5"])
            const dialog = makeProfile(0)
            testData.scriptFileDialogs([testData.path("modules/setting/p1.bin")])
            dialog.newProfile()
            dialog.importProfile()
            compare(dialog.profileDataModel0.count, 6)
            compare(testData.askedDialogs(), [])
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

        function test_exportOfAnyRowWritesTheActiveProfile() {
            ui_View.updataNameList(2, ["Standard0", "A1", "B2"])
            ui_View.setCurrentProfile(2)
            ui_View.setData("mouse/reportRate", 3)
            const dialog = makeProfile(2)
            const profileMenu = child(dialog, "profileMenu")
            testData.scriptFileDialogs([testData.path("exported.pf")])
            // Right click on row A, then Export.
            mouseClick(child(dialog, "profileList"), 40, 27 + 13, Qt.RightButton)
            compare(child(dialog, "profileList").currentIndex, 1)
            verify(profileMenu.visible)
            mouseClick(profileMenu, 30, 1 + 24 + 12)
            verify(!profileMenu.visible)
            compare(testData.askedDialogs(), ["save Profile(*.pf)"])
            compare(testData.read("exported.pf"), testData.read("modules/setting/p3.bin"))
            verify(testData.read("exported.pf").indexOf("reportRate=3") >= 0)
        }

        function test_importLoadsTheChosenFileIntoTheNewNumber() {
            ui_View.updataNameList(2, ["Standard0", "A2"])
            testData.write("chosen.pf", "[mouse]\nreportRate=2\n")
            testData.scriptFileDialogs([testData.path("chosen.pf"), ""])
            const dialog = makeProfile(0)
            mouseClick(findChild(dialog, "profileImportButton"))
            compare(rows(dialog), ["Standard/0", "A/2", "profile_0/1"])
            compare(testData.read("modules/setting/p2.bin"), "[mouse]\nreportRate=2\n")
            // A cancelled import leaves no row behind.
            dialog.importProfile()
            compare(rows(dialog), ["Standard/0", "A/2", "profile_0/1"])
            compare(ui_View.getNameList(2), ["Standard0", "A2", "profile_01"])
            compare(child(dialog, "profileList").currentIndex, 0)
        }

        function test_rename_data() {
            return [
                { tag: "free name", name: "Sniper", expected: "Sniper" },
                { tag: "own name", name: "A", expected: "A" },
                { tag: "another row's name", name: "Standard", expected: "A" },
                { tag: "empty", name: "", expected: "" },
                { tag: "name list sentinel", name: "loaderbraxel", expected: "A" },
            ]
        }

        function test_rename(data) {
            ui_View.updataNameList(2, ["Standard0", "A1"])
            const dialog = makeProfile(0)
            mouseDoubleClickSequence(child(dialog, "profileList"), 40, 27 + 13)
            compare(dialog.editRow, 1)
            dialog.editText = data.name
            dialog.profileFocus()
            compare(dialog.editRow, -1)
            compare(dialog.profileDataModel0.get(1).textValue, data.expected)
            compare(ui_View.getNameList(2), ["Standard0", data.expected + "1"])
        }

        function test_renameByTypingAndEnter() {
            ui_View.updataNameList(2, ["Standard0", "A1"])
            const dialog = makeProfile(0)
            dialog.startEdit(1)
            keyClick(Qt.Key_Z)
            keyClick(Qt.Key_Return)
            compare(dialog.profileDataModel0.get(1).textValue, "z")
        }
    }
}
