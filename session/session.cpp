#include "session.h"

#include "deviceoperations.h"
#include "devicetablefile.h"
#include "filename.h"
#include "gunpresets.h"
#include "hid_thread.h"
#include "keymatrixstore.h"
#include "keynames.h"
#include "langstrings.h"
#include "macrocode.h"
#include "macrostore.h"
#include "profilestore.h"
#include "protocol.h"
#include "sessionlog.h"
#include "settingkeys.h"
#include "settingsstore.h"
#include "storedvalues.h"
#include "storepaths.h"
#include "usertexts.h"

#include <QDebug>
#include <QFileInfo>

namespace {
// The failure of a request that never ran.
std::function<void()> dropDone(const Session::Done &done)
{
    return [done] {
        if (done)
            done(false);
    };
}

const QString mouseProfileNo = QStringLiteral("mouse/profileNo");
// The mouse lacks part of the stored profile (a switch or reset it refused,
// a send cut short): the next start shows the profile unsaved, so that Save
// sends it.
const QString mouseProfileUnsent = QStringLiteral("mouse/profileUnsent");
// Damaged files were set aside while no window was there to say so.
const QString setAsideUntold = QStringLiteral("common/setAsideUntold");
const QString mouseDpiCount = QStringLiteral("mouse/dpiCount");
const QString mouseLightValue = QStringLiteral("mouse/lightValue");
const QString mouseColorValue = QStringLiteral("mouse/colorValue");
const QString mouseMouseRate = QStringLiteral("mouse/mouseRate");
const QString mouseDoubleRate = QStringLiteral("mouse/doubleRate");
const QString mouseScrollRate = QStringLiteral("mouse/scrollRate");
const QString mouseSensorType = QStringLiteral("mouse/sensorType");
// The stage a factory reset leaves the mouse on.
constexpr int resetDpiStage = 2;
// The profiles the screens offer.
constexpr int sceneProfiles = 6;

QVariantList variants(const QList<int> &values)
{
    QVariantList list;
    list.reserve(values.size());
    for (int value : values)
        list.append(value);
    return list;
}

QList<int> ints(const QVariantList &values)
{
    QList<int> list;
    list.reserve(values.size());
    for (const QVariant &value : values)
        list.append(int(value.toLongLong()));
    return list;
}

// The values `after` changed from `before` put back into `current`.
void revert(QVariantMap &current, const QVariantMap &before, const QVariantMap &after)
{
    QStringList keys = before.keys() + after.keys();
    keys.removeDuplicates();
    for (const QString &key : std::as_const(keys)) {
        if (before.value(key) == after.value(key) && before.contains(key) == after.contains(key))
            continue;
        if (before.contains(key))
            current.insert(key, before.value(key));
        else
            current.remove(key);
    }
}
} // namespace

Session::Session(const QString &root, HidBackend *backend, const QVariantHash &runValues,
                 QObject *parent)
    : QObject(parent),
      // Every reader of the data folder is handed the notice.
      m_store(root, nullptr, runValues, [this](const QString &path) { noteSetAside(path); }),
      m_link(backend, this), m_pointerSettings(PointerSettings::createSystem())
{
    const DeviceFlags &flags = m_store.deviceFlags();
    m_operations =
        DeviceOperations::create(flags.icType, {flags.isColorful, flags.isGun, flags.is55328});
    m_operations->setLink(&m_link);
    m_link.start();

    // The profile becomes current before anything reads from it.
    const int stored = StoredValues::toInt(m_store.globalData(mouseProfileNo), 0);
    m_store.setCurrentProfile(stored >= 0 && stored < sceneProfiles ? stored : 0);
    m_profileUnsent = StoredValues::toBool(m_store.globalData(mouseProfileUnsent), false);
    m_storeOpen = true;
    if (!m_setAside.isEmpty())
        m_store.setGlobalData(setAsideUntold, true);
}

Session::~Session()
{
    // What waits is dropped; the request in progress ends with its command.
    // Nothing of the link's thread may come back to a session that is gone.
    m_link.setHost(nullptr);
    m_link.dropPending();
    m_link.waitForIdle();
}

