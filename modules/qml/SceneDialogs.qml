import QtQuick
import "screens"
import "mainlogic.js" as Logic

// The main window's dialogs, over the mask. Each is built on its first
// opening (mainlogic.js prepares it) and released when closed while the
// window is in the tray (releaseClosedDialogs); the dialogs sit in this
// window-sized item, so that they are centred and dragged within it.
Item {
    id: dialogs

    // The main scene's `screens`, for mainlogic.js.
    property var screens: null
    property SceneState scene: null
    property KeyMatrix keyMatrix: null
    property Mouse mousePicture: null
    property KeyNaming keyNames: null
    property ProfileList profiles: null

    // The dialogs while built, else null.
    readonly property KeyAssigment keyAssigment: keyAssigmentLoader.item as KeyAssigment
    readonly property MacroEditor macroEditor: macroEditorLoader.item as MacroEditor
    readonly property GunControl gunControl: gunControlLoader.item as GunControl
    readonly property SystemSetting systemSetting: systemSettingLoader.item as SystemSetting
    readonly property Profile profileManager: profileLoader.item as Profile
    readonly property HelpMenu helpMenu: helpMenuLoader.item as HelpMenu
    readonly property ResetConfirm resetConfirm: resetConfirmLoader.item as ResetConfirm
    readonly property var loaders: ({
        keys: keyAssigmentLoader, macro: macroEditorLoader, gun: gunControlLoader,
        system: systemSettingLoader, profile: profileLoader, help: helpMenuLoader,
        reset: resetConfirmLoader
    })

    // qmllint disable unqualified
    DialogLoader {
        id: macroEditorLoader
        objectName: "macroEditorMainLoader"
        onLoaded: Logic.prepareDialog(dialogs.screens, "macro", item)
        sourceComponent: MacroEditor {
            objectName: "macroEditorMain"
            visible: false
            skinNo: dialogs.scene.skin_No
            keyNames: dialogs.keyNames
            onDeleteMacro: (macroName) => Logic.deleteMacro(dialogs.screens, macroName)
            onModifyMacroName: (oldMacroName, newMacroName) => {
                Logic.modifyMacroName(dialogs.screens, newMacroName)
            }
            onModifyMacroData: (macroName) => Logic.modifyMacroData(dialogs.screens, macroName)
            onMacroNamesChanged: (names) => Logic.offerMacroNames(dialogs.screens, names)
            onClosed: Logic.macroEditorClosed(dialogs.screens)
        }
    }

    DialogLoader {
        id: gunControlLoader
        objectName: "gunControlMainLoader"
        onLoaded: Logic.prepareDialog(dialogs.screens, "gun", item)
        sourceComponent: GunControl {
            objectName: "gunControlMain"
            visible: false
            skinNo: dialogs.scene.skin_No
            onClosed: Logic.releaseMask(dialogs.screens)
            onFirePeriodsChanged: dialogs.keyMatrix.modKeys.saveData()
        }
    }

    DialogLoader {
        id: systemSettingLoader
        objectName: "systemSettingMainLoader"
        onLoaded: Logic.prepareDialog(dialogs.screens, "system", item)
        sourceComponent: SystemSetting {
            objectName: "systemSettingMain"
            visible: false
            skinNo: dialogs.scene.skin_No
            onInputStarted: Logic.mainFocus(dialogs.screens)
            onVisibleChanged: {
                if (!visible)
                    Logic.releaseMask(dialogs.screens)
            }
        }
    }

    DialogLoader {
        id: keyAssigmentLoader
        objectName: "keyAssigmentMainLoader"
        onLoaded: Logic.prepareDialog(dialogs.screens, "keys", item)
        sourceComponent: KeyAssigment {
            objectName: "keyAssigmentMain"
            visible: false
            skinNo: dialogs.scene.skin_No
            isGun: dialogs.scene.isGun
            keyAssigmentLang: dialogs.keyNames.keyAssigmentLang
            keyMatrix: dialogs.keyMatrix
            mousePicture: dialogs.mousePicture
            keyNames: dialogs.keyNames
            onClosed: Logic.keyAssigmentClosed(dialogs.screens)
            onMacroEditorClick: Logic.openMacroEditorOverKeyAssigment(dialogs.screens,
                                                                      macroEditorLoader)
        }
    }

    DialogLoader {
        id: profileLoader
        objectName: "profileMainLoader"
        onLoaded: Logic.prepareDialog(dialogs.screens, "profile", item)
        sourceComponent: Profile {
            objectName: "profileMain"
            visible: false
            skinNo: dialogs.scene.skin_No
            profileNo: dialogs.scene.profileNo
            profiles: dialogs.profiles
            onChangeProfile: (tmpProfileNo) => Logic.changeProfile(dialogs.screens, tmpProfileNo)
            onClosed: {
                Logic.releaseMask(dialogs.screens)
                dialogs.screens.menuUp.closeMenu()
            }
        }
    }

    DialogLoader {
        id: resetConfirmLoader
        objectName: "resetConfirmLoader"
        z: 1
        sourceComponent: ResetConfirm {
            id: resetDialog

            objectName: "resetConfirm"
            mainLang: dialogs.scene.mainLang
            onConfirmed: Logic.factoryReset(dialogs.screens)
            onCancelled: {
                resetDialog.visible = false
                Logic.releaseMask(dialogs.screens)
            }
        }
    }

    DialogLoader {
        id: helpMenuLoader
        objectName: "helpMenuLoader"
        x: dialogs.width - 300
        y: 30
        z: 2
        onLoaded: Logic.prepareDialog(dialogs.screens, "help", item)
        sourceComponent: HelpMenu {
            onChosen: (index) => Logic.helpChosen(dialogs.screens, index)
        }
    }
    // qmllint enable unqualified
}
