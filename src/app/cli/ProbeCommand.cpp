#include "cli/CliCommands.h"
#include "cli/Json.h"
#include "formats/Probes.h"

#include <QFile>
#include <limits>
#include <ostream>

namespace {

constexpr size_t kOutputBlock = 64 * 1024;

} // namespace

// probe FILE...: the header facts of each file, one JSON line per file, in the order given.
// A name with an image extension is probed as an image, any other as a sample file.
int CmdProbe(TCliContext &ctx)
{
    RequireArgs(ctx, 1, std::numeric_limits<size_t>::max());
    bool anyFailed = false;
    // One buffered stream: the lines are collected and handed over in large blocks, not
    // one write per file.
    std::string pending;
    pending.reserve(kOutputBlock + 512);
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
        pending += line.str();
        pending += '\n';
        if (pending.size() >= kOutputBlock) {
            ctx.out.write(pending.data(), std::streamsize(pending.size()));
            pending.clear();
        }
    }
    ctx.out.write(pending.data(), std::streamsize(pending.size()));
    ctx.out.flush();
    return anyFailed ? cliFailed : cliOk;
}
