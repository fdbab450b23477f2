#pragma once

class VirtualMouseBackend;

// The program with its window and tray icon, after main() has read a
// command line that asks for them. On Linux it lives in a library of its
// own that main() loads only then, so that a command run alone does not
// load Qt Quick, Qt Widgets and the display's libraries.
extern "C" {
using SkarnVirtualMouseSetup = void (*)(VirtualMouseBackend &backend);
// `virtualMouseSetup` also prepares the virtual mouse (the tests' build
// attaches its fault files); may be null.
int skarnGuiMain(int argc, char *argv[], SkarnVirtualMouseSetup virtualMouseSetup);
}
