import QtQuick
import "../common"
import "../basic/theme.js" as Theme
import "light.js" as Light

// The lighting panel: effect, speed and brightness, and eight colours edited
// with the hue bar and R, G, B fields. Edits only mark the panel unsaved;
// Save stores and sends saveValues().
Rectangle {
    id: lightControlMain

    property bool isSave: false
    property var lightControlLang: ["Light", "Static", "Breath", "Neon", "OFF", "Speed", "Color",
        "Brightness", "Twinkling", "Wave", "Gliding", "Finger Moving", "Vertical Flipping",
        "YO-YO", "Spotlight", "Breath Loop", "Restore defaults", "Red", "Green", "Blue",
        "Lighting effect", "Color %1", "Hue"]
    property bool isColorful: false
    property bool is55328: false
    // Stage count of the DPI panel: without full colour lighting the blocks
    // are the stage colours.
    property int dpiCount: 4
    property int skinNo: 1

    property int effect: 0
    property var colors: Light.defaultColors.slice()
    property int selectColorBlock: 0
    // Marker position of each block on the hue bar.
    property var markers: [0, 0, 0, 0, 0, 0, 0, 0]
    property bool listExtended: false
    readonly property var effectList: Light.effects(listExtended && isColorful,
                                                    listExtended && is55328)
    readonly property var currentEffect: Light.effectAt(effectList, effect)
    readonly property int speedStep: speedSlider.segmentValue
    readonly property int brightStep: brightSlider.segmentValue

    property alias lightModel: lightModel

    function lang(index: int): string {
        const text = lightControlLang[index]
        return text === undefined || text === null ? "" : String(text)
    }

    onLightControlLangChanged: fillEffectRows()

    function fillEffectRows() {
        const list = Light.effects(isColorful, is55328)
        const rows = listExtended ? list.length : Light.baseEffects.length
        while (effectModel.count > rows)
            effectModel.remove(effectModel.count - 1)
        for (let i = 0; i < rows; ++i) {
            if (i < effectModel.count)
                effectModel.setProperty(i, "textValue", lang(list[i].label))
            else
                effectModel.append({ textValue: lang(list[i].label) })
        }
    }

    // Shows the stored lighting `light` as the session reads it.
    function load(light: var) {
        // The extra effects join the list at the first load.
        listExtended = true
        fillEffectRows()
        // An effect this mouse does not have shows as Static.
        effect = light.effect < effectList.length ? light.effect : 0
        lightModel.currentSelect = effect
        speedSlider.setIndexValue(light.speed, false)
        brightSlider.setIndexValue(light.brightness, false)
        const list = []
        for (let i = 0; i < Light.blockCount; ++i)
            list.push(Light.colorText(light.colours[3 * i], light.colours[3 * i + 1],
                                      light.colours[3 * i + 2]))
        colors = list
        markers = colors.map((color) => placementOf(color))
        selectBlock(0)
    }

    // What Save stores and sends.
    function saveValues(): var {
        return { effect: effect, speed: speedStep, brightness: brightStep,
                 colours: Light.colorList(colors, is55328, effect) }
    }

    function pickEffect(row: int) {
        effect = row
        lightModel.currentSelect = row
        const e = currentEffect
        if (e.speedStep !== null)
            speedSlider.setIndexValue(e.speedStep, false)
        if (e.brightStep !== null)
            brightSlider.setIndexValue(e.brightStep, false)
        selectBlock(0)
        isSave = true
    }

    function placementOf(color: string): int {
        const c = Light.components(color)
        return Light.markerPosition(c[0], c[1], c[2])
    }

    function setMarker(index: int, position: int) {
        const list = markers.slice()
        list[index] = position
        markers = list
    }

    function setColor(index: int, color: string) {
        const list = colors.slice()
        list[index] = color
        colors = list
    }

    function showFields(color: string) {
        const c = Light.components(color)
        redField.textValue = String(c[0])
        greenField.textValue = String(c[1])
        blueField.textValue = String(c[2])
    }

    function selectBlock(index: int) {
        // A focused block takes the focus along first: the row's Tab stop is
        // the selected block, and a focused item cannot leave the Tab order.
        const focused = blocks.itemAt(selectColorBlock)
        const chosen = blocks.itemAt(index)
        if (focused && focused.activeFocus && chosen)
            chosen.forceActiveFocus(Qt.TabFocusReason)
        selectColorBlock = index
        showFields(colors[index])
    }

    // The marker at position p: the selected block and the fields follow.
    function dragMarker(p: int) {
        const position = Light.clampPosition(p)
        const c = Light.hueAt(position)
        setMarker(selectColorBlock, position)
        setColor(selectColorBlock, Light.colorText(c[0], c[1], c[2]))
        showFields(colors[selectColorBlock])
    }

    // The next shown block `steps` away, round the row: the arrow keys.
    function stepBlock(steps: int) {
        for (let i = 1; i <= Light.blockCount; ++i) {
            const index = (selectColorBlock + steps * i + Light.blockCount) % Light.blockCount
            const block = blocks.itemAt(index)
            if (block && block.visible) {
                selectBlock(index)
                return
            }
        }
    }

    // A key on the hue bar moves the marker as a drag does.
    function nudgeMarker(pixels: int) {
        dragMarker(markers[selectColorBlock] + pixels)
        isSave = true
    }

    function fieldsEdited() {
        const color = Light.colorText(Light.fieldValue(redField.textValue),
                                      Light.fieldValue(greenField.textValue),
                                      Light.fieldValue(blueField.textValue))
        setColor(selectColorBlock, color)
        setMarker(selectColorBlock, placementOf(color))
        isSave = true
    }

    function resetValues() {
        load(ui_View.profileSettings(true).lighting)
        isSave = true
    }

    function lightControlFocus() {
        lightModel.closeMenu()
        redField.closeFocus()
        greenField.closeFocus()
        blueField.closeFocus()
    }

    width: 232
    height: Light.panelHeight(currentEffect)
    color: Theme.colorBlack

    FittedText {
        id: title

        x: 8
        y: 8
        width: lightModel.x - x - 8
        text: lightControlMain.lang(0)
        font.pixelSize: Theme.fontMiddleSize
        font.bold: true
    }

    // Declared first: the Tab order follows the declarations, and the
    // drop-down comes first in reading order.
    DropDownList {
        id: lightModel

        objectName: "lightModel"
        anchors.right: resetMark.left
        anchors.rightMargin: 12
        y: 4
        z: 2
        width: 112
        mdItems: ListModel { id: effectModel }
        description: lightControlMain.lang(20)
        onValueChange: (index) => lightControlMain.pickEffect(index)
    }

    ImageButton {
        id: resetMark

        objectName: "resetMark"
        anchors.right: parent.right
        anchors.rightMargin: 8
        anchors.verticalCenter: title.verticalCenter
        normalSource: Theme.skinImage(lightControlMain.skinNo, "index", "back")
        hoverSource: Theme.skinImage(lightControlMain.skinNo, "index", "backHover")
        description: lightControlMain.lang(16)
        onClicked: lightControlMain.resetValues()
    }

    Column {
        id: params

        x: 8
        y: 40
        topPadding: visibleChildren.length > 0 ? 8 : 0

        ParamRow {
            id: speedRow

            objectName: "speedRow"
            visible: lightControlMain.currentEffect.speed
            caption: lightControlMain.lang(5)
            step: speedSlider.segmentValue

            SliderButton {
                id: speedSlider

                objectName: "speedSlider"
                Accessible.name: lightControlMain.lang(5)

                x: 70
                anchors.verticalCenter: parent.verticalCenter
                width: 96
                isScale: true
                segment: 4
                onValueChangeDelay: lightControlMain.isSave = true
            }
        }

        ParamRow {
            id: brightRow

            objectName: "brightRow"
            visible: lightControlMain.currentEffect.bright
            caption: lightControlMain.lang(7)
            step: brightSlider.segmentValue

            SliderButton {
                id: brightSlider

                objectName: "brightSlider"
                Accessible.name: lightControlMain.lang(7)

                x: 70
                anchors.verticalCenter: parent.verticalCenter
                width: 96
                isScale: true
                segment: 4
                onValueChangeDelay: lightControlMain.isSave = true
            }
        }
    }

    Item {
        id: colorSection

        objectName: "colorSection"
        x: 8
        y: params.y + params.height
        width: 216
        height: 128
        // Effects without colours cover the section; their fields and bar
        // leave the Tab order too.
        enabled: lightControlMain.currentEffect.colors

        ThemedText {
            text: lightControlMain.lang(6)
            font.bold: true
        }

        Row {
            y: 22
            spacing: 5

            Repeater {
                id: blocks

                model: Light.blockCount

                // qmllint disable unqualified
                delegate: Rectangle {
                    id: block

                    required property int index
                    readonly property bool isSelected: index === lightControlMain.selectColorBlock
                    // Where the scene's focus ring goes while this has the keyboard focus.
                    readonly property Item focusFrame: block

                    objectName: "colorBlock" + index
                    visible: Light.blockVisible(index, lightControlMain.isColorful,
                                                lightControlMain.is55328,
                                                lightControlMain.dpiCount,
                                                lightControlMain.effect)
                    width: 22
                    height: 22
                    radius: 3
                    color: lightControlMain.colors[index]
                    border.width: 2
                    border.color: isSelected ? Theme.colorOrange : Theme.colorGray1
                    // One Tab stop for the row, as a radio group: the selected
                    // block; the arrows choose another.
                    activeFocusOnTab: isSelected
                    Accessible.role: Accessible.RadioButton
                    Accessible.name: lightControlMain.lang(21).arg(index + 1)
                    Accessible.description: String(color)
                    Accessible.checkable: true
                    Accessible.checked: isSelected
                    Accessible.focusable: true
                    Accessible.onPressAction: lightControlMain.selectBlock(index)
                    Keys.onRightPressed: lightControlMain.stepBlock(1)
                    Keys.onDownPressed: lightControlMain.stepBlock(1)
                    Keys.onLeftPressed: lightControlMain.stepBlock(-1)
                    Keys.onUpPressed: lightControlMain.stepBlock(-1)

                    Text {
                        anchors.centerIn: parent
                        text: String(block.index + 1)
                        color: Qt.colorEqual(block.color, "#ffffff")
                               || block.color.hslLightness > 0.6 ? "#000000" : "#ffffff"
                        font.family: Theme.fontFamily
                        font.preferShaping: Theme.needsShaping(text)
                        font.pixelSize: Theme.fontMinSize
                        font.bold: true
                    }

                    MouseArea {
                        anchors.fill: parent
                        onClicked: lightControlMain.selectBlock(block.index)
                    }
                }
                // qmllint enable unqualified
            }
        }

        Image {
            id: hueBar

            // Where the scene's focus ring goes while this has the keyboard focus.
            readonly property Item focusFrame: hueBar

            objectName: "hueBar"
            x: 16
            y: 60
            width: Light.barWidth
            height: 12
            source: Theme.skinImage(lightControlMain.skinNo, "lightControl", "hueBar")
            activeFocusOnTab: true
            Accessible.role: Accessible.Slider
            Accessible.name: lightControlMain.lang(22)
            Accessible.description: String(lightControlMain.colors[lightControlMain.selectColorBlock])
            Accessible.focusable: true
            // A pixel a step; Page Up and Down a sixth of the ring (red,
            // yellow, green, ...); Home and End its ends.
            Keys.onRightPressed: lightControlMain.nudgeMarker(1)
            Keys.onUpPressed: lightControlMain.nudgeMarker(1)
            Keys.onLeftPressed: lightControlMain.nudgeMarker(-1)
            Keys.onDownPressed: lightControlMain.nudgeMarker(-1)
            Keys.onPressed: (event) => {
                const moves = { [Qt.Key_PageUp]: Light.hueSector, [Qt.Key_PageDown]: -Light.hueSector,
                                [Qt.Key_Home]: -Light.barWidth, [Qt.Key_End]: Light.barWidth }
                if (moves[event.key] !== undefined) {
                    event.accepted = true
                    lightControlMain.nudgeMarker(moves[event.key])
                }
            }

            Rectangle {
                objectName: "hueMarker"
                x: lightControlMain.markers[lightControlMain.selectColorBlock] - 1 - width / 2
                y: -3
                width: 6
                height: 18
                radius: 2
                color: lightControlMain.colors[lightControlMain.selectColorBlock]
                border.color: "#ffffff"
                border.width: 1.5
            }

            MouseArea {
                anchors.fill: parent
                anchors.topMargin: -4
                anchors.bottomMargin: -4
                onPressed: (mouse) => lightControlMain.dragMarker(Math.round(mouse.x) + 1)
                onPositionChanged: (mouse) => lightControlMain.dragMarker(Math.round(mouse.x) + 1)
                onReleased: lightControlMain.isSave = true
            }
        }

        Row {
            x: 0
            y: 88
            spacing: 6

            FieldName { text: "R" }

            RectInput {
                id: redField

                objectName: "redField"
                description: lightControlMain.lang(17)
                textValue: "255"
                onInputSignal: lightControlMain.lightModel.closeMenu()
                onEndInputSignal: lightControlMain.fieldsEdited()
            }

            FieldName { text: "G" }

            RectInput {
                id: greenField

                objectName: "greenField"
                description: lightControlMain.lang(18)
                textValue: "255"
                onInputSignal: lightControlMain.lightModel.closeMenu()
                onEndInputSignal: lightControlMain.fieldsEdited()
            }

            FieldName { text: "B" }

            RectInput {
                id: blueField

                objectName: "blueField"
                description: lightControlMain.lang(19)
                textValue: "255"
                onInputSignal: lightControlMain.lightModel.closeMenu()
                onEndInputSignal: lightControlMain.fieldsEdited()
            }
        }

        // Effects whose colours cannot be edited cover the section.
        Rectangle {
            objectName: "colorCover"
            anchors.fill: parent
            anchors.margins: -4
            visible: !lightControlMain.currentEffect.colors
            color: "#c0000000"

            MouseArea {
                anchors.fill: parent
                hoverEnabled: true
                onWheel: (wheel) => { wheel.accepted = true }
            }
        }
    }

    component FieldName: Text {
        width: 14
        height: 20
        horizontalAlignment: Text.AlignRight
        verticalAlignment: Text.AlignVCenter
        color: Theme.fontColor
        font.family: Theme.fontFamily
        font.preferShaping: Theme.needsShaping(text)
        font.pixelSize: Theme.fontNormalSize
    }

    component ParamRow: Item {
        id: paramRow

        property string caption
        property int step: 0

        width: 216
        height: 40

        ThemedText {
            anchors.verticalCenter: parent.verticalCenter
            text: parent.caption
        }

        Rectangle {
            objectName: "percentBox"
            anchors.right: parent.right
            anchors.verticalCenter: parent.verticalCenter
            width: 44
            height: 20
            color: Theme.colorGray0
            border.color: Theme.colorGray1

            ThemedText {
                anchors.centerIn: parent
                text: Light.percentText(paramRow.step)
            }
        }
    }
}
