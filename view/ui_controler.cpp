#include "ui_controler.h"

#include "myqquickview.h"
#include "settingkeys.h"

#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <QWindow>

Ui_Controler::Ui_Controler(QObject *parent) : QObject(parent)
{}

Ui_Controler::~Ui_Controler() = default;

myQQuickView *Ui_Controler::view() const
{
    return m_view.data();
}

QString Ui_Controler::defaultSceneUrl()
{
    return QStringLiteral("qrc:/modules/qml/main.qml");
}

void Ui_Controler::setupUi(QWidget *window, Session &session, const QString &sceneUrl,
                           SceneLoad load)
{
    m_window = window;
    if (window->objectName().isEmpty())
        window->setObjectName(QStringLiteral("Widget"));
    window->setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::CustomizeWindowHint);
    window->setWindowOpacity(1.0);
    window->setAttribute(Qt::WA_TranslucentBackground);
    window->setStyleSheet(QStringLiteral("background:transparent;"));

    m_view = new myQQuickView(session, window);
    m_view->setObjectName(QStringLiteral("ui_View"));

    // Published before the scene loads, so that its bindings and
    // connections find them at once; the scene stays idle until initUI.
    QQmlContext *context = m_view->rootContext();
    context->setContextProperty(QStringLiteral("ui_View"), m_view);
    context->setContextProperty(QStringLiteral("ui_Ctl"), this);
    window->setWindowTitle(m_view->getGlobalData(SettingKeys::commonName).toString());
    m_sceneUrl = sceneUrl;
    if (load == SceneLoad::Now) {
        loadScene();
        return;
    }
    // The engine shares loaded types between components: the view's own,
    // made in loadScene(), finds this one's work done or under way.
    m_pendingScene =
        new QQmlComponent(m_view->engine(), QUrl(sceneUrl), QQmlComponent::Asynchronous, this);
}

void Ui_Controler::loadScene()
{
    if (!m_view || !m_view->source().isEmpty())
        return;
    m_view->setSource(QUrl(m_sceneUrl));
    // Building the scene leaves script garbage that the engine would only
    // collect once its heap has grown past it; collected now (1-2 ms), the
    // start's later values reuse the space instead of adding to a heap
    // that never shrinks (0.15 MiB).
    m_view->engine()->collectGarbage();
    delete m_pendingScene;
    m_pendingScene = nullptr;
    // Fixed: a window manager must not stretch the frameless window into
    // an area that nothing paints.
    if (m_window)
        m_window->setFixedSize(m_view->size());
}

void Ui_Controler::onMinimize()
{
    if (!m_window)
        return;
    m_window->showMinimized();
    // Minimised, the view lets go of its pictures and captures. A window
    // manager that does not iconify (a tiling one, or none) leaves the
    // window on screen: it is then not minimised, and gets its contents back.
    constexpr int iconifyWaitMs = 1000;
    QTimer::singleShot(iconifyWaitMs, m_window, [window = m_window] {
        if (window && window->isMinimized() && window->windowHandle() &&
            window->windowHandle()->isExposed())
            window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    });
}

void Ui_Controler::onClose()
{
    // The window decides: to the tray, or out when there is none.
    if (m_window)
        m_window->close();
}

void Ui_Controler::onShow()
{
    if (!m_window)
        return;
    m_window->setVisible(true);
    m_window->setWindowState(m_window->windowState() & ~Qt::WindowMinimized);
    m_window->raise();
    m_window->activateWindow();
}

void Ui_Controler::onQuit()
{
    emit quitRequested();
}

void Ui_Controler::onXChanged(int x)
{
    if (m_window)
        moveOnScreen(m_window->pos() + QPoint(x, 0));
}

void Ui_Controler::onYChanged(int y)
{
    if (m_window)
        moveOnScreen(m_window->pos() + QPoint(0, y));
}

void Ui_Controler::moveOnScreen(QPoint to)
{
    // The window has no frame of its own: a title bar dragged above the
    // screen, or the whole window dragged out of it, could not be grabbed
    // again. The title bar stays below the top and a piece of it in reach.
    constexpr int titleBarHeight = 56;
    constexpr int inReach = 120;
    const QScreen *screen = m_window->screen();
    if (!screen) {
        m_window->move(to);
        return;
    }
    const QRect area = screen->availableVirtualGeometry();
    const int width = m_window->width();
    to.setX(qBound(area.left() + inReach - width, to.x(), area.right() + 1 - inReach));
    to.setY(qBound(area.top(), to.y(), area.bottom() + 1 - titleBarHeight));
    m_window->move(to);
}

bool Ui_Controler::startSystemMove()
{
    QWindow *handle = m_window ? m_window->windowHandle() : nullptr;
    return handle && handle->startSystemMove();
}

void Ui_Controler::setBusy(int busyTime)
{
    if (m_view)
        m_view->setBusy(busyTime);
}

void Ui_Controler::setBusy()
{
    setBusy(0);
}
