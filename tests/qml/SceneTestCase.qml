import QtQuick
import QtTest
import "qrc:/modules/qml/common"

// The base of the scene tests: each test starts on a fresh copy of the factory data.
TestCase {
    when: windowShown

    property Item scene: parent // where temporary objects are placed

    Component { id: spyComponent; SignalSpy {} }
    Component { id: ringComponent; FocusRing { focused: scene.Window.activeFocusItem } }

    function init() { testData.reset() }

    function make(component, properties) {
        const made = createTemporaryObject(component, scene, properties || {})
        verify(made, component.errorString())
        return made
    }

    function makeInit(component, properties, ...initArgs) {
        const made = make(component, properties)
        made.init(...initArgs)
        return made
    }

    function child(parentItem, name) {
        const found = findChild(parentItem, name)
        verify(found, name)
        return found
    }

    // Dialog `name` of the main scene, built as its first opening builds it.
    function dialog(main, name) {
        child(main, name + "Loader").active = true
        return child(main, name + "Loader").item
    }

    function spy(target, signalName) { return createTemporaryObject(spyComponent, scene, { target, signalName }) }

    // The main scene's focus ring, to see where the keyboard focus goes.
    function focusRing() { return make(ringComponent) }

    // Clicks each key in turn: Qt key codes, or the characters of a text spread in.
    function keyClicks(...keys) { keys.forEach((key) => keyClick(key)) }

    // What `state()` reads after each step: a key, a list of keys or a function.
    function walk(steps, state) {
        return steps.map((step) => {
            typeof step === "function" ? step() : keyClicks(...[].concat(step))
            return state()
        })
    }

    // The arguments of each signal `spied` caught, as arrays.
    function args(spied) { return spied.signalArguments.map((list) => Array.from(list)) }

    // The named item holding the keyboard focus, or `item`, or their nearest named ancestor.
    function focusName(item = Window.window ? Window.window.activeFocusItem : null) {
        while (item && item.objectName === "")
            item = item.parent
        return item ? item.objectName : ""
    }

    // The command codes the virtual mouse received since the last clear.
    function codes() { return testData.deviceCommands().map((c) => c.substring(3, 5)).join(" ") }

    function settle() { tryCompare(ui_View, "busy", false, 5000) }

    // The command codes `action` sends, read once the scene is idle again.
    function sent(action) { testData.clearDeviceRecord(); action(); settle(); return codes() }

    // The main scene before initUI.
    function makeMain() { return make(Qt.createComponent("qrc:/modules/qml/main.qml")) }

    // The main scene after initUI, without the one-second lock; `attached`: on a virtual mouse of family 553.
    function startMain(attached, isGun = false) {
        if (attached)
            verify(testData.attachMouse(553, isGun))
        const main = makeMain()
        main.initUI()
        main.run()
        verify(main.isMainShown)
        waitForRendering(main)
        return main
    }

    // Opens a drop-down (24 px box, 24 px rows) unless a click already did, and clicks row `row`.
    function pickRow(list, row, x) {
        if (!list.isDrop)
            mouseClick(list, x || 10, 12)
        tryVerify(() => !list.isAnimating && list.isDrop, 1000)
        mouseClick(list, x || 10, 24 + row * 24 + 12)
    }

    // Replaces a field's text by typing and ends editing with Return.
    function typeInto(field, text) {
        mouseClick(field)
        verify(field.txtInput.activeFocus)
        field.txtInput.selectAll()
        keyClicks(Qt.Key_Backspace, ...text, Qt.Key_Return)
        verify(!field.txtInput.activeFocus)
    }

    function drag(handle, dx, dy) {
        mousePress(handle, 6, 6)
        mouseMove(handle, 6 + dx, 6 + dy)
        mouseRelease(handle, 6 + dx, 6 + dy)
    }
}
