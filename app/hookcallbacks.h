#pragma once

#include <cstdint>
#include <memory>

class GlobalInputHooks;
class QMessageBox;
class QObject;
class QString;
class Widget;
struct CopyDataRecord;

// What the program does with global input and with data records from other
// processes. Each function takes the main window `Widget` as its context; a
// null context does nothing.
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
// A warning text: tag 0x250F and a UTF-8 text exactly `byteCount` bytes long
// shows a modal warning box captioned with the window title. Anything else
// is ignored. Texts arriving while a box is up are shown after it, a few at
// most.
void showWarningText(const CopyDataRecord &record, void *context);

// The warning box, ready to be shown: no parent, application modal, one OK
// button, plain text.
QMessageBox *makeWarningBox(const QString &title, const QString &text);

// Shows a warning box; runs it modally unless replaced (tests).
using WarningPresenter = void (*)(QMessageBox *box);
void setWarningPresenter(WarningPresenter presenter);

} // namespace HookCallbacks
