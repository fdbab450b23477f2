#include "widget.h"

#include "applog.h"
#include "datafolder.h"
#include "devicechangemonitor.h"
#include "devicedetector.h"
#include "hidbackend.h"
#include "langstrings.h"
#include "myqquickview.h"
#include "profilelist.h"
#include "protocol.h"
#include "session.h"
#include "settingkeys.h"
#include "settingsstore.h"
#include "storepaths.h"
#include "ui_controler.h"
#include "userevent.h"
#include "usertexts.h"

#include <QAction>
#include <QActionGroup>
#include <QBackingStore>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDebug>
#include <QFileInfo>
#include <QIcon>
#include <QImageReader>
#include <QMenu>
#include <QQuickItem>
#include <QTimer>
#include <QUrl>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {
// A tray shows its icon at 16 to 48 pixels, 64 on a dense screen; the
// icon file's larger pictures (a decoded 256 x 256 alone is 256 KiB) would
// stay in memory for the whole life of the program unused.
QIcon trayIconFrom(const QString &path)
{
    constexpr int largestTraySize = 64;
    QIcon icon;
    QImageReader reader(path);
    for (int i = 0; i < reader.imageCount() && reader.jumpToImage(i); ++i) {
        // The size comes from the file's directory: larger pictures are
        // never decoded.
        if (reader.size().width() > largestTraySize)
            continue;
        const QImage image = reader.read();
        if (!image.isNull() && image.width() <= largestTraySize)
            icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon.isNull() ? QIcon(path) : icon;
}
} // namespace

namespace {
// The virtual mouse is served as the family it emulates, whatever the data
// folder says, and nothing about it is written.
QVariantHash runValues()
{
    QVariantHash values;
    const QString virtualFamily = HidBackend::virtualFamilyFromEnvironment();
    if (!virtualFamily.isEmpty())
        values.insert(SettingKeys::mouseIcType, virtualFamily);
    return values;
}
} // namespace

Widget::Widget(const QString &dataFolder, QWidget *parent, const QString &sceneUrl,
               HidBackend *backend, Ui_Controler::SceneLoad load)
    : QWidget(parent), m_ownBackend(backend ? nullptr : HidBackend::fromEnvironment()),
      m_backend(backend ? backend : m_ownBackend.get()),
      m_session(std::make_unique<Session>(dataFolder, m_backend, runValues()))
{
    m_detectionTimer = new QTimer(this);

    m_controller = new Ui_Controler;
    m_controller->setupUi(this, *m_session,
                          sceneUrl.isEmpty() ? Ui_Controler::defaultSceneUrl() : sceneUrl, load);
    connect(view(), &myQQuickView::userNotice, this, &Widget::showNotice);
    m_session->tellEarlierSetAside();
    // Beside the program in a portable folder or the build tree, among the
    // factory data once installed.
    const QString programDir = QCoreApplication::applicationDirPath();
    for (const QString &dir : {programDir, DataFolder::factoryFolder(programDir)}) {
        if (QFileInfo::exists(dir + QStringLiteral("/manual.html"))) {
            view()->setManualUrl(
                QUrl::fromLocalFile(dir + QStringLiteral("/manual.html")).toString());
            break;
        }
    }
    connect(m_controller, &Ui_Controler::quitRequested, this, &Widget::exitSYS);
    connect(m_session.get(), &Session::dpiStageReported, this, &Widget::showDpiStage);
    // The listener has stopped: the scene shows its no-mouse state.
    connect(m_session.get(), &Session::deviceRemoved, this, &Widget::updateConnectionState);
    connect(m_session.get(), &Session::languageChanged, this, &Widget::relabelTray);
    m_temporaryFolderNoticeDue = DataFolder::isTemporary();
    m_detector = std::make_unique<DeviceDetector>(*this, *m_session);

    m_detectionTimer->setInterval(2048);
    m_detectionTimer->setSingleShot(true);
    connect(m_detectionTimer, &QTimer::timeout, this, &Widget::checkDevice);
    m_changeMonitor = new DeviceChangeMonitor(m_backend, this);
    connect(m_changeMonitor, &DeviceChangeMonitor::deviceChanged, this, &Widget::deviceChanged);

    m_trayIcon = new QSystemTrayIcon(this);
    m_showAction = new QAction(trayText(ShowWindowText), this);
    m_showAction->setObjectName(QStringLiteral("showWindowAction"));
    connect(m_showAction, &QAction::triggered, this, &Widget::showWindow);
    m_quitAction = new QAction(trayText(QuitText), this);
    m_quitAction->setObjectName(QStringLiteral("quitAction"));
    connect(m_quitAction, &QAction::triggered, this, &Widget::requestQuit);
    m_profileGroup = new QActionGroup(this);
    m_trayMenu = new QMenu(this);
    m_trayMenu->addAction(m_showAction);
    m_trayMenu->addSeparator();
    m_profilesEnd = m_trayMenu->addSeparator();
    m_trayMenu->addAction(m_quitAction);
    m_trayMenu->setStyleSheet(trayMenuStyleSheet());
    connect(m_trayMenu, &QMenu::aboutToShow, this, &Widget::fillProfileMenu);
    m_trayIcon->setContextMenu(m_trayMenu);
    m_trayIcon->setToolTip(trayText(NoMouseToolTip));
    m_trayIcon->setIcon(trayIconFrom(m_session->store().filePath(StorePaths::trayIcon)));
    connect(m_trayIcon, &QSystemTrayIcon::activated, this, &Widget::trayIconActivated);
    m_created.start();
    // A start that builds its scene in the background shows the icon in
    // startUp(), so that it does not hold back the window's first frame.
    if (load == Ui_Controler::SceneLoad::Now)
        showTrayIcon();
}

