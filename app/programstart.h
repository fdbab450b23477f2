#pragma once

#include <QString>
#include <cstdio>

// What both halves of the program do as they start: the command line's,
// which stays small, and the window's, loaded only for the window.
namespace ProgramStart {
// Writes `text` to `stream` in the terminal's encoding, at once.
void print(FILE *stream, const QString &text);
// The data folder, and the virtual mouse standing in for the served one.
// Empty, said on stderr, when there is no folder to work in.
QString openDataFolder();
} // namespace ProgramStart
