#pragma once

#include <QString>

namespace FileName {
// Whether `name` can stand as a file's base name inside its folder without
// reaching outside it: not empty, not "." or "..", no path separator and no
// control character.
bool isPlain(const QString &name);
// Whether `name` is plain and also valid on Windows and FAT file systems,
// where \ / : * ? " < > | cannot stand in a file name. New names must be
// portable so that a data folder can move between systems.
bool isPortable(const QString &name);
} // namespace FileName
