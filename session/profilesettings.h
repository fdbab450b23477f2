#pragma once

#include <QList>
#include <QString>
#include <QVariantMap>
#include <array>

class SettingsStore;

// A profile as the screens show it and as the mouse gets it: every stored
// value read, checked and brought into the range a screen offers, so that
// what is shown is what is sent. A damaged or missing value is its
// built-in default.
struct ProfileSettings
{
    static constexpr int buttonCount = 16;
    static constexpr int stageCount = 8;
    using Record = std::array<int, 4>;

    struct Dpi
    {
        // Stage counts above eight cannot be shown: the panel keeps what it
        // shows and nothing of the profile's stages is sent.
        bool shown = true;
        int count = 4;
        // How many stages are active, 1 to count.
        int active = 4;
        int min = 200;
        int max = 6000;
        int base = 50;
        QString sensor = QStringLiteral("3360");
        // As stored, within min..max: where the sliders are put.
        QList<int> stored;
        // As the sliders read them back (their pixel steps, rounded down to
        // the base): what is stored and sent.
        QList<int> sent;
    };
    struct Lighting
    {
        int effect = 0;
        int speed = 0;
        int brightness = 4;
        // Eight colours, red, green and blue each.
        std::array<int, 24> colours{};
        // The 24 values stored and sent: the 55328 takes colour 8 only with
        // Breath Loop, black otherwise.
        QList<int> sentColours(bool is55328) const;
    };
    struct Pointer
    {
        // Knob positions on the system settings' tracks, and the wheel's
        // line count (1000 for one screen).
        int speed = 3;
        int doubleClick = 3;
        int scroll = 1;
    };

    std::array<Record, buttonCount> keys{};
    int reportRateRow = 3;
    Dpi dpi;
    Lighting lighting;
    Pointer pointer;

    // Profile `isRecovery` ? the default profile : the current one of
    // `store`, with the mouse's capabilities from its flags.
    static ProfileSettings read(const SettingsStore &store, bool isRecovery);

    // The 64 values of the key table, four per button.
    QList<int> keyList() const;
    static QList<int> keyList(const std::array<Record, buttonCount> &keys);
    // For the scene: the stored DPI values and the colours as they are.
    QVariantMap toVariant() const;

    // Built-in assignment of every button.
    static const std::array<Record, buttonCount> defaultKeys;
    // The assignment of a stored record (texts or numbers): the built-in
    // default of `button` for a record that is missing, damaged or not one
    // the screens can make.
    static Record recordCodes(const QVariantList &record, int button);
    // With at least one left click: without one, the first button whose
    // default is a left click gets its default back.
    static void keepLeftClick(std::array<Record, buttonCount> &keys);

    // The report-rate rows (125, 250, 500, 1000 Hz) and their codes.
    static int rateCode(int row);
    static int rateHertz(int row);

    // A DPI slider: the knob position of `value`, and the value a knob
    // position reads.
    static int dpiPosition(int value, int min, int max);
    static int dpiValueAt(int position, int min, int max, int base);

    // The number of lighting effects a mouse of these flags has.
    static int effectCount(bool isColorful, bool is55328);
    // Slider levels 0..10 of the pointer and double-click tracks.
    static int pointerLevel(int position);
};
