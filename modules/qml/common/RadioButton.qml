import QtQuick
import "../basic/theme.js" as Theme

// A ring with its label to the right. The screen clears the others of a
// group in its btnClick handler; `group` only tells the arrow keys which
// radios belong together (those with the same parent unless set).
Item {
    id: radioButton

    // Where the scene's focus ring goes while this has the keyboard focus.
    readonly property Item focusFrame: radioButton

    property string textValue: ""
    property bool isSelect: false
    property int index: -1
    property int gapValue: 16
    property Item group: parent

    signal btnClick(int index)

    function activate() {
        isSelect = true
        btnClick(index)
    }

    // Arrows go to the next radio of the group in the Tab order, past other
    // fields between them (a field can belong to a radio's choice).
    function moveInGroup(forward: bool) {
        let item = radioButton as Item
        for (let steps = 0; steps < 1000; ++steps) {
            item = item.nextItemInFocusChain(forward)
            if (!item || item === radioButton)
                return
            const radio = item as RadioButton
            if (radio && radio.group === group) {
                radio.forceActiveFocus(forward ? Qt.TabFocusReason : Qt.BacktabFocusReason)
                radio.activate()
                return
            }
        }
    }

    implicitWidth: ring.width + gapValue + label.implicitWidth
    implicitHeight: Math.max(label.implicitHeight, ring.height)
    width: implicitWidth
    height: implicitHeight
    activeFocusOnTab: true
    Accessible.role: Accessible.RadioButton
    Accessible.name: textValue
    Accessible.checkable: true
    Accessible.checked: isSelect
    Accessible.focusable: true
    Accessible.onPressAction: radioButton.activate()
    Keys.onSpacePressed: radioButton.activate()
    Keys.onReturnPressed: radioButton.activate()
    Keys.onEnterPressed: radioButton.activate()
    Keys.onDownPressed: moveInGroup(true)
    Keys.onRightPressed: moveInGroup(true)
    Keys.onUpPressed: moveInGroup(false)
    Keys.onLeftPressed: moveInGroup(false)

    Rectangle {
        id: ring

        anchors.verticalCenter: parent.verticalCenter
        width: 10
        height: 10
        radius: 5
        color: "transparent"
        border.color: Theme.colorGray3

        Rectangle {
            anchors.centerIn: parent
            width: 6
            height: 6
            radius: 3
            color: Theme.colorOrange
            visible: radioButton.isSelect
        }
    }

    Text {
        id: label

        anchors.verticalCenter: parent.verticalCenter
        x: ring.width + radioButton.gapValue
        text: radioButton.textValue
        color: Theme.fontColor
        font.family: Theme.fontFamily
        font.preferShaping: Theme.needsShaping(text)
        font.pixelSize: Theme.fontNormalSize
    }

    MouseArea {
        anchors.fill: parent
        anchors.margins: -6
        onClicked: radioButton.activate()
    }
}
