import QtQuick
import "../common"

// A category's options as radio buttons, `columns` to a row; the buttons are
// named `name` followed by their row. The page lights one with light().
Grid {
    id: choices

    property var texts: []
    property string name
    // 0: each button as wide as its text.
    property int choiceWidth: 160

    signal chosen(int index)

    function light(index: int) {
        for (let i = 0; i < radios.count; ++i)
            (radios.itemAt(i) as RadioButton).isSelect = i === index
    }

    columns: 3
    rowSpacing: 10

    Repeater {
        id: radios

        model: choices.texts.length

        // qmllint disable unqualified
        delegate: RadioButton {
            objectName: choices.name + model.index
            width: choices.choiceWidth > 0 ? choices.choiceWidth : implicitWidth
            index: model.index
            textValue: choices.texts[model.index]
            onBtnClick: (i) => choices.chosen(i)
        }
        // qmllint enable unqualified
    }
}
