#pragma once

#include <QObject>

class QFileSystemWatcher;
class VirtualMouseBackend;

// Lets a check from outside the process upset the virtual mice, for the
// builds the tests drive only. Beside each mouse's record file, a file named
// like it plus ".fault" holding "silent" or "silent <n>" (at once, or after
// n more reports), "none", "unplug" or "plug" is taken and removed as soon
// as it appears: unplugging must not wait for the program to open the
// mouse, which with no mouse it never would.
class VirtualMouseFaultFiles : public QObject
{
public:
    // Watches for the backend's lifetime; a fault file already there is
    // taken at once.
    static void attach(VirtualMouseBackend &backend);

private:
    explicit VirtualMouseFaultFiles(VirtualMouseBackend &backend);
    void takeAll();

    VirtualMouseBackend &m_backend;
};
