import QtQuick

// Records every call the native side makes into the scene.
Item {
    id: root

    property var calls: []
    // Kept apart: every shown view hosting this scene makes them.
    property var windowCalls: []

    function record(entry: string) {
        calls = calls.concat([entry])
    }
    function initUI() {
        record("initUI")
    }
    function run() {
        record("run")
    }
    function detectKeyboard(isDown, usbCode) {
        record("detectKeyboard " + isDown + " " + usbCode)
    }
    function detectMouse(isDown: bool, mirkCode: int, x: int, y: int) {
        record("detectMouse " + isDown + " " + mirkCode + " " + x + " " + y)
    }
    function setProtectUI(interval: int) {
        record("setProtectUI " + interval)
    }
    function setCurrentDPI(dpiValue) {
        record("setCurrentDPI " + dpiValue)
    }
    function endCaptures() {
        windowCalls = windowCalls.concat(["endCaptures"])
    }
    function wake() {
        windowCalls = windowCalls.concat(["wake"])
    }

    width: 1024
    height: 640
}
