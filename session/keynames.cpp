#include "keynames.h"

#include "langstrings.h"

namespace {
const QList<int> keyCodes = {
    0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F, 0x10, 0x11, 0x12,
    0x13, 0x14, 0x15, 0x16, 0x17, 0x18, 0x19, 0x1A, 0x1B, 0x1C, 0x1D, 0x1E, 0x1F, 0x20, 0x21,
    0x22, 0x23, 0x24, 0x25, 0x26, 0x27, 0x28, 0x29, 0x2A, 0x2B, 0x2C, 0x2D, 0x2E, 0x2F, 0x30,
    0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x37, 0x38, 0x39, 0x3A, 0x3B, 0x3C, 0x3D, 0x3E, 0x3F,
    0x40, 0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49, 0x4A, 0x4B, 0x4C, 0x4D, 0x4E,
    0x4F, 0x50, 0x51, 0x52, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58, 0x59, 0x5A, 0x5B, 0x5C, 0x5D,
    0x5E, 0x5F, 0x60, 0x61, 0x62, 0x63, 0x64, 0x65, 0x66, 0x67, 0x68, 0x69, 0x6A, 0x6B, 0x6C,
    0x6D, 0x6E, 0x6F, 0x70, 0x71, 0x72, 0x73, 0x85, 0x87, 0x88, 0x89, 0x8A, 0x8B, 0x90, 0x91,
    0xE0, 0xE1, 0xE2, 0xE3, 0xE4, 0xE5, 0xE6, 0xE7, 0xF0, 0xF1, 0xF2, 0xF3, 0xF4,
};

// UTF-8: the arrow keys are named by arrows.
const char *const defaultNames[] = {
    "A",     "B",      "C",      "D",     "E",       "F",      "G",     "H",     "I",     "J",
    "K",     "L",      "M",      "N",     "O",       "P",      "Q",     "R",     "S",     "T",
    "U",     "V",      "W",      "X",     "Y",       "Z",      "1",     "2",     "3",     "4",
    "5",     "6",      "7",      "8",     "9",       "0",      "Enter", "Esc",   "Back",  "Tab",
    "Space", "-",      "=",      "[",     "]",       "\\",     "\\",    ";",     "'",     "`",
    ",",     ".",      "/",      "Caps",  "F1",      "F2",     "F3",    "F4",    "F5",    "F6",
    "F7",    "F8",     "F9",     "F10",   "F11",     "F12",    "Prt",   "Scr",   "Pau",   "Ins",
    "Hom",   "Pgu",    "Del",    "End",   "PgD",     "►",      "◄",     "▼",     "▲",     "Num",
    "KP/",   "KP*",    "KP-",    "KP+",   "KPEnter", "KP1",    "KP2",   "KP3",   "KP4",   "KP5",
    "KP6",   "KP7",    "KP8",    "KP9",   "KP0",     "KP.",    "Eur2",  "App",   "Power", "KP=",
    "F13",   "F14",    "F15",    "F16",   "F17",     "F18",    "F19",   "F20",   "F21",   "F22",
    "F23",   "F24",    "Keypad", "Intl1", "Intl2",   "Intl2",  "Intl4", "Intl5", "Lang1", "Lang2",
    "LCtrl", "LShift", "LAlt",   "LWin",  "RCtrl",   "RShift", "RAlt",  "RWin",  "MS-L",  "MS-R",
    "MS-M",  "MS-B4",  "MS-B5",
};
} // namespace

KeyNames::KeyNames()
{
    for (const char *name : defaultNames)
        m_names.append(QString::fromUtf8(name));
}

KeyNames KeyNames::forLanguage(const QString &root, const QString &language)
{
    KeyNames table;
    table.m_root = root;
    const QStringList loaded = LangStrings::read(root, QStringLiteral("keyCode"), language);
    for (int i = 0; i < loaded.size(); ++i) {
        if (i < table.m_names.size())
            table.m_names[i] = loaded.at(i);
        else
            table.m_names.append(loaded.at(i));
    }
    return table;
}

const QList<int> &KeyNames::codes()
{
    return keyCodes;
}

QString KeyNames::name(int code) const
{
    const qsizetype i = keyCodes.indexOf(code);
    return i >= 0 ? m_names.value(i) : QString();
}

int KeyNames::code(const QString &name) const
{
    if (const int found = codeIn(m_names, name))
        return found;
    if (!m_otherNames) {
        m_otherNames.emplace({KeyNames().m_names});
        if (!m_root.isEmpty()) {
            for (const LangStrings::Language &language : LangStrings::languages(m_root))
                m_otherNames->append(
                    LangStrings::read(m_root, QStringLiteral("keyCode"), language.code));
        }
    }
    for (const QStringList &names : std::as_const(*m_otherNames)) {
        if (const int found = codeIn(names, name))
            return found;
    }
    return 0;
}

int KeyNames::codeIn(const QStringList &names, const QString &name)
{
    const qsizetype count = std::min(keyCodes.size(), names.size());
    for (qsizetype i = 0; i < count; ++i) {
        if (names.at(i) == name)
            return keyCodes.at(i);
    }
    return 0;
}
