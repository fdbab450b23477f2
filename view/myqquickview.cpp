#include "myqquickview.h"

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include "artprovider.h"
#include "autostart.h"
#include "deviceoperations.h"
#include "filereplace.h"
#include "gundatafile.h"
#include "hid_thread.h"
#include "hidbackend.h"
#include "keymatrixstore.h"
#include "langstrings.h"
#include "macrostore.h"
#include "namelistfile.h"
#include "pointersettings.h"
#include "processstate.h"
#include "profilegunkeys.h"
#include "profilestore.h"
#include "qtfiledialogs.h"
#include "scenelog.h"
#include "scenevalues.h"
#include "settingkeys.h"
#include "settingsstore.h"
#include "storelog.h"

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
// Built-in texts of the group "refusal", in the order of myQQuickView::Refusal.
const char *const englishRefusals[] = {
    "That name is already taken.",
    "A name cannot be empty or contain \\ / : * ? \" < > |.",
    "A name can be at most 64 characters long.",
    "That name is reserved.",
    "The macro could not be renamed; nothing was changed.",
    "That change would not fit the mouse's 128-byte macro; it was not made.",
    "The file is larger than 1 MiB and was not imported.",
    "The macro in that file does not fit the mouse's 128 bytes; it was not imported.",
    "The change could not be saved in the data folder; it is kept and saved again with the "
    "next change.",
    "The file could not be imported.",
    "Damaged settings files were set aside as .damaged; their factory values are used.",
    "The device table was damaged; the factory table is used.",
    "The file could not be written.",
    "The data folder could not be written; the change was not made.",
    "The data folder could not be created; changes are kept only until the program quits.",
    "The desktop's autostart entry could not be changed.",
};
static_assert(std::size(englishRefusals) == myQQuickView::RefusalCount);

QString refusalIn(int reason, const QString &langCode, const FileReplace::SetAsideNotice &notice)
{
    if (reason < 0 || reason >= myQQuickView::RefusalCount)
        return {};
    const QString text =
        LangStrings::read(QStringLiteral("refusal"), langCode, notice).value(reason);
    return text.isEmpty() ? QString::fromUtf8(englishRefusals[reason]) : text;
}
} // namespace