void Widget::showTrayIcon()
{
    m_trayIcon->show();
}

Widget::~Widget()
{
    m_session->link().stopEventListener();
    // The view goes with this window; its session after it.
    delete m_controller->view();
    m_controller->deleteLater();
    m_controller = nullptr;
}

myQQuickView *Widget::view() const
{
    return m_controller ? m_controller->view() : nullptr;
}

QString Widget::trayMenuStyleSheet()
{
    return QStringLiteral(
        "QMenu { border: 1px solid rgb(100, 100, 100); background: rgb(68, 69, 73); } "
        "QMenu::item { height: 22px; padding: 0px 25px 0px 20px; } "
        "QMenu::item:enabled { color: rgb(225, 225, 225); } "
        "QMenu::item:!enabled { color: rgb(155, 155, 155); } "
        "QMenu::item:enabled:selected { color: rgb(230, 230, 230); background: rgba(255, 255, "
        "255, 40); } "
        "QMenu::separator { height: 1px; background: rgb(100, 100, 100); } "
        "QMenu::indicator { width: 13px; height: 13px; } "
        "QMenu::icon { padding-left: 2px; padding-right: 2px; } ");
}

void Widget::startScene()
{
    view()->initUI();
    m_sceneStarted = true;
    // The scene's lock ends once the mouse's start-up exchanges have.
    m_session->startUp(
        [this](bool) { QCoreApplication::postEvent(this, new UserEvent(UserEvent::runScene)); });
}

QString Widget::trayText(TrayText which) const
{
    // StatusNotifier hosts (KDE, GNOME's AppIndicator) show the tooltip's
    // first line as the title.
    static const char *const english[TrayTextCount] = {
        "Show window",
        "Quit (&Q)",
        "Skarn Config: no mouse connected",
        "Skarn Config: mouse %1 connected",
        "No mouse connected",
        "Connect the mouse. Its settings appear here as soon as it is found.",
        "Info",
        "Detect Device",
        "Skarn Config: mouse found, access denied",
        "Mouse found, access denied",
    };
    const QStringList texts =
        LangStrings::read(m_session->store().root(), QStringLiteral("tray"), m_session->language());
    if (which < texts.size() && !texts.at(which).isEmpty())
        return texts.at(which);
    return QString::fromUtf8(english[which]);
}

