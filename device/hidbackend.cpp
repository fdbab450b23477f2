#include "hidbackend.h"

#include "hidapibackend.h"
#include "virtualmouse.h"

void HidHandleCloser::operator()(HidHandle *handle) const
{
    if (handle && backend)
        backend->close(handle);
}

QString HidBackend::virtualFamilyFromEnvironment()
{
    const QString family = qEnvironmentVariable("SKARN_VIRTUAL_MOUSE");
    return family == QLatin1String("553") || family == QLatin1String("560") ? family : QString();
}

std::unique_ptr<HidBackend> HidBackend::fromEnvironment()
{
    const QString family = virtualFamilyFromEnvironment();
    if (family.isEmpty())
        return std::make_unique<HidapiBackend>();
    auto backend = std::make_unique<VirtualMouseBackend>();
    VirtualMouse &mouse = backend->addMouse(family.toInt());
    const QString recordFile = qEnvironmentVariable("SKARN_VIRTUAL_MOUSE_RECORD");
    if (!recordFile.isEmpty())
        mouse.setRecordFile(recordFile);
    if (qEnvironmentVariable("SKARN_VIRTUAL_MOUSE_ACCESS") == QLatin1String("denied"))
        mouse.setAccessDenied(true);
    return backend;
}
