// Measures a full profile send to the virtual mouse: the key matrix with a
// gun-preset switch, the gun data, the DPI stages and the lighting, with the
// transport's real pauses. Prints the median wall time of several sends
// beside the sum of the pauses the protocol requires, which a dry run
// through the pause seam collects.
//
// The commands go through the device link as the view's device operations
// will call them.
#include "hid_thread.h"
#include "virtualmouse.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
void sendProfile(Hid_Thread &link, int family)
{
    uchar keys[64] = {};
    const uchar assignments[8][4] = {{0x01, 0xF0, 0, 0}, {0x01, 0xF1, 0, 0}, {0x01, 0xF2, 0, 0},
                                     {0x01, 0xF4, 0, 0}, {0x01, 0xF3, 0, 0}, {0x08, 0, 1, 0},
                                     {0x05, 0, 1, 0},    {0x05, 0, 2, 0}};
    for (int i = 0; i < 8; ++i)
        std::copy_n(assignments[i], 4, keys + 4 * i);
    uchar dpi[8] = {0x04, 0x09, 0x0E, 0x13, 0x80, 0x80, 0x80, 0x80};
    uchar colours[24];
    for (int i = 0; i < 24; ++i)
        colours[i] = uchar(i * 10);
    if (family == 560) {
        uchar block[128];
        link.hid560_8CH_readProfile(block, 1);
        std::copy_n(dpi, 8, block + 8);
        std::copy_n(colours, 24, block + 32);
        link.hid560_0DH_SetKeyMatrix(keys, 1);
        link.hid560_0CH_setProfile(block, 1);
        return;
    }
    link.hid553_12H_SetKeyMatrix(keys, 1);
    link.hid553_04H_SetGunData(1, 10, 20, 0);
    link.hid553_11H_SetDPISet(4, dpi);
    link.hid553_0DH_SetRGBLedEffect(1, 2, 4);
    link.hid553_10H_SetLED8StageColor(0, colours);
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
    link.setDeviceFlags(QString::number(family), true);
    link.setDeviceTable(table);
    link.setDraw([] { return std::array<uchar, 4>{1, 2, 3, 4}; });

    // Dry run: the pauses the protocol asks for, without waiting.
    int pauses = 0;
    link.setSleep([&pauses](int ms) { pauses += ms; });
    if (!link.chkDeviceIsEnCode(0))
        return {-1, 0, 0};
    mouse.clearRecord();
    pauses = 0;
    sendProfile(link, family);
    const int required = pauses;
    const int reports = int(mouse.received().size());

    link.setSleep(nullptr); // the transport's own, real pauses
    std::vector<double> walls;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        sendProfile(link, family);
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
