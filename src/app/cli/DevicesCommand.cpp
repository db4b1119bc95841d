#include "audio/WavePlayer.h"
#include "cli/CliCommands.h"
#include "probe/Json.h"

#include <QStringList>
#include <ostream>

// devices: the sound output devices as the settings dialog lists them, one JSON line each
// ({"id", "name"}): the default device (id -1) first, then devices 0 to count - 1; a device
// that cannot be asked is left out, and so is one whose name is listed already (when the
// system's "default" is the only device, it is the default device too; a device is chosen
// by its name, which finds the first). Without any device: "No wave devices present.",
// exit 1.
int CmdDevices(TCliContext &ctx)
{
    RequireArgs(ctx, 0, 0);
    struct TRelease {
        ~TRelease() { FreeWavePlayer(); }
    } release;
    TWaveOutput &output = GetWavePlayer().Output();
    const int32_t previous = output.DeviceId();
    QStringList listed;
    auto list = [&](int32_t id) {
        try {
            output.SetDevice(id);
        } catch (const EModwright &) {
            return;
        }
        if (listed.contains(output.DeviceName(), Qt::CaseInsensitive))
            return;
        listed << output.DeviceName();
        ctx.out << TJsonLine().add("id", id).add("name", output.DeviceName().toStdString()).str() << "\n";
    };
    list(-1);
    for (uint32_t i = 0; i < output.DeviceCount(); ++i)
        list(int32_t(i));
    try {
        output.SetDevice(previous);
    } catch (const EModwright &) {
    }
    return cliOk;
}
