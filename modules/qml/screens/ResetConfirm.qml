import QtQuick

// The factory-reset confirmation: Cancel or OK.
QuestionDialog {
    id: resetConfirm

    // The main texts: Reset, the question, Cancel and OK at 5..8.
    property var mainLang: []

    signal confirmed()
    signal cancelled()

    // Escape, as Cancel.
    function close() {
        cancelled()
    }

    title: mainLang[5]
    text: mainLang[6]
    buttons: [{ name: "resetCancel", text: mainLang[7] }, { name: "resetOk", text: mainLang[8] }]
    onAnswered: (index) => index === 1 ? resetConfirm.confirmed() : resetConfirm.cancelled()
}