myQQuickView::myQQuickView(QWidget *parent) : QQuickWidget(parent)
{
    engine()->addImageProvider(QLatin1String(ArtProvider::scheme), new ArtProvider);
    // The virtual mouse is served as the family it emulates, whatever the
    // data folder says, and nothing about it is written.
    QVariantHash runValues;
    const QString virtualFamily = HidBackend::virtualFamilyFromEnvironment();
    if (!virtualFamily.isEmpty())
        runValues.insert(SettingKeys::mouseIcType, virtualFamily);
    // The store hands the notice to every reader of the data folder.
    m_store = new SettingsStore(this, runValues, [this](const QString &path) {
        qCWarning(lcStore).noquote() << "Damaged data file set aside:" << path;
        noteSetAside();
    });
    const DeviceFlags &flags = m_store->deviceFlags();
    m_device =
        DeviceOperations::create(flags.icType, {flags.isColorful, flags.isGun, flags.is55328});
    m_fileDialogs = std::make_unique<QtFileDialogs>(this);
    m_pointerSettings = PointerSettings::createSystem();

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

void myQQuickView::setDevicePresent(bool present)
{
    // Without a mouse the scene's no-mouse state disables everything that
    // talks to it; the window itself must stay usable (close, minimise,
    // help, moving it), so the view is enabled, whatever a busy lock left.
    m_deviceAway = !present;
    QQuickWidget::setEnabled(true);
}

void myQQuickView::setEnabled(bool enabled)
{
    QQuickWidget::setEnabled(enabled || m_deviceAway);
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

bool myQQuickView::sceneHasFunction(const char *name) const
{
    return sceneFunction(QByteArray(name), -1).isValid();
}

QString myQQuickView::refusalText(int reason, const QString &langCode)
{
    return refusalIn(reason, langCode, {});
}

void myQQuickView::refuse(int reason)
{
    const QString text =
        refusalIn(reason, m_store->globalData(SettingKeys::commonLanguage).toString(),
                  m_store->setAsideNotice());
    if (!text.isEmpty())
        notifyUser(text);
}

bool myQQuickView::noteWritten(bool written, Refusal reason)
{
    if (written)
        return true;
    ++m_failedWrites;
    refuse(reason);
    return false;
}

// The scene and the window connect to userNotice after the view exists, and
// several files may be set aside at once: one notice, on the next turn.
void myQQuickView::noteSetAside()
{
    if (m_setAsideNoticeQueued)
        return;
    m_setAsideNoticeQueued = true;
    QTimer::singleShot(0, this, [this] {
        m_setAsideNoticeQueued = false;
        refuse(DamagedFiles);
    });
}

void myQQuickView::noteImport(ImportResult result)
{
    if (result == ImportResult::TooLarge)
        refuse(FileTooLarge);
    else if (result == ImportResult::Failed)
        refuse(ImportFailed);
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

void myQQuickView::setCurrentDPI(int dpiValue)
{
    // Called from the device listener's thread: always queued to the GUI.
    invokeScene("setCurrentDPI", {dpiValue}, Delivery::Queued);
}

void myQQuickView::setDeviceLink(Hid_Thread *link)
{
    m_device->setLink(link);
}

Hid_Thread *myQQuickView::deviceLink() const
{
    return m_device->link();
}

QByteArray myQQuickView::deviceProfile(int n) const
{
    return m_device->profileBlock(n);
}

void myQQuickView::clearHidBusy()
{
    m_device->clearBusy();
}

void myQQuickView::mouseSetKeyboardoption(uchar byte1, uchar byte2, uchar byte3, uchar byte4)
{
    m_device->setKeyboardOption(byte1, byte2, byte3, byte4);
}

QVariantList myQQuickView::GetKeyboardoption()
{
    const std::array<uchar, 4> option = m_device->keyboardOption();
    return {option[0], option[1], option[2], option[3]};
}

void myQQuickView::mouseSetReportRate(uchar rate)
{
    m_device->setReportRate(rate);
}

void myQQuickView::mouseSetCurrentDPI(uchar currentDPI)
{
    m_device->setCurrentDpi(currentDPI);
}

QVariant myQQuickView::mouseGetCurrentDPI()
{
    // No stage (a failed query or a stage the mouse cannot have) reaches
    // the scene as undefined, so it keeps the stage it shows.
    const int stage = m_device->currentDpi();
    return stage ? QVariant(stage) : QVariant();
}

void myQQuickView::mouseSwitchKeyMatrix(int indexNo)
{
    m_device->switchKeyMatrix(indexNo);
}

void myQQuickView::mouseSetProfile(uint profileNo)
{
    m_device->sendProfile(profileNo);
}

void myQQuickView::mouseReadProfile(uint profileNo)
{
    m_device->readProfile(profileNo);
}

QVariant myQQuickView::mouseReadCurrentProfile()
{
    return m_device->currentProfile();
}

void myQQuickView::mouseSetDpi(int dpiCount, QString sensorType, QVariantList dpiValueArray)
{
    m_device->setDpi(dpiCount, sensorType, sceneInts(dpiValueArray));
}

void myQQuickView::mouseSetRGBEffect(uchar effect, uchar option1, uchar option2)
{
    m_device->setLighting(effect, option1, option2);
}

void myQQuickView::mouseSetRGBColor(uchar type, QVariantList src24)
{
    m_device->setStageColours(type, sceneInts(src24));
}

void myQQuickView::mouseSendGundata(int slot, QVariantList values)
{
    m_device->sendGunData(slot, sceneInts(values));
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

int myQQuickView::deviceFailureCount() const
{
    // Wraps only after billions of failures; the scene compares for change.
    return int(m_device->failedOperations());
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

bool myQQuickView::focusNextPrevChild(bool next)
{
    // Disabling a widget that has the focus asks it to pass the focus on,
    // which the base class does with a Tab into the scene: every busy lock
    // (a save, a profile switch) moved the keyboard focus to the next
    // control, or to the first when none had it, and lit its focus ring.
    // Keys do not reach a disabled widget, so the focus can stay put.
    if (!isEnabled())
        return true;
    return QQuickWidget::focusNextPrevChild(next);
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
    return m_store->data(key.toString(), isRecovery);
}

QVariant myQQuickView::getGlobalData(QVariant key)
{
    return m_store->globalData(key.toString());
}

QVariantList myQQuickView::getDataList(QVariant key, bool isRecovery)
{
    return m_store->dataList(key.toString(), isRecovery);
}

// A script array arrives as a QJSValue, which the settings file cannot hold;
// it is stored as the list it stands for.
static QVariant storable(const QVariant &value)
{
    if (value.metaType() == QMetaType::fromType<QJSValue>())
        return value.value<QJSValue>().toVariant();
    return value;
}

void myQQuickView::setData(QVariant key, QVariant data)
{
    noteWritten(m_store->setData(key.toString(), storable(data)));
}

void myQQuickView::setGlobalData(QVariant key, QVariant tmpdata)
{
    noteWritten(m_store->setGlobalData(key.toString(), storable(tmpdata)));
}

void myQQuickView::setDataList(QVariant key, QVariantList datalist)
{
    noteWritten(m_store->setDataList(key.toString(), datalist));
}

void myQQuickView::holdProfile()
{
    m_heldProfile = m_store->currentValues();
}

void myQQuickView::restoreHeldProfile()
{
    noteWritten(m_store->restoreCurrentValues(m_heldProfile));
}

void myQQuickView::resetApconfig()
{
    noteWritten(m_store->resetGlobalSettings());
}

void myQQuickView::setCurrentProfile(int profile)
{
    m_store->setCurrentProfile(profile);
}

bool myQQuickView::loadProfile(int profile)
{
    const ImportResult result = ProfileStore(*m_store).importProfile(profile, *m_fileDialogs);
    noteImport(result);
    return result == ImportResult::Imported;
}

void myQQuickView::saveProfile(int profile)
{
    noteWritten(ProfileStore(*m_store).exportProfile(profile, *m_fileDialogs), ExportFailed);
}

void myQQuickView::resetProfile(int profile)
{
    noteWritten(ProfileStore(*m_store).resetProfile(profile), NotMade);
}

void myQQuickView::copyProfile(int destprofile, int srcprofile)
{
    noteWritten(ProfileStore(*m_store).copyProfile(destprofile, srcprofile), NotMade);
}

QVariant myQQuickView::updataNameList(QVariant type, QStringList nameList)
{
    return noteWritten(NameListFile(m_store->setAsideNotice()).update(type, nameList), NotMade);
}

QVariantList myQQuickView::getNameList(QVariant type)
{
    return NameListFile(m_store->setAsideNotice()).read(type);
}

QVariant myQQuickView::createMacroIni(QVariant name, QVariant macroIndex)
{
    return noteWritten(MacroStore(*m_store).create(name.toString(), macroIndex.toUInt()), NotMade);
}

QVariant myQQuickView::saveMacroIni(QVariant name, QStringList macros, QVariant repeat)
{
    return noteWritten(MacroStore(*m_store).save(name.toString(), macros, repeat), NotMade);
}

QStringList myQQuickView::loadMacroIni(QVariant name)
{
    return MacroStore(*m_store).load(name.toString());
}

QVariant myQQuickView::deleteMacroIni(QVariant name)
{
    // A macro whose file is already gone is gone as the scene asks.
    return noteWritten(MacroStore(*m_store).remove(name.toString()) ||
                           !QFile::exists(MacroStore::filePath(name.toString())),
                       NotMade);
}

bool myQQuickView::loadMacroFile(QVariant macroFileName)
{
    const ImportResult result =
        MacroStore(*m_store).importMacro(macroFileName.toString(), *m_fileDialogs);
    noteImport(result);
    return result == ImportResult::Imported;
}

void myQQuickView::saveMacroFile(QVariant macroFileName)
{
    noteWritten(MacroStore(*m_store).exportMacro(macroFileName.toString(), *m_fileDialogs),
                ExportFailed);
}

QVariant myQQuickView::modifyMacroNameUpdateProfile(QVariant oldname, QVariant newname)
{
    return MacroStore(*m_store).rename(oldname.toString(), newname.toString());
}

void myQQuickView::deleteMacroUpdateProfile(QVariant macroName)
{
    MacroStore(*m_store).unassign(macroName.toString());
}

QVariant myQQuickView::mouseSaveGundata(QVariant index, QVariantList src6)
{
    return noteWritten(GunDataFile(m_store->setAsideNotice()).saveRecord(index.toString(), src6),
                       NotMade);
}

void myQQuickView::modifyGundata(QVariant modifyType, QVariantList src6)
{
    GunDataFile(m_store->setAsideNotice()).modify(modifyType.toInt(), src6);
}

QVariantList myQQuickView::getGunData(QVariant name)
{
    return GunDataFile(m_store->setAsideNotice()).record(name.toString());
}

QStringList myQQuickView::getGunDataKey()
{
    return GunDataFile(m_store->setAsideNotice()).keys();
}

QVariant myQQuickView::getXYSensitive(QVariant index)
{
    return ProfileGunKeys(*m_store).xySensitive(index.toString());
}

void myQQuickView::setXYSensitive(QVariant index, QVariant xyData)
{
    noteWritten(ProfileGunKeys(*m_store).setXYSensitive(index.toString(), xyData));
}

QVariant myQQuickView::getselectGun(QVariant index)
{
    return ProfileGunKeys(*m_store).selectGun(index.toString());
}

void myQQuickView::setSelectGun(QVariant index, QVariant xyData)
{
    noteWritten(ProfileGunKeys(*m_store).setSelectGun(index.toString(), xyData));
}

QVariantList myQQuickView::mouseGetKeydefine(QVariant index, bool flag)
{
    return KeyMatrixStore(*m_store).record(index.toString(), flag);
}

void myQQuickView::mouseSetKeyMatrix(QVariantList src64, bool isSendData, QVariantList otherParam)
{
    noteWritten(KeyMatrixStore(*m_store).storeRecords(src64));
    if (isSendData)
        m_device->sendKeyMatrix(sceneInts(src64),
                                sceneInts(KeyMatrixStore(*m_store).firmwareRecords()),
                                sceneInts(otherParam));
}

void myQQuickView::mouseResetKeyMatrix()
{
    m_device->resetKeyMatrices(sceneInts(KeyMatrixStore(*m_store).firmwareRecords()));
}

QVariant myQQuickView::mouseSendMacroData(QVariantList macroData, QVariant macroIndex)
{
    m_device->sendMacro(sceneInts(macroData), macroIndex.toUInt());
    return true;
}

void myQQuickView::setPointerSettings(std::unique_ptr<PointerSettings> settings)
{
    m_pointerSettings = std::move(settings);
}

// A value the desktop did not take is said, not only logged: the user moved
// the slider and must not believe the desktop follows it. A setting the
// desktop has no place for is not attempted: it could only fail, on every
// profile switch.
void myQQuickView::mouseSetCursorSpeed(uint cursorSpeed)
{
    if (!m_pointerSettings->canSet(PointerSettings::PointerSpeed))
        return;
    if (!m_pointerSettings->setPointerSpeed(PointerSettings::pointerSpeedForLevel(cursorSpeed))) {
        qCWarning(lcScene, "setCursorSpeed Failed");
        emit pointerSettingFailed(pointerText(0));
        notifyUser(pointerText(0));
    }
}

void myQQuickView::mouseSetDoubleClickSpeed(uint speed)
{
    if (!m_pointerSettings->canSet(PointerSettings::DoubleClickTime))
        return;
    if (!m_pointerSettings->setDoubleClickTime(PointerSettings::doubleClickTimeForLevel(speed))) {
        qCWarning(lcScene, "setDoubleClickSpeed Failed");
        emit pointerSettingFailed(pointerText(1));
        notifyUser(pointerText(1));
    }
}

void myQQuickView::mouseSetVerticalScrollLines(uint lines)
{
    if (!m_pointerSettings->canSet(PointerSettings::WheelScrollLines))
        return;
    if (!m_pointerSettings->setWheelScrollLines(lines)) {
        qCWarning(lcScene, "setVerticalScrollLines Failed");
        emit pointerSettingFailed(pointerText(2));
        notifyUser(pointerText(2));
    }
}

QString myQQuickView::pointerSettingReason(int setting)
{
    if (setting < PointerSettings::PointerSpeed || setting > PointerSettings::WheelScrollLines ||
        m_pointerSettings->canSet(PointerSettings::Setting(setting)))
        return QString();
    return pointerText(setting == PointerSettings::WheelScrollLines ? 3 : 4);
}

QString myQQuickView::pointerText(int index) const
{
    static const char *const english[] = {
        "The desktop did not take the pointer speed.",
        "The desktop did not take the double-click speed.",
        "The desktop did not take the wheel scroll amount.",
        "Not settable on Linux; kept for Windows",
        "Not settable here; kept for Windows",
    };
    const QString language = m_store->globalData(SettingKeys::commonLanguage).toString();
    const QStringList texts =
        LangStrings::read(QStringLiteral("pointer"),
                          language.isEmpty() ? QStringLiteral("ChineseSimplified") : language,
                          m_store->setAsideNotice());
    if (index < texts.size() && !texts.at(index).isEmpty())
        return texts.at(index);
    return QString::fromLatin1(english[index]);
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
        refuse(AutostartNotChanged);
    return changed;
}

QStringList myQQuickView::getLangStrings(QString typeStr, QString langCode)
{
    const QStringList texts = LangStrings::read(typeStr, langCode, m_store->setAsideNotice());
    // The group "other" also replaces the DPI-switch captions it covers.
    if (typeStr == QLatin1String("other")) {
        for (int j = 0; j < ProcessState::dpiSwitchTextCount && j < texts.size(); ++j)
            processState.dpiSwitchText[j] = texts.at(j);
    }
    return texts;
}
