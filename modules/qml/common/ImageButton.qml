import QtQuick

// A picture button that shows its hover picture under the pointer. It has
// no text of its own, so `description` names it for screen readers and
// shows as its tooltip.
Image {
    id: imageButton

    // Where the scene's focus ring goes while this has the keyboard focus.
    readonly property Item focusFrame: imageButton

    property url normalSource
    property url hoverSource
    property string description: ""
    readonly property bool hovered: area.containsMouse

    signal clicked()

    source: hovered && String(hoverSource) !== "" ? hoverSource : normalSource
    activeFocusOnTab: true
    Accessible.role: Accessible.Button
    Accessible.name: description
    Accessible.focusable: true
    Accessible.onPressAction: imageButton.clicked()
    Keys.onSpacePressed: imageButton.clicked()
    Keys.onReturnPressed: imageButton.clicked()
    Keys.onEnterPressed: imageButton.clicked()

    MouseArea {
        id: area

        // A press puts the tooltip away until the pointer leaves: it would
        // cover what the click opens (the help menu).
        property bool tipAway: false

        anchors.fill: parent
        hoverEnabled: true
        onPressed: tipAway = true
        onContainsMouseChanged: {
            if (!containsMouse)
                tipAway = false
        }
        onClicked: imageButton.clicked()
    }

    ToolTipBox {
        objectName: "toolTip"
        host: imageButton
        text: imageButton.description
        hovered: imageButton.hovered && !area.tipAway
    }
}
