import QtQuick
import QtTest
import "qrc:/modules/qml/common"

Item {
    width: 600; height: 500

    Component { id: listComponent; DropDownList { x: 20; y: 10; width: 120; mdItems: ListModel {} } }
    Component { id: gridComponent; DropDownGrid { x: 20; y: 10; width: 100; mdItems: ListModel {} } }
    Component { id: sliderComponent; DropDownSlider { x: 20; y: 10; width: 120 } }
    Item { id: elsewhere; activeFocusOnTab: true } // where the focus starts and Tab leaves to

    SceneTestCase {
        name: "DropDowns"

        // `reported` gets what reaches the user: valueChange values, a grid's choice at each btnClick.
        function makeControl(kind, rows, reported) {
            const control = make({ list: listComponent, grid: gridComponent, slider: sliderComponent }[kind])
            rows.forEach((text) => control.mdItems.append({ textValue: text }))
            control[kind === "grid" ? "btnClick" : "valueChange"].connect((value) => reported.push(kind === "grid" ? control.currentSelect : value))
            if (kind === "slider")
                control.setValue(0.5)
            return control
        }

        function settle(control) { tryVerify(() => !control.isAnimating, 1000) }

        // Ten rows show at most, then a scroll bar; a long name is cut in its row. While the box slides a click
        // only reports and closeMenu is ignored; closing by the box reports no choice, a row once the slide ends.
        function test_openAndClose_data() {
            return [{ tag: "twelve rows", rows: 12, slide: 60, height: 240, bar: true },
                    { tag: "four rows, a row picked", rows: 4, slide: 140, height: 96, bar: false, pick: 1 }]
        }

        function test_openAndClose(data) {
            const values = []
            const list = makeControl("list", Array.from({ length: data.rows }, (_, i) => "Row " + i), values)
            list.mdItems.setProperty(0, "textValue", "A profile name far too long for the row")
            const clicks = spy(list, "btnClick")
            mouseClick(list, 10, 12)
            mouseClick(list, 10, 12)
            list.closeMenu()
            settle(list)
            const longRow = child(list, "rowText0")
            compare([list.slideDuration, clicks.count, list.isDrop, child(list, "slideBox").height, longRow.truncated,
                     longRow.x + longRow.width <= list.width, child(list, "scrollBar").visible], [data.slide, 2, true, data.height, true, true, data.bar])
            const drags = spy(list, "dragSignal")
            if (data.bar)
                drag(child(list, "scrollBar").children[0], 0, 54)
            mouseClick(list, 10, data.pick === undefined ? 12 : 36 + 24 * data.pick)
            compare([values, list.isDrop, list.isAnimating], [[], false, true])
            settle(list)
            compare([args(drags), values, list.textValue, child(list, "slideBox").height],
                    [data.bar ? [[true], [false]] : [], data.pick === undefined ? [] : [data.pick],
                     data.pick === undefined ? "Row 2" : "Row " + data.pick, 0])
        }

        // Keys after Tab has reached the control, or clicks [x, y]; 0 waits for the slide.
        function test_input_data() {
            const [w, open, space, down, up, right, esc, ret] = [0, [10, 12], Qt.Key_Space, Qt.Key_Down, Qt.Key_Up,
                                                                 Qt.Key_Right, Qt.Key_Escape, Qt.Key_Return]
            return [["list closed: Down picks the next row at once", "list", [down], 3, [3]],
                    ["list: Space opens, Up twice, Return picks", "list", [space, w, up, up, ret, w], 0, [0]],
                    ["list: Escape closes without a choice", "list", [space, w, down, esc, w], 2, []],
                    ["list: Tab away closes it", "list", [space, w, Qt.Key_Tab, w], 2, []],
                    ["list: a choice is reported once", "list", [space, w, down, ret, w, space, w, esc, w], 3, [3]],
                    ["grid closed: Right then Down", "grid", [right, down], 4, [1, 4]],
                    ["grid: Enter opens, Right skips to a cell, Return picks", "grid",
                     [Qt.Key_Enter, w, right, right, ret, w], 2, [2]],
                    ["grid: Down stops at the last cell with a text", "grid", [right, right, down], 2, [1, 2]],
                    ["grid: Escape closes", "grid", [space, w, esc, w], 0, []],
                    ["grid: a click opens it without a signal", "grid", [open, w], 0, [], 48],
                    ["grid: a cell with a text is chosen", "grid", [open, w, [110, 36], w], 1, [1]],
                    ["grid: an empty cell closes it", "grid", [open, w, [210, 60], w], 0, [0]],
                    ["grid: closeMenu closes it", "grid", [open, w, (c) => c.closeMenu(), w], 0, []],
                    ["slider: Return opens, Right steps a pixel", "slider", [ret, w, right], undefined, [47, 48], 24],
                    ["slider: Escape closes", "slider", [space, w, esc, w], undefined, [47]],
                    ["slider: closeMenu closes it", "slider", [open, w, (c) => c.closeMenu(), w], undefined, [47]],
                    ["slider: a click opens it, its slider reports a drag", "slider",
                     [open, w, (c) => drag(c.sliderControl.children[2], 10, 0)], undefined, [47, 57], 24],
            ].map((r) => ({ tag: r[0], kind: r[1], keys: r[2], choice: r[3], reported: r[4], height: r[5] }))
        }

        function test_input(data) {
            const reported = []
            const control = makeControl(data.kind, { list: ["Row 0", "Row 1", "Row 2", "Row 3"], slider: [],
                                                     grid: ["Player", "Next", "Stop", "Mute", "Louder", ""] }[data.kind], reported)
            elsewhere.forceActiveFocus()
            keyClick(Qt.Key_Tab)
            verify(control.activeFocus)
            for (const key of data.keys)
                (typeof key === "function" ? key : Array.isArray(key) ? (c) => mouseClick(c, key[0], key[1])
                                                 : key ? () => keyClick(key) : settle)(control)
            const box = child(control, "slideBox")
            // A closed box holds no rows; they are built on opening.
            compare([reported, control.isDrop, box.shown, control.currentSelect, box.shown ? box.height : 0, !!box.panelItem],
                    [data.reported, !!data.height, !!data.height, data.choice, data.height || 0, !!data.height && data.kind !== "slider"])
        }
    }
}
