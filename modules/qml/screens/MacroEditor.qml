import QtQuick
import "../common"
import "../basic"
import "../basic/theme.js" as Theme
import "../basic/values.js" as Values
import "../basic/keycodes.js" as KeyCodes
import "../basic/refusal.js" as Refusal
import "../basic/refusals.js" as Refusals
import "macro.js" as Macro

// The macro editor: named macros of key and mouse-button events with their
// delays. Every change is stored at once and announced with
// modifyMacroData, so that the main scene re-sends the macro to every
// device slot bound to it.
Rectangle {
    id: macroEditorMain

    property var macroEditorLang: ["Macro Editor", "Macro Name", "New", "Delete", "Action",
        "Stop Record", "Times", "OK", "Start Record", "Delay", "Delete", "Import", "Export",
        "Insert Delay", "Insert Key", "Insert Left Key", "Insert Middle Key", "Insert Right Key",
        "", ""]
    property var refusalLang: Refusal.english
    property bool isInputting: false
    property bool isInsertting: false
    property int tmpKeycodeUSB: 0
    property string tmpKeyString: ""
    // Ticks of the 10 ms clock since the last recorded event.
    property int macroRecordCount: 0
    property int skinNo: 1
    // The key name table (names and codes); the main scene passes its own.
    property KeyCodeString keyNames: null
    // The row whose name or delay is being edited, -1 for none.
    property int nameEditRow: -1
    property int delayEditRow: -1
    property string editText: ""
    // Counts saves, so that what shows the encoded length follows every edit.
    property int saveCount: 0

    property alias macroNumberModel: macroNumberModel
    property alias macroNumber_lv: macroNumber_lv
    property alias actionModel: actionModel
    property alias actionList: actionList
    property alias timesInput: timesInput
    property alias delayCheck: delayCheck
    property alias recordButton: recordButton
    property alias recordClock: recordClock
    property alias macroMenu: macroMenu
    property alias actionMenu: actionMenu
    property alias insertKeyBox: insertKeyBox
    property alias deleteConfirm: deleteConfirm

    signal deleteMacro(string macroName)
    signal modifyMacroName(string oldMacroName, string newMacroName)
    signal modifyMacroData(string macroName)
    // The macro names changed (all of them, in list order); the button
    // assignment dialog offers them.
    signal macroNamesChanged(var names)
    signal listViewFocus()
    signal closed()

    // --- The main scene and the button assignment dialog call these ---

    function init() {
        macroNumberModel.clear()
        for (const name of Macro.dropSentinel(ui_View.getNameList(0)))
            macroNumberModel.append({ textValue: name })
        macroNumber_lv.currentIndex = -1
        actionModel.clear()
        macroNamesChanged(macroNames())
    }

    function macroNames(): var {
        const names = []
        for (let i = 0; i < macroNumberModel.count; ++i)
            names.push(String(macroNumberModel.get(i).textValue))
        return names
    }

    // Sends macro `macroName`, as stored, to device macro slot `index`.
    function sendMacro(index: int, macroName: string) {
        const loaded = Macro.parseLoaded(ui_View.loadMacroIni(macroName))
        ui_View.mouseSendMacroData(deCode(loaded.events, loaded.repeat), index)
    }

    function deCode(model: var, repeat: var): var {
        return Macro.deCode(Macro.eventsOf(model), repeat, codeOf)
    }

    function recordCount(): int {
        return Macro.recordCount(Macro.eventsOf(actionModel))
    }

    function detectKeyboard(isDown: bool, usbCode: int) {
        const name = nameOf(usbCode)
        if (name.length === 0)
            return
        const events = Macro.eventsOf(actionModel)
        const added = new Array(0)
        if (events.length > 0 && delayCheck.isSelect)
            added.push({ type: 0, info: String(macroRecordCount * 10) })
        added.push({ type: Macro.recordedType(isDown, usbCode), info: name })
        if (!Macro.mayRecord(events, added))
            return
        macroRecordCount = 0
        for (const event of added)
            actionModel.append(event)
        actionList.positionViewAtEnd()
    }

    function detectInput(isDown: bool, usbCode: int) {
        if (usbCode >= Macro.mouseButtonCode)
            return
        tmpKeycodeUSB = usbCode
        tmpKeyString = nameOf(usbCode)
    }

    function macroEditorFocus() {
        timesInput.closeFocus()
        if (nameEditRow >= 0 || delayEditRow >= 0)
            listViewFocus()
        closeMenus()
    }

    // --- Inside the editor ---

    function codeOf(name: string): int {
        if (keyNames)
            return keyNames.strTokeycode(name)
        return KeyCodes.strTokeycode(KeyCodes.keyCode, KeyCodes.defaultKeyCodeStr, name)
    }

    function nameOf(usbCode: int): string {
        if (keyNames)
            return keyNames.keycodeTostr(usbCode)
        return KeyCodes.keycodeTostr(KeyCodes.keyCode, KeyCodes.defaultKeyCodeStr, usbCode)
    }

    function currentName(): string {
        const row = macroNumber_lv.currentIndex
        return row >= 0 && row < macroNumberModel.count
                ? String(macroNumberModel.get(row).textValue) : ""
    }

    function closeMenus() {
        macroMenu.visible = false
        actionMenu.visible = false
    }

    function autoSave() {
        const name = currentName()
        if (name.length === 0)
            return
        ui_View.saveMacroIni(name, Macro.storedList(Macro.eventsOf(actionModel)),
                             Values.toInt(timesInput.textValue, 0))
        ++saveCount
        modifyMacroData(name)
    }

    function loadEvents() {
        actionModel.clear()
        const name = currentName()
        if (name.length === 0)
            return
        const loaded = Macro.parseLoaded(ui_View.loadMacroIni(name))
        for (const event of loaded.events)
            actionModel.append(event)
        timesInput.textValue = String(Math.min(loaded.repeat, 9999))
        actionList.currentIndex = -1
    }

    function storeNames() {
        const names = macroNames()
        ui_View.updataNameList(0, names)
        macroNamesChanged(names)
    }

    function selectMacro(row: int) {
        if (isInputting)
            stopRecording()
        macroNumber_lv.currentIndex = row
        loadEvents()
    }

    // A row appears only once its file is written.
    function newMacro() {
        macroEditorFocus()
        const name = Macro.nextName(macroNames())
        if (macroNumberModel.count >= Macro.maxMacros || name.length === 0)
            return
        if (isInputting)
            stopRecording()
        if (!ui_View.createMacroIni(name, 0))
            return
        macroNumberModel.append({ textValue: name })
        macroNumber_lv.currentIndex = macroNumberModel.count - 1
        loadEvents()
        storeNames()
    }

    // A stray macro file under the new name would be kept instead of the
    // imported one, so such names are passed over.
    function importMacro() {
        closeMenus()
        const name = Macro.nextName(macroNames(), hasMacroFile)
        if (macroNumberModel.count >= Macro.maxMacros || name.length === 0)
            return
        if (isInputting)
            stopRecording()
        // Cancelled or refused (the view says why): no row.
        if (!ui_View.loadMacroFile(name))
            return
        if (!Macro.fits(Macro.parseLoaded(ui_View.loadMacroIni(name)).events)) {
            ui_View.deleteMacroIni(name)
            ui_View.refuse(Refusals.importTooLong)
            return
        }
        const selected = macroNumber_lv.currentIndex
        const row = selected >= 0 ? selected : macroNumberModel.count
        macroNumberModel.insert(row, { textValue: name })
        macroNumber_lv.currentIndex = row
        loadEvents()
        storeNames()
    }

    function exportMacro() {
        closeMenus()
        const name = currentName()
        if (name.length > 0)
            ui_View.saveMacroFile(name)
    }

    function deleteCurrentMacro() {
        macroEditorFocus()
        const row = macroNumber_lv.currentIndex
        const name = currentName()
        if (name.length === 0)
            return
        if (isInputting)
            stopRecording()
        ui_View.deleteMacroIni(name)
        actionModel.clear()
        deleteMacro(name)
        macroNumberModel.remove(row)
        macroNumber_lv.currentIndex = Math.min(row, macroNumberModel.count - 1)
        loadEvents()
        storeNames()
    }

    // Deleting asks first, naming the macro.
    function askDeleteMacro() {
        macroEditorFocus()
        const name = currentName()
        if (name.length > 0)
            deleteConfirm.ask(Refusal.text(refusalLang, Refusal.deleteMacro, name))
    }

    function hasMacroFile(name: string): bool {
        return ui_View.loadMacroIni(name).length > 0
    }

    // A new name is taken when no row bears it yet, it can name a file, and
    // no stray macro file already has it. The store renames the file and the
    // profiles' links first; a rename it refuses changes nothing here.
    function renameMacro(row: int, newName: string): bool {
        if (row < 0 || row >= macroNumberModel.count)
            return false
        const oldName = String(macroNumberModel.get(row).textValue)
        if (newName === oldName)
            return false
        let reason = Macro.nameRefusal(newName, macroNames())
        if (reason < 0 && hasMacroFile(newName))
            reason = Refusals.nameTaken
        if (reason < 0 && !ui_View.modifyMacroNameUpdateProfile(oldName, newName))
            reason = Refusals.renameFailed
        if (reason >= 0) {
            ui_View.refuse(reason)
            return false
        }
        macroNumberModel.setProperty(row, "textValue", newName)
        storeNames()
        modifyMacroName(oldName, newName)
        return true
    }

    function startNameEdit(row: int) {
        closeMenus()
        delayEditRow = -1
        editText = String(macroNumberModel.get(row).textValue)
        nameEditRow = row
    }

    function startDelayEdit(row: int) {
        if (Number(actionModel.get(row).type) !== 0)
            return
        closeMenus()
        nameEditRow = -1
        editText = String(actionModel.get(row).info)
        delayEditRow = row
    }

    function commitEdits() {
        if (nameEditRow >= 0) {
            const row = nameEditRow
            nameEditRow = -1
            renameMacro(row, editText)
        }
        if (delayEditRow >= 0) {
            const row = delayEditRow
            delayEditRow = -1
            const ms = Macro.parseDelay(editText)
            if (ms !== null && row < actionModel.count) {
                const events = Macro.eventsOf(actionModel)
                events[row].info = String(ms)
                if (Macro.fits(events))
                    actionModel.setProperty(row, "info", String(ms))
                else
                    ui_View.refuse(Refusals.macroTooLong)
            }
            autoSave()
        }
    }

    function toggleRecording() {
        if (isInputting) {
            stopRecording()
            return
        }
        if (macroNumber_lv.currentIndex < 0) {
            ui_View.notifyUser(Refusal.text(refusalLang, Refusal.noMacroToRecord))
            return
        }
        macroEditorFocus()
        actionModel.clear()
        macroRecordCount = 0
        recordClock.start()
        isInputting = true
    }

    function stopRecording() {
        recordClock.stop()
        isInputting = false
        const events = Macro.eventsOf(actionModel)
        const releases = Macro.missingReleases(events)
        // The recorder stops short of the block's end, so the releases fit.
        if (Macro.recordCount(events.concat(releases)) <= Macro.blockSize) {
            for (const release of releases)
                actionModel.append(release)
        }
        autoSave()
    }

    // Inserts `events` at `row` when the macro may still grow.
    function insertEvents(row: int, events: var): bool {
        const current = Macro.eventsOf(actionModel)
        const candidate = current.slice(0, row).concat(events, current.slice(row))
        if (!Macro.mayGrow(current, candidate)) {
            ui_View.refuse(Refusals.macroTooLong)
            return false
        }
        for (let i = 0; i < events.length; ++i)
            actionModel.insert(row + i, events[i])
        return true
    }

    function actionMenuChosen(entry: int) {
        closeMenus()
        const row = actionList.currentIndex
        if (row < 0 || row >= actionModel.count)
            return
        switch (entry) {
        case 0: {
            // Two waits around the event merge into one longer encoding.
            const rest = Macro.eventsOf(actionModel)
            rest.splice(row, 1)
            if (!Macro.fits(rest)) {
                ui_View.refuse(Refusals.macroTooLong)
                return
            }
            actionModel.remove(row)
            actionList.currentIndex = Math.min(row, actionModel.count - 1)
            break
        }
        case 1:
            if (!insertEvents(row, [{ type: 0, info: Macro.defaultDelay }]))
                return
            actionList.currentIndex = row
            break
        case 2:
            if (recordCount() >= Macro.recordLimit) {
                ui_View.refuse(Refusals.macroTooLong)
                return
            }
            tmpKeyString = ""
            tmpKeycodeUSB = 0
            isInsertting = true
            insertKeyBox.visible = true
            return
        default: {
            const button = ["MS-L", "MS-M", "MS-R"][entry - 3]
            if (!insertEvents(row + 1, [{ type: 3, info: button }, { type: 4, info: button }]))
                return
        }
        }
        autoSave()
    }

    function insertKeyConfirmed() {
        insertKeyBox.visible = false
        isInsertting = false
        const selected = actionList.currentIndex
        const last = actionModel.count - 1
        const row = selected < 0 || selected >= last ? actionModel.count : selected
        const name = tmpKeyString
        if (name.length === 0)
            return
        if (insertEvents(row, [{ type: 1, info: name }, { type: 2, info: name }]))
            autoSave()
    }

    function close() {
        if (isInputting)
            stopRecording()
        // The insert-key box covers the close mark; closed from outside, it
        // inserts nothing.
        insertKeyBox.visible = false
        isInsertting = false
        deleteConfirm.visible = false
        macroEditorFocus()
        visible = false
        closed()
    }

    function openMenu(menu: var, item: var, x: real, y: real) {
        closeMenus()
        const point = item.mapToItem(macroEditorMain, x, y)
        menu.x = Math.min(point.x, width - menu.width)
        menu.y = Math.min(point.y, height - menu.height)
        menu.visible = true
    }

    width: 640
    height: 448
    color: Theme.colorGray0
    border.color: Theme.colorGray1

    onListViewFocus: commitEdits()

    Timer {
        id: recordClock

        interval: 10
        repeat: true
        onTriggered: ++macroEditorMain.macroRecordCount
    }

    ListModel {
        id: macroNumberModel
    }

    ListModel {
        id: actionModel
    }

    // A press on the dialog ends editing; dragging it moves it.
    DialogFrame {
        title: macroEditorMain.macroEditorLang[0]
        skinNo: macroEditorMain.skinNo
        onBackgroundPressed: macroEditorMain.macroEditorFocus()
        onCloseClicked: macroEditorMain.close()
    }

    ThemedText {
        x: 16
        y: 44
        text: macroEditorMain.macroEditorLang[1]
        font.bold: true
    }

    Rectangle {
        id: macroListBox

        x: 16
        y: 68
        width: 200
        height: 316
        color: Theme.colorBlack
        border.color: Theme.colorGray1

        ListView {
            id: macroNumber_lv

            anchors.fill: parent
            anchors.margins: 1
            anchors.rightMargin: macroScrollBar.visible ? macroScrollBar.width + 1 : 1
            clip: true
            currentIndex: -1
            boundsBehavior: Flickable.StopAtBounds
            model: macroNumberModel
            // qmllint disable unqualified
            delegate: Rectangle {
                id: macroRow

                required property int index
                required property string textValue
                readonly property bool editing: macroEditorMain.nameEditRow === index

                width: macroNumber_lv.width
                height: 24
                color: index === macroNumber_lv.currentIndex ? Theme.colorOrange
                                                             : rowArea.containsMouse ? Theme.colorGray1
                                                                                     : "transparent"

                ThemedText {
                    anchors.verticalCenter: parent.verticalCenter
                    x: 8
                    width: parent.width - 16
                    elide: Text.ElideRight
                    visible: !macroRow.editing
                    text: macroRow.textValue
                }

                MouseArea {
                    id: rowArea

                    anchors.fill: parent
                    hoverEnabled: true
                    acceptedButtons: Qt.LeftButton | Qt.RightButton
                    onPressed: (mouse) => {
                        macroEditorMain.macroEditorFocus()
                        macroEditorMain.selectMacro(macroRow.index)
                        if (mouse.button === Qt.RightButton)
                            macroEditorMain.openMenu(macroMenu, rowArea, mouse.x, mouse.y)
                    }
                    onDoubleClicked: (mouse) => {
                        if (mouse.button === Qt.LeftButton)
                            macroEditorMain.startNameEdit(macroRow.index)
                    }
                }

                EditField {
                    visible: macroRow.editing
                    active: macroRow.editing
                    initialText: macroRow.textValue
                    onEdited: (text) => { macroEditorMain.editText = text }
                    onAccepted: macroEditorMain.listViewFocus()
                }
            }
            // qmllint enable unqualified
        }

        ListScrollBar {
            id: macroScrollBar

            objectName: "macroScrollBar"
            anchors.right: parent.right
            anchors.rightMargin: 1
            anchors.top: parent.top
            anchors.topMargin: 1
            anchors.bottom: parent.bottom
            anchors.bottomMargin: 1
            flickable: macroNumber_lv
        }
    }

    Row {
        x: 16
        y: 396
        spacing: 16

        TextButton {
            id: newButton

            objectName: "macroNewButton"
            width: 92
            textValue: macroEditorMain.macroEditorLang[2]
            onClicked: macroEditorMain.newMacro()
        }

        TextButton {
            id: deleteButton

            objectName: "macroDeleteButton"
            width: 92
            textValue: macroEditorMain.macroEditorLang[3]
            onClicked: macroEditorMain.askDeleteMacro()
        }
    }

    ThemedText {
        x: 232
        y: 44
        text: macroEditorMain.macroEditorLang[4]
        font.bold: true
    }

    Text {
        objectName: "recordCountText"
        anchors.right: actionBox.right
        y: 44
        text: (actionModel.count, macroEditorMain.saveCount, macroEditorMain.recordCount()) + " / "
              + Macro.recordLimit
        visible: macroNumber_lv.currentIndex >= 0
        color: Theme.colorGray2
        font.family: Theme.fontFamily
        font.pixelSize: Theme.fontMinSize
    }

    Rectangle {
        id: actionBox

        x: 232
        y: 68
        width: 392
        height: 316
        color: Theme.colorBlack
        border.color: macroEditorMain.isInputting ? Theme.colorOrange : Theme.colorGray1

        ListView {
            id: actionList

            anchors.fill: parent
            anchors.margins: 1
            anchors.rightMargin: actionScrollBar.visible ? actionScrollBar.width + 1 : 1
            clip: true
            currentIndex: -1
            boundsBehavior: Flickable.StopAtBounds
            model: actionModel
            // qmllint disable unqualified
            delegate: Rectangle {
                id: actionRow

                required property int index
                required property int type
                required property string info
                readonly property bool editing: macroEditorMain.delayEditRow === index

                width: actionList.width
                height: 24
                color: index === actionList.currentIndex ? Theme.colorOrange
                                                         : actionArea.containsMouse ? Theme.colorGray1
                                                                                    : "transparent"

                Text {
                    anchors.verticalCenter: parent.verticalCenter
                    x: 8
                    width: 28
                    text: actionRow.index
                    color: Theme.colorGray2
                    font.family: Theme.fontFamily
                    font.pixelSize: Theme.fontMinSize
                }

                Image {
                    anchors.verticalCenter: parent.verticalCenter
                    x: 40
                    source: Theme.skinImage(macroEditorMain.skinNo, "macros",
                                            ["delay", "keyDown", "keyUp", "mouseDown",
                                             "mouseUp"][actionRow.type] || "delay")
                }

                ThemedText {
                    anchors.verticalCenter: parent.verticalCenter
                    x: 66
                    width: parent.width - x - 8
                    elide: Text.ElideRight
                    visible: !actionRow.editing
                    text: actionRow.type === 0 ? actionRow.info + " ms" : actionRow.info
                }

                MouseArea {
                    id: actionArea

                    anchors.fill: parent
                    hoverEnabled: true
                    acceptedButtons: Qt.LeftButton | Qt.RightButton
                    onPressed: (mouse) => {
                        macroEditorMain.macroEditorFocus()
                        actionList.currentIndex = actionRow.index
                        if (mouse.button === Qt.RightButton)
                            macroEditorMain.openMenu(actionMenu, actionArea, mouse.x, mouse.y)
                    }
                    onDoubleClicked: (mouse) => {
                        if (mouse.button === Qt.LeftButton)
                            macroEditorMain.startDelayEdit(actionRow.index)
                    }
                }

                EditField {
                    x: 62
                    width: 80
                    visible: actionRow.editing
                    active: actionRow.editing
                    initialText: actionRow.info
                    validator: IntValidator { bottom: 0; top: 65535 }
                    onEdited: (text) => { macroEditorMain.editText = text }
                    onAccepted: macroEditorMain.listViewFocus()
                }
            }
            // qmllint enable unqualified
        }

        ListScrollBar {
            id: actionScrollBar

            objectName: "actionScrollBar"
            anchors.right: parent.right
            anchors.rightMargin: 1
            anchors.top: parent.top
            anchors.topMargin: 1
            anchors.bottom: parent.bottom
            anchors.bottomMargin: 1
            flickable: actionList
        }
    }

    Row {
        x: 232
        y: 396
        spacing: 16

        ThemedText {
            anchors.verticalCenter: parent.verticalCenter
            text: macroEditorMain.macroEditorLang[6]
        }

        RectInput {
            id: timesInput

            anchors.verticalCenter: parent.verticalCenter
            minValue: 0
            maxValue: 9999
            textValue: "1"
            description: macroEditorMain.macroEditorLang[6]
            onEndInputSignal: macroEditorMain.autoSave()
        }

        CheckBox {
            id: delayCheck

            anchors.verticalCenter: parent.verticalCenter
            textValue: macroEditorMain.macroEditorLang[9]
        }
    }

    TextButton {
        id: recordButton

        objectName: "recordButton"
        x: actionBox.x + actionBox.width - width
        y: 396
        width: 120
        faceColor: macroEditorMain.isInputting ? Theme.colorUnsaved : Theme.colorBlue
        textValue: macroEditorMain.isInputting ? macroEditorMain.macroEditorLang[5]
                                               : macroEditorMain.macroEditorLang[8]
        onClicked: macroEditorMain.toggleRecording()
    }

    PopupMenu {
        id: macroMenu

        objectName: "macroMenu"
        entries: [macroEditorMain.macroEditorLang[10], macroEditorMain.macroEditorLang[11],
            macroEditorMain.macroEditorLang[12]]
        onChosen: (entry) => {
            if (entry === 0)
                macroEditorMain.askDeleteMacro()
            else if (entry === 1)
                macroEditorMain.importMacro()
            else
                macroEditorMain.exportMacro()
        }
    }

    PopupMenu {
        id: actionMenu

        objectName: "actionMenu"
        entries: [macroEditorMain.macroEditorLang[10], macroEditorMain.macroEditorLang[13],
            macroEditorMain.macroEditorLang[14], macroEditorMain.macroEditorLang[15],
            macroEditorMain.macroEditorLang[16], macroEditorMain.macroEditorLang[17]]
        onChosen: (entry) => macroEditorMain.actionMenuChosen(entry)
    }

    // The insert-key box over the editor's own mask: the next key pressed
    // fills its field; OK inserts its press and release.
    InsertKeyBox {
        id: insertKeyBox

        title: macroEditorMain.macroEditorLang[14]
        keyText: macroEditorMain.tmpKeyString
        okText: macroEditorMain.macroEditorLang[7]
        onConfirmed: macroEditorMain.insertKeyConfirmed()
    }

    ConfirmBox {
        id: deleteConfirm

        objectName: "macroDeleteConfirm"
        confirmText: macroEditorMain.macroEditorLang[3]
        cancelText: Refusal.text(macroEditorMain.refusalLang, Refusal.cancel)
        onConfirmed: macroEditorMain.deleteCurrentMacro()
    }
}