void Session::noteSetAside(const QString &path)
{
    qCWarning(lcSession).noquote() << "Damaged data file set aside:" << path;
    m_setAside.append(path);
    // A command's output may go unread: the window says it too, at its next
    // start. (The store's own constructor reports before it is whole.)
    if (m_storeOpen && !m_showsNotices)
        m_store.setGlobalData(setAsideUntold, true);
    queueSetAsideNotice();
}

void Session::queueSetAsideNotice()
{
    // Several files may be set aside at once, and the front ends connect to
    // notice() after the store has opened its files: one notice, on the
    // next turn.
    if (m_setAsideNoticeQueued)
        return;
    m_setAsideNoticeQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_setAsideNoticeQueued = false;
            refuse(UserTexts::DamagedFiles);
        },
        Qt::QueuedConnection);
}

void Session::tellEarlierSetAside()
{
    m_showsNotices = true;
    if (!StoredValues::toBool(m_store.globalData(setAsideUntold), false))
        return;
    m_store.setGlobalData(setAsideUntold, false);
    queueSetAsideNotice();
}

void Session::setPointerSettings(std::unique_ptr<PointerSettings> settings)
{
    m_pointerSettings = std::move(settings);
}

bool Session::isConnected() const
{
    // The listener is what notices an unplug: it ends with the mouse.
    return m_connected && (!m_listensForEvents || m_link.isListening());
}

int Session::activeProfile() const
{
    return m_store.currentProfile();
}

QString Session::language() const
{
    return m_store.globalData(SettingKeys::commonLanguage).toString();
}

QString Session::chosenLanguage() const
{
    return m_store.hasGlobalData(SettingKeys::commonLanguage) ? language() : QString();
}

bool Session::setLanguage(const QString &code)
{
    if (code == chosenLanguage())
        return true;
    if (!code.isEmpty() && (!FileName::isPlain(code) ||
                            !QFileInfo(LangStrings::filePath(m_store.root(), code)).isFile()))
        return false;
    const QString before = language();
    // A choice the file did not take holds for now and is written with the
    // next change, as every setting is.
    const bool stored = code.isEmpty() ? m_store.removeGlobalData(SettingKeys::commonLanguage)
                                       : m_store.setGlobalData(SettingKeys::commonLanguage, code);
    if (language() != before)
        emit languageChanged();
    return stored;
}

ProfileList Session::profiles()
{
    // Entry 5 of the group "profile" names the first profile.
    const QString first =
        LangStrings::read(m_store.root(), QStringLiteral("profile"), language()).value(5);
    return ProfileList(m_store, first.isEmpty() ? QStringLiteral("Standard") : first);
}

QString Session::refusalText(int reason) const
{
    return UserTexts::refusal(m_store.root(), language(), reason, m_store.setAsideNotice());
}

QString Session::noticeText(int which) const
{
    return UserTexts::notice(m_store.root(), language(), which, m_store.setAsideNotice());
}

// --- the order of sequences and requests ---

void Session::enqueue(std::function<void(const Finish &)> sequence, std::function<void()> dropped)
{
    // Closing down: nothing new starts.
    if (m_closing) {
        if (dropped)
            dropped();
        return;
    }
    const bool wasBusy = isBusy();
    m_sequences.push_back({++m_lastSequence, std::move(sequence), std::move(dropped)});
    if (!wasBusy)
        emit busyChanged(true);
    if (!m_running)
        runNext();
}

void Session::runNext()
{
    if (m_sequences.empty()) {
        m_running = false;
        emit busyChanged(false);
        return;
    }
    m_running = true;
    const auto [number, sequence, dropped] = std::move(m_sequences.front());
    m_sequences.pop_front();
    m_runningSequence = number;
    // The next one starts from the event loop, once this one's signals have
    // been seen.
    sequence([this] { QMetaObject::invokeMethod(this, &Session::runNext, Qt::QueuedConnection); });
}

void Session::request(QList<Step> steps, std::function<void(const Reply &)> done)
{
    DeviceOperations *operations = m_operations.get();
    const qsizetype count = steps.size();
    // Back on this object's thread; the destructor waits for the link's
    // thread to let go, so `this` is alive whenever this runs there.
    const auto deliver = [this, done](const Reply &reply) {
        QMetaObject::invokeMethod(
            this, [done, reply] { done(reply); }, Qt::QueuedConnection);
    };
    m_link.post({[operations, steps = std::move(steps), deliver] {
                     Reply reply;
                     for (const Step &step : steps) {
                         const quint64 before = operations->failures();
                         step(*operations, reply.values);
                         reply.failed.append(operations->failures() != before);
                     }
                     deliver(reply);
                 },
                 [count, deliver] {
                     Reply reply;
                     reply.failed = QList<bool>(count, true);
                     deliver(reply);
                 }});
}

