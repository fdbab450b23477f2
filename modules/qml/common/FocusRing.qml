import QtQuick
import "../basic/theme.js" as Theme

// The scene's one focus ring. It moves into the control that has the
// keyboard focus, or into the part of it the control names as its
// `focusFrame`, so it follows that control's size and place; controls
// without one (text fields show their cursor) get none. A list hands its
// focus on to its current row, so the ring takes the frame of the nearest
// item up from the focus that names one. One ring for the whole scene
// rather than one in every control: a scene has dozens of controls and
// only one focus.
Rectangle {
    // The window's focus item, read by an item that stays in the window
    // (the ring itself leaves it while nothing has a frame).
    property Item focused: null
    readonly property Item frame: frameAbove(focused)

    function frameAbove(item: Item): Item {
        // qmllint disable
        for (let at = item; at !== null; at = at.parent) {
            if (at.focusFrame !== undefined)
                return at.focusFrame
        }
        // qmllint enable
        return null
    }

    parent: frame
    // Only while the user works with the keyboard, not round a control
    // just clicked.
    visible: frame !== null && ui_View.keyboardInUse
    x: -3
    y: -3
    z: 100
    width: frame !== null ? frame.width + 6 : 0
    height: frame !== null ? frame.height + 6 : 0
    radius: 3
    color: "transparent"
    border.color: Theme.colorFocus
    border.width: 1
}
