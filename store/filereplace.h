#pragma once

#include <QString>
#include <functional>

class QSettings;

namespace FileReplace {
// Replaces `target` with a copy of `source` without ever destroying the old
// content first: the copy is written to a temporary file in the target's
// folder and renamed over the target. A missing or unreadable source, a
// target that is not a file (a device, a pipe, a folder), or a failure
// while writing, leaves the target exactly as it was. The new file
// is always newer than the one it replaces, so readers that cache files by
// modification time see the change.
bool copyOver(const QString &source, const QString &target);

// Whether `path` is a readable file no larger than StorePaths::maxFileSize;
// checked before anything is read whole.
bool isReadableData(const QString &path);

// Whether the file system holding `path`, and the process's file size
// limit, leave room to write it anew (its size and 64 KiB). Qt's settings
// writer (6.4), out of room in the middle of a write, puts what it managed
// to write in the file's place and reports success: settings files are
// written, and opened with changes pending, only with room to spare.
bool hasRoomFor(const QString &path);

// Whether `path` is readable data (above) that reads as a settings file
// holding `group`: a file picked for an import is checked with it, so that
// a picture or another kind of settings file picked by mistake is refused
// instead of becoming a profile or macro that holds nothing of its own.
bool holdsSettingsGroup(const QString &path, const QString &group);

// Writes what `file` holds pending and tells whether the file took it; the
// caller has checked for room (above) before making anything pending. A
// file that is not settings text (edited by hand) reads with a format error
// that stays with the write that has just rewritten it clean; such a file
// counts as written when it now reads clean.
bool syncSettings(QSettings &file);

// Told the path of each file set aside, so that the user can be told; the
// owner of the files passes it to whatever reads them.
using SetAsideNotice = std::function<void(const QString &path)>;

// A data file that is oversized or unreadable is renamed to
// <path>.damaged (replacing an older one), `factory`, when given and sound,
// is copied in its place, and `notice` (when set) is told. True when the
// file was set aside. Nothing of a set-aside file is read, and it is never
// written back.
bool setAsideIfDamaged(const QString &path, const QString &factory, const SetAsideNotice &notice);
// The same for a file its reader found damaged, unconditionally.
bool setAside(const QString &path, const QString &factory, const SetAsideNotice &notice);
} // namespace FileReplace