void Session::stopSending()
{
    // What waits is told it failed, then the request in progress stops
    // before its next command.
    std::deque<Sequence> dropped;
    dropped.swap(m_sequences);
    for (Sequence &sequence : dropped) {
        if (sequence.dropped)
            sequence.dropped();
    }
    m_link.dropPending();
}

void Session::close()
{
    m_closing = true;
}

// --- the link's news ---

void Session::mouseReportedDpiStage(int stage)
{
    setDpiStageKnown(stage);
    emit dpiStageReported(stage);
}

void Session::mouseRemoved()
{
    const bool was = m_connected;
    m_connected = false;
    if (was)
        emit connectionChanged(false);
    emit deviceRemoved();
}

// --- connection and start-up ---

void Session::detect(std::function<void(const Detection::Result &, bool damagedTable)> done)
{
    enqueue(
        [this, done](const Finish &finish) {
            bool damagedTable = false;
            DeviceTable table = DeviceTableFile::load(m_store.root(), &damagedTable);
            Hid_Thread *link = &m_link;
            const bool listen = m_listensForEvents;
            request({[link, table, listen](DeviceOperations &operations, QVariantList &values) {
                        const Detection::Result result =
                            Detection::run(*link, operations, table, listen);
                        values << result.connected << result.deniedPath;
                    }},
                    [this, done, finish, damagedTable](const Reply &reply) {
                        Detection::Result result;
                        result.connected = reply.values.value(0).toBool();
                        result.deniedPath = reply.values.value(1).toString();
                        const bool was = m_connected;
                        m_connected = result.connected;
                        m_accessDenied = !result.connected && !result.deniedPath.isEmpty();
                        if (was != m_connected)
                            emit connectionChanged(m_connected);
                        if (done)
                            done(result, damagedTable);
                        finish();
                    });
        },
        [done] {
            if (done)
                done({}, false);
        });
}

void Session::startUp(const Done &done)
{
    enqueue(
        [this, done](const Finish &finish) {
            const bool check = !m_workingProfileChecked;
            request({[check](DeviceOperations &operations, QVariantList &values) {
                        values << (check ? operations.selectWorkingProfile() : true)
                               << operations.currentDpi();
                    }},
                    [this, done, finish](const Reply &reply) {
                        m_workingProfileChecked = reply.values.value(0).toBool();
                        const int stage = reply.values.value(1).toInt();
                        if (HidProtocol::isDpiStage(stage))
                            setDpiStageKnown(stage);
                        if (done)
                            done(reply.ok());
                        finish();
                    });
        },
        dropDone(done));
}

// --- what goes to the mouse ---

bool Session::storeKeys(const QList<int> &keys)
{
    return noteWritten(KeyMatrixStore(m_store).storeRecords(variants(keys)), UserTexts::NotSaved);
}

Session::Step Session::keyTableStep(const QList<int> &keys)
{
    const QList<int> firmware = ints(KeyMatrixStore(m_store).firmwareRecords());
    const QList<int> periods = GunPresets::firePeriods(m_store);
    return [keys, firmware, periods](DeviceOperations &operations, QVariantList &) {
        operations.sendKeyMatrix(keys, firmware, periods);
    };
}

Session::Step Session::gunMatrixStep()
{
    const QList<int> firmware = ints(KeyMatrixStore(m_store).firmwareRecords());
    return [firmware](DeviceOperations &operations, QVariantList &) {
        operations.switchKeyMatrix(1);
        operations.resetKeyMatrices(firmware);
    };
}

Session::Step Session::macroStep(int slot, const QString &name)
{
    const MacroCode::Macro macro = MacroCode::parseLoaded(MacroStore(m_store).load(name));
    const KeyNames names = KeyNames::forLanguage(m_store.root(), language());
    const QList<int> bytes = MacroCode::encode(
        macro.events, macro.repeat, [&names](const QString &key) { return names.code(key); });
    return [bytes, slot](DeviceOperations &operations, QVariantList &) {
        operations.sendMacro(bytes, uint(slot));
    };
}

