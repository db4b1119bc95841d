#include "audio/WavePlayer.h"
#include "cli/CliCommands.h"

#include <QEventLoop>
#include <QFile>
#include <ostream>

// play FILE [--device NAME]: plays one WAV or AIFF sample through the wave player, on the
// default device or the named one, and returns once the device has closed itself after
// the sound. A file that cannot be played, a missing device or a device error is the
// system's message on standard error and exit code 1.
int CmdPlay(TCliContext &ctx)
{
    std::string file, device;
    bool haveDevice = false;
    for (size_t i = 0; i < ctx.args.size(); ++i) {
        if (ctx.args[i] == "--device") {
            if (i + 1 >= ctx.args.size())
                throw ECliUsage("--device needs a device name");
            device = ctx.args[++i];
            haveDevice = true;
        } else if (file.empty()) {
            file = ctx.args[i];
        } else {
            throw ECliUsage("too many arguments");
        }
    }
    if (file.empty())
        throw ECliUsage("missing arguments");

    // The player is released however the command ends, so that the device is free again.
    struct TRelease {
        ~TRelease() { FreeWavePlayer(); }
    } release;
    TWaveOutput &output = GetWavePlayer().Output();
    if (haveDevice)
        output.SelectDeviceByName(QString::fromStdString(device));

    QEventLoop loop;
    bool done = false;
    std::string error;
    output.OnError = [&](TWaveOutput *, const std::string &message) {
        if (error.empty())
            error = message;
        done = true;
        loop.quit();
    };
    output.OnStopped = [&](TWaveOutput *) {
        done = true;
        loop.quit();
    };
    PlayWave(QFile::decodeName(QByteArray::fromStdString(file)));
    if (!done)
        loop.exec();
    if (!error.empty()) {
        ctx.err << error << "\n";
        return cliFailed;
    }
    return cliOk;
}
