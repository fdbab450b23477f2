import QtQuick
import "../basic/theme.js" as Theme

// A question over its dialog, dimming the dialog behind it: the confirm
// button emits `confirmed`, Cancel and Escape only close it. It takes the
// keyboard focus while open and gives it back to where it was.
Rectangle {
    id: confirmBox

    property string question: ""
    property string confirmText: ""
    property string cancelText: ""
    property Item returnFocus: null

    signal confirmed()

    function ask(text: string) {
        question = text
        const window = Window.window
        returnFocus = window ? window.activeFocusItem : null
        visible = true
        forceActiveFocus()
    }

    anchors.fill: parent
    z: 30
    visible: false
    color: "#90000000"
    Keys.onEscapePressed: visible = false
    onVisibleChanged: {
        if (visible)
            return
        if (activeFocus && returnFocus)
            returnFocus.forceActiveFocus()
        returnFocus = null
    }
    // Tab and Backtab stay with the two answers while the question is open
    // (the answers pass the keys round between them).
    Keys.onTabPressed: cancelButton.forceActiveFocus(Qt.TabFocusReason)
    Keys.onBacktabPressed: okButton.forceActiveFocus(Qt.BacktabFocusReason)

    MouseArea {
        anchors.fill: parent
        onWheel: (wheel) => { wheel.accepted = true }
    }

    Rectangle {
        anchors.centerIn: parent
        width: Math.min(parent.width - 20, 280)
        height: 112
        color: Theme.colorGray0
        border.color: Theme.colorGray1

        Text {
            objectName: "confirmQuestion"
            x: 16
            y: 16
            width: parent.width - 32
            height: 40
            wrapMode: Text.Wrap
            maximumLineCount: 2
            elide: Text.ElideRight
            text: confirmBox.question
            color: Theme.fontColor
            font.family: Theme.fontFamily
            font.preferShaping: Theme.needsShaping(text)
            font.pixelSize: Theme.fontNormalSize
            font.bold: true
        }

        Row {
            anchors.right: parent.right
            anchors.rightMargin: 12
            anchors.bottom: parent.bottom
            anchors.bottomMargin: 12
            spacing: 8

            TextButton {
                id: cancelButton

                objectName: "confirmCancel"
                KeyNavigation.tab: okButton
                KeyNavigation.backtab: okButton
                width: 88
                height: 25
                textValue: confirmBox.cancelText
                onClicked: confirmBox.visible = false
            }

            TextButton {
                id: okButton

                objectName: "confirmOk"
                KeyNavigation.tab: cancelButton
                KeyNavigation.backtab: cancelButton
                width: 88
                height: 25
                textValue: confirmBox.confirmText
                onClicked: {
                    confirmBox.visible = false
                    confirmBox.confirmed()
                }
            }
        }
    }
}