void Widget::trayIconActivated(QSystemTrayIcon::ActivationReason reason)
{
    // KDE and GNOME's AppIndicator send one activation for a click; the X
    // tray sends a click and a double click.
    if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
        showWindow();
}

void Widget::receiveMessage(QString message)
{
    Q_UNUSED(message) // any message from a second copy means: come back
    showWindow();
}

bool Widget::mouseServed() const
{
    return m_session->isConnected();
}

void Widget::showWindow()
{
    m_showOnRun = false;
    QQuickItem *root = view() ? view()->rootObject() : nullptr;
    if (!mouseServed() && root && !m_sceneStarted) {
        m_sceneStarted = true;
        view()->initUI();
        // No mouse, no start-up exchanges: nothing for the start-up lock to
        // protect, and the no-mouse state shows at once.
        view()->runUI();
    }
    updateConnectionState();
    postRestore();
    showTrayIconAfterWindow();
    // Shown without a mouse, the window looks again once it has painted: a
    // plug-in may have gone unnoticed (no device events in a sandbox), or a
    // mouse that did not answer then may answer now. Not right after a pass.
    if (!mouseServed() && m_detector->msSinceLastPass() >= m_detectionTimer->interval()) {
        QTimer::singleShot(100, this, [this] {
            if (!mouseServed())
                checkDevice();
        });
    }
}

void Widget::showTrayIconAfterWindow()
{
    // Queued after the window's show: its first frame comes first.
    if (!m_trayIcon->isVisible())
        QMetaObject::invokeMethod(this, &Widget::showTrayIcon, Qt::QueuedConnection);
}

void Widget::updateConnectionState()
{
    showConnectionState(mouseServed());
}

void Widget::relabelTray()
{
    m_showAction->setText(trayText(ShowWindowText));
    m_quitAction->setText(trayText(QuitText));
    updateConnectionState();
}

void Widget::showConnectionState(bool served)
{
    // A mouse that is there but may not be opened is not "no mouse".
    const bool denied = !served && m_session->accessDenied();
    QString toolTip = trayText(denied ? DeniedToolTip : NoMouseToolTip);
    if (served) {
        const Hid_Thread &link = m_session->link();
        const DeviceEntry entry = link.deviceTable().value(link.currentIndex());
        toolTip = trayText(MouseToolTip)
                      .arg(QStringLiteral("%1:%2")
                               .arg(entry.vid, 4, 16, QLatin1Char('0'))
                               .arg(entry.pid, 4, 16, QLatin1Char('0')));
    }
    m_trayIcon->setToolTip(toolTip);
    if (!view())
        return;
    const QString detail = denied ? m_detector->accessDeniedText() : trayText(NoMouseDetail);
    view()->invokeScene("setMouseState",
                        {served, trayText(denied ? DeniedTitle : NoMouseTitle), detail});
}

QList<QAction *> Widget::profileActions() const
{
    return m_profileGroup->actions();
}

void Widget::fillProfileMenu()
{
    for (QAction *action : m_profileGroup->actions()) {
        m_trayMenu->removeAction(action);
        delete action;
    }
    const int active = m_session->activeProfile();
    const bool served = mouseServed();
    // Names are the user's text: an "&" would become a shortcut mark, and a
    // long name would stretch the menu across the screen.
    const QFontMetrics metrics = m_trayMenu->fontMetrics();
    const int widest = metrics.averageCharWidth() * 40;
    for (const ProfileList::Row &row : m_session->profiles().rows()) {
        const QString shown = metrics.elidedText(row.name, Qt::ElideRight, widest);
        auto *action = new QAction(QString(shown).replace(QLatin1Char('&'), QStringLiteral("&&")),
                                   m_profileGroup);
        action->setCheckable(true);
        action->setChecked(row.number == active);
        action->setEnabled(served);
        const int number = row.number;
        // A switch asked for during a send waits for it; the scene asks
        // about unsaved changes first.
        connect(action, &QAction::triggered, this, [this, number] {
            if (!view() || !view()->requestProfileSwitch(number))
                m_session->switchProfile(number);
        });
        m_trayMenu->insertAction(m_profilesEnd, action);
    }
}

