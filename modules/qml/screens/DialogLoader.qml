import QtQuick

// A dialog built on its first opening (`active`) and released by turning
// `active` off. The built dialog is placed beside the loader, in the
// window, so that it is centred and dragged within the whole window.
Loader {
    id: dialogLoader

    active: false
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
