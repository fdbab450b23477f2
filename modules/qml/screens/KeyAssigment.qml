import QtQuick
import "../common"
import "../basic/theme.js" as Theme
import "keys.js" as Keys
import "../basic/settingkeys.js" as SettingKeys

// The button assignment dialog: one button's pending assignment, chosen
// among nine categories on a scrolling page. Closing it commits a changed
// assignment to the key table; nothing is sent except a macro body.
Rectangle {
    id: keyAssigmentMain

    property int keyCode0: 0
    property int keyCode1: 0
    property int keyCode2: 0
    property int keyCode3: 0
    property string keyString: ""
    property string keyCode: ""
    property bool isFireInput: false
    property bool isComboInput: false
    // A combination started from the keyboard ends as the last of the keys
    // held in it comes up; `heldKeys` are those down.
    property bool isChordCapture: false
    property var heldKeys: []
    // The key press that ended a capture may reach the window after the
    // capture took it: an Escape then is the captured key, not a close.
    readonly property bool isEscapeJustTaken: escapeTaken.running
    property var keyAssigmentLang: Keys.defaultLang
    property bool isGun: true
    property int skinNo: 1
    // The key panel (its tables), the picture (the shared selectKey) and
    // the key names (also send macro bodies).
    property KeyMatrix keyMatrix: null
    property Mouse mousePicture: null
    property KeyNaming keyNames: null

    // Fire capture: the rate in milliseconds and the field text ("" shows
    // "Click Input").
    property int fireRate: 10
    property string fireKeyText: ""
    // Combination capture: -1 idle, else the number of non-modifier keys.
    property int comboCount: -1
    property var combo: Keys.newCombo()
    property string comboText: ""
    property int macroMode: 0
    property bool isDragging: false

    // The main scene refills the macro names after the editor changes them.
    property alias macroList: page.macroList

    // The macro button: the main scene opens the macro editor over the dialog.
    signal macroEditorClick()
    // The dialog closed (the main scene hides its mask).
    signal closed()

    function lang(index: int): string {
        return Keys.label(keyAssigmentLang, index)
    }

    function nameOf(code: int): string {
        return (keyNames || ownKeyNames).keycodeTostr(code)
    }

    function keyCodeToString(code0: int, code1: int, code2: int, code3: int): string {
        return Keys.keyCodeToString(code0, code1, code2, code3, keyAssigmentLang, nameOf,
                                    (slot) => (keyNames || ownKeyNames).macroNameOf(slot))
    }

    function selectKey(): int {
        return mousePicture ? mousePicture.selectKey : -1
    }

    function storedMacroNames(): var {
        const names = ui_View.getNameList(0) || []
        const list = []
        for (let i = 0; i < names.length; ++i) {
            const name = String(names[i])
            if (name === "loaderbraxel" && i === 1 && names.length === 2)
                continue
            list.push(name)
        }
        return list
    }

    function init() {
        page.init(storedMacroNames())
    }

    function show(index: int) {
        if (!keyMatrix || index < 0 || index >= keyMatrix.modKeys.count)
            return
        const e = keyMatrix.modKeys.get(index)
        if (mousePicture)
            mousePicture.selectKey = index
        keyAssigmentFocus()
        startFresh()
        setPending([Number(e.keyCode0), Number(e.keyCode1), Number(e.keyCode2),
                    Number(e.keyCode3)], e.keyText)
        if (parent) {
            x = Math.round((parent.width - width) / 2)
            y = Math.round((parent.height - height) / 2)
        }
        visible = true
    }

    // Nothing of the previous button is carried over: no capture running,
    // the fire and macro parameters at their start values (a repeat mode is
    // lit only for a macro or once the user picks one).
    function startFresh() {
        isFireInput = false
        cancelCombo()
        fireRate = 10
        macroMode = 0
        page.reset()
    }

    function setPending(codes: var, text: string) {
        keyCode0 = codes[0]
        keyCode1 = codes[1]
        keyCode2 = codes[2]
        keyCode3 = codes[3]
        keyString = text
        showPending()
    }

    // Every control shows the pending assignment: exactly one choice is lit,
    // the one that is the button's function.
    function showPending() {
        fireKeyText = keyCode0 === 0x01 ? nameOf(keyCode1) : ""
        if (!isComboInput)
            comboText = keyCode0 === 0x02 ? keyString : ""
        if (keyCode0 === 0x04)
            macroMode = keyCode1
        page.showPending()
    }

    // An option stated as eight hexadecimal digits.
    function applyKeyCode(code: string, text: string) {
        const codes = Keys.keyCodeStrProc(code)
        if (!codes)
            return
        keyCode = code
        setPending(codes, text)
    }

    function chooseRadio(index: int, options: var) {
        applyKeyCode(options[index].code, lang(options[index].label))
    }

    function applyGrid(grid: var, options: var) {
        const i = grid.currentSelect
        if (i >= 0 && i < options.length)
            applyKeyCode(options[i].code, lang(options[i].label))
    }

    function startFireInput() {
        fireKeyText = ""
        isFireInput = true
    }

    function startComboInput() {
        comboText = ""
        comboCount = 0
        combo = Keys.newCombo()
        isChordCapture = false
        heldKeys = []
        isComboInput = true
    }

    // While a capture waits, or in the press that ended it, Escape is a key
    // for the capture; otherwise it closes the dialog.
    function takesEscape(): bool {
        return isFireInput || isComboInput || isEscapeJustTaken
    }

    function confirmCombo() {
        isComboInput = false
        isChordCapture = false
        comboCount = -1
        if (comboText !== "")
            setPending(Keys.comboCodes(combo), comboText)
    }

    function cancelCombo() {
        isComboInput = false
        isChordCapture = false
        comboCount = -1
        comboText = ""
    }

    function detectKeyboard(isDown: bool, usbCode: int, index: int) {
        if (isDown && usbCode === Keys.escapeUsage)
            escapeTaken.restart()
        if (index === 0 && isFireInput) {
            isFireInput = false
            const name = nameOf(usbCode)
            fireKeyText = name
            setPending([0x01, usbCode, fireRate, page.countValue()], name)
        } else if (index === 1 && isComboInput && isDown) {
            if (!heldKeys.includes(usbCode))
                heldKeys = heldKeys.concat([usbCode])
            combo = Keys.comboAdd(combo, usbCode, nameOf(usbCode))
            comboCount = combo.keys.length
            comboText = Keys.comboText(combo)
        } else if (index === 1 && isComboInput && isChordCapture && heldKeys.includes(usbCode)) {
            heldKeys = heldKeys.filter((code) => code !== usbCode)
            if (heldKeys.length === 0)
                confirmCombo()
        }
    }

    function chooseMacro(row: int) {
        const name = page.macroName(row)
        if (name !== "")
            setPending([0x04, macroMode, selectKey(), 0], name)
    }

    function chooseMacroMode(mode: int) {
        macroMode = mode
        page.lightMacroMode(mode)
        if (keyCode0 === 0x04)
            keyCode1 = mode
    }

    function sendMacro(index: int, macroName: string) {
        (keyNames || ownKeyNames).sendMacro(index, macroName)
    }

    function keyAssigmentFocus() {
        page.closeMenus()
    }

    // The close mark: a changed assignment goes into the key table.
    function closeDialog() {
        visible = false
        closed()
        const index = selectKey()
        const keys = keyMatrix ? keyMatrix.modKeys : null
        if (keys && index >= 0 && index < keys.count) {
            const e = keys.get(index)
            if (Number(e.keyCode0) !== keyCode0 || Number(e.keyCode1) !== keyCode1
                    || Number(e.keyCode2) !== keyCode2 || Number(e.keyCode3) !== keyCode3) {
                keys.set(index, { keyCode0: keyCode0, keyCode1: keyCode1, keyCode2: keyCode2,
                                  keyCode3: keyCode3, keyText: keyString })
                keyMatrix.isSave = true
                if (keyCode0 === 0x04) {
                    sendMacro(keyCode2, keyString)
                    ui_View.setData(SettingKeys.mouseMacroKey + keyCode2, keyString)
                }
            }
        }
        if (mousePicture)
            mousePicture.selectKey = -1
        keyAssigmentFocus()
        // A capture left running would go on taking every key typed
        // anywhere for a dialog that is gone.
        isFireInput = false
        cancelCombo()
    }

    // The back arrow: this button's factory assignment, into the table at once.
    function restoreKey() {
        const index = selectKey()
        if (!keyMatrix || index < 0 || index >= keyMatrix.modKeys_tmp.count)
            return
        const f = keyMatrix.modKeys_tmp.get(index)
        if (f.keyText === keyString)
            return
        setPending([Number(f.keyCode0), Number(f.keyCode1), Number(f.keyCode2),
                    Number(f.keyCode3)], f.keyText)
        keyMatrix.modKeys.set(index, { keyCode0: keyCode0, keyCode1: keyCode1,
                                       keyCode2: keyCode2, keyCode3: keyCode3,
                                       keyText: keyString })
        keyMatrix.isSave = true
    }

    width: 520
    height: 560
    color: Theme.colorGray0
    border.color: Theme.colorGray1

    KeyNaming {
        id: ownKeyNames
    }

    // Long enough for the window's own copy of a captured key press to
    // arrive, short enough not to swallow a later Escape.
    Timer {
        id: escapeTaken

        interval: 300
    }

    // A press on the background closes the dialog's drop-downs.
    DialogFrame {
        id: frame

        closeName: keyAssigmentMain.lang(57)
        title: keyAssigmentMain.lang(0).trim() + " " + (keyAssigmentMain.selectKey() + 1)
               + " : " + keyAssigmentMain.keyString
        skinNo: keyAssigmentMain.skinNo
        onBackgroundPressed: keyAssigmentMain.keyAssigmentFocus()
        onCloseClicked: keyAssigmentMain.closeDialog()

        ImageButton {
            objectName: "restoreMark"
            normalSource: Theme.skinImage(keyAssigmentMain.skinNo, "index", "back")
            hoverSource: Theme.skinImage(keyAssigmentMain.skinNo, "index", "backHover")
            description: keyAssigmentMain.lang(58)
            onClicked: keyAssigmentMain.restoreKey()
        }
    }

    KeyAssignPage {
        id: page

        dialog: keyAssigmentMain
        y: frame.titleHeight
        width: parent.width
        height: parent.height - frame.titleHeight
    }

    ListScrollBar {
        objectName: "pageScrollBar"
        anchors.right: parent.right
        anchors.rightMargin: 2
        y: page.y + 2
        height: page.height - 4
        flickable: page
    }
}
