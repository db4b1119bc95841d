#include "common/DropData.h"

#include <QDir>
#include <QHash>
#include <QMimeData>
#include <QMutex>
#include <QUrl>

// ---------------------------------------------------------------------- effects

uint32_t AllowedEffectsToFlags(TMyAllowedDropEffects effects)
{
    uint32_t flags = DROPEFFECT_NONE;
    if (effects & EffectSet(deCopy))
        flags |= DROPEFFECT_COPY;
    if (effects & EffectSet(deMove))
        flags |= DROPEFFECT_MOVE;
    if (effects & EffectSet(deLink))
        flags |= DROPEFFECT_LINK;
    return flags;
}

TMyAllowedDropEffects FlagsToAllowedEffects(uint32_t flags)
{
    TMyAllowedDropEffects effects = EffectSet(deNone);
    if (flags & DROPEFFECT_COPY)
        effects |= EffectSet(deCopy);
    if (flags & DROPEFFECT_MOVE)
        effects |= EffectSet(deMove);
    if (flags & DROPEFFECT_LINK)
        effects |= EffectSet(deLink);
    return effects;
}

TMyDropEffect FlagsToDropEffect(uint32_t flags)
{
    if (flags & DROPEFFECT_COPY)
        return deCopy;
    if (flags & DROPEFFECT_MOVE)
        return deMove;
    if (flags & DROPEFFECT_LINK)
        return deLink;
    return deNone;
}

uint32_t DropEffectToFlags(TMyDropEffect effect)
{
    switch (effect) {
    case deLink:
        return DROPEFFECT_LINK;
    case deMove:
        return DROPEFFECT_MOVE;
    case deCopy:
        return DROPEFFECT_COPY;
    default:
        return DROPEFFECT_NONE;
    }
}

uint32_t QtActionsToFlags(Qt::DropActions actions)
{
    uint32_t flags = DROPEFFECT_NONE;
    if (actions & Qt::CopyAction)
        flags |= DROPEFFECT_COPY;
    if (actions & (Qt::MoveAction | Qt::TargetMoveAction))
        flags |= DROPEFFECT_MOVE;
    if (actions & Qt::LinkAction)
        flags |= DROPEFFECT_LINK;
    return flags;
}

Qt::DropActions FlagsToQtActions(uint32_t flags)
{
    Qt::DropActions actions;
    if (flags & DROPEFFECT_COPY)
        actions |= Qt::CopyAction;
    if (flags & DROPEFFECT_MOVE)
        actions |= Qt::MoveAction;
    if (flags & DROPEFFECT_LINK)
        actions |= Qt::LinkAction;
    return actions;
}

Qt::DropAction FlagsToQtAction(uint32_t flags)
{
    switch (FlagsToDropEffect(flags)) {
    case deCopy:
        return Qt::CopyAction;
    case deMove:
        return Qt::MoveAction;
    case deLink:
        return Qt::LinkAction;
    default:
        return Qt::IgnoreAction;
    }
}

TShiftState KeyStateToShift(Qt::KeyboardModifiers keys, Qt::MouseButtons buttons)
{
    TShiftState state = 0;
    if (keys & Qt::ShiftModifier)
        state |= ssShift;
    if (keys & Qt::ControlModifier)
        state |= ssCtrl;
    if (buttons & Qt::LeftButton)
        state |= ssLeft;
    if (buttons & Qt::RightButton)
        state |= ssRight;
    if (buttons & Qt::MiddleButton)
        state |= ssMiddle;
    return state;
}

uint32_t DefaultDropEffect(TShiftState keys, TMyAllowedDropEffects accepted)
{
    uint32_t effect = (accepted & EffectSet(deMove)) ? DROPEFFECT_MOVE : DROPEFFECT_NONE;
    if (keys & ssCtrl) {
        if ((keys & ssShift) && (accepted & EffectSet(deLink)))
            effect = DROPEFFECT_LINK;
        else if (accepted & EffectSet(deCopy))
            effect = DROPEFFECT_COPY;
    }
    return effect;
}

