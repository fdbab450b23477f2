#include "myqquickview.h"

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include "artprovider.h"
#include "autostart.h"
#include "filereplace.h"
#include "gundatafile.h"
#include "keymatrixstore.h"
#include "langstrings.h"
#include "macrostore.h"
#include "namelistfile.h"
#include "profilegunkeys.h"
#include "profilesettings.h"
#include "profilestore.h"
#include "qtfiledialogs.h"
#include "scenelog.h"
#include "scenevalues.h"
#include "session.h"
#include "settingkeys.h"
#include "settingsstore.h"
#include "usertexts.h"

#include <QCoreApplication>
#include <QDebug>
#include <QFile>
#include <QFocusEvent>
#include <QJSValue>
#include <QMetaMethod>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QResizeEvent>
#include <QTimer>

namespace {
// A script array arrives as a QJSValue, which the settings file cannot hold;
// it is stored as the list it stands for.
QVariant storable(const QVariant &value)
{
    if (value.metaType() == QMetaType::fromType<QJSValue>())
        return value.value<QJSValue>().toVariant();
    return value;
}

QList<int> sceneList(const QVariant &value)
{
    return sceneInts(storable(value).toList());
}
} // namespace

myQQuickView::myQQuickView(Session &session, QWidget *parent)
    : QQuickWidget(parent), m_session(session)
{
    engine()->addImageProvider(QLatin1String(ArtProvider::scheme), new ArtProvider);
    m_fileDialogs = std::make_unique<QtFileDialogs>(this, [this] {
        const QString language = m_session.language();
        return getLangStrings(QStringLiteral("fileDialog"), language)
               << getLangStrings(QStringLiteral("language"), language).value(1);
    });

    connect(&session, &Session::notice, this, &myQQuickView::notifyUser);
    connect(&session, &Session::pointerSettingFailed, this, &myQQuickView::pointerSettingFailed);
    connect(&session, &Session::busyChanged, this, &myQQuickView::busyChanged);
    connect(&session, &Session::profileUnsentChanged, this, &myQQuickView::profileUnsentChanged);
    connect(&session, &Session::dpiStageChanged, this, &myQQuickView::dpiStageChanged);
    connect(&session, &Session::profileChanged, this, &myQQuickView::profileChanged);
    connect(&session, &Session::profileReloaded, this, &myQQuickView::profileReloaded);
    connect(&session, &Session::reportRateChanged, this, &myQQuickView::reportRateChanged);
    connect(&session, &Session::gunPresetsReset, this, &myQQuickView::gunPresetsReset);
    connect(&session, &Session::languageChanged, this, &myQQuickView::languageChanged);

    // Whatever the scene leaves transparent shows the desktop.
    setClearColor(Qt::transparent);
    setAttribute(Qt::WA_AlwaysStackOnTop);
}

myQQuickView::~myQQuickView() = default;

std::unique_ptr<FileDialogs> myQQuickView::setFileDialogs(std::unique_ptr<FileDialogs> dialogs)
{
    std::swap(m_fileDialogs, dialogs);
    return dialogs;
}

void myQQuickView::invokeScene(const char *name, const QVariantList &args, Delivery delivery)
{
    const QByteArray function(name);
    if (delivery == Delivery::Synchronous) {
        callSceneNow(function, args);
        return;
    }
    // A functor queued on this object runs on the GUI thread after the events
    // already posted, so calls keep the order in which they were requested.
    QMetaObject::invokeMethod(
        this, [this, function, args] { callSceneNow(function, args); }, Qt::QueuedConnection);
}

