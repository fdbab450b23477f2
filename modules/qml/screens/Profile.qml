import QtQuick
import "../common"
import "../basic/theme.js" as Theme
import "../basic/refusal.js" as Refusal
import "../common/listkeys.js" as ListKeys

// The profile manager: up to six named profiles. The title bar's switcher
// shows the same list model and switches through changeProfile.
Rectangle {
    id: profileMain

    // The active profile; the main scene keeps it up to date.
    property int profileNo: -1
    property var profileLang: ["config", "New", "Import", "Delete", "Export", "Standard", "Close", "Active",
        "", "", "", "", "", "", "", "", "", "", "", ""]
    property var refusalLang: Refusal.english
    property int skinNo: 1
    // The row whose name is being edited, -1 for none.
    property int editRow: -1
    property string editText: ""
    readonly property bool isProfileMenu: profileMenu.visible

    // The list it shows; the main scene passes the one the title bar uses.
    property ProfileList profiles: null
    readonly property ProfileList list: profiles || ownProfiles
    readonly property ListModel profileDataModel0: list.model

    signal changeProfile(int tmpProfileNo)
    signal listViewFocus()
    signal closed()

    function init() {
        list.firstName = profileLang[5]
        list.init()
    }

    function profileFocus() {
        if (editRow >= 0)
            listViewFocus()
        profileMenu.visible = false
    }

    function newProfile() {
        profileFocus()
        list.newProfile()
    }

    function importProfile() {
        profileFocus()
        list.importProfile()
    }

    // Deleting asks first, naming the profile.
    function askDeleteProfile() {
        profileMenu.visible = false
        const row = profileList.currentIndex
        if (list.mayDelete(row))
            deleteConfirm.ask(Refusal.text(refusalLang, Refusal.deleteProfile,
                                           profileDataModel0.get(row).textValue))
        else if (row >= 0 && row < profileDataModel0.count)
            ui_View.notifyUser(Refusal.text(refusalLang, Refusal.keptProfile))
    }

    function deleteCurrentProfile() {
        profileMenu.visible = false
        const row = profileList.currentIndex
        if (list.mayDelete(row))
            list.removeRow(row)
    }

    // Export always writes the active profile.
    function exportProfile() {
        profileMenu.visible = false
        if (profileNo >= 0)
            ui_View.saveProfile(profileNo)
    }

    function renameProfile(row: int, newName: string): bool {
        return list.rename(row, newName)
    }

    // A press on row `row` at (x, y) of `area`; the right button opens the
    // menu there.
    function pressRow(row: int, right: bool, area: Item, x: real, y: real) {
        profileFocus()
        profileList.currentIndex = row
        if (!right)
            return
        const point = area.mapToItem(profileMain, x, y)
        profileMenu.x = Math.min(point.x, width - profileMenu.width)
        profileMenu.y = Math.min(point.y, height - profileMenu.height)
        profileMenu.visible = true
    }

    function startEdit(row: int) {
        profileMenu.visible = false
        editText = String(profileDataModel0.get(row).textValue)
        editRow = row
    }

    function close() {
        profileFocus()
        deleteConfirm.visible = false
        visible = false
        closed()
    }

    width: 300
    height: 280
    color: Theme.colorGray0
    border.color: Theme.colorGray1

    onListViewFocus: {
        if (editRow < 0)
            return
        const row = editRow
        editRow = -1
        renameProfile(row, editText)
    }

    ProfileList {
        id: ownProfiles

        profileNo: profileMain.profileNo
    }

    Connections {
        target: profileMain.list

        function onRowChosen(row) {
            profileList.currentIndex = row
        }
    }

    DialogFrame {
        title: profileMain.profileLang[0]
        closeName: profileMain.profileLang[6]
        icon: Theme.skinImage(profileMain.skinNo, "profile", "icon")
        skinNo: profileMain.skinNo
        onBackgroundPressed: profileMain.profileFocus()
        onCloseClicked: profileMain.close()
    }

    Rectangle {
        x: 16
        y: 46
        width: parent.width - 32
        height: 182
        color: Theme.colorBlack
        border.color: Theme.colorGray1

        MouseArea {
            anchors.fill: parent
            onPressed: profileMain.profileFocus()
        }

        ListView {
            id: profileList

            objectName: "profileList"
            anchors.fill: parent
            anchors.margins: 1
            clip: true
            currentIndex: profileMain.list.activeRow()
            boundsBehavior: Flickable.StopAtBounds
            model: profileMain.profileDataModel0
            readonly property Item focusFrame: parent
            activeFocusOnTab: true
            Accessible.role: Accessible.List
            Accessible.name: profileMain.profileLang[0]
            Accessible.focusable: true
            Keys.onPressed: (event) => ListKeys.handle(profileList, event, profileMain.pressRow,
                                                       profileMain.startEdit,
                                                       profileMain.askDeleteProfile)
            // qmllint disable unqualified
            delegate: Rectangle {
                id: profileRow

                required property int index
                required property string textValue
                required property int profileNo
                // A row being removed has index -1, which is also "no row".
            readonly property bool editing: index >= 0 && profileMain.editRow === index
                readonly property bool active: profileNo === profileMain.profileNo

                width: profileList.width
                height: 27
                // The current row takes the list's keyboard focus.
                Accessible.role: Accessible.ListItem
                Accessible.focusable: true
                Accessible.name: textValue
                // The bold name and the dot, in words.
                Accessible.description: active ? profileMain.profileLang[7] : ""
                color: index === profileList.currentIndex ? Theme.colorOrange
                                                          : rowArea.containsMouse ? Theme.colorGray1
                                                                                  : "transparent"

                ThemedText {
                    anchors.verticalCenter: parent.verticalCenter
                    x: 10
                    width: parent.width - 40
                    elide: Text.ElideRight
                    visible: !profileRow.editing
                    text: profileRow.textValue
                    font.bold: profileRow.active
                }

                // The active profile's mark.
                Rectangle {
                    anchors.right: parent.right
                    anchors.rightMargin: 12
                    anchors.verticalCenter: parent.verticalCenter
                    width: 6
                    height: 6
                    radius: 3
                    visible: profileRow.active
                    color: Theme.fontColor
                }

                MouseArea {
                    id: rowArea

                    anchors.fill: parent
                    hoverEnabled: true
                    acceptedButtons: Qt.LeftButton | Qt.RightButton
                    onPressed: (mouse) => profileMain.pressRow(profileRow.index,
                                                               mouse.button === Qt.RightButton,
                                                               rowArea, mouse.x, mouse.y)
                    onDoubleClicked: (mouse) => {
                        if (mouse.button === Qt.LeftButton)
                            profileMain.startEdit(profileRow.index)
                    }
                }

                EditField {
                    visible: profileRow.editing
                    active: profileRow.editing
                    initialText: profileRow.textValue
                    onEdited: (text) => { profileMain.editText = text }
                    onAccepted: {
                        profileMain.listViewFocus()
                        profileList.forceActiveFocus()
                    }
                }
            }
            // qmllint enable unqualified
        }
    }

    Row {
        anchors.horizontalCenter: parent.horizontalCenter
        y: 240
        spacing: 16

        TextButton {
            objectName: "profileNewButton"
            width: 96
            textValue: profileMain.profileLang[1]
            onClicked: profileMain.newProfile()
        }

        TextButton {
            objectName: "profileImportButton"
            width: 96
            textValue: profileMain.profileLang[2]
            onClicked: profileMain.importProfile()
        }
    }

    PopupMenu {
        id: profileMenu

        objectName: "profileMenu"
        narrowest: 110
        entries: [profileMain.profileLang[3], profileMain.profileLang[4]]
        onChosen: (entry) => {
            if (entry === 0)
                profileMain.askDeleteProfile()
            else
                profileMain.exportProfile()
        }
    }

    ConfirmBox {
        id: deleteConfirm

        objectName: "profileDeleteConfirm"
        confirmText: profileMain.profileLang[3]
        cancelText: Refusal.text(profileMain.refusalLang, Refusal.cancel)
        onConfirmed: profileMain.deleteCurrentProfile()
    }
}