uint32_t OfferedEffect(uint32_t effect, uint32_t offered)
{
    if (effect & offered)
        return effect & offered;
    if (effect == DROPEFFECT_NONE)
        return DROPEFFECT_NONE;
    for (uint32_t e : {DROPEFFECT_COPY, DROPEFFECT_MOVE, DROPEFFECT_LINK})
        if (offered & e)
            return e;
    return DROPEFFECT_NONE;
}

// ---------------------------------------------------------------------- formats

namespace {

const QString kUriList = QStringLiteral("text/uri-list");
const QString kPlainText = QStringLiteral("text/plain");
const QString kPrivatePrefix = QStringLiteral("application/x-modwright-clipformat.");

struct TFormatTable {
    QMutex lock;
    QStringList names;          // index = format - kFirstRegisteredFormat
    QHash<QString, int> byName; // lower-case name
};

TFormatTable &Formats()
{
    static TFormatTable table;
    return table;
}

// Names become MIME subtypes: letters and digits stay, everything else is %XX.
QString EncodeName(const QString &name)
{
    QString out;
    for (const char c : name.toUtf8()) {
        const auto u = static_cast<unsigned char>(c);
        if ((u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') || u == '-' ||
            u == '_')
            out += QLatin1Char(char(u));
        else
            out += QStringLiteral("%%1").arg(u, 2, 16, QLatin1Char('0')).toUpper();
    }
    return out;
}

} // namespace

int RegisterClipboardFormat(const QString &name)
{
    TFormatTable &table = Formats();
    QMutexLocker lock(&table.lock);
    const QString key = name.toLower();
    const auto it = table.byName.constFind(key);
    if (it != table.byName.constEnd())
        return *it;
    const int format = kFirstRegisteredFormat + int(table.names.size());
    table.names << name;
    table.byName.insert(key, format);
    return format;
}

QString ClipboardFormatName(int format)
{
    TFormatTable &table = Formats();
    QMutexLocker lock(&table.lock);
    const int i = format - kFirstRegisteredFormat;
    return i >= 0 && i < table.names.size() ? table.names[i] : QString();
}

QString MimeTypeOfFormat(int format)
{
    if (format == CF_HDROP)
        return kUriList;
    if (format == CF_TEXT)
        return kPlainText;
    const QString name = ClipboardFormatName(format);
    if (name.isEmpty())
        return {};
    // A MIME type registered as a format travels as itself.
    if (name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char(' ')))
        return name;
    return kPrivatePrefix + EncodeName(name);
}

int FormatOfMimeType(const QString &mimeType)
{
    if (mimeType == kUriList)
        return CF_HDROP;
    if (mimeType == kPlainText)
        return CF_TEXT;
    if (mimeType.startsWith(kPrivatePrefix)) {
        const QByteArray name =
            QByteArray::fromPercentEncoding(mimeType.mid(kPrivatePrefix.size()).toLatin1());
        return RegisterClipboardFormat(QString::fromUtf8(name));
    }
    return RegisterClipboardFormat(mimeType);
}

QByteArray FileListToUriList(const QStringList &paths)
{
    QByteArray list;
    for (const QString &path : paths)
        list += QUrl::fromLocalFile(path).toEncoded() + "\r\n";
    return list;
}

QStringList UriListToFileList(const QByteArray &uriList, QStringList *rejected)
{
    QStringList files;
    for (QByteArray line : uriList.split('\n')) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const QUrl url = QUrl::fromEncoded(line);
        // Cleaned: "//x" would read as a network host when the list is written again.
        const QString path =
            url.isValid() && url.isLocalFile() ? QDir::cleanPath(url.toLocalFile()) : QString();
        // Only whole paths: a relative one would name a file of whatever folder is current,
        // and a NUL would cut the name short on its way to the file system.
        if (path.startsWith(QLatin1Char('/')) && !path.contains(QChar(u'\0')))
            files << path;
        else if (rejected)
            *rejected << QString::fromUtf8(line);
    }
    return files;
}

// ---------------------------------------------------------------------- drag list