void myQQuickView::callSceneNow(const QByteArray &name, const QVariantList &args)
{
    QObject *root = rootObject();
    if (!root)
        return;
    const QMetaMethod method = sceneFunction(name, int(args.size()));
    if (!method.isValid() || args.size() > 10)
        return;

    // Scene functions with typed parameters take those types; untyped ones
    // take variants. Convert each argument to what the function declares.
    QVariantList converted;
    converted.reserve(args.size());
    for (int i = 0; i < args.size(); ++i) {
        const QMetaType type = method.parameterMetaType(i);
        QVariant value = args.at(i);
        if (type.id() != QMetaType::QVariant && !value.convert(type))
            return;
        converted.append(value);
    }

    QGenericArgument argv[10];
    for (int i = 0; i < converted.size(); ++i) {
        const QMetaType type = method.parameterMetaType(i);
        const void *data = type.id() == QMetaType::QVariant
                               ? static_cast<const void *>(&converted.at(i))
                               : converted.at(i).constData();
        argv[i] = QGenericArgument(type.name(), data);
    }
    QVariant result;
    if (method.returnMetaType().id() == QMetaType::QVariant) {
        method.invoke(root, Qt::DirectConnection, Q_RETURN_ARG(QVariant, result), argv[0], argv[1],
                      argv[2], argv[3], argv[4], argv[5], argv[6], argv[7], argv[8], argv[9]);
    } else {
        method.invoke(root, Qt::DirectConnection, argv[0], argv[1], argv[2], argv[3], argv[4],
                      argv[5], argv[6], argv[7], argv[8], argv[9]);
    }
}

QMetaMethod myQQuickView::sceneFunction(const QByteArray &name, int parameterCount) const
{
    const QObject *root = rootObject();
    if (!root)
        return {};
    const QMetaObject *meta = root->metaObject();
    for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
        const QMetaMethod candidate = meta->method(i);
        if (candidate.name() == name &&
            (parameterCount < 0 || candidate.parameterCount() == parameterCount))
            return candidate;
    }
    return {};
}

SettingsStore *myQQuickView::store() const
{
    return &m_session.store();
}

bool myQQuickView::isBusy() const
{
    return m_session.isBusy();
}

bool myQQuickView::profileUnsent() const
{
    return m_session.profileUnsent();
}

int myQQuickView::dpiStage() const
{
    return m_session.dpiStage();
}

int myQQuickView::activeProfile() const
{
    return m_session.activeProfile();
}

bool myQQuickView::requestProfileSwitch(int number)
{
    if (!isSignalConnected(QMetaMethod::fromSignal(&myQQuickView::profileSwitchRequested)))
        return false;
    emit profileSwitchRequested(number);
    return true;
}

bool myQQuickView::requestQuit()
{
    if (!isSignalConnected(QMetaMethod::fromSignal(&myQQuickView::quitRequested)))
        return false;
    emit quitRequested();
    return true;
}

void myQQuickView::refuse(int reason)
{
    const QString text = m_session.refusalText(reason);
    if (!text.isEmpty())
        notifyUser(text);
}

bool myQQuickView::noteWritten(bool written, int reason)
{
    if (written)
        return true;
    ++m_failedWrites;
    refuse(reason);
    return false;
}

void myQQuickView::noteImport(ImportResult result)
{
    if (result == ImportResult::TooLarge)
        refuse(UserTexts::FileTooLarge);
    else if (result == ImportResult::Failed)
        refuse(UserTexts::ImportFailed);
    else if (result == ImportResult::NotWritten)
        refuse(UserTexts::NotMade);
}

void myQQuickView::initUI()
{
    invokeScene("initUI");
}

void myQQuickView::runUI()
{
    invokeScene("run");
}

void myQQuickView::setBusy(int busyTime)
{
    invokeScene("setProtectUI", {busyTime}, Delivery::Synchronous);
}

void myQQuickView::call(QJSValue done, const QJSValueList &args)
{
    if (done.isCallable())
        done.call(args);
}

QVariantMap myQQuickView::profileSettings(bool isRecovery)
{
    return ProfileSettings::read(m_session.store(), isRecovery).toVariant();
}

void myQQuickView::save(QVariantMap values, QJSValue done)
{
    Session::SaveRequest request;
    if (values.contains(QStringLiteral("keys")))
        request.keys = sceneList(values.value(QStringLiteral("keys")));
    if (values.contains(QStringLiteral("dpi"))) {
        const QVariantMap dpi = storable(values.value(QStringLiteral("dpi"))).toMap();
        request.dpi = Session::SaveRequest::Dpi{dpi.value(QStringLiteral("active")).toInt(),
                                                sceneList(dpi.value(QStringLiteral("values")))};
    }
    if (values.contains(QStringLiteral("lighting"))) {
        const QVariantMap light = storable(values.value(QStringLiteral("lighting"))).toMap();
        request.lighting =
            Session::SaveRequest::Lighting{light.value(QStringLiteral("effect")).toInt(),
                                           light.value(QStringLiteral("speed")).toInt(),
                                           light.value(QStringLiteral("brightness")).toInt(),
                                           sceneList(light.value(QStringLiteral("colours")))};
    }
    m_session.save(request, [done](const Session::SaveOutcome &outcome) {
        call(done, {outcome.ok, outcome.unsaved[Session::KeyPanel],
                    outcome.unsaved[Session::DpiPanel], outcome.unsaved[Session::LightPanel]});
    });
}

