#pragma once

#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>

class GlobalInputHooks;
class QMessageBox;
class QObject;
class QString;
class Widget;
struct CopyDataRecord;

// What the program does with global input and with data records from other
// processes. The input callbacks take the main window `Widget` as their
// context, showWarningText a `WarningBoxes`; a null context does nothing.
namespace HookCallbacks {

// Tag of a record that asks for a warning text to be shown.
constexpr std::uint64_t warningTextTag = 0x250F;

// The scene's detectKeyboard(isDown, usbCode), queued.
void keyboardToScene(std::uint8_t usage, bool down, void *context);
// The scene's detectMouse(isDown, mirkCode, x, y), queued.
void mouseToScene(std::uint8_t button, bool down, int x, int y, void *context);
// The hooks go in while the scene of `widget` has a capture active and come
// out when it ends; the callbacks above deliver to that scene. The link holds
// while the returned object lives: keep it no longer than `hooks`.
[[nodiscard]] std::unique_ptr<QObject> connectCaptures(GlobalInputHooks &hooks, Widget *widget);

// Shows a prepared warning box; without one given, the box opens modal to
// the application and returns at once (no event loop of its own: nothing
// else waits for the user's click).
using WarningPresenter = std::function<void(QMessageBox *box)>;

// The warning boxes of one window, captioned with its title: one at a time;
// texts that arrive while it is up wait, a few at most, and beyond that the
// newest takes the last place, so a flood of records can neither stack
// boxes nor grow memory. The next one opens when the box is closed.
class WarningBoxes
{
public:
    explicit WarningBoxes(const Widget *window, WarningPresenter presenter = {});
    ~WarningBoxes();

    void show(const QString &text);

private:
    static constexpr int maxWaiting = 3;

    void present(const QString &text);

    const Widget *m_window;
    WarningPresenter m_presenter;
    std::unique_ptr<QMessageBox> m_box;
    QStringList m_waiting;
};

// A warning text: tag 0x250F and a UTF-8 text exactly `byteCount` bytes long
// goes to the `WarningBoxes` given as context. Anything else is ignored.
void showWarningText(const CopyDataRecord &record, void *context);

// The warning box, ready to be shown: no parent, application modal, one OK
// button, plain text.
QMessageBox *makeWarningBox(const QString &title, const QString &text);

} // namespace HookCallbacks
