import QtQuick

Rectangle {
    color: "#26272b"

    Text {
        anchors.centerIn: parent
        text: "Qt floor"
        color: "white"
        font.pixelSize: 24
    }
}
