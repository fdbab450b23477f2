#include "pointersettings_linux.h"

#include <QtGlobal>

#include <X11/Xlib.h>
#undef signals // glib's headers use the name
#include <gio/gio.h>

namespace {
// Runs `apply` on the settings object of `schemaId` when the schema is
// installed and has `key`, and flushes the write. Looking the schema up
// first matters: GSettings aborts the process for an unknown schema.
template<typename Apply> bool withSchemaKey(const QString &schemaId, const char *key, Apply apply)
{
    GSettingsSchemaSource *source = g_settings_schema_source_get_default();
    if (!source)
        return false;
    const QByteArray id = schemaId.toUtf8();
    GSettingsSchema *schema = g_settings_schema_source_lookup(source, id.constData(), TRUE);
    if (!schema)
        return false;
    bool applied = false;
    if (g_settings_schema_has_key(schema, key)) {
        GSettingsSchemaKey *schemaKey = g_settings_schema_get_key(schema, key);
        GSettings *settings = g_settings_new_full(schema, nullptr, nullptr);
        applied = apply(settings, schemaKey);
        g_settings_sync();
        g_object_unref(settings);
        g_settings_schema_key_unref(schemaKey);
    }
    g_settings_schema_unref(schema);
    return applied;
}

bool setChecked(GSettings *settings, GSettingsSchemaKey *key, const char *name, GVariant *value)
{
    g_variant_ref_sink(value);
    bool ok = g_settings_schema_key_range_check(key, value) &&
              g_settings_is_writable(settings, name) && g_settings_set_value(settings, name, value);
    g_variant_unref(value);
    return ok;
}

bool setX11Acceleration(int speed)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return false;
    Display *display = XOpenDisplay(nullptr);
    if (!display)
        return false;
    // Speed 10 moves the pointer 1:1; the X server's default threshold.
    XChangePointerControl(display, True, True, qMax(speed, 1), 10, 4);
    XSync(display, False);
    XCloseDisplay(display);
    return true;
}
} // namespace

std::unique_ptr<PointerSettings> PointerSettings::createSystem()
{
    return std::make_unique<LinuxPointerSettings>();
}

LinuxPointerSettings::LinuxPointerSettings(const QString &schemaId) : m_schemaId(schemaId)
{}

double LinuxPointerSettings::gnomeSpeed(int speed)
{
    return qBound(-1.0, (speed - 10) / 10.0, 1.0);
}

bool LinuxPointerSettings::setPointerSpeed(int speed)
{
    const bool gnome =
        withSchemaKey(m_schemaId, "speed", [speed](GSettings *settings, GSettingsSchemaKey *key) {
            return setChecked(settings, key, "speed", g_variant_new_double(gnomeSpeed(speed)));
        });
    return gnome || setX11Acceleration(speed);
}

bool LinuxPointerSettings::setDoubleClickTime(int milliseconds)
{
    return withSchemaKey(
        m_schemaId, "double-click", [milliseconds](GSettings *settings, GSettingsSchemaKey *key) {
            return setChecked(settings, key, "double-click", g_variant_new_int32(milliseconds));
        });
}

bool LinuxPointerSettings::setWheelScrollLines(unsigned lines)
{
    Q_UNUSED(lines)
    return false;
}
