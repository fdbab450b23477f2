import QtQuick

// A dialog built on its first opening (`active`) and released by turning
// `active` off. It is loaded from its file only then, so that the dialogs'
// types cost the program's start nothing. The built dialog is placed beside
// the loader, in the window, so that it is centred and dragged within the
// whole window.
Loader {
    id: dialogLoader

    // The dialog's file, relative to the scene's folder.
    property url dialogSource
    // What the dialog is built with: values, or bindings made with
    // Qt.binding(), in place before its first frame and its own handlers.
    property var dialogProperties: ({})

    active: false
    onActiveChanged: {
        if (active && !item)
            setSource(dialogSource, dialogProperties)
    }
    onItemChanged: {
        if (!item)
            return
        const dialog = item as Item
        dialog.parent = dialogLoader.parent
        dialog.x = dialogLoader.x
        dialog.y = dialogLoader.y
        dialog.z = dialogLoader.z
    }
}