QList<Session::Step> Session::macroSlotSteps(const QList<int> &keys, const QString *only)
{
    // Each slot once: several buttons may play one slot.
    QList<Step> steps;
    QList<int> sent;
    for (int button = 0; button < ProfileSettings::buttonCount; ++button) {
        if (keys.value(4 * button) != 4)
            continue;
        const int slot = keys.value(4 * button + 2);
        const QString name =
            m_store.data(SettingKeys::mouseMacroKey + QString::number(slot), false).toString();
        if (name.isEmpty() || (only && name != *only) || sent.contains(slot))
            continue;
        sent.append(slot);
        steps.append(macroStep(slot, name));
    }
    return steps;
}

QList<Session::Step> Session::profileSteps(bool withMacros)
{
    const ProfileSettings profile = ProfileSettings::read(m_store, false);
    const DeviceFlags &flags = m_store.deviceFlags();
    QList<Step> steps;

    // Each value is written back as the screens read it, so that the
    // profile holds what the mouse gets: in one write, as the file is
    // replaced and synced each time.
    const QList<int> keys = profile.keyList();
    QVariantMap written = KeyMatrixStore::recordValues(variants(keys));
    steps.append(keyTableStep(keys));

    const int rate = ProfileSettings::rateCode(profile.reportRateRow);
    steps.append([rate](DeviceOperations &operations, QVariantList &) {
        operations.setReportRate(uchar(rate));
    });

    const ProfileSettings::Dpi &dpi = profile.dpi;
    if (dpi.shown) {
        written.insert(SettingKeys::mouseDpiValueArray, variants(dpi.sent));
        written.insert(SettingKeys::mouseCurrentDpiCount, dpi.active);
        steps.append(dpiStep(dpi.active, dpi.sensor, dpi.sent));
    }

    const ProfileSettings::Lighting &light = profile.lighting;
    const QList<int> colours = light.sentColours(flags.is55328);
    written.insert(mouseLightValue, QVariantList{light.effect, light.speed, light.brightness});
    written.insert(mouseColorValue, variants(colours));
    steps.append(lightingStep(light.effect, light.speed, light.brightness, colours));

    // The desktop's settings go with the profile: to the desktop, not the mouse.
    const ProfileSettings::Pointer &pointer = profile.pointer;
    written.insert(mouseMouseRate, pointer.speed);
    written.insert(mouseDoubleRate, pointer.doubleClick);
    written.insert(mouseScrollRate, pointer.scroll);
    noteWritten(m_store.setDataValues(written), UserTexts::NotSaved);
    applyPointer(PointerSettings::PointerSpeed, ProfileSettings::pointerLevel(pointer.speed));
    applyPointer(PointerSettings::DoubleClickTime,
                 ProfileSettings::pointerLevel(pointer.doubleClick));
    applyPointer(PointerSettings::WheelScrollLines, pointer.scroll);

    if (flags.isGun)
        steps.append(gunMatrixStep());
    if (withMacros)
        steps.append(macroSlotSteps(keys, nullptr));
    return steps;
}

Session::Step Session::dpiStep(int active, const QString &sensor, const QList<int> &values)
{
    // A mouse left on a stage that is no longer active goes to the last one
    // left, so that the panel and the mouse agree on one that shows.
    const bool moveStage = m_dpiStage > active;
    if (moveStage)
        setDpiStageKnown(active);
    return [active, sensor, values, moveStage](DeviceOperations &operations, QVariantList &) {
        operations.setDpi(active, sensor, values);
        if (moveStage)
            operations.setCurrentDpi(uchar(active));
    };
}

Session::Step Session::lightingStep(int effect, int speed, int brightness,
                                    const QList<int> &colours)
{
    const uchar type = m_store.deviceFlags().isColorful ? 0 : 1;
    return
        [effect, speed, brightness, colours, type](DeviceOperations &operations, QVariantList &) {
            operations.setLighting(uchar(effect), uchar(speed), uchar(brightness));
            operations.setStageColours(type, colours);
        };
}

