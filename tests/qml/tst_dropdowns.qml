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
