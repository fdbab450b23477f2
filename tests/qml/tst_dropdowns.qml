import QtQuick
import QtTest
import "qrc:/modules/qml/common"

// DropDownList, DropDownGrid and DropDownSlider.
Item {
    id: scene

    width: 600
    height: 500

    Component { id: listComponent; DropDownList { x: 20; y: 10; width: 120; mdItems: ListModel {} } }

    Component { id: gridComponent; DropDownGrid { x: 20; y: 10; width: 100; mdItems: ListModel {} } }

    Component { id: sliderComponent; DropDownSlider { x: 20; y: 10; width: 120 } }

    // A second Tab stop, where the focus starts and goes when Tab leaves.
    Item { id: elsewhere; activeFocusOnTab: true }

    SceneTestCase {
        name: "DropDowns"

        function makeList(rows) {
            const list = make(listComponent)
            for (let i = 0; i < rows; ++i)
                list.mdItems.append({ textValue: "Row " + i })
            return list
        }

        function slideBox(control) {
            return findChild(control, "slideBox")
        }

        // Ten rows show at most, with a scroll bar past that; a long name is
        // cut inside its row. While the box slides a click only reports and
        // closeMenu is ignored; closing by the box reports no choice and
        // drops the rows.
        function test_openAndClose_data() {
            return [
                { tag: "twelve rows", rows: 12, slide: 60, height: 240, bar: true },
                { tag: "four rows", rows: 4, slide: 140, height: 96, bar: false },
            ]
        }

        function test_openAndClose(data) {
            const list = makeList(data.rows)
            list.mdItems.setProperty(0, "textValue", "A profile name far too long for the row")
            compare(list.slideDuration, data.slide)
            const clicks = spy(list, "btnClick")
            const values = spy(list, "valueChange")
            mouseClick(list, 10, 12)
            verify(list.isAnimating)
            mouseClick(list, 10, 12)
            list.closeMenu()
            compare(clicks.count, 2)
            verify(list.isDrop)
            tryVerify(() => !list.isAnimating, 1000)
            compare(slideBox(list).height, data.height)
            const longRow = child(list, "rowText0")
            verify(longRow.truncated && longRow.x + longRow.width <= list.width)
            const scrollBar = findChild(list, "scrollBar")
            compare(scrollBar.visible, data.bar)
            if (data.bar) {
                const drags = spy(list, "dragSignal")
                drag(scrollBar.children[0], 0, 54)
                compare(args(drags), [[true], [false]])
            }
            mouseClick(list, 10, 12)
            tryVerify(() => !list.isAnimating, 1000)
            verify(!list.isDrop)
            compare([values.count, slideBox(list).height, findChild(list, "rowText0")], [0, 0, null])
        }

        // Keys after Tab has reached the control; 0 waits for the slide to
        // end. `reported` lists what reached the control's user: a list's
        // valueChange rows, a grid's choice at each btnClick, a slider
        // panel's valueChange positions.
        function test_keys_data() {
            const [wait, space, down, up, right, esc, ret] = [0, Qt.Key_Space, Qt.Key_Down, Qt.Key_Up, Qt.Key_Right,
                                                              Qt.Key_Escape, Qt.Key_Return]
            return [
                { tag: "list closed: Down picks the next row at once", kind: "list", keys: [down], choice: 3,
                  reported: [3] },
                { tag: "list: Space opens, Up twice, Return picks", kind: "list",
                  keys: [space, wait, up, up, ret, wait], choice: 0, reported: [0] },
                { tag: "list: Escape closes without a choice", kind: "list", keys: [space, wait, down, esc, wait],
                  choice: 2, reported: [] },
                { tag: "list: Tab away closes it", kind: "list", keys: [space, wait, Qt.Key_Tab, wait], choice: 2,
                  reported: [] },
                { tag: "grid closed: Right then Down", kind: "grid", keys: [right, down], choice: 4, reported: [1, 4] },
                { tag: "grid: Enter opens, Right skips to a cell, Return picks", kind: "grid",
                  keys: [Qt.Key_Enter, wait, right, right, ret, wait], choice: 2, reported: [2] },
                { tag: "grid: Down stops at the last cell with a text", kind: "grid", keys: [right, right, down],
                  choice: 2, reported: [1, 2] },
                { tag: "grid: Escape closes", kind: "grid", keys: [space, wait, esc, wait], choice: 0, reported: [] },
                { tag: "slider: Return opens, Right steps a pixel", kind: "slider", keys: [ret, wait, right],
                  reported: [48], open: true },
                { tag: "slider: Escape closes", kind: "slider", keys: [space, wait, esc, wait], reported: [] },
            ]
        }

        function test_keys(data) {
            const reported = []
            let control
            if (data.kind === "list") {
                control = makeList(4)
                control.valueChange.connect((index) => reported.push(index))
            } else if (data.kind === "grid") {
                control = make(gridComponent)
                for (const text of ["Player", "Next", "Stop", "Mute", "Louder", ""])
                    control.mdItems.append({ textValue: text })
                control.btnClick.connect(() => reported.push(control.currentSelect))
            } else {
                control = make(sliderComponent)
                control.setValue(0.5)
                control.valueChange.connect((position) => reported.push(position))
            }
            elsewhere.forceActiveFocus()
            keyClick(Qt.Key_Tab)
            verify(control.activeFocus)
            for (const key of data.keys) {
                if (key === 0)
                    tryVerify(() => !control.isAnimating, 1000)
                else
                    keyClick(key)
            }
            compare([reported, control.isDrop, slideBox(control).shown], [data.reported, !!data.open, !!data.open])
            if (data.choice !== undefined)
                compare(control.currentSelect, data.choice)
        }

        function test_valueChangeOnlyWhenTheClosingSlideEnds() {
            const list = makeList(4)
            compare([list.currentSelect, list.textValue], [2, "Row 2"])
            const order = []
            list.btnClick.connect(() => order.push("btnClick:" + list.isDrop))
            list.valueChange.connect((index) => order.push("valueChange:" + index + ":" + list.isAnimating))
            pickRow(list, 1)
            compare([list.currentSelect, list.textValue, order, list.isAnimating],
                    [1, "Row 1", ["btnClick:false"], true])
            tryCompare(order, "length", 2, 1000)
            compare(order[1], "valueChange:1:false")
            verify(!list.isDrop)
        }

        // The grid opens without a signal; a cell with a text is chosen, an
        // empty one closes; closeMenu always closes. Its cells go with it.
        function test_gridPicksAndReports() {
            const grid = make(gridComponent)
            for (const text of ["Player", "Next", "Stop", "Mute", "", ""])
                grid.mdItems.append({ textValue: text })
            compare([grid.currentSelect, grid.textValue], [0, "Player"])
            const clicks = spy(grid, "btnClick")
            // Cell 1 ("Next"), then cell 5 (empty).
            for (const [x, y, before] of [[110, 36, 0], [210, 60, 1]]) {
                mouseClick(grid, 10, 12)
                compare(clicks.count, before)
                tryVerify(() => grid.isDrop && !grid.isAnimating, 1000)
                compare([slideBox(grid).width, slideBox(grid).height], [300, 48])
                mouseClick(grid, x, y)
                compare([grid.currentSelect, grid.isDrop], [1, false])
                tryVerify(() => !grid.isAnimating, 1000)
            }
            compare([clicks.count, slideBox(grid).panelItem], [2, null])
            grid.closeMenu()
            verify(!grid.isDrop)
        }

        // The panel's slider reports its position; the panel itself only
        // opens and closes.
        function test_sliderPanelPassesTheSliderOn() {
            const dropSlider = make(sliderComponent)
            compare(dropSlider.sliderControl.width, 104)
            const values = spy(dropSlider, "valueChange")
            const clicks = spy(dropSlider, "btnClick")
            dropSlider.setValue(0.5)
            compare([args(values), dropSlider.sliderControl.knobPosition, dropSlider.textValue],
                    [[[47]], 47, ""])
            mouseClick(dropSlider, 10, 12)
            compare(clicks.count, 1)
            tryVerify(() => dropSlider.isDrop && !dropSlider.isAnimating, 1000)
            compare(slideBox(dropSlider).height, 24)
            const drags = spy(dropSlider, "dragSignal")
            drag(dropSlider.sliderControl.children[2], 10, 0)
            compare(args(drags), [[true], [false]])
            compare(args(values)[values.count - 1], [57])
            dropSlider.closeMenu()
            verify(!dropSlider.isDrop)
        }
    }
}
