import QtQuick

// A picture button that shows its hover picture under the pointer.
Image {
    id: imageButton

    property url normalSource
    property url hoverSource
    readonly property bool hovered: area.containsMouse

    signal clicked()

    source: hovered && String(hoverSource) !== "" ? hoverSource : normalSource

    MouseArea {
        id: area

        anchors.fill: parent
        hoverEnabled: true
        onClicked: imageButton.clicked()
    }
}
