import QtQuick
import "../common"
import "../basic/theme.js" as Theme

// The insert-key box over the editor's own mask: the next key pressed
// fills its field; OK inserts its press and release, Escape closes it
// without inserting. While it waits for the key, every key is that key:
// the window's own copy of it is swallowed, and the focus goes to OK only
// once the window has seen the taken key, so that an Enter taken is not
// also an OK. The field, activated, waits for another key.
Rectangle {
    id: insertKeyBox

    property string title
    // The key pressed last.
    property string keyText
    property string okText
    // Set by the editor while it takes the key from the keyboard.
    property bool waiting: false
    // Where the focus goes when the box closes.
    property Item returnFocus: null

    signal confirmed()
    signal cancelled()
    signal retake()

    function open() {
        visible = true
        keySink.forceActiveFocus()
    }

    // The focus goes to OK once the key is taken and the window has seen
    // its press (the press would otherwise reach OK).
    function offerOk() {
        if (!waiting && keySink.activeFocus && keySink.pressSeen)
            okButton.forceActiveFocus(Qt.OtherFocusReason)
    }

    objectName: "insertKeyBox"
    anchors.fill: parent
    z: 20
    visible: false
    color: "#90000000"
    onWaitingChanged: {
        if (waiting) {
            keySink.pressSeen = false
            keySink.forceActiveFocus()
        } else {
            offerOk()
        }
    }
    onVisibleChanged: {
        if (!visible && returnFocus)
            returnFocus.forceActiveFocus()
    }

    MouseArea {
        anchors.fill: parent
        onWheel: (wheel) => { wheel.accepted = true }
    }

    Rectangle {
        anchors.centerIn: parent
        width: 260
        height: 124
        color: Theme.colorGray0
        border.color: Theme.colorGray1
        Keys.onEscapePressed: insertKeyBox.cancelled()

        Item {
            id: keySink

            property bool pressSeen: false

            objectName: "insertKeySink"
            Keys.onPressed: (event) => {
                event.accepted = true
                pressSeen = true
            }
            Keys.onReleased: (event) => {
                event.accepted = true
                insertKeyBox.offerOk()
            }
        }

        Rectangle {
            width: parent.width
            height: 30
            color: Theme.colorBlack

            ThemedText {
                anchors.left: parent.left
                anchors.leftMargin: 10
                anchors.verticalCenter: parent.verticalCenter
                text: insertKeyBox.title
                font.pixelSize: Theme.fontMiddleSize
                font.bold: true
            }
        }

        Rectangle {
            objectName: "insertKeyField"
            x: 20
            y: 48
            width: 220
            height: 24
            color: insertKeyBox.waiting ? Theme.colorOrange : Theme.colorBlue
            border.color: Theme.colorOrange

            ThemedText {
                anchors.centerIn: parent
                text: insertKeyBox.keyText
            }

            MouseArea {
                anchors.fill: parent
                onClicked: insertKeyBox.retake()
            }

            FocusStop {
                id: fieldStop

                objectName: "insertKeyStop"
                name: insertKeyBox.title + ": " + insertKeyBox.keyText
                actsOnRelease: true
                // Tab and Backtab stay with the field and OK.
                KeyNavigation.tab: okButton
                KeyNavigation.backtab: okButton
                onActivated: insertKeyBox.retake()
            }
        }

        TextButton {
            id: okButton

            objectName: "insertKeyOk"
            anchors.right: parent.right
            anchors.rightMargin: 20
            y: 86
            width: 88
            textValue: insertKeyBox.okText
            KeyNavigation.tab: fieldStop
            KeyNavigation.backtab: fieldStop
            onClicked: insertKeyBox.confirmed()
        }
    }
}
