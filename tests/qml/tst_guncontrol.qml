import QtQuick
import QtTest
import "qrc:/modules/qml/screens"

// The gun editor over a real view and the factory gunData.bin (bytes sent: tst_session).
Item {
    width: 700
    height: 500

    Component { id: gunComponent; GunControl {} }

    SceneTestCase {
        name: "GunControl"

        function slots(dialog) {
            return [ui_View.getGlobalData("mouse/selectGun").map(Number), [dialog.selectGun1, dialog.selectGun2,
                    dialog.selectGun3], child(dialog, "gunList").currentIndex,
                    child(dialog, "yInput").textValue, dialog.isSave, child(dialog, "slotList").currentSelect]
        }

        // Tab reaches the preset list after the close mark; Down and Up choose a preset as a click does, ringed.
        function test_keyboard() {
            const [dialog, ring] = [makeInit(gunComponent), focusRing()]
            const list = child(dialog, "gunList")
            child(dialog, "closeMark").forceActiveFocus(Qt.TabFocusReason)
            compare(walk([Qt.Key_Tab, [Qt.Key_Down, Qt.Key_Down], Qt.Key_Up, [Qt.Key_F2, Qt.Key_Menu]],
                         () => [list.activeFocus, ring.frame === list.parent, dialog.selectGun1, dialog.isSave]),
                    [[true, true, 0, false], [true, true, 2, true], [true, true, 1, true], [true, true, 1, true]])
        }

        // Choosing a slot stores nothing, a preset for it does; damaged records keep the defaults, values held in range.
        function test_slotsAndPresets() {
            ui_View.setGlobalData("mouse/selectGun", [3, 1, 2])
            const first = makeInit(gunComponent)
            compare(slots(first), [[3, 1, 2], [3, 1, 2], 3, "10", false, 0])
            first.chooseSlot(2)
            compare(slots(first).slice(2, 5), [2, "8", false])
            pickRow(child(first, "slotList"), 1, 30)
            tryCompare(child(first, "gunList"), "currentIndex", 1)
            mouseClick(child(first, "gunList"), 100, 1 + 4 * 58 + 29)
            compare(slots(first), [[3, 4, 2], [3, 4, 2], 4, "10", true, 1])
            ui_View.setGlobalData("mouse/selectGun", ["x", 9])
            testData.write("modules/gun/gunData.bin", "[gunData]\n1=AKM, L-Click, 12\n"
                           + "2=M16A4, L-Click, 900, -3, 70, 1000\n3=SCAR-L, L-Click, x, y, z, w\n"
                           + "4=UNP9, L-Click, 12, 300, -2, 5\n")
            const dialog = makeInit(gunComponent)
            compare([1, 2, 3, 4].map((row) => ["gunPeriod", "gunX", "gunY", "gunTimes"].map((k) => dialog.preset(row)[k])),
                    [["10", "0", "10", "0"], ["90", "0", "64", "255"], ["10", "0", "10", "0"], ["12", "255", "0", "5"]])
            compare(slots(dialog)[1], [0, 5, 0])
        }

        // Rate, Y (typed or by the dot), times and endless go to the preset; only a close after a change asks for the send.
        function test_editingAndClose() {
            const dialog = makeInit(gunComponent)
            const [dot, periods] = [child(dialog, "targetDot"), spy(dialog, "sendRequested")]
            dialog.visible = true
            mouseClick(child(dialog, "closeMark"))
            compare([dialog.visible, periods.count], [false, 0])
            dialog.visible = true
            child(dialog, "rateSlider").textValue = "90MS"
            child(dialog, "rateSlider").sliderControl.valueChangeDelay(0)
            typeInto(child(dialog, "yInput"), "64")
            compare([dot.y, ui_View.getGunData(0)[2], dialog.isSave], [183, "90", true])
            drag(dot, 0, -400)
            compare([dot.y, child(dialog, "yInput").textValue], [89, "0"])
            typeInto(child(dialog, "timesInput"), "3")
            compare([ui_View.getGunData(0), child(dialog, "endnessCheck").isSelect],
                    [["M416", "L-Click", "90", "0", "0", "3"], false])
            mouseClick(child(dialog, "endnessCheck"))
            compare([child(dialog, "timesInput").textValue, ui_View.getGunData(0)[5]], ["0", "0"])
            // What the data folder does not take is not shown.
            testData.setDiskFull(true)
            typeInto(child(dialog, "timesInput"), "7")
            testData.setDiskFull(false)
            compare([child(dialog, "timesInput").textValue, dialog.preset(0).gunTimes, ui_View.getGunData(0)[5]],
                    ["0", "0", "0"])
            dialog.close()
            compare([periods.count, dialog.isSave], [1, true])
        }
    }
}
