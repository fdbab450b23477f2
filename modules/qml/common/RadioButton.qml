import QtQuick
import "../basic/theme.js" as Theme

// A ring with its label to the right. Radio buttons have no group: the
// screen clears the others of a group in its btnClick handler.
Item {
    id: radioButton

    property string textValue: ""
    property bool isSelect: false
    property int index: -1
    property int gapValue: 16

    signal btnClick(int index)

    function activate() {
        isSelect = true
        btnClick(index)
    }

    function moveInGroup(forward: bool) {
        const next = nextItemInFocusChain(forward) as RadioButton
        if (!next || next === radioButton)
            return
        next.forceActiveFocus(forward ? Qt.TabFocusReason : Qt.BacktabFocusReason)
        next.activate()
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
        font.pixelSize: Theme.fontNormalSize
    }

    MouseArea {
        anchors.fill: parent
        anchors.margins: -6
        onClicked: radioButton.activate()
    }

    FocusRing {}
}
