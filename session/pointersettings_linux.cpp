#include "pointersettings_linux.h"

#include "runtimelibrary.h"

#include <QDBusMessage>
#include <QDBusVariant>
#include <QDebug>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>
#include <QtGlobal>

#include <X11/Xlib.h>
#undef signals // glib's headers use the name
#include <gio/gio.h>

#include <optional>

namespace {
constexpr int busTimeoutMs = 2000;
const QString kwinService = QStringLiteral("org.kde.KWin");
const QString kwinDevices = QStringLiteral("/org/kde/KWin/InputDevice");
const QString properties = QStringLiteral("org.freedesktop.DBus.Properties");

// GIO, with what it brings (GObject, libmount, libblkid, libselinux), adds
// over a MiB to the program's memory for its whole life; it is loaded when
// GNOME's settings are first written, not with the program.
#define SKARN_GIO_FUNCTIONS(X)                                                                     \
    X(g_settings_schema_source_get_default)                                                        \
    X(g_settings_schema_source_lookup)                                                             \
    X(g_settings_schema_has_key)                                                                   \
    X(g_settings_schema_get_key)                                                                   \
    X(g_settings_schema_key_range_check)                                                           \
    X(g_settings_schema_key_unref)                                                                 \
    X(g_settings_schema_unref)                                                                     \
    X(g_settings_new_full)                                                                         \
    X(g_settings_is_writable)                                                                      \
    X(g_settings_set_value)                                                                        \
    X(g_settings_get_value)                                                                        \
    X(g_settings_sync)                                                                             \
    X(g_object_unref)

struct Gio
{
#define SKARN_GIO_MEMBER(function) decltype(&::function) function;
    SKARN_GIO_FUNCTIONS(SKARN_GIO_MEMBER)
#undef SKARN_GIO_MEMBER
};

const Gio *gio()
{
    static const std::optional<Gio> loaded = []() -> std::optional<Gio> {
        RuntimeLibrary library("libgio-2.0.so.0");
        Gio api;
#define SKARN_GIO_RESOLVE(function) library.resolve(api.function, #function);
        SKARN_GIO_FUNCTIONS(SKARN_GIO_RESOLVE)
#undef SKARN_GIO_RESOLVE
        if (!library.isComplete()) {
            qWarning("GIO not available: %s", RuntimeLibrary::lastError());
            return std::nullopt;
        }
        return api;
    }();
    return loaded ? &*loaded : nullptr;
}

// Writes `value` to `key` of the schema `schemaId`, waits for the write to
// reach the backend and reads it back through a fresh settings object: a
// write the backend accepted but did not keep is a failure. Looking the
// schema up first matters: GSettings aborts the process for an unknown
// schema.
bool writeGSetting(const QString &schemaId, GSettingsBackend *backend, const char *key,
                   GVariant *value)
{
    g_variant_ref_sink(value);
    bool kept = false;
    const Gio *api = gio();
    GSettingsSchemaSource *source = api ? api->g_settings_schema_source_get_default() : nullptr;
    const QByteArray id = schemaId.toUtf8();
    GSettingsSchema *schema =
        source ? api->g_settings_schema_source_lookup(source, id.constData(), TRUE) : nullptr;
    if (schema && api->g_settings_schema_has_key(schema, key)) {
        GSettingsSchemaKey *schemaKey = api->g_settings_schema_get_key(schema, key);
        GSettings *settings = api->g_settings_new_full(schema, backend, nullptr);
        if (api->g_settings_schema_key_range_check(schemaKey, value) &&
            api->g_settings_is_writable(settings, key) &&
            api->g_settings_set_value(settings, key, value)) {
            api->g_settings_sync();
            GSettings *check = api->g_settings_new_full(schema, backend, nullptr);
            GVariant *stored = api->g_settings_get_value(check, key);
            kept = g_variant_equal(stored, value);
            g_variant_unref(stored);
            api->g_object_unref(check);
        }
        api->g_object_unref(settings);
        api->g_settings_schema_key_unref(schemaKey);
    }
    if (schema)
        api->g_settings_schema_unref(schema);
    g_variant_unref(value);
    return kept;
}

bool x11Failed = false;
int noteX11Error(Display *, XErrorEvent *)
{
    x11Failed = true;
    return 0;
}

// Acceleration `speed`/10 above the server's default threshold, read back.
bool setX11Acceleration(int speed)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return false;
    Display *display = XOpenDisplay(nullptr);
    if (!display)
        return false;
    // An X error must fail this write, not end the program.
    x11Failed = false;
    XErrorHandler previous = XSetErrorHandler(noteX11Error);
    const int numerator = qMax(speed, 1);
    XChangePointerControl(display, True, True, numerator, 10, 4);
    int readNumerator = 0, readDenominator = 0, threshold = 0;
    XGetPointerControl(display, &readNumerator, &readDenominator, &threshold);
    XSync(display, False);
    XSetErrorHandler(previous);
    XCloseDisplay(display);
    return !x11Failed && readNumerator == numerator && readDenominator == 10;
}

