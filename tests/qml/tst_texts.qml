import QtQuick
import QtTest

// Every text of every screen and dialog fits its box in every language, or is elided (its full text then in a tooltip).
Item {
    id: scene

    width: 1024; height: 640

    SceneTestCase {
        name: "Texts"

        // Where `text` paints its letters, in its parent's coordinates.
        function painted(text) {
            const share = { [Text.AlignHCenter]: 0.5, [Text.AlignRight]: 1 }[text.horizontalAlignment] || 0
            const wrapped = text.wrapMode !== Text.NoWrap
            const width = wrapped ? text.width : text.contentWidth
            return Qt.rect(text.x + (text.width - width) * share, text.y, width, wrapped ? text.height : text.contentHeight)
        }

        // Whether `inner` and `outer` meet without `outer` holding all of `inner`.
        function cuts(inner, outer) {
            const meet = inner.x < outer.x + outer.width && outer.x < inner.x + inner.width
                         && inner.y < outer.y + outer.height && outer.y < inner.y + inner.height
            const holds = outer.x <= inner.x + 0.5 && outer.y <= inner.y + 0.5 && inner.x + inner.width <= outer.x + outer.width + 0.5
                          && inner.y + inner.height <= outer.y + outer.height + 0.5
            return meet && !holds
        }

        // Why a shown, unelided `text` does not fit: wider or taller than its box, out of its button or dialog `frame`,
        // or under a control beside it; "" when it fits.
        function misfit(text, frame) {
            const box = painted(text)
            if (text.wrapMode === Text.NoWrap ? text.implicitWidth > text.width + 0.5 : text.contentHeight > text.height + 0.5)
                return `${Math.ceil(text.implicitWidth)}x${Math.ceil(text.contentHeight)} in ${text.width}x${text.height}`
            const host = text.parent
            if (host !== frame && cuts(box, Qt.rect(0, 0, host.width, host.height)))
                return `out of a ${host.width}x${host.height} box`
            const corner = host.mapToItem(frame, box.x, box.y)
            if (cuts(Qt.rect(corner.x, corner.y, box.width, box.height), Qt.rect(0, 0, frame.width, frame.height)))
                return `out of the ${frame.width}x${frame.height} frame`
            const other = Array.from(host.children).find((o) => o !== text && o.visible && o.width > 0 && o.height > 0
                                                                 && cuts(box, Qt.rect(o.x, o.y, o.width, o.height)))
            return other ? `under ${other.objectName || other} at ${other.x},${other.y}` : ""
        }

        // Calls `visit(item, frame)` on `item` and every item under it, `frame` the box its place is judged in: the
        // dialog or window, within a scrolling page the page's whole content. Hidden items are left unless `hidden`.
        function walk(item, visit, hidden = false, frame = item) {
            if (!hidden && (!item.visible || item.opacity === 0))
                return
            visit(item, frame)
            const inner = item.contentItem && item.contentHeight !== undefined ? item.contentItem : frame
            for (let i = 0; i < (item.children ? item.children.length : 0); ++i)
                walk(item.children[i], visit, hidden, item.children[i] === inner ? inner : frame)
        }

        // The shown texts under `item` that do not fit, as "text why"; a cut text shows whole in its tooltip.
        function overflowing(item) {
            const found = []
            walk(item, (text, frame) => {
                if (text.text === undefined || text.elide === undefined || text.text === "")
                    return
                const why = text.elide === Text.ElideNone ? misfit(text, frame)
                                                          : text.truncated && text.toolTipText !== text.text ? "cut without a tooltip" : ""
                if (why)
                    found.push(`"${text.text}" ${why}`)
            })
            return found
        }

        // Opens or closes what `item` shows on demand: drop-down lists and grids, menus, confirmations; then lets rows,
        // grids and lists place their items (they do when polished, before the next frame).
        function showPopups(item, shown) {
            const popups = ["profileMenu", "profileDeleteConfirm", "macroMenu", "actionMenu", "insertKeyBox", "macroDeleteConfirm"]
            const open = (part) => { part[part.isDrop !== undefined ? "isDrop" : "visible"] = shown }
            walk(item, (part) => part.isDrop !== undefined || popups.includes(part.objectName) ? open(part) : null, true)
            walk(item, (part) => waitForItemPolished(part))
        }

        function test_everyTextFits_data() {
            return [{ tag: "mouse", attached: true, dialogs: ["keyAssigmentMain", "macroEditorMain", "gunControlMain", "systemSettingMain",
                                                             "profileMain", "helpMenu", "resetConfirm", "unsavedPrompt"] },
                    { tag: "gun", attached: true, isGun: true, dialogs: ["keyAssigmentMain", "gunControlMain"] },
                    { tag: "no mouse", attached: false, dialogs: [] }]
        }

        // Each language in turn, the window and each dialog with its drop-downs and menus closed, then open.
        function test_everyTextFits(data) {
            const main = startMain(data.attached, data.isGun)
            const failures = new Set() // the closed state is looked at twice
            const check = (language, where, item) => [false, true, false].forEach((shown) => {
                showPopups(item, shown)
                overflowing(item).forEach((text) => failures.add(`${language} ${where}${shown ? ", opened" : ""}: ${text}`))
            })
            for (const language of ui_View.languages()) {
                ui_View.setLanguage(language.code)
                tryCompare(main, "language", language.code)
                if (!data.attached) // as the program tells the scene, in the longer "access denied" case
                    main.setMouseState(false, ui_View.getLangStrings("tray", language.code)[9], ui_View.getLangStrings("other", language.code)[8])
                // The longest notice too, twice over: a notice may carry a file name.
                const bar = child(main, "noticeBar")
                bar.text = ui_View.getLangStrings("notice", language.code).reduce((a, b) => (b.length > a.length ? b : a)).repeat(2)
                bar.show()
                check(language.code, "window", main)
                const picture = testData.picturePath(`window-${data.tag.replace(" ", "-")}-${language.code}.png`)
                if (picture)
                    grabImage(main).save(picture)
                for (const name of data.dialogs) {
                    const shown = dialog(main, name)
                    shown.visible = true
                    check(language.code, name, shown)
                    shown.visible = false
                }
            }
            // Each on a line of its own: the test's message is cut short.
            failures.forEach((failure) => console.warn(failure))
            compare(failures.size, 0, "texts that do not fit, listed above")
        }
    }
}
