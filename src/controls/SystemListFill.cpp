#include "controls/SystemListFill.h"

#include <QDateTime>
#include <QHash>
#include <QLocale>
#include <QTimeZone>

QString FormatSizeKB(uint64_t size)
{
    // Counted without overflow for sizes near 2^64.
    const uint64_t kb = size / 1024 + (size % 1024 != 0 ? 1 : 0);
    return QString::number(kb) + QStringLiteral("KB");
}

QString FormatAttributeLetters(uint32_t a)
{
    QString text;
    if (a & FILE_ATTRIBUTE_READONLY)
        text += QLatin1Char('R');
    if (a & FILE_ATTRIBUTE_HIDDEN)
        text += QLatin1Char('H');
    if (a & FILE_ATTRIBUTE_SYSTEM)
        text += QLatin1Char('S');
    if (a & FILE_ATTRIBUTE_ARCHIVE)
        text += QLatin1Char('A');
    if (a & FILE_ATTRIBUTE_COMPRESSED)
        text += QLatin1Char('C');
    if (a & FILE_ATTRIBUTE_DEVICE)
        text += QLatin1Char('E');
    if (a & FILE_ATTRIBUTE_TEMPORARY)
        text += QLatin1Char('T');
    if (a & FILE_ATTRIBUTE_REPARSE_POINT)
        text += QStringLiteral(" reparse");
    if (a & FILE_ATTRIBUTE_SPARSE_FILE)
        text += QStringLiteral(" sparse");
    return text;
}

namespace {

// The locale's long time format without the time zone, which a DOS date-time never had.
QString LongTimeFormatWithoutZone(const QLocale &locale)
{
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString out;
    bool quoted = false;
    for (QChar c : format) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (!quoted && c == QLatin1Char('t'))
            continue;
        out += c;
    }
    return out.simplified();
}

} // namespace

QString FormatModified(TFileTime time)
{
    if (time == 0)
        return {};
    // 100-ns units since 1601 to milliseconds since 1970.
    const int64_t ms = int64_t(time / 10000) - 11644473600000LL;
    // Files copied together share their times: each two-second step is formatted once.
    thread_local QHash<int64_t, QString> formatted;
    const int64_t step = ms >= 0 ? ms / 2000 : (ms - 1999) / 2000;
    if (auto it = formatted.constFind(step); it != formatted.constEnd())
        return *it;
    QDateTime local = QDateTime::fromMSecsSinceEpoch(ms, Qt::LocalTime);
    const int year = local.date().year();
    QString text;
    if (year >= 1980 && year <= 2107) {
        // DOS date-times count seconds in steps of two.
        const QTime t = local.time();
        local.setTime(QTime(t.hour(), t.minute(), t.second() & ~1));
        const QLocale locale;
        static thread_local const QString timeFormat = LongTimeFormatWithoutZone(locale);
        text = locale.toString(local.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
               locale.toString(local.time(), timeFormat);
    }
    if (formatted.size() > 4096)
        formatted.clear();
    formatted.insert(step, text);
    return text;
}

QString TypeText(const QString &typeName, const QString &fileName)
{
    if (!typeName.isEmpty())
        return typeName;
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    if (dot < 0 || dot == fileName.size() - 1)
        return QStringLiteral("File");
    return fileName.mid(dot + 1).toUpper() + QStringLiteral(" File");
}

bool IsProbeColumn(int id)
{
    return id == ciDimension || id == ciColors || id == ciSamples || id == ciFrequency ||
           id == ciResolution || id == ciChannels;
}

void FillProbeTexts(TListItemData &row, const std::vector<int> &columnIds)
{
    const bool done = row.ProbeState == TListItemData::psDone;
    const bool failed = row.ProbeState == TListItemData::psFailed;
    // A message on one line: the BMP probe puts the file name on a line of its own.
    QString error = row.ProbeError;
    error.replace(QStringLiteral("\r\n"), QStringLiteral(" ")).replace(QLatin1Char('\n'), QLatin1Char(' '));
    bool errorShown = false;
    bool samplesGroupShown = false;
    for (size_t i = 1; i < columnIds.size() && i - 1 < row.SubItems.size(); ++i) {
        const int id = columnIds[i];
        if (!IsProbeColumn(id))
            continue;
        QString &text = row.SubItems[i - 1];
        text.clear();
        if (!done && !failed)
            continue;
        const int32_t *slot = row.InfoSlots;
        switch (id) {
        case ciDimension:
            if (failed) {
                text = error;
                errorShown = true;
            } else {
                // A top-down bitmap stores its height negative; it is as tall either way.
                text = QStringLiteral("%1x%2").arg(slot[0]).arg(slot[1] < 0 ? -int64_t(slot[1]) : slot[1]);
            }
            break;
        case ciColors:
            if (done)
                text = QStringLiteral("%1bit").arg(slot[2]);
            break;
        case ciSamples:
        case ciFrequency:
        case ciResolution:
            if (failed) {
                if (!samplesGroupShown) {
                    text = error;
                    samplesGroupShown = errorShown = true;
                }
            } else {
                text = QString::number(slot[id == ciSamples ? 0 : (id == ciFrequency ? 1 : 2)]);
            }
            break;
        case ciChannels:
            if (failed) {
                if (!errorShown) {
                    text = error;
                    errorShown = true;
                }
            } else if (slot[3] == 1) {
                text = QStringLiteral("mono");
            } else if (slot[3] == 2) {
                text = QStringLiteral("stereo");
            }
            break;
        default:
            break;
        }
    }
}
