#include "profilestore.h"

#include "filedialogs.h"
#include "filereplace.h"
#include "settingsstore.h"
#include "storepaths.h"

#include <QFileInfo>
#include <QSettings>

const QString ProfileStore::fileFilter = QStringLiteral("Profile(*.pf)");

ImportResult ProfileStore::importProfile(int profile, FileDialogs &dialogs)
{
    if (!m_settings.profile(profile))
        return ImportResult::Failed;
    const QString chosen = dialogs.openFileName(fileFilter);
    if (chosen.isEmpty())
        return ImportResult::Cancelled;
    if (QFileInfo(chosen).size() > StorePaths::maxFileSize)
        return ImportResult::TooLarge;
    // Every profile has its "mouse" settings; a file without them would
    // leave the screens on their defaults and the mouse on its own.
    if (!FileReplace::holdsSettingsGroup(chosen, QStringLiteral("mouse")))
        return ImportResult::Failed;
    return m_settings.replaceProfile(profile, chosen) ? ImportResult::Imported
                                                      : ImportResult::NotWritten;
}

bool ProfileStore::exportProfile(int profile, FileDialogs &dialogs)
{
    QSettings *settings = m_settings.profile(profile);
    if (!settings)
        return true;
    const QString chosen = dialogs.saveFileName(fileFilter);
    if (chosen.isEmpty())
        return true;
    // The exported file holds every change made before the export.
    if (!FileReplace::hasRoomFor(settings->fileName()))
        return false;
    settings->sync();
    return FileReplace::copyOver(settings->fileName(), chosen);
}

bool ProfileStore::resetProfile(int profile)
{
    return !m_settings.profile(profile) ||
           m_settings.replaceProfile(profile, m_settings.filePath(StorePaths::defaultProfile));
}

bool ProfileStore::copyProfile(int destprofile, int srcprofile)
{
    QSettings *source = m_settings.profile(srcprofile);
    if (!source || !m_settings.profile(destprofile) || destprofile == srcprofile)
        return true;
    if (!FileReplace::hasRoomFor(source->fileName()))
        return false;
    source->sync();
    return m_settings.replaceProfile(destprofile, source->fileName());
}