void Session::sendWhole(QList<Step> steps, qsizetype profileSteps, const Done &done,
                        const Finish &finish)
{
    request(std::move(steps), [this, profileSteps, done, finish](const Reply &reply) {
        const bool ok = !reply.failed.mid(0, profileSteps).contains(true);
        setProfileUnsent(!ok);
        if (!ok)
            tellNotWritten();
        if (done)
            done(ok);
        finish();
    });
}

// Written before the profile goes out: a send cut short (the program killed
// or stopped) leaves it owed, not done.
bool Session::markProfileOwed()
{
    return m_store.setGlobalData(mouseProfileUnsent, true);
}

void Session::switchProfile(int number, const Done &done)
{
    enqueue(
        [this, number, done](const Finish &finish) {
            if (number == activeProfile() || number < 0 || number >= StorePaths::profileCount) {
                if (done)
                    done(number == activeProfile());
                finish();
                return;
            }
            // A switch the data folder does not take is not made: the mouse
            // would hold a profile the program no longer knows it holds.
            const QVariant before = m_store.globalData(mouseProfileNo);
            if (!m_store.setGlobalData(mouseProfileNo, number) || !markProfileOwed()) {
                m_store.setGlobalData(mouseProfileNo, before);
                m_store.setGlobalData(mouseProfileUnsent, m_profileUnsent);
                refuse(UserTexts::NotMade);
                if (done)
                    done(false);
                finish();
                return;
            }
            m_store.setCurrentProfile(number);
            emit profileChanged(number);
            QList<Step> steps = profileSteps(true);
            const qsizetype count = steps.size();
            sendWhole(std::move(steps), count, done, finish);
        },
        dropDone(done));
}

void Session::resendProfile(const Done &done)
{
    enqueue(
        [this, done](const Finish &finish) {
            markProfileOwed();
            emit profileReloaded();
            QList<Step> steps = profileSteps(false);
            const qsizetype count = steps.size();
            sendWhole(std::move(steps), count, done, finish);
        },
        dropDone(done));
}

void Session::factoryReset(const Done &done)
{
    enqueue(
        [this, done](const Finish &finish) {
            markProfileOwed();
            noteWritten(ProfileStore(m_store).resetProfile(activeProfile()), UserTexts::NotMade);
            emit profileReloaded();
            QList<Step> steps = profileSteps(false);
            steps.append([](DeviceOperations &operations, QVariantList &) {
                operations.setCurrentDpi(resetDpiStage);
            });
            setDpiStageKnown(resetDpiStage);
            const qsizetype count = steps.size();
            // The gun slots go back to their presets; what of them the mouse
            // does not take goes again with the gun editor's next closing.
            bool written = true;
            const auto slotValues = GunPresets::reset(m_store, &written);
            noteWritten(written, UserTexts::NotMade);
            for (int slot = 1; slot <= GunPresets::slotCount; ++slot) {
                const QList<int> values = slotValues[std::size_t(slot - 1)];
                steps.append([slot, values](DeviceOperations &operations, QVariantList &) {
                    operations.sendGunData(slot, values);
                });
            }
            emit gunPresetsReset();
            sendWhole(std::move(steps), count, done, finish);
        },
        dropDone(done));
}

