import QtQuick
import QtTest

// The button and lighting screens inside the main scene: layout, the
// dialog over the mask, keys forwarded from the input hooks. Save and reset
// are checked on the virtual mouse (tst_buttonslightdevice).
Item {
    id: scene

    width: 1024
    height: 640

    SceneTestCase {
        name: "MainButtonsAndLight"

        // One started scene: the checks leave the stored data alone.
        function test_layoutAndDialogs() {
            const main = startMain()
            const panel = child(main, "keyMatrixMain")
            const light = child(main, "lightControlMain")
            const mouse = child(main, "mouseMain")
            const dialog = child(main, "keyAssigmentMain")
            const mask = child(main, "mask")
            compare(panel.mapToItem(main, 0, 0), Qt.point(24, 88))
            compare(light.mapToItem(main, 0, 0).x, 768)
            compare([dialog.z, mouse.keyCount], [11, 8])
            // Factory settings: full colour lighting with all its effects.
            compare(light.lightModel.count, 11)
            compare(child(panel, "keyRow0").children[1].text, "Left Key")

            const list = light.lightModel
            mouseClick(list, 10, 12)
            tryVerify(() => !list.isAnimating && list.isDrop, 1000)
            main.mainFocus()
            verify(!list.isDrop)

            mouseClick(mouse.callOut(2).badge)
            verify(dialog.visible && mask.visible)
            compare([dialog.x, dialog.y], [(1024 - dialog.width) / 2, (640 - dialog.height) / 2])
            mousePress(child(dialog, "closeMark"))
            verify(!dialog.visible && !mask.visible)
            // The last left click stays closed, and the mask with it.
            mouseClick(mouse.callOut(0).badge)
            verify(!dialog.visible && !mask.visible)

            // Keys from the input hooks reach the dialog only while it captures.
            mouseClick(child(panel, "keyRow6"))
            main.detectKeyboard(true, 0x04)
            compare(dialog.keyCode0, 5)
            dialog.startFireInput()
            main.detectKeyboard(true, 0x16)
            verify(!dialog.isFireInput)
            compare([dialog.keyCode0, dialog.keyCode1, dialog.keyCode2, dialog.keyCode3],
                    [1, 0x16, 10, 0])
            compare(dialog.keyString, "S")

            // The macro editor opens over the dialog.
            mousePress(child(dialog, "closeMark"))
            mouseClick(child(panel, "keyRow4"))
            dialog.page.contentY = 250
            waitForRendering(dialog)
            mouseClick(child(dialog, "macroEditorButton"))
            const editor = child(main, "macroEditorMain")
            verify(editor.visible && dialog.visible)
            verify(editor.z > dialog.z)
        }
    }
}