void myQQuickView::switchProfile(int number)
{
    m_session.switchProfile(number);
}

void myQQuickView::factoryReset()
{
    m_session.factoryReset();
}

void myQQuickView::chooseReportRate(int row, QJSValue done)
{
    m_session.setReportRate(row, [done](bool ok) { call(done, {ok}); });
}

void myQQuickView::sendGunSlots(QVariantList src64, QJSValue done)
{
    m_session.sendGunSlots(sceneInts(src64), [done](bool ok) { call(done, {ok}); });
}

void myQQuickView::sendKeyTable(QVariantList src64, QJSValue done)
{
    m_session.sendKeys(sceneInts(src64), [done](bool ok) { call(done, {ok}); });
}

void myQQuickView::sendMacro(int macroIndex, QString macroName)
{
    m_session.sendMacro(macroIndex, macroName);
}

void myQQuickView::sendMacroSlots(QVariantList src64, QString macroName)
{
    m_session.sendMacroSlots(sceneInts(src64), macroName);
}

QVariantList myQQuickView::macroBytes(QStringList events, int repeat)
{
    QVariantList bytes;
    for (int byte : m_session.macroBytes(events, repeat))
        bytes.append(byte);
    return bytes;
}

void myQQuickView::setUnsavedEdits(bool unsaved)
{
    m_session.setUnsavedEdits(unsaved);
}

void myQQuickView::openUpdateExe()
{}

void myQQuickView::notifyUser(QString text)
{
    // Several steps of one action may fail alike: the user hears it once.
    if (m_toldThisTurn.contains(text))
        return;
    if (m_toldThisTurn.isEmpty())
        QTimer::singleShot(0, this, [this] { m_toldThisTurn.clear(); });
    m_toldThisTurn.append(text);
    // The scene shows it through its own connection to this signal, so that
    // a scene hosted elsewhere (tests) shows it too.
    emit userNotice(text);
}

void myQQuickView::setCaptureActive(bool active)
{
    // Nobody can be typing into a hidden window for us.
    active = active && isVisible();
    if (active == m_captureActive)
        return;
    m_captureActive = active;
    emit captureActiveChanged(active);
}

void myQQuickView::hideEvent(QHideEvent *event)
{
    setCaptureActive(false);
    // The scene drops its recording or waiting field, so that it does not
    // show a capture that no longer receives anything.
    invokeScene("endCaptures", {}, Delivery::Synchronous);
    QQuickWidget::hideEvent(event);
    // The software renderer keeps a frame image of the view's size; hidden
    // in the tray the view shrinks it to a pixel (a hidden widget gets its
    // resize event only when shown, so it is sent here) and regains its
    // size on show.
    QTimer::singleShot(0, this, [this] {
        if (isVisible() || m_shownSize.isValid())
            return;
        m_shownSize = size();
        resize(1, 1);
        QResizeEvent shrunk(size(), m_shownSize);
        QCoreApplication::sendEvent(this, &shrunk);
        releaseHiddenMemory();
    });
}

