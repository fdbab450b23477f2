import QtQuick
import QtTest
import "qrc:/modules/qml/screens"

// The gun editor over a real view and a temporary data folder (the factory
// gunData.bin).
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
            return ui_View.getGlobalData("mouse/selectGun").map((value) => Number(value))
        }

        function test_initLoadsThePresetsAndSlotOne() {
            ui_View.setGlobalData("mouse/selectGun", [3, 1, 2])
            const dialog = makeGun()
            compare(dialog.gunNumberModel.count, 6)
            compare(dialog.gunNumberModel.get(0).gunName, "M416")
            compare(dialog.gunNumberModel.get(0).gunY, "5")
            compare(dialog.gunNumberModel.get(5).gunName, "Thomson")
            compare([dialog.selectGun1, dialog.selectGun2, dialog.selectGun3], [3, 1, 2])
            compare(child(dialog, "gunList").currentIndex, 3)
            compare(child(dialog, "yInput").textValue, "10")
            compare(child(dialog, "rateSlider").textValue, "10MS")
            compare(child(dialog, "rateSlider").sliderControl.knobPosition, 9)
            compare(child(dialog, "timesInput").textValue, "0")
            verify(child(dialog, "endnessCheck").isSelect)
            compare(child(dialog, "xInput").textValue, "0")
            compare(child(dialog, "targetDot").y, 89 + 94 * 10 / 64)
            compare(dialog.firePeriods(), [10, 9, 9])
        }

        function test_damagedSlotsAndRecordsKeepDefaults() {
            ui_View.setGlobalData("mouse/selectGun", ["x", 9])
            testData.write("modules/gun/gunData.bin", "[gunData]\n1=AKM, L-Click, 12\n"
                           + "2=M16A4, L-Click, 900, -3, 70, 1000\n3=SCAR-L, L-Click, x, y, z, w\n")
            const dialog = makeGun()
            compare([dialog.selectGun1, dialog.selectGun2, dialog.selectGun3], [0, 5, 0])
            compare(dialog.gunNumberModel.get(1).gunPeriod, "10")
            // Out of range: brought into what the screen offers and sends.
            const clamped = dialog.preset(2)
            compare([clamped.gunPeriod, clamped.gunX, clamped.gunY, clamped.gunTimes],
                    ["90", "0", "64", "255"])
            compare(dialog.preset(3), Object.assign({}, dialog.preset(3),
                                                    { gunPeriod: "10", gunX: "0", gunY: "10",
                                                      gunTimes: "0" }))
        }

        // Choosing a slot stores nothing; choosing a preset for it does.
        function test_slotsAndPresets() {
            const dialog = makeGun()
            const gunList = child(dialog, "gunList")
            dialog.chooseSlot(2)
            compare([gunList.currentIndex, child(dialog, "yInput").textValue], [2, "8"])
            verify(!dialog.isSave)
            pickRow(child(dialog, "slotList"), 1, 30)
            tryCompare(gunList, "currentIndex", 1)
            compare(child(dialog, "slotList").textValue, "Gun2")
            mouseClick(gunList, 100, 1 + 4 * 58 + 29)
            compare([gunList.currentIndex, dialog.selectGun2], [4, 4])
            compare(slots(), [0, 4, 2])
            verify(dialog.isSave)
            testData.reopen()
            compare(slots(), [0, 4, 2])
        }

        function test_rateBoxTexts_data() {
            return [
                { tag: "three characters", text: "9MS", stored: "9" },
                { tag: "four characters", text: "90MS", stored: "90" },
            ]
        }

        function test_rateBoxTexts(data) {
            const dialog = makeGun()
            child(dialog, "rateSlider").textValue = data.text
            child(dialog, "rateSlider").sliderControl.valueChangeDelay(0)
            compare(dialog.gunNumberModel.get(0).gunPeriod, data.stored)
            compare(ui_View.getGunData(0)[2], data.stored)
            verify(dialog.isSave)
        }

        function test_draggingTheKnobToTheRightGives90() {
            const dialog = makeGun()
            const rateSlider = child(dialog, "rateSlider")
            mouseClick(rateSlider)
            tryVerify(() => rateSlider.isDrop && !rateSlider.isAnimating)
            drag(rateSlider.sliderControl.children[2], 294, 0)
            compare(rateSlider.textValue, "90MS")
            compare(ui_View.getGunData(0)[2], "90")
        }

        function test_editingYAndTimes() {
            const dialog = makeGun()
            const timesInput = child(dialog, "timesInput")
            const endnessCheck = child(dialog, "endnessCheck")
            typeInto(child(dialog, "yInput"), "64")
            compare(child(dialog, "targetDot").y, 183)
            compare(ui_View.getGunData(0), ["M416", "L-Click", "9", "0", "64", "0"])
            mouseClick(timesInput)
            timesInput.txtInput.selectAll()
            keyClick(Qt.Key_3)
            dialog.gunControlFocus()
            compare(ui_View.getGunData(0)[5], "3")
            verify(!endnessCheck.isSelect)
            mouseClick(endnessCheck)
            verify(endnessCheck.isSelect)
            compare(timesInput.textValue, "0")
            compare(ui_View.getGunData(0)[5], "0")
        }

        function test_draggingTheDot() {
            const dialog = makeGun()
            const dot = child(dialog, "targetDot")
            mousePress(dot, 6, 6)
            mouseMove(dot, 6, 6 + 47)
            compare(child(dialog, "yInput").textValue, String(Math.floor((dot.y - 89) / 94 * 64)))
            mouseMove(dot, 6, 400)
            compare(dot.y, 183)
            compare(child(dialog, "yInput").textValue, "64")
            mouseRelease(dot, 6, 400)
            compare(ui_View.getGunData(0)[4], "64")
            verify(dialog.isSave)
        }

        function test_closeAnnouncesThePeriodsOnlyAfterAChange() {
            const dialog = makeGun()
            const periods = spy(dialog, "firePeriodsChanged")
            dialog.visible = true
            mouseClick(findChild(dialog, "closeMark"))
            verify(!dialog.visible)
            compare(periods.count, 0)
            dialog.visible = true
            dialog.choosePreset(3)
            dialog.close()
            compare(periods.count, 1)
            verify(!dialog.isSave)
        }

        function test_resetData() {
            ui_View.setGlobalData("mouse/selectGun", [5, 4, 3])
            ui_View.mouseSaveGundata(0, ["M416", "L-Click", "30", "0", "40", "7"])
            const dialog = makeGun()
            dialog.chooseSlot(1)
            child(dialog, "slotList").currentSelect = 1
            dialog.resetData()
            compare(slots(), [0, 1, 2])
            compare([dialog.selectGun1, dialog.selectGun2, dialog.selectGun3], [0, 1, 2])
            compare(ui_View.getGunData(0), ["M416", "L-Click", "9", "0", "5", "7"])
            compare(ui_View.getGunData(1), ["AKM", "L-Click", "9", "0", "7", "0"])
            compare(ui_View.getGunData(2), ["M16A4", "L-Click", "9", "0", "8", "0"])
            compare(ui_View.getGunData(3), ["SCAR-L", "L-Click", "10", "0", "10", "0"])
            compare(child(dialog, "slotList").currentSelect, 0)
            compare(child(dialog, "gunList").currentIndex, 0)
            compare(child(dialog, "yInput").textValue, "5")
            fuzzyCompare(child(dialog, "targetDot").y, 96.34, 0.01)
            verify(dialog.isSave)
            compare(dialog.firePeriods(), [9, 9, 9])
        }
    }
}
