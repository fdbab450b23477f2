import QtQuick
import "../common"
import "../basic"
import "../basic/theme.js" as Theme
import "../basic/keycodes.js" as KeyCodes
import "../basic/refusal.js" as Refusal
import "macro.js" as Macro
import "macroeditor.js" as Editor

// The macro editor: named macros of key and mouse-button events with their
// delays. Every change is stored at once and announced with
// modifyMacroData, so that the main scene re-sends the macro to every
// device slot bound to it.
Rectangle {
    id: macroEditorMain

    property var macroEditorLang: ["Macro Editor", "Macro Name", "New", "Delete", "Action",
        "Stop Record", "Times", "OK", "Start Record", "Delay", "Delete", "Import", "Export",
        "Insert Delay", "Insert Key", "Insert Left Key", "Insert Middle Key", "Insert Right Key",
        "Close", "Press", "Release"]
    property var refusalLang: Refusal.english
    property bool isInputting: false
    property bool isInsertting: false
    property int tmpKeycodeUSB: 0
    property string tmpKeyString: ""
    // The key the insert-key box took, while it is still down (-1: none):
    // the box stops waiting as it comes up.
    property int insertHeld: -1
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
    property alias macroNumber_lv: macroListBox.view
    property alias actionModel: actionModel
    property alias actionList: actionBox.view
    property alias timesInput: timesInput
    property alias delayCheck: delayCheck
    property alias recordClock: recordClock
    property alias insertKeyBox: insertKeyBox

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


    function recordCount(): int {
        return Macro.recordCount(ui_View, Macro.eventsOf(actionModel))
    }

    function detectKeyboard(isDown: bool, usbCode: int) {
        Editor.recordKey(macroEditorMain, ui_View, isDown, usbCode)
    }

    function detectInput(isDown: bool, usbCode: int) {
        if (usbCode >= Macro.mouseButtonCode)
            return
        if (isDown) {
            tmpKeycodeUSB = usbCode
            tmpKeyString = nameOf(usbCode)
            insertHeld = usbCode
        } else if (usbCode === insertHeld) {
            insertHeld = -1
            isInsertting = false
        }
    }

    // The insert-key box waits for a key, shown if it is not yet.
    function startKeyInsert() {
        tmpKeyString = ""
        tmpKeycodeUSB = 0
        insertHeld = -1
        isInsertting = true
        if (!insertKeyBox.visible)
            insertKeyBox.open()
    }

    function cancelKeyInsert() {
        isInsertting = false
        insertKeyBox.visible = false
    }

    function macroEditorFocus() {
        timesInput.closeFocus()
        if (nameEditRow >= 0 || delayEditRow >= 0)
            listViewFocus()
        closeMenus()
    }

    // --- Inside the editor ---

    function nameOf(usbCode: int): string {
        if (keyNames)
            return keyNames.keycodeTostr(usbCode)
        return KeyCodes.keycodeTostr(KeyCodes.keyCode, KeyCodes.defaultKeyCodeStr, usbCode)
    }

    function closeMenus() {
        macroMenu.visible = false
        actionMenu.visible = false
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
        Editor.loadEvents(macroEditorMain, ui_View)
    }

    function newMacro() {
        macroEditorFocus()
        Editor.newMacro(macroEditorMain, ui_View)
    }

    function importMacro() {
        closeMenus()
        Editor.importMacro(macroEditorMain, ui_View)
    }

    function exportMacro() {
        closeMenus()
        const name = Editor.currentName(macroEditorMain)
        if (name.length > 0)
            ui_View.saveMacroFile(name)
    }

    function deleteCurrentMacro() {
        macroEditorFocus()
        Editor.deleteCurrentMacro(macroEditorMain, ui_View)
    }

    // Deleting asks first, naming the macro.
    function askDeleteMacro() {
        macroEditorFocus()
        const name = Editor.currentName(macroEditorMain)
        if (name.length > 0)
            deleteConfirm.ask(Refusal.text(refusalLang, Refusal.deleteMacro, name))
    }

    function hasMacroFile(name: string): bool {
        return ui_View.loadMacroIni(name).length > 0
    }

    function renameMacro(row: int, newName: string): bool {
        return Editor.renameMacro(macroEditorMain, ui_View, row, newName)
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

    function toggleRecording() {
        Editor.toggleRecording(macroEditorMain, ui_View, recordButton.pressingUsage)
    }

    function stopRecording() {
        Editor.stopRecording(macroEditorMain, ui_View)
    }

    function actionMenuChosen(entry: int) {
        closeMenus()
        Editor.actionMenuChosen(macroEditorMain, ui_View, entry)
    }

    function insertKeyConfirmed() {
        insertKeyBox.visible = false
        isInsertting = false
        Editor.insertKey(macroEditorMain, ui_View)
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

    onListViewFocus: Editor.commitEdits(macroEditorMain, ui_View)

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
        closeName: macroEditorMain.macroEditorLang[18]
        skinNo: macroEditorMain.skinNo
        onBackgroundPressed: macroEditorMain.macroEditorFocus()
        onCloseClicked: macroEditorMain.close()
    }

    MacroNameList {
        id: macroListBox

        x: 16
        y: 68
        width: 200
        height: 316
        title: macroEditorMain.macroEditorLang[1]
        model: macroNumberModel
        editRow: macroEditorMain.nameEditRow
        onRowPressed: (row, right, area, x, y) => {
            macroEditorMain.macroEditorFocus()
            macroEditorMain.selectMacro(row)
            if (right)
                macroEditorMain.openMenu(macroMenu, area, x, y)
        }
        onRowDoubleClicked: (row) => macroEditorMain.startNameEdit(row)
        newText: macroEditorMain.macroEditorLang[2]
        deleteText: macroEditorMain.macroEditorLang[3]
        onNewClicked: macroEditorMain.newMacro()
        onDeleteClicked: macroEditorMain.askDeleteMacro()
        onEdited: (text) => { macroEditorMain.editText = text }
        onEditAccepted: macroEditorMain.listViewFocus()
    }

    MacroActionList {
        id: actionBox

        x: 232
        y: 68
        width: 392
        height: 316
        title: macroEditorMain.macroEditorLang[4]
        eventWords: [macroEditorMain.macroEditorLang[9], macroEditorMain.macroEditorLang[19],
                     macroEditorMain.macroEditorLang[20]]
        // What shows the encoded length follows every edit and save.
        countText: macroEditorMain.macroNumber_lv.currentIndex < 0 ? ""
                   : (actionModel.count, macroEditorMain.saveCount, macroEditorMain.recordCount())
                     + " / " + Macro.recordLimit
        model: actionModel
        editRow: macroEditorMain.delayEditRow
        recording: macroEditorMain.isInputting
        skinNo: macroEditorMain.skinNo
        onRowPressed: (row, right, area, x, y) => {
            macroEditorMain.macroEditorFocus()
            macroEditorMain.actionList.currentIndex = row
            if (right)
                macroEditorMain.openMenu(actionMenu, area, x, y)
        }
        onRowDoubleClicked: (row) => macroEditorMain.startDelayEdit(row)
        onEdited: (text) => { macroEditorMain.editText = text }
        onEditAccepted: macroEditorMain.listViewFocus()
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
            onEndInputSignal: Editor.autoSave(macroEditorMain, ui_View)
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

    InsertKeyBox {
        id: insertKeyBox

        objectName: "insertKeyBox"

        title: macroEditorMain.macroEditorLang[14]
        keyText: macroEditorMain.tmpKeyString
        okText: macroEditorMain.macroEditorLang[7]
        waiting: macroEditorMain.isInsertting
        returnFocus: macroEditorMain.actionList
        onConfirmed: macroEditorMain.insertKeyConfirmed()
        onCancelled: macroEditorMain.cancelKeyInsert()
        onRetake: macroEditorMain.startKeyInsert()
    }

    ConfirmBox {
        id: deleteConfirm

        objectName: "macroDeleteConfirm"
        confirmText: macroEditorMain.macroEditorLang[3]
        cancelText: Refusal.text(macroEditorMain.refusalLang, Refusal.cancel)
        onConfirmed: macroEditorMain.deleteCurrentMacro()
    }
}
