.pragma library
// Keys of a list whose rows are chosen by a press, whose menu opens on a
// right press and whose row is edited on a double click, so that the
// keyboard does what the pointer does: Up and Down press the row above or
// below, F2 edits the current row, the Menu key or Shift+F10 opens its
// menu at the row and Delete calls `remove`, each where the list has it.
// `pressed(row, right, item, x, y)` and `edit(row)` are the list's own
// pointer handlers.
function handle(view, event, pressed, edit, remove) {
    const row = view.currentIndex
    const menu = event.key === Qt.Key_Menu
        || (event.key === Qt.Key_F10 && (event.modifiers & Qt.ShiftModifier))
    const press = (at, right) => {
        view.currentIndex = at
        const item = view.currentItem || view
        pressed(at, right, item, 8, item.height / 2)
    }
    if (event.key === Qt.Key_Up || event.key === Qt.Key_Down) {
        const next = row + (event.key === Qt.Key_Up ? -1 : 1)
        if (next >= 0 && next < view.count)
            press(next, false)
    } else if (row < 0 || row >= view.count) {
        return
    } else if (menu) {
        press(row, true)
    } else if (event.key === Qt.Key_F2 && edit) {
        edit(row)
    } else if (event.key === Qt.Key_Delete && remove) {
        remove()
    } else {
        return
    }
    event.accepted = true
}
