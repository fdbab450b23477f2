import QtQuick
import "../basic/theme.js" as Theme

// A flat text button: blue face, orange under the pointer. Space and Enter
// press it like a click.
Rectangle {
    id: textButton

    // Where the scene's focus ring goes while this has the keyboard focus.
    readonly property Item focusFrame: textButton

    property string textValue: ""
    property color faceColor: Theme.colorBlue
    property bool bold: false
    readonly property bool hovered: area.containsMouse
    // The HID usage of the key pressing it while `clicked` runs, else 0: a
    // key recorder that the button stops may have taken that press too.
    property int pressingUsage: 0

    signal clicked()

    function pressBy(event: var, usage: int) {
        if (event.isAutoRepeat)
            return
        pressingUsage = usage
        clicked()
        pressingUsage = 0
    }

    // Wide enough for its text in any language unless a width is given;
    // a given width cuts a longer text (whole in the tooltip).
    width: Math.max(64, label.implicitWidth + 16)
    height: 24
    radius: 2
    color: hovered ? Theme.colorOrange : faceColor
    activeFocusOnTab: true
    Accessible.role: Accessible.Button
    Accessible.name: textValue
    Accessible.focusable: true
    Accessible.onPressAction: textButton.clicked()
    // HID usages of Space, Return and the keypad's Enter.
    Keys.onSpacePressed: (event) => textButton.pressBy(event, 0x2C)
    Keys.onReturnPressed: (event) => textButton.pressBy(event, 0x28)
    Keys.onEnterPressed: (event) => textButton.pressBy(event, 0x58)

    FittedText {
        id: label

        anchors.centerIn: parent
        width: Math.min(implicitWidth, parent.width - 8)
        text: textButton.textValue
        font.bold: textButton.bold
        tipHost: textButton
        tipHovered: textButton.hovered
    }

    MouseArea {
        id: area

        anchors.fill: parent
        hoverEnabled: true
        onClicked: textButton.clicked()
    }
}