void Widget::checkDevice()
{
    m_detector->checkDevice();
}

void Widget::startUp()
{
    m_detector->checkDevice([this] {
        // Without a mouse nothing starts the scene: a window asked for shows
        // why it is empty, once the pass has been presented.
        if (m_showOnRun && !mouseServed())
            QMetaObject::invokeMethod(this, &Widget::showWindow, Qt::QueuedConnection);
    });
    // The link's thread looks for the mouse while the scene is built here.
    // The scene waits for its types from the loader thread: the window to
    // come is made meanwhile rather than after the scene.
    if (m_showOnRun)
        create();
    m_controller->loadScene();
    // The icon's window and its docking cost the main window's first frame
    // several milliseconds: a window still to be shown has the icon follow
    // it (showWindow() or the scene's run shows it).
    if (!m_showOnRun)
        showTrayIcon();
}

void Widget::deviceChanged()
{
    if (!m_session->link().isListening())
        m_detectionTimer->start();
}

void Widget::showDpiStage(int stage)
{
    // The group "other" holds one caption per stage.
    const QStringList texts = LangStrings::read(m_session->store().root(), QStringLiteral("other"),
                                                m_session->language());
    const QString caption = texts.value(HidProtocol::dpiTextSlot(stage));
    showTrayMessage(QStringLiteral("Info"),
                    (caption.isEmpty() ? QStringLiteral("DPI Switch to") : caption) +
                        QLatin1Char(' '));
}

void Widget::showTrayMessage(const QString &title, const QString &text)
{
    // In front, the window shows it itself: the mouse's screen once found,
    // the access fix, the DPI stage marked.
    tellInTray(title, text, QSystemTrayIcon::Information);
}

void Widget::tellInTray(const QString &title, const QString &text,
                        QSystemTrayIcon::MessageIcon icon)
{
    // The window tells a user who is working in it, or who is about to (a
    // start that shows the window once the scene runs); the tray tells one
    // who is not (hidden, minimised, or behind a terminal that ran a
    // command), where a balloon beside the window would only say it twice.
    if ((isVisible() && isActiveWindow() && !isMinimized()) || m_showOnRun)
        return;
    // Also written out, for checks from outside and for troubleshooting.
    qCDebug(lcApp).noquote() << "Tray message:" << title << "-" << text;
    showBalloon(title, text, icon);
    emit trayMessageShown(title, text);
}

void Widget::showBalloon(const QString &title, const QString &text,
                         QSystemTrayIcon::MessageIcon icon)
{
    // A balloon needs the icon shown, which a start does after its first
    // frame, and on an XEmbed tray docked, which the tray host does some time
    // later; until then the icon sits at the screen's origin and a balloon
    // shown from there is lost. A start-up balloon waits for both.
    constexpr int dockPollMs = 50;
    constexpr qint64 dockWaitLimitMs = 3000;
    const QRect at = m_trayIcon->geometry();
    const bool docked = m_trayIcon->isVisible() && !(at.isValid() && at.topLeft().isNull());
    if (!docked && m_created.elapsed() < dockWaitLimitMs) {
        QTimer::singleShot(dockPollMs, this,
                           [this, title, text, icon] { showBalloon(title, text, icon); });
        return;
    }
    m_trayIcon->showMessage(title, text, icon, 10000);
}