QDBusMessage propertyCall(const QString &path, const QString &method, const QVariantList &args)
{
    QDBusMessage message = QDBusMessage::createMethodCall(kwinService, path, properties, method);
    message.setArguments(args);
    return message;
}

// A key of the [KDE] group of kdeglobals: the line number, or -1; `end` is
// where a new key of the group goes (-1 when the group is missing).
int findKdeKey(const QStringList &lines, const QString &key, int *end)
{
    int found = -1;
    *end = -1;
    bool inGroup = false;
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines.at(i).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            if (inGroup)
                break;
            inGroup = line == QLatin1String("[KDE]");
            if (inGroup)
                *end = i + 1;
            continue;
        }
        if (!inGroup)
            continue;
        if (!line.isEmpty())
            *end = i + 1;
        if (line.section(QLatin1Char('='), 0, 0).trimmed() == key)
            found = i;
    }
    return found;
}

QStringList readLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}
} // namespace

std::unique_ptr<PointerSettings> PointerSettings::createSystem()
{
    const QString current = qEnvironmentVariable("XDG_CURRENT_DESKTOP");
    const LinuxPointerSettings::Desktop desktop =
        LinuxPointerSettings::desktopFor(current, qEnvironmentVariable("XDG_SESSION_TYPE"));
    auto settings = std::make_unique<LinuxPointerSettings>(desktop);
    if (current.contains(QLatin1String("Cinnamon"), Qt::CaseInsensitive))
        settings->setGnomeSchema(QStringLiteral("org.cinnamon.desktop.peripherals.mouse"));
    if (desktop == LinuxPointerSettings::Desktop::Kde)
        settings->setKdeSession(
            QDBusConnection::sessionBus(),
            QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                QStringLiteral("/kdeglobals"));
    return settings;
}

LinuxPointerSettings::LinuxPointerSettings(Desktop desktop)
    : m_desktop(desktop), m_schemaId(QStringLiteral("org.gnome.desktop.peripherals.mouse")),
      m_bus(QString())
{}

LinuxPointerSettings::Desktop LinuxPointerSettings::desktopFor(const QString &currentDesktop,
                                                               const QString &sessionType)
{
    // A colon-separated list, most specific first.
    for (const QString &name : currentDesktop.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        const QString upper = name.trimmed().toUpper();
        if (upper == QLatin1String("KDE"))
            return Desktop::Kde;
        for (const char *gnomeLike : {"GNOME", "GNOME-FLASHBACK", "GNOME-CLASSIC", "UNITY",
                                      "BUDGIE", "PANTHEON", "X-CINNAMON", "CINNAMON"}) {
            if (upper == QLatin1String(gnomeLike))
                return Desktop::Gnome;
        }
    }
    return sessionType.compare(QLatin1String("wayland"), Qt::CaseInsensitive) == 0
               ? Desktop::OtherWayland
               : Desktop::X11;
}

void LinuxPointerSettings::setGnomeSchema(const QString &schemaId, void *backend)
{
    m_schemaId = schemaId;
    m_backend = backend;
}

void LinuxPointerSettings::setKdeSession(const QDBusConnection &bus, const QString &kdeGlobalsPath)
{
    m_bus = bus;
    m_kdeGlobals = kdeGlobalsPath;
}

double LinuxPointerSettings::gnomeSpeed(int speed)
{
    return qBound(-1.0, (speed - 10) / 10.0, 1.0);
}

bool LinuxPointerSettings::canSet(Setting setting) const
{
    switch (setting) {
    case PointerSpeed:
        return m_desktop != Desktop::OtherWayland;
    case DoubleClickTime:
        return m_desktop == Desktop::Gnome || m_desktop == Desktop::Kde;
    case WheelScrollLines:
        return false;
    }
    return false;
}

bool LinuxPointerSettings::setPointerSpeed(int speed)
{
    switch (m_desktop) {
    case Desktop::Gnome:
        return writeGSetting(m_schemaId, static_cast<GSettingsBackend *>(m_backend), "speed",
                             g_variant_new_double(gnomeSpeed(speed)));
    case Desktop::Kde:
        return setKwinSpeed(speed);
    case Desktop::X11:
        return setX11Acceleration(speed);
    case Desktop::OtherWayland:
        return false;
    }
    return false;
}

