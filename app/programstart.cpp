#include "programstart.h"

#include "applog.h"
#include "datafolder.h"
#include "hidbackend.h"
#include "storelog.h"

#include <QCoreApplication>

void ProgramStart::print(FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

QString ProgramStart::openDataFolder()
{
    const QString folder = DataFolder::enter(QCoreApplication::applicationDirPath());
    if (folder.isEmpty()) {
        print(stderr, QStringLiteral("skarn-config: no folder can be made for the settings, not "
                                     "even a temporary one\n"));
        return {};
    }
    qCDebug(lcStore).noquote() << "Data folder:" << folder;
    const QString virtualFamily = HidBackend::virtualFamilyFromEnvironment();
    if (!virtualFamily.isEmpty())
        qCDebug(lcApp).noquote() << "Virtual mouse of family" << virtualFamily;
    return folder;
}
