#pragma once

#include <QString>

#include "filedialogs.h"

class SettingsStore;

// Whole-profile operations: import and export through the user's file
// choice, reset to the factory values, copy one profile onto another.
// Profiles are numbered 0..9; other numbers change nothing. None of these
// changes which profile is current.
class ProfileStore
{
public:
    explicit ProfileStore(SettingsStore &settings) : m_settings(settings) {}

    static const QString fileFilter;

    // Imported when the profile now holds the picked file; otherwise the
    // profile is as it was. A file over StorePaths::maxFileSize is refused
    // unread.
    ImportResult importProfile(int profile, FileDialogs &dialogs);
    // These three are false only when a file could not be written (the
    // target left as it was); a cancelled export or an unknown profile
    // number writes nothing and is no failure.
    bool exportProfile(int profile, FileDialogs &dialogs);
    bool resetProfile(int profile);
    // Copying a profile onto itself leaves it unchanged.
    bool copyProfile(int destprofile, int srcprofile);

private:
    SettingsStore &m_settings;
};