void Session::save(const SaveRequest &request, const std::function<void(const SaveOutcome &)> &done)
{
    enqueue(
        [this, request, done](const Finish &finish) {
            struct Part
            {
                Panel panel;
                QVariantMap before;
                QVariantMap after;
                bool written;
                qsizetype firstStep;
            };
            QList<Part> parts;
            QList<Step> steps;
            const auto part = [&](Panel panel, const std::function<bool()> &write, Step step) {
                const QVariantMap before = m_store.currentValues();
                const bool written = write();
                parts.append({panel, before, m_store.currentValues(), written, steps.size()});
                steps.append(std::move(step));
            };
            const DeviceFlags &flags = m_store.deviceFlags();
            if (request.keys) {
                const QList<int> keys = *request.keys;
                part(
                    KeyPanel, [&] { return storeKeys(keys); }, keyTableStep(keys));
            }
            if (request.dpi) {
                const SaveRequest::Dpi dpi = *request.dpi;
                part(
                    DpiPanel,
                    [&] {
                        const bool values =
                            noteWritten(m_store.setDataList(SettingKeys::mouseDpiValueArray,
                                                            variants(dpi.values)),
                                        UserTexts::NotSaved);
                        return noteWritten(
                                   m_store.setData(SettingKeys::mouseCurrentDpiCount, dpi.active),
                                   UserTexts::NotSaved) &&
                               values;
                    },
                    dpiStep(dpi.active,
                            StoredValues::toText(m_store.globalData(mouseSensorType),
                                                 QStringLiteral("3360")),
                            dpi.values));
            }
            if (request.lighting) {
                SaveRequest::Lighting light = *request.lighting;
                // The 55328 takes colour 8 only with Breath Loop.
                ProfileSettings::Lighting shown;
                shown.effect = light.effect;
                for (int i = 0; i < int(shown.colours.size()); ++i)
                    shown.colours[std::size_t(i)] = light.colours.value(i);
                light.colours = shown.sentColours(flags.is55328);
                part(
                    LightPanel,
                    [&] {
                        const bool values = noteWritten(
                            m_store.setDataList(mouseLightValue,
                                                {light.effect, light.speed, light.brightness}),
                            UserTexts::NotSaved);
                        return noteWritten(
                                   m_store.setDataList(mouseColorValue, variants(light.colours)),
                                   UserTexts::NotSaved) &&
                               values;
                    },
                    lightingStep(light.effect, light.speed, light.brightness, light.colours));
            }
            // A profile the mouse does not hold whole gets the rest too.
            const qsizetype restFrom = steps.size();
            const bool rest = m_profileUnsent;
            if (rest) {
                const int rate =
                    ProfileSettings::rateCode(ProfileSettings::read(m_store, false).reportRateRow);
                steps.append([rate](DeviceOperations &operations, QVariantList &) {
                    operations.setReportRate(uchar(rate));
                });
                if (flags.isGun)
                    steps.append(gunMatrixStep());
                const QList<int> keys =
                    request.keys ? *request.keys : ProfileSettings::read(m_store, false).keyList();
                steps.append(macroSlotSteps(keys, nullptr));
            }
            if (steps.isEmpty()) {
                done({});
                finish();
                return;
            }
            this->request(
                std::move(steps), [this, parts, restFrom, rest, done, finish](const Reply &reply) {
                    SaveOutcome outcome;
                    QVariantMap values = m_store.currentValues();
                    bool reverted = false;
                    for (qsizetype i = 0; i < parts.size(); ++i) {
                        const Part &part = parts.at(i);
                        const qsizetype end =
                            i + 1 < parts.size() ? parts.at(i + 1).firstStep : restFrom;
                        const bool failed =
                            reply.failed.mid(part.firstStep, end - part.firstStep).contains(true);
                        // What the mouse did not take is not kept as if it had been.
                        if (failed) {
                            revert(values, part.before, part.after);
                            reverted = true;
                        }
                        outcome.unsaved[part.panel] = failed || !part.written;
                        outcome.ok = outcome.ok && !outcome.unsaved[part.panel];
                    }
                    if (reverted)
                        noteWritten(m_store.restoreCurrentValues(values), UserTexts::NotSaved);
                    if (rest)
                        setProfileUnsent(reply.failed.mid(restFrom).contains(true));
                    if (!reply.ok()) {
                        outcome.ok = false;
                        tellNotWritten();
                    }
                    done(outcome);
                    finish();
                });
        },
        [request, done] {
            SaveOutcome outcome;
            outcome.ok = false;
            outcome.unsaved = {request.keys.has_value(), request.dpi.has_value(),
                               request.lighting.has_value()};
            done(outcome);
        });
}

void Session::setReportRate(int row, const Done &done)
{
    enqueue(
        [this, row, done](const Finish &finish) {
            const int code = ProfileSettings::rateCode(row);
            request({[code](DeviceOperations &operations, QVariantList &) {
                        operations.setReportRate(uchar(code));
                    }},
                    [this, row, done, finish](const Reply &reply) {
                        if (reply.ok()) {
                            noteWritten(m_store.setData(SettingKeys::mouseReportRate, row),
                                        UserTexts::NotSaved);
                            emit reportRateChanged(row);
                        } else {
                            tellNotWritten();
                        }
                        if (done)
                            done(reply.ok());
                        finish();
                    });
        },
        dropDone(done));
}