void myQQuickView::releaseHiddenMemory()
{
    // The dialogs the scene released on endCaptures go now, then what only
    // they used: their script objects, cached images and, with glibc, the
    // freed heap pages, which the allocator would otherwise keep.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    engine()->collectGarbage();
    if (QQuickWindow *window = quickWindow())
        window->releaseResources();
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

void myQQuickView::showEvent(QShowEvent *event)
{
    if (m_shownSize.isValid()) {
        resize(std::exchange(m_shownSize, QSize()));
    }
    // Before the first frame, so that the scene paints with its pictures.
    invokeScene("wake", {}, Delivery::Synchronous);
    QQuickWidget::showEvent(event);
}

bool myQQuickView::event(QEvent *event)
{
    // Seen here, before Tab is taken for focus moves.
    const QEvent::Type type = event->type();
    if (type == QEvent::KeyPress || type == QEvent::MouseButtonPress) {
        const bool keyboard = type == QEvent::KeyPress;
        if (keyboard != m_keyboardInUse) {
            m_keyboardInUse = keyboard;
            emit keyboardInUseChanged();
        }
    }
    return QQuickWidget::event(event);
}

void myQQuickView::focusInEvent(QFocusEvent *event)
{
    update();
    // The base class hands focus on to the scene's window; without it text
    // fields in the scene would never receive keys.
    QQuickWidget::focusInEvent(event);
    event->accept();
}

QVariant myQQuickView::getData(QVariant key, bool isRecovery)
{
    return store()->data(key.toString(), isRecovery);
}

QVariant myQQuickView::getGlobalData(QVariant key)
{
    return store()->globalData(key.toString());
}

QVariantList myQQuickView::getDataList(QVariant key, bool isRecovery)
{
    return store()->dataList(key.toString(), isRecovery);
}

void myQQuickView::setData(QVariant key, QVariant data)
{
    noteWritten(store()->setData(key.toString(), storable(data)));
}

void myQQuickView::setGlobalData(QVariant key, QVariant tmpdata)
{
    noteWritten(store()->setGlobalData(key.toString(), storable(tmpdata)));
}

void myQQuickView::setDataList(QVariant key, QVariantList datalist)
{
    noteWritten(store()->setDataList(key.toString(), datalist));
}

void myQQuickView::resetApconfig()
{
    noteWritten(store()->resetGlobalSettings());
}

bool myQQuickView::loadProfile(int profile)
{
    const ImportResult result = ProfileStore(*store()).importProfile(profile, *m_fileDialogs);
    noteImport(result);
    return result == ImportResult::Imported;
}

void myQQuickView::saveProfile(int profile)
{
    noteWritten(ProfileStore(*store()).exportProfile(profile, *m_fileDialogs),
                UserTexts::ExportFailed);
}

void myQQuickView::resetProfile(int profile)
{
    noteWritten(ProfileStore(*store()).resetProfile(profile), UserTexts::NotMade);
}

void myQQuickView::copyProfile(int destprofile, int srcprofile)
{
    noteWritten(ProfileStore(*store()).copyProfile(destprofile, srcprofile), UserTexts::NotMade);
}

QVariant myQQuickView::updataNameList(QVariant type, QStringList nameList)
{
    return noteWritten(
        NameListFile(store()->root(), store()->setAsideNotice()).update(type, nameList),
        UserTexts::NotMade);
}

QVariantList myQQuickView::getNameList(QVariant type)
{
    return NameListFile(store()->root(), store()->setAsideNotice()).read(type);
}

QVariant myQQuickView::createMacroIni(QVariant name, QVariant macroIndex)
{
    return noteWritten(MacroStore(*store()).create(name.toString(), macroIndex.toUInt()),
                       UserTexts::NotMade);
}

QVariant myQQuickView::saveMacroIni(QVariant name, QStringList macros, QVariant repeat)
{
    return noteWritten(MacroStore(*store()).save(name.toString(), macros, repeat),
                       UserTexts::NotMade);
}

QStringList myQQuickView::loadMacroIni(QVariant name)
{
    return MacroStore(*store()).load(name.toString());
}

QVariant myQQuickView::deleteMacroIni(QVariant name)
{
    // A macro whose file is already gone is gone as the scene asks.
    return noteWritten(MacroStore(*store()).remove(name.toString()) ||
                           !QFile::exists(MacroStore(*store()).filePath(name.toString())),
                       UserTexts::NotMade);
}

bool myQQuickView::loadMacroFile(QVariant macroFileName)
{
    const ImportResult result =
        MacroStore(*store()).importMacro(macroFileName.toString(), *m_fileDialogs);
    noteImport(result);
    return result == ImportResult::Imported;
}

void myQQuickView::saveMacroFile(QVariant macroFileName)
{
    noteWritten(MacroStore(*store()).exportMacro(macroFileName.toString(), *m_fileDialogs),
                UserTexts::ExportFailed);
}

QVariant myQQuickView::modifyMacroNameUpdateProfile(QVariant oldname, QVariant newname)
{
    return MacroStore(*store()).rename(oldname.toString(), newname.toString());
}

void myQQuickView::deleteMacroUpdateProfile(QVariant macroName)
{
    MacroStore(*store()).unassign(macroName.toString());
}

QVariant myQQuickView::mouseSaveGundata(QVariant index, QVariantList src6)
{
    return noteWritten(
        GunDataFile(store()->root(), store()->setAsideNotice()).saveRecord(index.toString(), src6),
        UserTexts::NotMade);
}

void myQQuickView::modifyGundata(QVariant modifyType, QVariantList src6)
{
    GunDataFile(store()->root(), store()->setAsideNotice()).modify(modifyType.toInt(), src6);
}

QVariantList myQQuickView::getGunData(QVariant name)
{
    return GunDataFile(store()->root(), store()->setAsideNotice()).record(name.toString());
}

QStringList myQQuickView::getGunDataKey()
{
    return GunDataFile(store()->root(), store()->setAsideNotice()).keys();
}

QVariant myQQuickView::getXYSensitive(QVariant index)
{
    return ProfileGunKeys(*store()).xySensitive(index.toString());
}

void myQQuickView::setXYSensitive(QVariant index, QVariant xyData)
{
    noteWritten(ProfileGunKeys(*store()).setXYSensitive(index.toString(), xyData));
}

QVariant myQQuickView::getselectGun(QVariant index)
{
    return ProfileGunKeys(*store()).selectGun(index.toString());
}

void myQQuickView::setSelectGun(QVariant index, QVariant xyData)
{
    noteWritten(ProfileGunKeys(*store()).setSelectGun(index.toString(), xyData));
}

QVariantList myQQuickView::mouseGetKeydefine(QVariant index, bool flag)
{
    return KeyMatrixStore(*store()).record(index.toString(), flag);
}

QVariantList myQQuickView::defaultKeyCodes() const
{
    QVariantList table;
    for (const ProfileSettings::Record &codes : ProfileSettings::defaultKeys)
        table.append(QVariant(QVariantList(codes.begin(), codes.end())));
    return table;
}

void myQQuickView::mouseSetCursorSpeed(uint cursorSpeed)
{
    m_session.setPointerSpeed(int(std::min(cursorSpeed, 10u)));
}

void myQQuickView::mouseSetDoubleClickSpeed(uint speed)
{
    m_session.setDoubleClickSpeed(int(std::min(speed, 10u)));
}

void myQQuickView::mouseSetVerticalScrollLines(uint lines)
{
    m_session.setScrollLines(int(std::min(lines, 1000u)));
}

QString myQQuickView::pointerSettingReason(int setting)
{
    return m_session.pointerSettingReason(setting);
}

bool myQQuickView::getStartWithDesktop()
{
    return Autostart::isEnabled();
}

bool myQQuickView::setStartWithDesktop(bool enabled)
{
    // The check box shows the entry as it is; the notice says why it did not turn.
    const bool changed = Autostart::setEnabled(enabled, QCoreApplication::applicationFilePath());
    if (!changed)
        refuse(UserTexts::AutostartNotChanged);
    return changed;
}

QStringList myQQuickView::getLangStrings(QString typeStr, QString langCode)
{
    return LangStrings::read(store()->root(), typeStr, langCode, store()->setAsideNotice());
}

QVariantList myQQuickView::languages() const
{
    QVariantList list;
    for (const LangStrings::Language &language : LangStrings::languages(m_session.store().root()))
        list.append(QVariantMap{{QStringLiteral("code"), language.code},
                                {QStringLiteral("name"), language.name}});
    return list;
}

QString myQQuickView::chosenLanguage() const
{
    return m_session.chosenLanguage();
}

QString myQQuickView::language() const
{
    return m_session.language();
}

bool myQQuickView::setLanguage(const QString &code)
{
    if (m_session.setLanguage(code))
        return true;
    // Taken but not written, the user is told as for every setting; a
    // language without a file is not taken at all.
    if (m_session.chosenLanguage() == code)
        noteWritten(false);
    return false;
}
