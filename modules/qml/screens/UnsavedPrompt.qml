import QtQuick

// The unsaved-changes question before a profile switch or the quit. It
// answers 0 Save, 1 Discard, 2 Cancel (also Escape).
QuestionDialog {
    id: unsavedPrompt

    // Title, text, then the Save, Discard and Cancel texts.
    property var texts: []

    signal chosen(int answer)

    buttonGap: 12
    bottomGap: 14
    title: texts[0]
    text: texts[1]
    buttons: [{ name: "unsavedCancel", text: texts[4] },
              { name: "unsavedDiscard", text: texts[3] },
              { name: "unsavedSave", text: texts[2] }]
    onAnswered: (index) => unsavedPrompt.chosen(2 - index)
    Keys.onEscapePressed: unsavedPrompt.chosen(2)
}
