#include "cli/CliBuild.h"

#include "modbuild/ComponentCheck.h"

#include <QFile>
#include <QFileInfo>
#include <ostream>

namespace {

void ClearAssignments()
{
    for (int i = 0; i < LiveEntryCount; ++i)
        LiveEntry(i).path.clear();
}

} // namespace

TCliBuild::TCliBuild()
    : images(TAssignmentRows::images()), drums(TAssignmentRows::drums()),
      set(drums, images, messages), ctx{set, settings, progress}
{
    // The catalogue lives for the process; a command starts with nothing assigned.
    CreateCatalogue();
    ClearAssignments();
    InstallComponentCheck(set, settings);
}

TCliBuild::~TCliBuild()
{
    ClearAssignments();
}

bool TCliBuild::Load(const std::string &file, const std::string &name, std::ostream &err)
{
    set.assignmentFile = PathArg(file);
    if (!QFile::exists(set.assignmentFile)) {
        err << "The assignment file " << file << " does not exist.\n";
        return false;
    }
    const QString assignmentName = QString::fromStdString(name);
    if (!set.ListAssignments().contains(assignmentName)) {
        err << "There is no assignment named \"" << name << "\" in " << file << ".\n";
        return false;
    }
    set.LoadAssignment(assignmentName, false, false);
    return set.name == assignmentName;
}

void TCliBuild::PrintMessages(std::ostream &err) const
{
    for (const QString &line : messages.lines)
        err << line.toStdString() << "\n";
}

TCliOptions ParseOptions(const std::vector<std::string> &args, std::initializer_list<const char *> known)
{
    TCliOptions options;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string &arg = args[i];
        if (arg.size() < 3 || arg.compare(0, 2, "--") != 0) {
            options.words.push_back(arg);
            continue;
        }
        bool isKnown = false;
        for (const char *name : known)
            isKnown = isKnown || arg == name;
        if (!isKnown)
            throw ECliUsage("unknown option " + arg);
        if (i + 1 >= args.size())
            throw ECliUsage(arg + " needs a value");
        options.values[arg] = args[++i];
    }
    return options;
}

int ParseQuality(const std::string &text)
{
    const int quality = ParseIntArg(text, "--quality");
    if (quality < 1 || quality > 100)
        throw ECliUsage("--quality must be 1 to 100");
    return quality;
}

QString PathArg(const std::string &arg)
{
    return QFile::decodeName(QByteArray::fromStdString(arg));
}

QString AbsolutePathArg(const std::string &arg)
{
    return QFileInfo(PathArg(arg)).absoluteFilePath();
}