void Session::setDpiStage(int stage, const Done &done)
{
    enqueue(
        [this, stage, done](const Finish &finish) {
            request({[stage](DeviceOperations &operations, QVariantList &) {
                        operations.setCurrentDpi(uchar(stage));
                    }},
                    [this, stage, done, finish](const Reply &reply) {
                        // A stage the mouse did not take is not shown as its stage.
                        if (reply.ok())
                            setDpiStageKnown(stage);
                        if (done)
                            done(reply.ok());
                        finish();
                    });
        },
        dropDone(done));
}

void Session::readDpiStage(const std::function<void(int, bool)> &done)
{
    enqueue(
        [this, done](const Finish &finish) {
            request({[](DeviceOperations &operations, QVariantList &values) {
                        values << operations.currentDpi();
                    }},
                    [this, done, finish](const Reply &reply) {
                        const int stage = reply.values.value(0).toInt();
                        if (HidProtocol::isDpiStage(stage))
                            setDpiStageKnown(stage);
                        done(stage, reply.ok());
                        finish();
                    });
        },
        [done] { done(0, false); });
}

void Session::sendGunSlots(const QList<int> &keys, const Done &done)
{
    enqueue(
        [this, keys, done](const Finish &finish) {
            QList<Step> steps;
            const std::array<int, GunPresets::slotCount> presets = GunPresets::slotPresets(m_store);
            for (int slot = 1; slot <= GunPresets::slotCount; ++slot) {
                const QList<int> values =
                    GunPresets::preset(m_store, presets[std::size_t(slot - 1)]).slotValues();
                steps.append([slot, values](DeviceOperations &operations, QVariantList &) {
                    operations.sendGunData(slot, values);
                });
            }
            // The key table carries the slots' fire periods.
            storeKeys(keys);
            steps.append(keyTableStep(keys));
            request(std::move(steps), [this, done, finish](const Reply &reply) {
                if (!reply.ok())
                    tellNotWritten();
                if (done)
                    done(reply.ok());
                finish();
            });
        },
        dropDone(done));
}

void Session::sendKeys(const QList<int> &keys, const Done &done)
{
    enqueue(
        [this, keys, done](const Finish &finish) {
            storeKeys(keys);
            request({keyTableStep(keys)}, [this, done, finish](const Reply &reply) {
                if (!reply.ok())
                    tellNotWritten();
                if (done)
                    done(reply.ok());
                finish();
            });
        },
        dropDone(done));
}

void Session::sendMacro(int slot, const QString &name, const Done &done)
{
    enqueue(
        [this, slot, name, done](const Finish &finish) {
            request({macroStep(slot, name)}, [this, done, finish](const Reply &reply) {
                // The slot plays the old body: Save sends it again.
                if (!reply.ok()) {
                    setProfileUnsent(true);
                    tellNotWritten();
                }
                if (done)
                    done(reply.ok());
                finish();
            });
        },
        dropDone(done));
}

void Session::sendMacroSlots(const QList<int> &keys, const QString &name, const Done &done)
{
    enqueue(
        [this, keys, name, done](const Finish &finish) {
            request(macroSlotSteps(keys, &name), [this, done, finish](const Reply &reply) {
                if (!reply.ok())
                    tellNotWritten();
                if (done)
                    done(reply.ok());
                finish();
            });
        },
        dropDone(done));
}

void Session::readKeyboardOption(const std::function<void(const std::array<uchar, 4> &)> &done)
{
    enqueue(
        [this, done](const Finish &finish) {
            request({[](DeviceOperations &operations, QVariantList &values) {
                        for (uchar byte : operations.keyboardOption())
                            values << byte;
                    }},
                    [done, finish](const Reply &reply) {
                        std::array<uchar, 4> option{};
                        for (int i = 0; i < 4; ++i)
                            option[std::size_t(i)] = uchar(reply.values.value(i).toUInt());
                        done(option);
                        finish();
                    });
        },
        [done] { done({}); });
}

void Session::setKeyboardOption(const std::array<uchar, 4> &option)
{
    enqueue(
        [this, option](const Finish &finish) {
            request({[option](DeviceOperations &operations, QVariantList &) {
                        operations.setKeyboardOption(option[0], option[1], option[2], option[3]);
                    }},
                    [finish](const Reply &) { finish(); });
        },
        {});
}

