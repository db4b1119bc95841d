#include "platform/ThunarActions.h"

#include "platform/Exception.h"

#include <QString>
#include <QXmlStreamReader>

namespace {

struct TRange {
    qsizetype begin, end;
};

struct TScan {
    std::vector<TRange> ours; // our <action> elements, in file order
    std::vector<std::string> ourIds;
    qsizetype closingTag = -1; // where </actions> begins
    bool emptyRoot = false;    // written as <actions/>
};

// Where the tag the reader has just read begins and ends in the text. The
// reader's offset is at or a little past the tag's ">" (it may have looked at
// the next "<" already), and a tag holds no other ">" before its own.
TRange TagAt(const QString &text, const QXmlStreamReader &reader)
{
    const qsizetype gt = text.lastIndexOf('>', reader.characterOffset() - 1);
    return {text.lastIndexOf('<', gt), gt + 1};
}

// Reads the whole document and finds our actions.
TScan Scan(const QString &text)
{
    TScan scan;
    // Thunar has long written its declaration as <?xml encoding="UTF-8"
    // version="1.0"?>, which a strict reader refuses; the text is read as UTF-8
    // anyway, so the reader gets blanks in its place (the offsets stay the same).
    QString parsed = text;
    if (parsed.startsWith(u"<?xml")) {
        const qsizetype end = parsed.indexOf(u"?>");
        if (end > 0)
            parsed.replace(0, end + 2, QString(end + 2, ' '));
    }
    QXmlStreamReader reader(parsed);
    qsizetype actionStart = -1;
    int depth = 0;
    QString uniqueId;
    bool inUniqueId = false;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::StartElement) {
            ++depth;
            if (depth == 1 && reader.name() != u"actions")
                throw EModwright("its root element is <" + reader.name().toString().toStdString() +
                                 ">, not <actions>");
            if (depth == 2 && reader.name() == u"action") {
                actionStart = TagAt(text, reader).begin;
                uniqueId.clear();
            }
            inUniqueId = depth == 3 && reader.name() == u"unique-id";
        } else if (token == QXmlStreamReader::Characters && inUniqueId) {
            uniqueId += reader.text();
        } else if (token == QXmlStreamReader::EndElement) {
            inUniqueId = false;
            if (depth == 2 && reader.name() == u"action" &&
                uniqueId.trimmed().startsWith(QLatin1String(ThunarActionIdPrefix))) {
                scan.ours.push_back({actionStart, TagAt(text, reader).end});
                scan.ourIds.push_back(uniqueId.trimmed().toStdString());
            }
            if (depth == 1) {
                const TRange tag = TagAt(text, reader);
                scan.closingTag = tag.begin;
                scan.emptyRoot = text.mid(tag.begin, tag.end - tag.begin).endsWith(u"/>");
            }
            --depth;
        }
    }
    if (reader.hasError())
        throw EModwright("line " + std::to_string(reader.lineNumber()) + ": " +
                         reader.errorString().toStdString());
    if (scan.closingTag < 0)
        throw EModwright("it has no <actions> element");
    return scan;
}

QString Escaped(const std::string &text)
{
    return QString::fromStdString(text).toHtmlEscaped();
}

QString ActionXml(const TThunarAction &a)
{
    // The layout of the actions Thunar writes itself.
    QString xml = "<action>\n"
                  "\t<icon>modwright</icon>\n"
                  "\t<name>" +
                  Escaped(a.name) +
                  "</name>\n"
                  "\t<unique-id>" +
                  Escaped(a.uniqueId) +
                  "</unique-id>\n"
                  "\t<command>" +
                  Escaped(a.command) +
                  "</command>\n"
                  "\t<description>" +
                  Escaped(a.description) +
                  "</description>\n"
                  "\t<patterns>" +
                  Escaped(a.patterns) + "</patterns>\n";
    if (a.audioFiles)
        xml += "\t<audio-files/>\n";
    if (a.imageFiles)
        xml += "\t<image-files/>\n";
    xml += "</action>\n";
    return xml;
}

} // namespace

std::vector<std::string> OurThunarActionIds(const std::string &text)
{
    return Scan(QString::fromStdString(text)).ourIds;
}

std::string MergeThunarActions(const std::string &text, const std::vector<TThunarAction> &ours)
{
    QString added;
    for (const TThunarAction &action : ours)
        added += ActionXml(action);
    if (text.empty())
        return ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<actions>\n" + added + "</actions>\n")
            .toStdString();
    QString document = QString::fromStdString(text);
    const TScan scan = Scan(document);
    if (scan.emptyRoot) {
        if (added.isEmpty())
            return text;
        const qsizetype end = document.indexOf('>', scan.closingTag) + 1;
        document.replace(scan.closingTag, end - scan.closingTag, "<actions>\n" + added + "</actions>");
        return document.toStdString();
    }
    // Ours go where the last of them was, else just before </actions>.
    qsizetype insertAt = scan.closingTag;
    for (auto it = scan.ours.rbegin(); it != scan.ours.rend(); ++it) {
        qsizetype end = it->end;
        if (end < document.size() && document[end] == '\n')
            ++end; // the line break we wrote after it
        document.remove(it->begin, end - it->begin);
        if (insertAt > it->begin)
            insertAt -= end - it->begin;
        if (it == scan.ours.rbegin())
            insertAt = it->begin;
    }
    if (insertAt > 0 && document[insertAt - 1] != '\n' && !added.isEmpty())
        added.prepend('\n');
    document.insert(insertAt, added);
    return document.toStdString();
}
