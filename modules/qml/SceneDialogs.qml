import QtQuick
import "screens"
import "dialogs.js" as Logic

// The main window's dialogs, over the mask. Each is built on its first
// opening (dialogs.js prepares it) and released when closed while the
// window is in the tray (releaseClosedDialogs); the dialogs sit in this
// window-sized item, so that they are centred and dragged within it.
Item {
    id: dialogs

    // The main scene's `screens`, for dialogs.js.
    property var screens: null
    property SceneState scene: null
    property KeyMatrix keyMatrix: null
    property Mouse mousePicture: null
    property KeyNaming keyNames: null
    property ProfileList profiles: null

    // The dialogs while built, else null. Typed loosely: naming their types
    // here would load them at start.
    readonly property Item keyAssigment: keyAssigmentLoader.item as Item
    readonly property Item macroEditor: macroEditorLoader.item as Item
    readonly property Item gunControl: gunControlLoader.item as Item
    readonly property Item systemSetting: systemSettingLoader.item as Item
    readonly property Item profileManager: profileLoader.item as Item
    readonly property Item helpMenu: helpMenuLoader.item as Item
    readonly property Item resetConfirm: resetConfirmLoader.item as Item
    readonly property Item unsavedPrompt: unsavedPromptLoader.item as Item
    readonly property var loaders: ({
        keys: keyAssigmentLoader, macro: macroEditorLoader, gun: gunControlLoader,
        system: systemSettingLoader, profile: profileLoader, help: helpMenuLoader,
        reset: resetConfirmLoader, unsaved: unsavedPromptLoader
    })

    // The scene's skin, shared by every dialog.
    function skinBinding(): var {
        return Qt.binding(() => dialogs.scene.skin_No)
    }

    DialogLoader {
        id: macroEditorLoader
        objectName: "macroEditorMainLoader"
        dialogSource: Qt.resolvedUrl("screens/MacroEditor.qml")
        dialogProperties: ({
            objectName: "macroEditorMain", visible: false, skinNo: dialogs.skinBinding(),
            keyNames: Qt.binding(() => dialogs.keyNames)
        })
        onLoaded: Logic.dialogLoaded(dialogs, "macro", item)
    }

    DialogLoader {
        id: gunControlLoader
        objectName: "gunControlMainLoader"
        dialogSource: Qt.resolvedUrl("screens/GunControl.qml")
        dialogProperties: ({ objectName: "gunControlMain", visible: false, skinNo: dialogs.skinBinding() })
        onLoaded: Logic.dialogLoaded(dialogs, "gun", item)
    }

    DialogLoader {
        id: systemSettingLoader
        objectName: "systemSettingMainLoader"
        dialogSource: Qt.resolvedUrl("screens/SystemSetting.qml")
        dialogProperties: ({ objectName: "systemSettingMain", visible: false, skinNo: dialogs.skinBinding() })
        onLoaded: Logic.dialogLoaded(dialogs, "system", item)
    }

    DialogLoader {
        id: keyAssigmentLoader
        objectName: "keyAssigmentMainLoader"
        dialogSource: Qt.resolvedUrl("screens/KeyAssigment.qml")
        dialogProperties: ({
            objectName: "keyAssigmentMain", visible: false, skinNo: dialogs.skinBinding(),
            isGun: Qt.binding(() => dialogs.scene.isGun),
            keyAssigmentLang: Qt.binding(() => dialogs.keyNames.keyAssigmentLang),
            keyMatrix: Qt.binding(() => dialogs.keyMatrix),
            mousePicture: Qt.binding(() => dialogs.mousePicture),
            keyNames: Qt.binding(() => dialogs.keyNames)
        })
        onLoaded: Logic.dialogLoaded(dialogs, "keys", item)
    }

    DialogLoader {
        id: profileLoader
        objectName: "profileMainLoader"
        dialogSource: Qt.resolvedUrl("screens/Profile.qml")
        dialogProperties: ({
            objectName: "profileMain", visible: false, skinNo: dialogs.skinBinding(),
            profileNo: Qt.binding(() => dialogs.scene.profileNo),
            profiles: Qt.binding(() => dialogs.profiles)
        })
        onLoaded: Logic.dialogLoaded(dialogs, "profile", item)
    }

    DialogLoader {
        id: resetConfirmLoader
        objectName: "resetConfirmLoader"
        z: 1
        dialogSource: Qt.resolvedUrl("screens/ResetConfirm.qml")
        dialogProperties: ({
            objectName: "resetConfirm", mainLang: Qt.binding(() => dialogs.scene.mainLang)
        })
        onLoaded: Logic.dialogLoaded(dialogs, "reset", item)
    }

    // Above the dialogs: asked from the title bar or the tray over any of them.
    DialogLoader {
        id: unsavedPromptLoader
        objectName: "unsavedPromptLoader"
        z: 3
        dialogSource: Qt.resolvedUrl("screens/UnsavedPrompt.qml")
        dialogProperties: ({
            objectName: "unsavedPrompt", texts: Qt.binding(() => dialogs.scene.noticeLang)
        })
        onLoaded: Logic.dialogLoaded(dialogs, "unsaved", item)
    }

    DialogLoader {
        id: helpMenuLoader
        objectName: "helpMenuLoader"
        // The menu's right edge.
        x: dialogs.width - 100
        y: 30
        z: 2
        dialogSource: Qt.resolvedUrl("screens/HelpMenu.qml")
        onLoaded: Logic.dialogLoaded(dialogs, "help", item)
    }
}