void Session::readProfileBlock(int n, const std::function<void(const QByteArray &)> &done)
{
    enqueue(
        [this, n, done](const Finish &finish) {
            request({[n](DeviceOperations &operations, QVariantList &values) {
                        values << operations.profileBlock(n);
                    }},
                    [done, finish](const Reply &reply) {
                        done(reply.values.value(0).toByteArray());
                        finish();
                    });
        },
        [done] { done({}); });
}

QList<int> Session::macroBytes(const QStringList &events, int repeat) const
{
    QStringList loaded = events;
    loaded.append(QString::number(repeat));
    const MacroCode::Macro macro = MacroCode::parseLoaded(loaded);
    const KeyNames names = KeyNames::forLanguage(m_store.root(), language());
    return MacroCode::encode(macro.events, repeat,
                             [&names](const QString &key) { return names.code(key); });
}

// --- state ---

void Session::setProfileUnsent(bool unsent)
{
    noteWritten(m_store.setGlobalData(mouseProfileUnsent, unsent), UserTexts::NotSaved);
    if (unsent == m_profileUnsent)
        return;
    m_profileUnsent = unsent;
    emit profileUnsentChanged(unsent);
}

void Session::setDpiStageKnown(int stage)
{
    if (stage == m_dpiStage)
        return;
    m_dpiStage = stage;
    emit dpiStageChanged(stage);
}

void Session::tellNotWritten()
{
    // What was asked for before the user heard of a failure fails alike
    // (a mouse gone fails everything queued): the user hears it once.
    if (m_runningSequence <= m_toldThrough)
        return;
    m_toldThrough = m_lastSequence;
    emit notice(noticeText(UserTexts::NotWritten));
}

void Session::refuse(int reason)
{
    const QString text = refusalText(reason);
    if (!text.isEmpty())
        emit notice(text);
}

bool Session::noteWritten(bool written, int reason)
{
    if (!written)
        refuse(reason);
    return written;
}

// --- the desktop's pointer settings ---

void Session::setPointerSpeed(int level)
{
    applyPointer(PointerSettings::PointerSpeed, level);
}

void Session::setDoubleClickSpeed(int level)
{
    applyPointer(PointerSettings::DoubleClickTime, level);
}

void Session::setScrollLines(int lines)
{
    applyPointer(PointerSettings::WheelScrollLines, lines);
}

// A value the desktop did not take is said, not only logged: the user moved
// the slider and must not believe the desktop follows it. A setting the
// desktop has no place for is not attempted: it could only fail, on every
// profile switch.
void Session::applyPointer(int setting, int value)
{
    static const char *const failureLines[] = {
        "setCursorSpeed Failed", "setDoubleClickSpeed Failed", "setVerticalScrollLines Failed"};
    const auto which = PointerSettings::Setting(setting);
    if (!m_pointerSettings->canSet(which))
        return;
    bool taken = false;
    switch (which) {
    case PointerSettings::PointerSpeed:
        taken = m_pointerSettings->setPointerSpeed(
            PointerSettings::pointerSpeedForLevel(unsigned(std::max(0, value))));
        break;
    case PointerSettings::DoubleClickTime:
        taken = m_pointerSettings->setDoubleClickTime(
            PointerSettings::doubleClickTimeForLevel(unsigned(std::max(0, value))));
        break;
    case PointerSettings::WheelScrollLines:
        taken = m_pointerSettings->setWheelScrollLines(unsigned(std::max(0, value)));
        break;
    }
    if (taken)
        return;
    qCWarning(lcSession, "%s", failureLines[setting]);
    const QString text = UserTexts::pointer(m_store.root(), language(), setting);
    emit pointerSettingFailed(text);
    emit notice(text);
}

QString Session::pointerSettingReason(int setting) const
{
    if (setting < PointerSettings::PointerSpeed || setting > PointerSettings::WheelScrollLines ||
        m_pointerSettings->canSet(PointerSettings::Setting(setting)))
        return QString();
    return UserTexts::pointer(m_store.root(), language(),
                              setting == PointerSettings::WheelScrollLines ? 3 : 4);
}
