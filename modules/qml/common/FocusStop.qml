import QtQuick

// A Tab stop over a clickable area that is not a button of its own (a row,
// a call-out): named for screen readers, ringed when focused, and Space or
// Enter activate it as a click does.
Item {
    id: focusStop

    // Where the scene's focus ring goes while this has the keyboard focus.
    readonly property Item focusFrame: focusStop

    property string name: ""

    signal activated()

    anchors.fill: parent
    activeFocusOnTab: true
    Accessible.role: Accessible.Button
    Accessible.name: name
    Accessible.focusable: true
    Accessible.onPressAction: focusStop.activated()
    Keys.onSpacePressed: focusStop.activated()
    Keys.onReturnPressed: focusStop.activated()
    Keys.onEnterPressed: focusStop.activated()
}
