#include "cli/CliCommands.h"
#include "model/Catalogue.h"
#include "probe/Json.h"

#include <ostream>

namespace {

const char *KindName(TImageKind kind)
{
    switch (kind) {
    case ikPanel:
        return "panel";
    case ikFrames:
        return "frames";
    case ikSlider:
        return "slider";
    }
    return "?";
}

} // namespace

int CmdCatalogue(TCliContext &ctx)
{
    RequireArgs(ctx, 1, 1);
    if (ctx.args[0] != "--json")
        throw ECliUsage("unknown option " + ctx.args[0]);
    CreateCatalogue();
    for (int i = 0; i < LiveEntryCount; ++i) {
        const TLiveEntry &entry = LiveEntry(i);
        TJsonLine line;
        line.add("index", i);
        if (entry.isImage()) {
            const auto &image = static_cast<const TAllImages &>(entry);
            const TImageRecord &r = image.record();
            line.add("kind", KindName(image.kind))
                .add("kindIndex", image.kindIndex)
                .add("name", r.description)
                .add("file", r.fileName)
                .add("width", r.width)
                .add("height", r.height)
                .add("frameWidth", r.frameWidth)
                .add("frameHeight", r.frameHeight);
            if (image.kind == ikFrames) {
                const TFramesRecord &f = FramesTable[size_t(image.kindIndex)];
                line.add("frames", f.frames).add("vertical", f.vertical).add("twoState", f.twoState);
            } else if (image.kind == ikSlider) {
                line.add("thumb", SliderTable[size_t(image.kindIndex)].thumb);
            }
        } else {
            const int d = static_cast<const TAllDrums &>(entry).drumIndex;
            const TDrumRecord &r = DrumTable[size_t(d)];
            line.add("kind", "drum")
                .add("kindIndex", d)
                .add("name", r.name)
                .add("file", r.fileName)
                .add("code", r.code);
        }
        ctx.out << line.str() << "\n";
    }
    return cliOk;
}