bool LinuxPointerSettings::setDoubleClickTime(int milliseconds)
{
    switch (m_desktop) {
    case Desktop::Gnome:
        return writeGSetting(m_schemaId, static_cast<GSettingsBackend *>(m_backend), "double-click",
                             g_variant_new_int32(milliseconds));
    case Desktop::Kde:
        return setKdeDoubleClick(milliseconds);
    case Desktop::X11:
    case Desktop::OtherWayland:
        return false;
    }
    return false;
}

bool LinuxPointerSettings::setWheelScrollLines(unsigned lines)
{
    Q_UNUSED(lines)
    return false;
}

// Every pointing device KWin knows takes the acceleration; each is read
// back. No pointer at all, or no answer, is a failure.
bool LinuxPointerSettings::setKwinSpeed(int speed)
{
    if (!m_bus.isConnected())
        return false;
    const QDBusMessage names =
        m_bus.call(propertyCall(kwinDevices, QStringLiteral("Get"),
                                {QStringLiteral("org.kde.KWin.InputDeviceManager"),
                                 QStringLiteral("devicesSysNames")}),
                   QDBus::Block, busTimeoutMs);
    if (names.type() != QDBusMessage::ReplyMessage || names.arguments().isEmpty())
        return false;
    const QString device = QStringLiteral("org.kde.KWin.InputDevice");
    const auto get = [this, &device](const QString &path, const QString &name) {
        const QDBusMessage reply = m_bus.call(
            propertyCall(path, QStringLiteral("Get"), {device, name}), QDBus::Block, busTimeoutMs);
        return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()
                   ? reply.arguments().first().value<QDBusVariant>().variant()
                   : QVariant();
    };
    const double acceleration = gnomeSpeed(speed);
    int pointers = 0;
    const QStringList sysNames =
        names.arguments().first().value<QDBusVariant>().variant().toStringList();
    for (const QString &sysName : sysNames) {
        const QString path = kwinDevices + QLatin1Char('/') + sysName;
        if (!get(path, QStringLiteral("pointer")).toBool() ||
            !get(path, QStringLiteral("supportsPointerAcceleration")).toBool())
            continue;
        ++pointers;
        const QDBusMessage set =
            m_bus.call(propertyCall(path, QStringLiteral("Set"),
                                    {device, QStringLiteral("pointerAcceleration"),
                                     QVariant::fromValue(QDBusVariant(acceleration))}),
                       QDBus::Block, busTimeoutMs);
        const QVariant stored = get(path, QStringLiteral("pointerAcceleration"));
        if (set.type() != QDBusMessage::ReplyMessage || !stored.isValid() ||
            qAbs(stored.toDouble() - acceleration) > 1e-6)
            return false;
    }
    return pointers > 0;
}

// KDE programs read the interval from kdeglobals; only that one line is
// touched, the rest of the file stays as it was.
bool LinuxPointerSettings::setKdeDoubleClick(int milliseconds)
{
    if (milliseconds <= 0)
        return false;
    const QString key = QStringLiteral("DoubleClickInterval");
    const QString line = key + QLatin1Char('=') + QString::number(milliseconds);
    QStringList lines = readLines(m_kdeGlobals);
    int end = -1;
    const int found = findKdeKey(lines, key, &end);
    if (found >= 0) {
        lines[found] = line;
    } else if (end >= 0) {
        lines.insert(end, line);
    } else {
        if (!lines.isEmpty())
            lines.append(QString());
        lines << QStringLiteral("[KDE]") << line;
    }
    // Flushed before the commit, which misses a write error of its own
    // flush and would put the part written in place of the user's file.
    QSaveFile file(m_kdeGlobals);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write((lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8()) < 0 ||
        !file.flush() || !file.commit())
        return false;
    const QStringList written = readLines(m_kdeGlobals);
    const int check = findKdeKey(written, key, &end);
    if (check < 0 || written.at(check).trimmed() != line)
        return false;
    // Running KDE programs reload their mouse settings on this signal.
    if (m_bus.isConnected()) {
        QDBusMessage changed = QDBusMessage::createSignal(QStringLiteral("/KGlobalSettings"),
                                                          QStringLiteral("org.kde.KGlobalSettings"),
                                                          QStringLiteral("notifyChange"));
        changed.setArguments({3, 0}); // settings changed: mouse
        m_bus.send(changed);
    }
    return true;
}