void TMyDragDataList::Add(int format, const QByteArray &bytes)
{
    TMyDragData item;
    item.Format = format;
    item.Bytes = bytes;
    items_.push_back(std::move(item));
}

void TMyDragDataList::Add(int format, const void *bytes, int count)
{
    if (count < 0 || (count > 0 && !bytes))
        throw EMyOLEDragDropInterfaceException("Out of Memory");
    Add(format, QByteArray(static_cast<const char *>(bytes), count));
}

const TMyDragData &TMyDragDataList::Item(int i) const
{
    if (i < 0 || i >= Count())
        throw EMyOLEDragDropInterfaceException("Index out of bounds (" + std::to_string(i) + ")");
    return items_[size_t(i)];
}

int TMyDragDataList::IndexOf(int format) const
{
    for (int i = 0; i < Count(); ++i)
        if (items_[size_t(i)].Format == format)
            return i;
    return -1;
}

const TMyDragData *TMyDragDataList::Find(int format, int index) const
{
    for (const TMyDragData &item : items_)
        if (item.Format == format && item.Index == index)
            return &item;
    return nullptr;
}

QMimeData *TMyDragDataList::ToMimeData() const
{
    auto *data = new QMimeData;
    for (const TMyDragData &item : items_) {
        const QString mime = MimeTypeOfFormat(item.Format);
        if (!mime.isEmpty() && !data->hasFormat(mime))
            data->setData(mime, item.Bytes);
    }
    return data;
}

// ---------------------------------------------------------------------- drop list

TMyDropData::TMyDropData(const QMimeData *data, int format, QString mimeType)
    : data_(data), format_(format), mime_(std::move(mimeType))
{
}

const QByteArray &TMyDropData::Bytes() const
{
    if (!obtained_) {
        if (!data_)
            // E_UNEXPECTED: the data object went away with its drag.
            throw EMyOLEDragDropInterfaceException("Could not get Data. $8000FFFF");
        bytes_ = data_->data(mime_);
        obtained_ = true;
    }
    return bytes_;
}

int TMyDropData::Size() const
{
    return int(Bytes().size());
}

void TMyDropData::Unlock() const
{
    bytes_.clear();
    obtained_ = false;
}

TMyDropDataList::TMyDropDataList(const QMimeData *data) : data_(data)
{
    if (!data)
        throw EMyOLEDragDropInterfaceException("DragObject is nil.");
}

void TMyDropDataList::Build() const
{
    if (built_)
        return;
    if (!data_)
        throw EMyOLEDragDropInterfaceException("Could not enumerate objects");
    built_ = true;
    for (const QString &mime : data_->formats()) {
        // Qt's own wrappers of foreign formats carry nothing that a drop here could use.
        if (mime.startsWith(QLatin1String("application/x-qt-")))
            continue;
        items_.emplace_back(data_, FormatOfMimeType(mime), mime);
    }
}

int TMyDropDataList::Count() const
{
    Build();
    return int(items_.size());
}

const TMyDropData &TMyDropDataList::Item(int i) const
{
    if (i < 0 || i >= Count())
        throw EMyOLEDragDropInterfaceException("Index out of bounds (" + std::to_string(i) + ")");
    return items_[size_t(i)];
}

int TMyDropDataList::IndexOf(int format, int index) const
{
    Build();
    if (index != -1)
        return -1; // every offered item is the whole of its format
    for (int i = 0; i < int(items_.size()); ++i)
        if (items_[size_t(i)].Format() == format)
            return i;
    return -1;
}

QByteArray TMyDropDataList::GetData(int format, int index) const
{
    const int i = IndexOf(format, index);
    if (i < 0)
        throw EMyOLEDragDropInterfaceException("Format is not available.");
    return items_[size_t(i)].Bytes();
}

void TMyDropDataList::UnlockAll() const
{
    for (const TMyDropData &item : items_)
        item.Unlock();
}

QStringList TMyDropDataList::Files(QStringList *rejected) const
{
    if (!HasFormat(CF_HDROP))
        return {};
    return UriListToFileList(GetData(CF_HDROP), rejected);
}
