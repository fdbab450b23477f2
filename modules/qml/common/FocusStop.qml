import QtQuick

// A Tab stop over a clickable area that is not a button of its own (a row,
// a call-out): named for screen readers, ringed when focused, and Space or
// Enter activate it as a click does. One that starts a key capture acts on
// the key's release, so that the release is not the first key captured.
Item {
    id: focusStop

    // Where the scene's focus ring goes while this has the keyboard focus.
    readonly property Item focusFrame: focusStop

    property string name: ""
    property bool actsOnRelease: false

    signal activated()

    anchors.fill: parent
    activeFocusOnTab: true
    Accessible.role: Accessible.Button
    Accessible.name: name
    Accessible.focusable: true
    Accessible.onPressAction: focusStop.activated()
    Keys.onSpacePressed: if (!focusStop.actsOnRelease) focusStop.activated()
    Keys.onReturnPressed: if (!focusStop.actsOnRelease) focusStop.activated()
    Keys.onEnterPressed: if (!focusStop.actsOnRelease) focusStop.activated()
    Keys.onReleased: (event) => {
        if (focusStop.actsOnRelease && !event.isAutoRepeat
                && [Qt.Key_Space, Qt.Key_Return, Qt.Key_Enter].includes(event.key)) {
            event.accepted = true
            focusStop.activated()
        }
    }
}
