#include "cli/CliCommands.h"
#include "cli/Json.h"
#include "formats/Probes.h"

#include <QFile>
#include <limits>
#include <ostream>

// probe FILE...: the header facts of each file, one JSON line per file, in the order given.
// A name with an image extension is probed as an image, any other as a sample file.
int CmdProbe(TCliContext &ctx)
{
    RequireArgs(ctx, 1, std::numeric_limits<size_t>::max());
    bool anyFailed = false;
    for (const std::string &arg : ctx.args) {
        const QString path = QFile::decodeName(QByteArray::fromStdString(arg));
        TJsonLine line;
        line.add("file", arg);
        try {
            if (IsImageFile(path)) {
                const TImageInfo info = GetImageInfo(path);
                line.add("type", "image")
                    .add("width", info.Width)
                    .add("height", info.Height)
                    .add("bits", info.BitsPerPixel);
            } else {
                const TAudioFormat format = GetAudioInfo(path);
                line.add("type", "audio")
                    .add("channels", format.Channels)
                    .add("bits", format.BitsPerSample)
                    .add("rate", format.SampleRate)
                    .add("frames", format.FrameCount)
                    .add("dataSize", format.DataSize);
            }
        } catch (const std::exception &e) {
            anyFailed = true;
            line = TJsonLine().add("file", arg).add("error", e.what());
        }
        ctx.out << line.str() << "\n";
    }
    return anyFailed ? cliFailed : cliOk;
}
