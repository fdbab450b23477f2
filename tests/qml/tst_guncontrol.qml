import QtQuick
import QtTest
import "qrc:/modules/qml/screens"

// The gun editor over a real view and a temporary data folder (the factory
// gunData.bin); what it sends is checked with the scene on a mouse.
Item {
    id: scene

    width: 700
    height: 500

    Component {
        id: gunComponent

        GunControl {}
    }

    SceneTestCase {
        name: "GunControl"

        function makeGun() {
            const dialog = make(gunComponent)
            dialog.init()
            return dialog
        }

        function slots() {
            return ui_View.getGlobalData("mouse/selectGun").map(Number)
        }

        function shown(dialog) {
            return ["gunList", "yInput", "rateSlider", "timesInput", "xInput"].map((name) => {
                const item = child(dialog, name)
                return name === "gunList" ? item.currentIndex : item.textValue
            }).concat([child(dialog, "endnessCheck").isSelect, child(dialog, "targetDot").y])
        }

        // Slot 1's preset shows; damaged slots and records keep the defaults,
        // out-of-range values are brought into what the screen offers.
        function test_init() {
            ui_View.setGlobalData("mouse/selectGun", [3, 1, 2])
            let dialog = makeGun()
            compare([dialog.gunNumberModel.count, dialog.gunNumberModel.get(5).gunName], [6, "Thomson"])
            compare([dialog.selectGun1, dialog.selectGun2, dialog.selectGun3], [3, 1, 2])
            compare(shown(dialog), [3, "10", "10MS", "0", "0", true, 89 + 94 * 10 / 64])
            compare(child(dialog, "rateSlider").sliderControl.knobPosition, 9)
            compare(dialog.firePeriods(), [10, 9, 9])

            ui_View.setGlobalData("mouse/selectGun", ["x", 9])
            testData.write("modules/gun/gunData.bin", "[gunData]\n1=AKM, L-Click, 12\n"
                           + "2=M16A4, L-Click, 900, -3, 70, 1000\n3=SCAR-L, L-Click, x, y, z, w\n")
            dialog = makeGun()
            compare([dialog.selectGun1, dialog.selectGun2, dialog.selectGun3], [0, 5, 0])
            compare(dialog.gunNumberModel.get(1).gunPeriod, "10")
            for (const [row, values] of [[2, ["90", "0", "64", "255"]], [3, ["10", "0", "10", "0"]]]) {
                const p = dialog.preset(row)
                compare([p.gunPeriod, p.gunX, p.gunY, p.gunTimes], values, "preset " + row)
            }
        }

        // Choosing a slot stores nothing; choosing a preset for it does.
        function test_slotsAndPresets() {
            const dialog = makeGun()
            const gunList = child(dialog, "gunList")
            dialog.chooseSlot(2)
            compare([gunList.currentIndex, child(dialog, "yInput").textValue, dialog.isSave], [2, "8", false])
            pickRow(child(dialog, "slotList"), 1, 30)
            tryCompare(gunList, "currentIndex", 1)
            compare(child(dialog, "slotList").textValue, "Gun2")
            mouseClick(gunList, 100, 1 + 4 * 58 + 29)
            compare([gunList.currentIndex, dialog.selectGun2, dialog.isSave], [4, 4, true])
            testData.reopen()
            compare(slots(), [0, 4, 2])
        }

        // Rate, Y (typed or by the dot), times and endless go to the preset.
        function test_editing() {
            const dialog = makeGun()
            const rateSlider = child(dialog, "rateSlider")
            for (const [text, stored] of [["9MS", "9"], ["90MS", "90"]]) {
                rateSlider.textValue = text
                rateSlider.sliderControl.valueChangeDelay(0)
                compare([dialog.gunNumberModel.get(0).gunPeriod, ui_View.getGunData(0)[2]], [stored, stored])
            }
            verify(dialog.isSave)
            typeInto(child(dialog, "yInput"), "64")
            compare(child(dialog, "targetDot").y, 183)
            const dot = child(dialog, "targetDot")
            mousePress(dot, 6, 6)
            mouseMove(dot, 6, 6 - 47)
            compare(child(dialog, "yInput").textValue, String(Math.floor((dot.y - 89) / 94 * 64)))
            mouseMove(dot, 6, -400)
            mouseRelease(dot, 6, -400)
            compare([dot.y, child(dialog, "yInput").textValue], [89, "0"])
            const timesInput = child(dialog, "timesInput")
            mouseClick(timesInput)
            timesInput.txtInput.selectAll()
            keyClick(Qt.Key_3)
            dialog.gunControlFocus()
            compare(ui_View.getGunData(0), ["M416", "L-Click", "90", "0", "0", "3"])
            verify(!child(dialog, "endnessCheck").isSelect)
            mouseClick(child(dialog, "endnessCheck"))
            compare([timesInput.textValue, ui_View.getGunData(0)[5]], ["0", "0"])
        }

        function test_closeAnnouncesThePeriodsOnlyAfterAChange() {
            const dialog = makeGun()
            const periods = spy(dialog, "firePeriodsChanged")
            dialog.visible = true
            mouseClick(findChild(dialog, "closeMark"))
            compare([dialog.visible, periods.count], [false, 0])
            dialog.visible = true
            dialog.choosePreset(3)
            dialog.close()
            compare([periods.count, dialog.isSave], [1, false])
        }

        function test_resetData() {
            ui_View.setGlobalData("mouse/selectGun", [5, 4, 3])
            ui_View.mouseSaveGundata(0, ["M416", "L-Click", "30", "0", "40", "7"])
            const dialog = makeGun()
            dialog.chooseSlot(1)
            child(dialog, "slotList").currentSelect = 1
            dialog.resetData()
            compare([slots(), [dialog.selectGun1, dialog.selectGun2, dialog.selectGun3]], [[0, 1, 2], [0, 1, 2]])
            compare([0, 1, 2, 3].map((row) => ui_View.getGunData(row).join()),
                    ["M416,L-Click,9,0,5,7", "AKM,L-Click,9,0,7,0", "M16A4,L-Click,9,0,8,0",
                     "SCAR-L,L-Click,10,0,10,0"])
            compare([child(dialog, "slotList").currentSelect, child(dialog, "gunList").currentIndex,
                     child(dialog, "yInput").textValue, dialog.isSave], [0, 0, "5", true])
            fuzzyCompare(child(dialog, "targetDot").y, 96.34, 0.01)
            compare(dialog.firePeriods(), [9, 9, 9])
        }
    }
}
