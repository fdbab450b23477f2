#include "hookcallbacks.h"

#include "applog.h"
#include "globalinputhooks.h"
#include "myqquickview.h"
#include "ui_controler.h"
#include "widget.h"

#include <QDebug>
#include <QMessageBox>
#include <cstring>
#include <memory>

namespace HookCallbacks {
namespace {
myQQuickView *sceneView(void *context)
{
    auto *widget = static_cast<Widget *>(context);
    Ui_Controler *controller = widget ? widget->controller() : nullptr;
    return controller ? controller->view() : nullptr;
}

// The text ends at its first NUL, or where the delivered bytes end: a sender
// that leaves out the terminator never makes us read past its data.
std::size_t textLength(const CopyDataRecord &record)
{
    if (!record.data)
        return 0;
    const void *nul = std::memchr(record.data, '\0', record.size);
    return nul ? std::size_t(static_cast<const char *>(nul) - record.data) : record.size;
}
} // namespace

void keyboardToScene(std::uint8_t usage, bool down, void *context)
{
    if (myQQuickView *view = sceneView(context))
        view->invokeScene("detectKeyboard", {down, int(usage)}, myQQuickView::Delivery::Queued);
}

void mouseToScene(std::uint8_t button, bool down, int x, int y, void *context)
{
    if (myQQuickView *view = sceneView(context))
        view->invokeScene("detectMouse", {down, int(button), x, y}, myQQuickView::Delivery::Queued);
}

std::unique_ptr<QObject> connectCaptures(GlobalInputHooks &hooks, Widget *widget)
{
    auto link = std::make_unique<QObject>();
    hooks.setKeyboardCallback(keyboardToScene, widget);
    hooks.setMouseCallback(mouseToScene, widget);
    myQQuickView *view = sceneView(widget);
    if (!view)
        return link;
    QObject::connect(view, &myQQuickView::captureActiveChanged, link.get(), [&hooks](bool active) {
        // When, never what: the keys themselves are nobody's business.
        qCDebug(lcApp) << (active ? "Key capture started" : "Key capture ended");
        hooks.setCaptureActive(active);
    });
    hooks.setCaptureActive(view->isCaptureActive());
    return link;
}

void showWarningText(const CopyDataRecord &record, void *context)
{
    if (!context || record.tag != warningTextTag)
        return;
    const std::size_t length = textLength(record);
    if (length != record.byteCount)
        return;
    static_cast<WarningBoxes *>(context)->show(QString::fromUtf8(record.data, qsizetype(length)));
}

WarningBoxes::WarningBoxes(const Widget *window, WarningPresenter presenter)
    : m_window(window),
      m_presenter(presenter ? std::move(presenter) : [](QMessageBox *box) { box->open(); })
{}

WarningBoxes::~WarningBoxes() = default;

void WarningBoxes::show(const QString &text)
{
    if (!m_box) {
        present(text);
        return;
    }
    if (!m_waiting.isEmpty() && m_waiting.last() == text)
        return;
    if (m_waiting.size() < maxWaiting)
        m_waiting.append(text);
    else
        m_waiting.last() = text;
}

void WarningBoxes::present(const QString &text)
{
    m_box.reset(makeWarningBox(m_window->windowTitle(), text));
    QObject::connect(m_box.get(), &QDialog::finished, m_box.get(), [this] {
        // The closed box goes once its own signal is done with it.
        m_box.release()->deleteLater();
        if (!m_waiting.isEmpty())
            present(m_waiting.takeFirst());
    });
    m_presenter(m_box.get());
}

QMessageBox *makeWarningBox(const QString &title, const QString &text)
{
    auto *box = new QMessageBox(QMessageBox::Warning, title, text, QMessageBox::Ok);
    // Another process wrote the text: shown as it is, never as markup that
    // could load files or show links.
    box->setTextFormat(Qt::PlainText);
    box->setWindowModality(Qt::ApplicationModal);
    return box;
}

} // namespace HookCallbacks