void Widget::showNotice(const QString &text)
{
    const QString title = windowTitle().isEmpty() ? QStringLiteral("Skarn Config") : windowTitle();
    qCDebug(lcApp).noquote() << "Notice:" << text;
    tellInTray(title, text, QSystemTrayIcon::Warning);
}

void Widget::requestQuit()
{
    // A scene that cannot ask (none loaded) must not keep the program alive.
    if (!view() || !view()->requestQuit())
        exitSYS();
}

void Widget::exitSYS()
{
    if (m_quitting)
        return;
    m_quitting = true;
    m_session->close();
    if (!m_session->isBusy()) {
        endNow();
        return;
    }
    // A profile half sent is worse than a quit that waits: the transfer ends
    // first, or, past the bound, stops between two commands, where it
    // counts as not taken (and the profile stays owed). The window goes at
    // once; the tray says why the program is still there.
    setVisible(false);
    showNotice(m_session->noticeText(UserTexts::FinishingTransfer));
    connect(m_session.get(), &Session::busyChanged, this, [this](bool busy) {
        if (!busy)
            endNow();
    });
    QTimer::singleShot(m_quitWaitMs, this, [this] { m_session->stopSending(); });
}

void Widget::endNow()
{
    m_session->link().requestStop();
    m_quitRequested = true;
    QCoreApplication::exit(0);
}

void Widget::postRestore()
{
#ifdef Q_OS_WIN
    PostMessageW(reinterpret_cast<HWND>(winId()), WM_SYSCOMMAND, SC_RESTORE, 0);
#else
    QMetaObject::invokeMethod(
        this,
        [this] {
            setVisible(true);
            setWindowState(windowState() & ~Qt::WindowMinimized);
            raise();
            activateWindow();
        },
        Qt::QueuedConnection);
#endif
}

void Widget::customEvent(QEvent *event)
{
    if (event->type() == UserEvent::eventType &&
        static_cast<UserEvent *>(event)->code() == UserEvent::runScene) {
        view()->runUI();
        // Told once the scene runs, where its notice bar hears it.
        if (std::exchange(m_temporaryFolderNoticeDue, false)) {
            QTimer::singleShot(0, view(),
                               [view = view()] { view->refuse(UserTexts::TemporaryDataFolder); });
        }
        // The scene's run is queued too: the show, then the icon follow it.
        if (std::exchange(m_showOnRun, false)) {
            QMetaObject::invokeMethod(this, &QWidget::showNormal, Qt::QueuedConnection);
            showTrayIconAfterWindow();
        }
    }
}

bool Widget::trayHostPresent() const
{
    return m_trayIcon->isVisible() && QSystemTrayIcon::isSystemTrayAvailable();
}

void Widget::closeEvent(QCloseEvent *event)
{
    // A close (the scene's button or the window manager's Alt+F4) hides to
    // the tray, where the tray menu's Quit ends the program. Without a tray
    // (GNOME without its AppIndicator extension) nothing could bring the
    // window back or quit it, so a close quits, asking about unsaved edits.
    event->ignore();
    if (trayHostPresent())
        setVisible(false);
    else
        requestQuit();
}

void Widget::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    // Hidden in the tray, possibly for hours, the window need not keep a
    // window-sized image of its last frame (2.5 MiB); the next show sizes it
    // back and paints it anew.
    QTimer::singleShot(0, this, [this] {
        if (QBackingStore *store = backingStore(); store && !isVisible())
            store->resize(QSize(1, 1));
    });
}

#ifdef Q_OS_WIN
bool Widget::nativeEvent(const QByteArray &eventType, void *message, qintptr *result)
{
    Q_UNUSED(eventType)
    Q_UNUSED(result)
    const MSG *msg = static_cast<const MSG *>(message);
    if (msg->message == WM_SYSCOMMAND && (msg->wParam & 0xFFF0) == SC_RESTORE)
        setVisible(true);
    else if (msg->message == WM_DEVICECHANGE)
        deviceChanged();
    return false; // never consumed: the default handling restores the window
}
#endif
