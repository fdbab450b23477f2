import QtQuick
import "../common"
import "../basic/theme.js" as Theme
import "../basic/refusal.js" as Refusal
import "keys.js" as Keys
import "../basic/settingkeys.js" as SettingKeys

// The "Key Function" panel: one row per button with its assignment. It holds
// the working key table `modKeys` (16 entries) and its factory copy
// `modKeys_tmp`. Edits only mark the table unsaved; Save stores and sends
// src64().
Rectangle {
    id: keyMatrixMain

    property bool isSave: false
    property var keyMatrixLang: ["Key ", "Key Function", "Restore all buttons", "", ""]
    property var refusalLang: Refusal.english
    property int keyCount: mousePicture ? mousePicture.keyCount : 8
    property int skinNo: 1
    // The other parts of the button screen and the screens it reads.
    // The picture (a Mouse) refers to this table by type; a typed reference
    // back would be a cycle the QML engine refuses to load.
    property var mousePicture: null
    // Names the entries and sends macro bodies.
    property KeyNaming keyNames: null
    // The assignment dialog is open: the picture keeps its button marked.
    property bool assigning: false
    readonly property int maxRows: 14
    // What a button without a stored record does, as the native side has it.
    readonly property var defaultCodes: ui_View.defaultKeyCodes()
    readonly property int rowPitch: Math.min(26, Math.floor(286 / Math.max(1, shownRows)))
    readonly property int shownRows: Math.max(0, Math.min(maxRows, keyCount))
    property alias modKeys: modKeys
    property alias modKeys_tmp: modKeys_tmp

    signal enterBtn(int index)
    signal leaveBtn(int index)
    signal clickBtn(int index)
    // A row passed the left-click guard: the dialog may open for it.
    signal openKey(int index)

    function selectKey(): int {
        return mousePicture ? mousePicture.selectKey : -1
    }

    function setSelectKey(index: int) {
        if (mousePicture)
            mousePicture.selectKey = index
    }

    function rowName(index: int): string {
        return String(keyMatrixLang[0]).trim() + " " + (index + 1)
    }

    function textOf(c0: int, c1: int, c2: int, c3: int): string {
        return keyNames ? keyNames.keyCodeToString(c0, c1, c2, c3) : ""
    }

    function codesOf(model: var, i: int): var {
        const e = model.get(i)
        return [Number(e.keyCode0), Number(e.keyCode1), Number(e.keyCode2), Number(e.keyCode3)]
    }

    function fill(model: var, i: int, codes: var) {
        const entry = { keyCode0: codes[0], keyCode1: codes[1], keyCode2: codes[2],
                        keyCode3: codes[3], keyText: textOf(codes[0], codes[1], codes[2], codes[3]) }
        if (i < model.count)
            model.set(i, entry)
        else
            model.append(entry)
    }

    // The rows' texts in the language now in use; their codes stay.
    function relabel() {
        for (const model of [modKeys, modKeys_tmp]) {
            for (let i = 0; i < model.count; ++i)
                model.setProperty(i, "keyText", textOf(...codesOf(model, i)))
        }
    }

    // Shows the key table `keys` (16 records of four codes, as the session
    // reads them) over the factory one `factoryKeys`.
    function load(keys: var, factoryKeys: var) {
        for (let i = 0; i < Keys.entryCount; ++i) {
            fill(modKeys, i, keys[i] || keyMatrixMain.defaultCodes[i])
            fill(modKeys_tmp, i, factoryKeys[i] || keyMatrixMain.defaultCodes[i])
        }
    }

    // The 64 values Save and the sends take: four per button.
    function src64(): var {
        return Keys.src64(modKeys.entries())
    }

    // Every button gets its factory assignment back; factory macros are sent
    // and bound again.
    function restoreAll() {
        for (let i = 0; i < Keys.entryCount; ++i) {
            const e = modKeys_tmp.get(i)
            modKeys.set(i, { keyCode0: e.keyCode0, keyCode1: e.keyCode1, keyCode2: e.keyCode2,
                             keyCode3: e.keyCode3, keyText: e.keyText })
            if (Number(e.keyCode0) === 4) {
                sendMacro(Number(e.keyCode2), e.keyText)
                ui_View.setData(SettingKeys.mouseMacroKey + Number(e.keyCode2), e.keyText)
            }
        }
        isSave = true
    }

    // The rows that play macro `macroName`: entries of category 04H whose
    // slot (keyCode2, not necessarily the button's own number) holds it.
    function rowsPlaying(macroName: string): var {
        const rows = []
        for (let i = 0; keyNames && i < modKeys.count; ++i) {
            const codes = codesOf(modKeys, i)
            if (codes[0] === 4 && String(keyNames.macroNameOf(codes[2])) === macroName)
                rows.push(i)
        }
        return rows
    }

    // A deleted macro's buttons get their factory assignment back.
    function restoreRowsPlaying(macroName: string) {
        for (const i of rowsPlaying(macroName))
            fill(modKeys, i, codesOf(modKeys_tmp, i))
    }

    function renameMacro(newMacroName: string) {
        for (const i of rowsPlaying(newMacroName))
            modKeys.setProperty(i, "keyText", newMacroName)
    }

    function sendMacro(index: int, macroName: string) {
        if (keyNames)
            keyNames.sendMacro(index, macroName)
    }

    // Guarded row click: the last left-click button is not opened.
    function clickRow(index: int) {
        setSelectKey(index)
        clickBtn(index)
        if (modKeys.checkOneLeftKey())
            refuseLastLeftKey()
        else
            openKey(index)
    }

    function refuseLastLeftKey() {
        ui_View.notifyUser(Refusal.text(refusalLang, Refusal.lastLeftKey))
    }

    width: 232
    height: 36 + shownRows * rowPitch + 4
    color: Theme.colorBlack

    ListModel {
        id: modKeys

        function entries(): var {
            const list = []
            for (let i = 0; i < count; ++i)
                list.push(keyMatrixMain.codesOf(modKeys, i))
            return list
        }

        function checkOneLeftKey(): bool {
            return Keys.isLastLeftKey(entries(), keyMatrixMain.selectKey())
        }

        Component.onCompleted: {
            for (let i = 0; i < Keys.entryCount; ++i)
                keyMatrixMain.fill(modKeys, i, keyMatrixMain.defaultCodes[i])
        }
    }

    ListModel {
        id: modKeys_tmp

        Component.onCompleted: {
            for (let i = 0; i < Keys.entryCount; ++i)
                keyMatrixMain.fill(modKeys_tmp, i, keyMatrixMain.defaultCodes[i])
        }
    }

    ThemedText {
        id: title

        x: 8
        y: 10
        text: keyMatrixMain.keyMatrixLang[1]
        font.pixelSize: Theme.fontMiddleSize
        font.bold: true
    }

    ImageButton {
        id: restoreMark

        objectName: "restoreAllMark"
        anchors.right: parent.right
        anchors.rightMargin: 8
        anchors.verticalCenter: title.verticalCenter
        normalSource: Theme.skinImage(keyMatrixMain.skinNo, "index", "back")
        hoverSource: Theme.skinImage(keyMatrixMain.skinNo, "index", "backHover")
        description: keyMatrixMain.keyMatrixLang[2]
        onClicked: keyMatrixMain.restoreAll()
    }

    Column {
        x: 8
        y: 36
        spacing: 2

        Repeater {
            id: rows

            // Rows for the mouse's own buttons only: the table always holds
            // sixteen entries, and a row is seven items with their bindings.
            model: keyMatrixMain.shownRows

            // qmllint disable unqualified
            delegate: Rectangle {
                id: row

                required property int index
                // The table fills entry by entry as the panel completes.
                readonly property string keyText: index < modKeys.count
                                                  ? modKeys.get(index).keyText : ""

                objectName: "keyRow" + index
                width: 216
                height: keyMatrixMain.rowPitch - 2
                radius: 2
                color: keyMatrixMain.selectKey() === index || rowArea.containsMouse
                       ? Theme.colorOrange : Theme.colorGray1

                ThemedText {
                    anchors.verticalCenter: parent.verticalCenter
                    x: 8
                    text: keyMatrixMain.rowName(row.index)
                }

                ThemedText {
                    objectName: "keyText"
                    anchors.verticalCenter: parent.verticalCenter
                    anchors.right: parent.right
                    anchors.rightMargin: 8
                    width: 128
                    horizontalAlignment: Text.AlignRight
                    elide: Text.ElideRight
                    text: row.keyText
                }

                MouseArea {
                    id: rowArea

                    anchors.fill: parent
                    hoverEnabled: true
                    onEntered: {
                        keyMatrixMain.setSelectKey(row.index)
                        keyMatrixMain.enterBtn(row.index)
                    }
                    onExited: {
                        if (!keyMatrixMain.assigning)
                            keyMatrixMain.setSelectKey(-1)
                        keyMatrixMain.leaveBtn(row.index)
                    }
                    onClicked: keyMatrixMain.clickRow(row.index)
                }

                FocusStop {
                    id: rowStop

                    objectName: "keyStop"
                    name: keyMatrixMain.rowName(row.index) + ": " + row.keyText
                    onActivated: keyMatrixMain.clickRow(row.index)
                }

                ToolTipBox {
                    host: rowStop
                    text: rowStop.name
                    hovered: rowArea.containsMouse
                }
            }
            // qmllint enable unqualified
        }
    }
}
