#include "cli/CliBuild.h"
#include "cli/CliCommands.h"
#include "cli/CliMessageBoxes.h"
#include "modbuild/ComponentSave.h"

#include <QFileInfo>
#include <ostream>

// convert SRC DST [--quality N]: writes SRC to DST as the mod does for a component
// of SRC's kind (image for .bmp/.jpg, drum for .wav/.aif); DST's extension decides
// the format. Exit 1 when DST was not written.
int CmdConvert(TCliContext &ctx)
{
    const TCliOptions options = ParseOptions(ctx.args, {"--quality"});
    if (options.words.size() != 2)
        throw ECliUsage(options.words.size() < 2 ? "missing arguments" : "too many arguments");
    TCliMessageBoxes boxes(ctx.err);
    TCliBuild build;
    if (options.has("--quality"))
        build.settings.JpegCompressionRatio = ParseQuality(options.values.at("--quality"));

    const QString source = PathArg(options.words[0]);
    const QString destination = PathArg(options.words[1]);
    const QString extension = QFileInfo(source).suffix().toLower();
    bool image;
    if (extension == "bmp" || extension == "jpg")
        image = true;
    else if (extension == "wav" || extension == "aif")
        image = false;
    else
        throw ECliUsage("SRC must be a .bmp, .jpg, .wav or .aif file");
    if (destination.isEmpty() || destination.endsWith('/'))
        throw ECliUsage("DST must be a file name");

    // Any component of the kind will do: the conversion depends on the file names only.
    TAssignmentData &row = image ? build.images.at(0) : build.drums.at(0);
    row.setAssignedPath(QFileInfo(source).absoluteFilePath());
    const bool written = SaveAssignedFile(row, destination, build.messages, build.settings);
    build.PrintMessages(ctx.err);
    return written ? cliOk : cliFailed;
}
