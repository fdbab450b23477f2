#include "virtualmousefaultfiles.h"

#include "virtualmouse.h"

#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>

namespace {
QString faultFileOf(const VirtualMouse &mouse)
{
    const QString record = mouse.recordFilePath();
    return record.isEmpty() ? QString() : record + QStringLiteral(".fault");
}

void take(VirtualMouse &mouse, const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QStringList words = QString::fromLatin1(file.readAll()).simplified().split(' ');
    file.close();
    // Seen as it is created (`echo silent > file`), before its text is
    // written: the change that writes it comes next.
    if (words.value(0).isEmpty())
        return;
    QFile::remove(path);
    const QString what = words.value(0);
    if (what == QLatin1String("unplug"))
        mouse.unplug();
    else if (what == QLatin1String("plug"))
        mouse.plugIn();
    else if (what == QLatin1String("silent"))
        mouse.setFault(VirtualMouse::Fault::Silent, words.value(1).toInt());
    else
        mouse.setFault(VirtualMouse::Fault::None);
}
} // namespace

void VirtualMouseFaultFiles::attach(VirtualMouseBackend &backend)
{
    new VirtualMouseFaultFiles(backend);
}

VirtualMouseFaultFiles::VirtualMouseFaultFiles(VirtualMouseBackend &backend)
    : QObject(&backend), m_backend(backend)
{
    QStringList folders;
    for (int i = 0; i < backend.mouseCount(); ++i) {
        const QString path = faultFileOf(backend.mouse(i));
        if (!path.isEmpty())
            folders << QFileInfo(path).absolutePath();
    }
    folders.removeDuplicates();
    if (folders.isEmpty())
        return;
    auto *watcher = new QFileSystemWatcher(folders, this);
    connect(watcher, &QFileSystemWatcher::directoryChanged, this, &VirtualMouseFaultFiles::takeAll);
    takeAll();
}

void VirtualMouseFaultFiles::takeAll()
{
    for (int i = 0; i < m_backend.mouseCount(); ++i) {
        VirtualMouse &mouse = m_backend.mouse(i);
        const QString path = faultFileOf(mouse);
        if (!path.isEmpty() && QFile::exists(path))
            take(mouse, path);
    }
}
