import QtQuick
import QtTest
import "qrc:/modules/qml/common"

// The common controls: fields, check boxes, radios, buttons, sliders (geometry: tst_libraries) and drop-downs.
Item {
    width: 600; height: 500

    Component { id: inputComponent; RectInput { x: 20; y: 20 } }
    Component { id: checkComponent; CheckBox { x: 40; y: 40; textValue: "Endless" } }
    Component { id: radioComponent; RadioButton { x: 40; y: 40; textValue: "Rows" } }
    Component { id: textButtonComponent; TextButton { x: 40; y: 120; textValue: "Save" } }
    Component { id: imageButtonComponent; ImageButton { x: 40; y: 120; width: 16; height: 16; description: "Help" } }
    Component { id: popupComponent; PopupMenu { x: 200; y: 20; entries: ["Delete", "Import", "Export"] } }
    Component { id: sliderComponent; SliderButton { x: 20; y: 20 } }
    Component { id: listComponent; DropDownList { x: 20; y: 10; width: 120; mdItems: ListModel {} } }
    Component { id: gridComponent; DropDownGrid { x: 20; y: 10; width: 100; mdItems: ListModel {} } }
    Component { id: dropSliderComponent; DropDownSlider { x: 20; y: 10; width: 120 } }
    Item { id: elsewhere; focus: true; activeFocusOnTab: true } // where the focus starts and Tab leaves to

    SceneTestCase {
        name: "SimpleControls"

        // Return ends editing (cleared reads 0, past the maximum held there, four digits at most), closeFocus too.
        function test_fieldEditing_data() {
            return [["cleared reads zero", { minValue: 1, maxValue: 100, textValue: "5" }, [Qt.Key_Backspace, Qt.Key_Return], "0", ["input:5", "end:0"]],
                    ["above the maximum", { maxValue: 255 }, [Qt.Key_3, Qt.Key_0, Qt.Key_0, Qt.Key_Return], "255", ["input:0", "end:255"]],
                    ["four digits", { maxValue: 99999 }, [Qt.Key_1, Qt.Key_2, Qt.Key_3, Qt.Key_4, Qt.Key_5], "1234", ["input:0", "end:1234"]],
            ].map((r) => ({ tag: r[0], props: r[1], keys: r[2], text: r[3], events: r[4] }))
        }

        function test_fieldEditing(data) {
            const input = make(inputComponent, data.props)
            const events = []
            input.inputSignal.connect(() => events.push("input:" + input.textValue))
            input.endInputSignal.connect(() => events.push("end:" + input.textValue))
            input.closeFocus()
            mouseClick(input)
            input.txtInput.selectAll()
            keyClicks(...data.keys)
            input.closeFocus()
            compare([input.textValue, events, input.txtInput.activeFocus, input.txtInput.selectedText], [data.text, data.events, false, ""])
        }

        // A click or an activating key reports alike: a check box before it toggles, a radio once selected (it stays).
        function test_keysActivate_data() {
            return [["check box, Space", checkComponent, Qt.Key_Space, [[5, false]], true],
                    ["check box, Return", checkComponent, Qt.Key_Return, [[5, false]], true],
                    ["check box, clicked twice", checkComponent, 0, [[5, false], [5, true]], false],
                    ["radio, Space", radioComponent, Qt.Key_Space, [[5, true]], true],
                    ["radio, Enter", radioComponent, Qt.Key_Enter, [[5, true]], true],
                    ["radio, clicked twice", radioComponent, 0, [[5, true], [5, true]], true],
                    ["text button, Space", textButtonComponent, Qt.Key_Space, [[undefined, undefined]]],
                    ["image button, Return", imageButtonComponent, Qt.Key_Return, [[undefined, undefined]], undefined, "Help"],
            ].map((r) => ({ tag: r[0], component: r[1], keys: r[2] ? [Qt.Key_Tab, Qt.Key_A, r[2]] : [0, 0], seen: r[3],
                            selected: r[4], toolTip: r[5] }))
        }

        function test_keysActivate(data) {
            const control = make(data.component, data.selected === undefined ? {} : { index: 5 })
            const seen = []
            control[data.selected === undefined ? "clicked" : "btnClick"].connect((index) => seen.push([index, control.isSelect]))
            elsewhere.forceActiveFocus()
            for (const key of data.keys)
                key ? keyClick(key) : mouseClick(control)
            if (data.toolTip)
                compare([child(control, "toolTip").visible, child(control, "toolTip").text], [true, data.toolTip])
            compare([seen, control.isSelect], [data.seen, data.selected])
        }

        // An icon-only button's tooltip shows after a hover, goes with a press and stays away until the pointer leaves.
        function test_toolTipGoesWithAPress() {
            const button = make(imageButtonComponent, {})
            const tip = child(button, "toolTip")
            mouseMove(button, 5, 5)
            tryVerify(() => tip.visible, 2000)
            const seen = walk([() => mousePress(button, 5, 5), () => { mouseRelease(button, 5, 5); wait(50) }], () => tip.visible)
            mouseMove(button, -20, -20)
            mouseMove(button, 5, 5)
            tryVerify(() => tip.visible, 2000)
            compare(seen, [false, false])
        }

        // Tab ends editing unchanged; arrows walk a radio group, choosing; a shown popup menu holds the keys until it closes.
        function test_focusWalks() {
            const input = make(inputComponent, { textValue: "12" })
            const radios = [80, 110].map((y, index) => make(radioComponent, { y, index, objectName: "radio" + index }))
            const ended = spy(input, "endInputSignal")
            const chosen = []
            radios.forEach((radio) => radio.btnClick.connect((index) => chosen.push(index + ":" + radios[index].isSelect)))
            mouseClick(input)
            const walked = walk([Qt.Key_Tab, Qt.Key_Down, Qt.Key_Up], focusName)
            compare([input.textValue, ended.count, walked, chosen], ["12", 1, ["radio0", "radio1", "radio0"], ["1:true", "0:true"]])
            const menu = make(popupComponent)
            const picked = spy(menu, "chosen")
            input.txtInput.forceActiveFocus()
            menu.visible = true
            keyClicks(Qt.Key_Down, Qt.Key_Down, Qt.Key_Down, Qt.Key_Return, Qt.Key_Escape)
            compare([args(picked), menu.visible, input.txtInput.activeFocus], [[[2]], false, true])
        }

        function makeSlider(properties, order) {
            const slider = make(sliderComponent, properties)
            for (const [signal, text] of [["btnClick", "click"], ["valueChange", "value"], ["valueChangeDelay", "delay"], ["dragSignal", "drag"]])
                slider[signal].connect((v) => order.push(v === undefined ? text : text + " " + v))
            return slider
        }

        // A track click glides to the step at or past the pointer, a key moves a step or a pixel, a drag snaps within a pixel.
        function test_sliderMoves_data() {
            const [stepped, wide, narrow] = [{ width: 96, isScale: true, segment: 4 }, { width: 200 }, { width: 100 }]
            const click = (x) => (slider, order) => {
                mousePress(slider, x, 6)
                compare(order, ["click"])
                tryCompare(order, "length", 3, 1000)
                mouseRelease(slider, x, 6)
            }
            const key = (k) => (slider) => { slider.forceActiveFocus(Qt.TabFocusReason); keyClick(k) }
            const pull = (...moves) => (slider) => { mousePress(slider.children[2], 6, 6)
                moves.forEach((dx) => mouseMove(slider.children[2], 6 + dx, 6)); mouseRelease(slider.children[2], 6, 6) }
            return [["click, target past the point", stepped, 81, click(29), 42, 2],
                    ["click, continuous", wide, 3, click(150), 144],
                    ["stepped, Right", stepped, [1], key(Qt.Key_Right), 42, 2, undefined, "2 / 4"],
                    ["stepped, Left at the start", stepped, [0], key(Qt.Key_Left), 3, 0],
                    ["stepped, Up at the end", stepped, [4], key(Qt.Key_Up), 81, 4],
                    ["continuous, Left", narrow, 50, key(Qt.Key_Left), 49, undefined, undefined, "56 %"],
                    ["continuous, Page Up", narrow, 50, key(Qt.Key_PageUp), 58.2],
                    ["continuous, Up at the end", narrow, 85, key(Qt.Key_Up), 85, undefined, undefined, "100 %"],
                    ["drag, continuous, within", narrow, 3, pull(20), 23, undefined, ["click", "drag true", "value 23", "delay 23", "drag false"]],
                    ["drag, continuous, far beyond the end", narrow, 3, pull(20, 194), 85, undefined, ["click", "drag true", "value 23", "value 85", "delay 85", "drag false"]],
                    ["drag, stepped, within the slack", stepped, 3, pull(20), 22.5, 1, "drag false"],
                    ["drag, stepped, beyond the slack", stepped, 3, pull(22), 42, 2, "drag false"],
            ].map((r) => ({ tag: r[0], props: r[1], start: r[2], act: r[3], position: r[4], step: r[5], order: r[6], heard: r[7] }))
        }

        // `order` as a text: the last report only; `heard`: what a screen reader says. Setting the start reports nothing.
        function test_sliderMoves(data) {
            const order = []
            const slider = makeSlider(data.props, order)
            Array.isArray(data.start) ? slider.setIndexValue(data.start[0], false) : slider.setValue(data.start)
            data.act(slider, order)
            compare([slider.knobPosition, slider.segmentValue, typeof data.order === "string" ? order[order.length - 1] : order],
                    [data.position, data.step === undefined ? slider.segmentValue : data.step,
                     data.order || ["click"].concat(["value ", "delay "].map((t) => t + Math.floor(data.position)))])
            if (data.heard)
                compare(slider.Accessible.description, data.heard)
        }

        // A drop-down of `kind`; `reported` gets what reaches the user: valueChange values, a grid's choice at each btnClick.
        function makeControl(kind, rows, reported) {
            const control = make({ list: listComponent, grid: gridComponent, slider: dropSliderComponent }[kind])
            rows.forEach((text) => control.mdItems.append({ textValue: text }))
            control[kind === "grid" ? "btnClick" : "valueChange"].connect((value) => reported.push(kind === "grid" ? control.currentSelect : value))
            if (kind === "slider")
                control.setValue(0.5)
            return control
        }

        function slid(control) { tryVerify(() => !control.isAnimating, 1000) }

        // Ten rows show at most, then a scroll bar; while the box slides a click only reports and closeMenu is ignored.
        function test_dropDownOpenAndClose_data() {
            return [{ tag: "twelve rows", rows: 12, slide: 60, height: 240, bar: true },
                    { tag: "four rows, a row picked", rows: 4, slide: 140, height: 96, bar: false, pick: 1 }]
        }

        function test_dropDownOpenAndClose(data) {
            const values = []
            const list = makeControl("list", Array.from({ length: data.rows }, (_, i) => "Row " + i), values)
            list.mdItems.setProperty(0, "textValue", "A profile name far too long for the row")
            const clicks = spy(list, "btnClick")
            mouseClick(list, 10, 12)
            mouseClick(list, 10, 12)
            list.closeMenu()
            slid(list)
            const longRow = child(list, "rowText0")
            compare([list.slideDuration, clicks.count, list.isDrop, child(list, "slideBox").height, longRow.truncated,
                     longRow.x + longRow.width <= list.width, child(list, "scrollBar").visible], [data.slide, 2, true, data.height, true, true, data.bar])
            const drags = spy(list, "dragSignal")
            if (data.bar)
                drag(child(list, "scrollBar").children[0], 0, 54)
            mouseClick(list, 10, data.pick === undefined ? 12 : 36 + 24 * data.pick)
            compare([values, list.isDrop, list.isAnimating], [[], false, true])
            slid(list)
            compare([args(drags), values, list.textValue, child(list, "slideBox").height],
                    [data.bar ? [[true], [false]] : [], data.pick === undefined ? [] : [data.pick],
                     data.pick === undefined ? "Row 2" : "Row " + data.pick, 0])
        }

        // Keys after Tab has reached the control, or clicks [x, y]; 0 waits for the slide.
        function test_dropDownInput_data() {
            const [w, open, space, down, up, right, esc, ret] = [0, [10, 12], Qt.Key_Space, Qt.Key_Down, Qt.Key_Up,
                                                                 Qt.Key_Right, Qt.Key_Escape, Qt.Key_Return]
            return [["list closed: Down picks the next row at once", "list", [down], 3, [3]],
                    ["list: Space opens, Up twice, Return picks", "list", [space, w, up, up, ret, w], 0, [0]],
                    ["list: Escape closes without a choice", "list", [space, w, down, esc, w], 2, []],
                    ["list: Tab away closes it", "list", [space, w, Qt.Key_Tab, w], 2, []],
                    ["list: a choice is reported once", "list", [space, w, down, ret, w, space, w, esc, w], 3, [3]],
                    ["grid closed: Right then Down", "grid", [right, down], 4, [1, 4]],
                    ["grid: Enter opens, Right skips to a cell, Return picks", "grid", [Qt.Key_Enter, w, right, right, ret, w], 2, [2]],
                    ["grid: Down stops at the last cell with a text", "grid", [right, right, down], 2, [1, 2]],
                    ["grid: Escape closes", "grid", [space, w, esc, w], 0, []],
                    ["grid: a click opens it without a signal", "grid", [open, w], 0, [], 48],
                    ["grid: a cell with a text is chosen", "grid", [open, w, [110, 36], w], 1, [1]],
                    ["grid: an empty cell closes it", "grid", [open, w, [210, 60], w], 0, [0]],
                    ["slider: Return opens, Right steps a pixel", "slider", [ret, w, right], undefined, [47, 48], 24],
                    ["slider: Escape closes", "slider", [space, w, esc, w], undefined, [47]],
                    ["slider: a click opens it, its slider reports a drag", "slider",
                     [open, w, (c) => drag(c.sliderControl.children[2], 10, 0)], undefined, [47, 57], 24],
            ].map((r) => ({ tag: r[0], kind: r[1], keys: r[2], choice: r[3], reported: r[4], height: r[5] }))
        }

        function test_dropDownInput(data) {
            const reported = []
            const control = makeControl(data.kind, { list: ["Row 0", "Row 1", "Row 2", "Row 3"], slider: [],
                                                     grid: ["Player", "Next", "Stop", "Mute", "Louder", ""] }[data.kind], reported)
            elsewhere.forceActiveFocus()
            keyClick(Qt.Key_Tab)
            verify(control.activeFocus)
            for (const key of data.keys)
                (typeof key === "function" ? key : Array.isArray(key) ? (c) => mouseClick(c, key[0], key[1])
                                                 : key ? () => keyClick(key) : slid)(control)
            const box = child(control, "slideBox")
            compare([reported, control.isDrop, box.shown, control.currentSelect, box.shown ? box.height : 0, !!box.panelItem],
                    [data.reported, !!data.height, !!data.height, data.choice, data.height || 0, !!data.height && data.kind !== "slider"])
        }
    }
}
