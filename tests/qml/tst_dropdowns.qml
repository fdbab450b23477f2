import QtQuick
import QtTest
import "qrc:/modules/qml/common"

// DropDownList, DropDownGrid and DropDownSlider.
Item {
    id: scene

    width: 600
    height: 500

    Component {
        id: listComponent

        DropDownList {
            x: 20
            y: 10
            width: 120
            mdItems: ListModel {}
        }
    }

    Component {
        id: gridComponent

        DropDownGrid {
            x: 20
            y: 10
            width: 100
            mdItems: ListModel {}
        }
    }

    Component {
        id: sliderComponent

        DropDownSlider {
            x: 20
            y: 10
            width: 120
        }
    }

    // A second Tab stop, where the focus starts and goes when Tab leaves.
    Item {
        id: elsewhere

        activeFocusOnTab: true
    }

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

        function test_twelveRowsShowTenAndAScrollBarAndSlideIn60ms() {
            const list = makeList(12)
            compare(list.count, 12)
            compare(list.slideDuration, 60)
            const started = Date.now()
            mouseClick(list, 10, 12)
            verify(list.isDrop)
            tryVerify(() => !list.isAnimating, 1000)
            const took = Date.now() - started
            verify(took >= 50 && took < 400, "slide took " + took + " ms")
            compare(slideBox(list).height, 240)
            const scrollBar = findChild(list, "scrollBar")
            verify(scrollBar.visible)
            compare(scrollBar.width, 12)

            const drags = spy(list, "dragSignal")
            const handle = scrollBar.children[0]
            mousePress(handle, 6, 6)
            mouseMove(handle, 6, 60)
            mouseRelease(handle, 6, 60)
            compare(drags.count, 2)
            compare(drags.signalArguments[0][0], true)
            compare(drags.signalArguments[1][0], false)
        }

        function test_fourRowsOpenAndClose() {
            const list = makeList(4)
            // A long name is cut with an ellipsis inside its row.
            list.mdItems.setProperty(0, "textValue", "A profile name far too long for the row")
            compare(list.slideDuration, 140)
            const clicks = spy(list, "btnClick")
            const values = spy(list, "valueChange")
            // While it slides, a click only reports and closeMenu is ignored.
            mouseClick(list, 10, 12)
            verify(list.isAnimating)
            mouseClick(list, 10, 12)
            list.closeMenu()
            compare(clicks.count, 2)
            verify(list.isDrop)
            tryVerify(() => !list.isAnimating, 1000)
            compare(slideBox(list).height, 96)
            verify(!findChild(list, "scrollBar").visible)
            const longRow = child(list, "rowText0")
            verify(longRow.truncated)
            verify(longRow.x + longRow.width <= list.width)
            // Closing by the box reports no choice.
            mouseClick(list, 10, 12)
            tryVerify(() => !list.isAnimating, 1000)
            verify(!list.isDrop)
            compare(values.count, 0)
            compare(slideBox(list).height, 0)
            mouseClick(list, 10, 12)
            tryVerify(() => !list.isAnimating, 1000)
            list.closeMenu()
            verify(!list.isDrop)
        }

        // Keys after Tab has reached the control; 0 waits for the slide to
        // end. `reported` lists what reached the control's user: a list's
        // valueChange rows, a grid's choice at each btnClick, a slider
        // panel's valueChange positions.
        function test_keys_data() {
            const wait = 0
            return [
                { tag: "list closed: Down picks the next row at once", kind: "list",
                  keys: [Qt.Key_Down], choice: 3, reported: [3], open: false },
                { tag: "list: Space opens, Up twice, Return picks", kind: "list",
                  keys: [Qt.Key_Space, wait, Qt.Key_Up, Qt.Key_Up, Qt.Key_Return, wait],
                  choice: 0, reported: [0], open: false },
                { tag: "list: Escape closes without a choice", kind: "list",
                  keys: [Qt.Key_Space, wait, Qt.Key_Down, Qt.Key_Escape, wait],
                  choice: 2, reported: [], open: false },
                { tag: "list: Tab away closes it", kind: "list",
                  keys: [Qt.Key_Space, wait, Qt.Key_Tab, wait], choice: 2, reported: [], open: false },
                { tag: "grid closed: Right then Down", kind: "grid",
                  keys: [Qt.Key_Right, Qt.Key_Down], choice: 4, reported: [1, 4], open: false },
                { tag: "grid: Enter opens, Right skips to a cell, Return picks", kind: "grid",
                  keys: [Qt.Key_Enter, wait, Qt.Key_Right, Qt.Key_Right, Qt.Key_Return, wait],
                  choice: 2, reported: [2], open: false },
                { tag: "grid: Down stops at the last cell with a text", kind: "grid",
                  keys: [Qt.Key_Right, Qt.Key_Right, Qt.Key_Down], choice: 2, reported: [1, 2], open: false },
                { tag: "grid: Escape closes", kind: "grid",
                  keys: [Qt.Key_Space, wait, Qt.Key_Escape, wait], choice: 0, reported: [], open: false },
                { tag: "slider: Return opens, Right steps a pixel", kind: "slider",
                  keys: [Qt.Key_Return, wait, Qt.Key_Right], reported: [48], open: true },
                { tag: "slider: Escape closes", kind: "slider",
                  keys: [Qt.Key_Space, wait, Qt.Key_Escape, wait], reported: [], open: false },
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
            compare(reported, data.reported)
            compare(control.isDrop, data.open)
            compare(slideBox(control).shown, data.open)
            if (data.choice !== undefined)
                compare(control.currentSelect, data.choice)
        }

        function test_valueChangeOnlyWhenTheClosingSlideEnds() {
            const list = makeList(4)
            compare(list.currentSelect, 2)
            compare(list.textValue, "Row 2")
            const order = []
            list.btnClick.connect(() => order.push("btnClick:" + list.isDrop))
            list.valueChange.connect((index) => order.push("valueChange:" + index + ":" + list.isAnimating))
            mouseClick(list, 10, 12)
            compare(order, ["btnClick:false"])
            tryVerify(() => !list.isAnimating, 1000)
            mouseClick(list, 10, 24 + 24 + 12)   // row 1
            compare(list.currentSelect, 1)
            compare(list.textValue, "Row 1")
            compare(order.length, 1)
            verify(list.isAnimating)
            tryCompare(order, "length", 2, 1000)
            compare(order[1], "valueChange:1:false")
            verify(!list.isDrop)
        }

        function test_gridPicksAndReports() {
            const grid = createTemporaryObject(gridComponent, scene)
            for (const text of ["Player", "Next", "Stop", "Mute", "", ""])
                grid.mdItems.append({ textValue: text })
            compare(grid.currentSelect, 0)
            compare(grid.textValue, "Player")
            const clicks = spy(grid, "btnClick")
            mouseClick(grid, 10, 12)
            compare(clicks.count, 0)        // the box opens without a signal
            verify(grid.isDrop)
            tryVerify(() => !grid.isAnimating, 1000)
            compare(slideBox(grid).height, 48)
            compare(slideBox(grid).width, 300)
            mouseClick(grid, 100 + 10, 24 + 12)     // cell 1: "Next"
            compare(grid.currentSelect, 1)
            compare(clicks.count, 1)
            verify(!grid.isDrop)
            tryVerify(() => !grid.isAnimating, 1000)

            mouseClick(grid, 10, 12)
            tryVerify(() => !grid.isAnimating, 1000)
            mouseClick(grid, 200 + 10, 48 + 12)     // cell 5: empty
            compare(grid.currentSelect, 1)
            compare(clicks.count, 2)
            verify(!grid.isDrop)

            grid.closeMenu()                // always closes, also when closed
            verify(!grid.isDrop)
        }

        function test_sliderPanelPassesTheSliderOn() {
            const dropSlider = createTemporaryObject(sliderComponent, scene)
            compare(dropSlider.sliderControl.width, 104)
            const values = spy(dropSlider, "valueChange")
            const clicks = spy(dropSlider, "btnClick")
            dropSlider.setValue(0.5)
            compare(values.count, 1)
            compare(values.signalArguments[0][0], Math.floor(86 * 0.5) + 4)
            compare(dropSlider.sliderControl.knobPosition, 47)
            compare(dropSlider.textValue, "")       // set only by its user

            const started = Date.now()
            mouseClick(dropSlider, 10, 12)
            compare(clicks.count, 1)
            verify(dropSlider.isDrop)
            tryVerify(() => !dropSlider.isAnimating, 1000)
            verify(Date.now() - started >= 150)
            compare(slideBox(dropSlider).height, 24)

            const drags = spy(dropSlider, "dragSignal")
            const knob = dropSlider.sliderControl.children[2]
            mousePress(knob, 6, 6)
            mouseMove(knob, 16, 6)
            mouseRelease(knob, 16, 6)
            compare(drags.count, 2)
            verify(values.count >= 2)
            compare(values.signalArguments[values.count - 1][0], 57)

            dropSlider.closeMenu()
            verify(!dropSlider.isDrop)
        }
    }
}
