#include "workbench/ComponentRows.h"

namespace ComponentRows {

namespace {

int Sign(int64_t v)
{
    return v < 0 ? -1 : (v > 0 ? 1 : 0);
}

QChar FoldAscii(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'a' && u <= u'z') ? QChar(char16_t(u - 32)) : c;
}

// Drums: which measured value stands in which format column.
int DrumInfoSlot(int column)
{
    switch (column) {
    case 2:
        return 2; // resolution in bits
    case 3:
        return 1; // sample rate
    case 4:
        return 3; // channels
    case 5:
        return 0; // sample frames
    default:
        return -1;
    }
}

} // namespace

QString Caption(const TAssignmentData &row)
{
    return row.displayName();
}

QString ModName(const TAssignmentData &row)
{
    const QString file = row.modFileName();
    const int dot = file.indexOf(u'.');
    return dot < 0 ? file : file.left(dot);
}

QStringList ImageSubItems(const TAssignmentData &row)
{
    QString dimension, colours;
    if (row.isAssigned()) {
        dimension = QString::asprintf("%dx%d", row.info[0], row.info[1]);
        colours = QString::asprintf("%dbit", row.info[2]);
    }
    return {dimension, colours, ModName(row)};
}

QStringList DrumSubItems(const TAssignmentData &row, bool showFormats)
{
    QStringList items{DrumCode(row.index)};
    if (showFormats) {
        for (int column = 2; column <= 5; ++column)
            items << (row.isAssigned() ? QString::number(row.info[size_t(DrumInfoSlot(column))]) : QString());
    }
    items << ModName(row);
    return items;
}

QStringList SubItems(const TAssignmentData &row, bool showFormats)
{
    return row.isImage ? ImageSubItems(row) : DrumSubItems(row, showFormats);
}

QString ColumnText(const TAssignmentData &row, int column, bool showFormats)
{
    if (column == 0)
        return Caption(row);
    const QStringList items = SubItems(row, showFormats);
    return column - 1 < items.size() ? items[column - 1] : QString();
}

int CompareExact(const QString &a, const QString &b)
{
    return Sign(QString::compare(a, b, Qt::CaseSensitive));
}

int CompareAsciiNoCase(const QString &a, const QString &b)
{
    const qsizetype n = qMin(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t ca = FoldAscii(a[i]).unicode();
        const char16_t cb = FoldAscii(b[i]).unicode();
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    return Sign(int64_t(a.size()) - int64_t(b.size()));
}

int CompareImages(const TAssignmentData &a, const TAssignmentData &b, int k, bool reverse)
{
    int result = 0;
    if (k > 0) {
        const QStringList sa = ImageSubItems(a), sb = ImageSubItems(b);
        if (sa.size() >= k && sb.size() >= k) {
            if (k == 2)
                result = Sign(int64_t(a.info[2]) - int64_t(b.info[2]));
            else
                result = CompareExact(sa[k - 1], sb[k - 1]);
        }
    }
    if (result == 0)
        result = CompareExact(Caption(a), Caption(b));
    return reverse ? -result : result;
}

int CompareDrums(const TAssignmentData &a, const TAssignmentData &b, int k, bool showFormats, bool reverse)
{
    int result = 0;
    if (k > 0) {
        const QStringList sa = DrumSubItems(a, showFormats), sb = DrumSubItems(b, showFormats);
        if (sa.size() >= k && sb.size() >= k) {
            const int slot = showFormats ? DrumInfoSlot(k) : -1;
            if (slot >= 0)
                result = Sign(int64_t(a.info[size_t(slot)]) - int64_t(b.info[size_t(slot)]));
            else
                result = CompareAsciiNoCase(sa[k - 1], sb[k - 1]);
        }
    }
    if (result == 0)
        result = CompareAsciiNoCase(Caption(a), Caption(b));
    return reverse ? -result : result;
}

bool HasSortMarker(const QString &caption)
{
    return caption.size() >= 2 && (caption.endsWith(u'+') || caption.endsWith(u'-'));
}

QString WithoutSortMarker(const QString &caption)
{
    return HasSortMarker(caption) ? caption.chopped(1) : caption;
}

QString WithSortMarker(const QString &caption, bool descending)
{
    return WithoutSortMarker(caption) + (descending ? u'-' : u'+');
}

QString StatusText(const TAssignmentData &row)
{
    if (row.isAssigned())
        return row.modFileName() + " assigned to " + row.assignedPath();
    return row.modFileName();
}

} // namespace ComponentRows
