import QtQuick
import QtTest

// The base of the scene tests: each test starts on a fresh copy of the factory data.
TestCase {
    when: windowShown

    property Item scene: parent // where temporary objects are placed

    Component { id: spyComponent; SignalSpy {} }

    function init() { testData.reset() }

    function make(component, properties) {
        const made = createTemporaryObject(component, scene, properties || {})
        verify(made, component.errorString())
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

    // The arguments of each signal `spied` caught, as arrays.
    function args(spied) { return spied.signalArguments.map((list) => Array.from(list)) }

    // The named item holding the keyboard focus, or `item`, or their nearest named ancestor.
    function focusName(item = Window.window ? Window.window.activeFocusItem : null) {
        while (item && item.objectName === "")
            item = item.parent
        return item ? item.objectName : ""
    }

    // Waits until the session has done what it was asked.
    function settle() { tryCompare(ui_View, "busy", false, 5000) }

    // The main scene before initUI.
    function makeMain() {
        const component = Qt.createComponent("qrc:/modules/qml/main.qml")
        compare(component.status, Component.Ready, component.errorString())
        return make(component)
    }

    // The main scene after initUI, without waiting out the one-second lock.
    function startMain() {
        const main = makeMain()
        main.initUI()
        main.run()
        verify(main.isMainShown)
        waitForRendering(main)
        return main
    }

    // Opens a drop-down (24 px box, 24 px rows) and clicks row `row`.
    function pickRow(list, row, x) {
        mouseClick(list, x || 10, 12)
        tryVerify(() => !list.isAnimating && list.isDrop, 1000)
        mouseClick(list, x || 10, 24 + row * 24 + 12)
    }

    // Replaces a field's text by typing and ends editing with Return.
    function typeInto(field, text) {
        mouseClick(field)
        verify(field.txtInput.activeFocus)
        field.txtInput.selectAll()
        for (const key of [Qt.Key_Backspace].concat(text.split(""), [Qt.Key_Return]))
            keyClick(key)
        verify(!field.txtInput.activeFocus)
    }

    // Drags `handle` from (6, 6) by (dx, dy).
    function drag(handle, dx, dy) {
        mousePress(handle, 6, 6)
        mouseMove(handle, 6 + dx, 6 + dy)
        mouseRelease(handle, 6 + dx, 6 + dy)
    }
}
