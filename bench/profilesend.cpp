// Measures a full profile send to the virtual mouse through the view's
// device operations: the key matrix with a gun-preset switch, the DPI
// stages and the lighting, with the transport's real pauses. Prints the
// median wall time of several sends beside the sum of the pauses the
// protocol requires, which a dry run through the pause seam collects.
#include "deviceoperations.h"
#include "hid_thread.h"
#include "virtualmouse.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
void sendProfile(DeviceOperations &device)
{
    // Left, right, middle, forward, back, gun preset 1, DPI+, DPI-.
    QList<int> keys = {0, 0, 0xF0, 0, 0, 0, 0xF1, 0, 0, 0, 0xF2, 0, 0, 0, 0xF4, 0,
                       0, 0, 0xF3, 0, 8, 0, 1,    0, 5, 0, 1,    0, 5, 0, 2,    0};
    while (keys.size() < 64)
        keys << 0;
    QList<int> colours;
    for (int i = 0; i < 24; ++i)
        colours << i * 10;
    device.sendKeyMatrix(keys, keys, {10, 20, 30});
    device.setDpi(4, QStringLiteral("3360"), {500, 1000, 1500, 2000, 3000, 4000, 5000, 6000});
    device.setLighting(1, 2, 4);
    device.setStageColours(0, colours);
}

struct Result
{
    double wallMs;
    int pausesMs;
    int reports;
};

Result measure(int family, int runs)
{
    VirtualMouseBackend backend;
    VirtualMouse &mouse = backend.addMouse(family);
    DeviceTable table{VirtualMouse::factoryRow()};
    table[0].interfacePath1 = QStringLiteral("virtual:0:0");
    table[0].interfacePath2 = QStringLiteral("virtual:0:1");
    Hid_Thread link(&backend);
    link.setDeviceTable(table);
    link.setDraw([] { return std::array<uchar, 4>{1, 2, 3, 4}; });
    const std::unique_ptr<DeviceOperations> operations =
        DeviceOperations::create(QString::number(family), {true, true, false});
    DeviceOperations &device = *operations;
    device.setLink(&link);

    // Dry run: the pauses the protocol asks for, without waiting.
    int pauses = 0;
    link.setSleep([&pauses](int ms) { pauses += ms; });
    if (!link.chkDeviceIsEnCode(0))
        return {-1, 0, 0};
    device.readDeviceProfiles();
    mouse.clearRecord();
    pauses = 0;
    sendProfile(device);
    const int required = pauses;
    const int reports = int(mouse.received().size());

    link.setSleep(nullptr); // the transport's own, real pauses
    std::vector<double> walls;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        sendProfile(device);
        walls.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(walls.begin(), walls.end());
    if (!mouse.protocolErrors().isEmpty())
        std::fprintf(stderr, "protocol errors: %s\n",
                     qPrintable(mouse.protocolErrors().join(QStringLiteral("; "))));
    return {walls[walls.size() / 2], required, reports};
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    for (int family : {553, 560}) {
        const Result r = measure(family, runs);
        std::printf("%d %.1f %d %d\n", family, r.wallMs, r.pausesMs, r.reports);
    }
    return 0;
}
