import QtQuick
import "../common"
import "theme.js" as Theme

// The title-bar menu: help, minimise and close, with the profile switcher
// to their left. The switcher shows the profile manager's list model.
Item {
    id: menuUp

    property int skinNo: 1
    property alias profileList: profileList
    property var profileModel: null
    // Off while no mouse is connected: a switch could not reach it.
    property bool profilesEnabled: true
    // The main window's texts: 11 to 13 name the help, minimise and close
    // buttons, 14 the profile switcher.
    property var texts: []

    signal helpClick()
    signal minimizeClick()
    signal closeClick()
    signal profileChosen(int profileNo)

    // Marks the row of profile `profileNo`; none when no row has it.
    function markProfile(profileNo: int) {
        profileList.currentSelect = rowOfProfile(profileNo)
    }

    function rowOfProfile(profileNo: int): int {
        if (!profileModel)
            return -1
        for (let i = 0; i < profileModel.count; ++i) {
            if (Number(profileModel.get(i).profileNo) === profileNo)
                return i
        }
        return -1
    }

    function closeMenu() {
        profileList.closeMenu()
    }

    width: buttons.width
    height: buttons.height

    DropDownList {
        id: profileList

        objectName: "profileSwitcher"
        x: -16 - width
        y: (buttons.height - height) / 2
        width: 144
        // Shown once there is a profile list to switch between.
        visible: menuUp.profileModel !== null
        enabled: menuUp.profilesEnabled
        mdItems: menuUp.profileModel
        currentSelect: -1
        description: menuUp.texts[14] || ""
        // A switch sends the whole profile: an arrow only opens the list.
        arrowsOpen: true
        onValueChange: (index) => {
            if (menuUp.profileModel && index >= 0 && index < menuUp.profileModel.count)
                menuUp.profileChosen(Number(menuUp.profileModel.get(index).profileNo))
        }
    }

    Row {
        id: buttons

        spacing: 16

        ImageButton {
            id: helpButton

            objectName: "helpButton"
            normalSource: Theme.skinImage(menuUp.skinNo, "index", "help")
            hoverSource: Theme.skinImage(menuUp.skinNo, "index", "helpHover")
            description: menuUp.texts[11] || ""
            onClicked: menuUp.helpClick()
        }

        ImageButton {
            id: minimizeButton

            objectName: "minimizeButton"
            normalSource: Theme.skinImage(menuUp.skinNo, "index", "minimize")
            hoverSource: Theme.skinImage(menuUp.skinNo, "index", "minimizeHover")
            description: menuUp.texts[12] || ""
            onClicked: menuUp.minimizeClick()
        }

        ImageButton {
            id: closeButton

            objectName: "closeButton"
            normalSource: Theme.skinImage(menuUp.skinNo, "index", "close")
            hoverSource: Theme.skinImage(menuUp.skinNo, "index", "closeHover")
            description: menuUp.texts[13] || ""
            onClicked: menuUp.closeClick()
        }
    }
}
