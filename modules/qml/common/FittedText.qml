import QtQuick
import "../basic/theme.js" as Theme

// A label that some languages make longer than its place: the text first
// shrinks (down to the smallest size the scene uses), then is cut with an
// ellipsis and shown whole in a tooltip under the pointer (or while
// `tipHost`, a control it names, has the keyboard focus). The hover area and
// the tooltip exist only while the text is cut.
ThemedText {
    id: fittedText

    // The whole text while it is cut, else "".
    readonly property string toolTipText: truncated ? text : ""
    // Set by a host that takes the hover itself (a button's own mouse area).
    property bool tipHovered: false
    property Item tipHost: fittedText

    elide: Text.ElideRight
    fontSizeMode: Text.HorizontalFit
    minimumPixelSize: Theme.fontMinSize

    Loader {
        anchors.fill: parent
        active: fittedText.truncated
        sourceComponent: Item {
            HoverHandler {
                id: hover
            }

            // qmllint disable unqualified
            ToolTipBox {
                host: fittedText.tipHost
                text: fittedText.toolTipText
                hovered: fittedText.tipHovered || hover.hovered
            }
            // qmllint enable unqualified
        }
    }
}
