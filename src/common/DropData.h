#pragma once

#include "platform/Exception.h"

#include <QByteArray>
#include <QMimeData>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <Qt>
#include <cstdint>
#include <memory>
#include <vector>

// The data side of drag and drop: drop effects and their conversions, the key state of a
// drag, clipboard format numbers and the MIME types that carry them, the list of items a
// drag offers and the list of formats a drop brings. Widgets are not needed here; the
// component that attaches drag and drop to a control is TMyOLEDragDropInterface.

// Every error of drag and drop.
class EMyOLEDragDropInterfaceException : public EModwright {
public:
    using EModwright::EModwright;
};

// ---------------------------------------------------------------------- effects

enum TMyDropEffect { deNone, deCopy, deMove, deLink, deScroll };
// A set of effects: bit n = ordinal n.
using TMyAllowedDropEffects = uint32_t;
constexpr TMyAllowedDropEffects EffectSet(TMyDropEffect e)
{
    return TMyAllowedDropEffects(1) << e;
}
constexpr TMyAllowedDropEffects kAllDropEffects = EffectSet(deCopy) | EffectSet(deMove) | EffectSet(deLink);

// The drop-effect flags exchanged with sources and targets.
enum : uint32_t { DROPEFFECT_NONE = 0, DROPEFFECT_COPY = 1, DROPEFFECT_MOVE = 2, DROPEFFECT_LINK = 4 };

uint32_t AllowedEffectsToFlags(TMyAllowedDropEffects effects);
// Always contains deNone.
TMyAllowedDropEffects FlagsToAllowedEffects(uint32_t flags);
// Copy before move before link.
TMyDropEffect FlagsToDropEffect(uint32_t flags);
uint32_t DropEffectToFlags(TMyDropEffect effect);

uint32_t QtActionsToFlags(Qt::DropActions actions);
Qt::DropActions FlagsToQtActions(uint32_t flags);
// One action for a single-effect flag value (copy before move before link).
Qt::DropAction FlagsToQtAction(uint32_t flags);

// ---------------------------------------------------------------------- key state

enum TShiftFlag : uint32_t { ssShift = 1, ssCtrl = 2, ssLeft = 4, ssRight = 8, ssMiddle = 16 };
using TShiftState = uint32_t;
// The Alt key is not reported.
TShiftState KeyStateToShift(Qt::KeyboardModifiers keys, Qt::MouseButtons buttons);

// The effect a target takes for a key state: move when accepted, Ctrl = copy,
// Ctrl+Shift = link (each only when accepted, else the result before it).
uint32_t DefaultDropEffect(TShiftState keys, TMyAllowedDropEffects accepted);
// The effect restricted to what the source offers: when the source does not offer it, the
// first offered of copy, move and link. None when nothing is offered.
uint32_t OfferedEffect(uint32_t effect, uint32_t offered);

// ---------------------------------------------------------------------- formats

// The file-drop list: carried as text/uri-list.
constexpr int CF_TEXT = 1;
constexpr int CF_HDROP = 15;
// Registered formats are numbered from here on.
constexpr int kFirstRegisteredFormat = 0xC000;

// The number of a named format; the same name (letter case aside) gives the same number
// for the life of the process.
int RegisterClipboardFormat(const QString &name);
// The registered name of a format, empty when it is not registered.
QString ClipboardFormatName(int format);
// The MIME type that carries a format: text/uri-list for the file list, text/plain for
// text, a private type made of the name for registered formats; empty for unknown numbers.
QString MimeTypeOfFormat(int format);
// The format a MIME type carries; other MIME types are registered under their own name.
int FormatOfMimeType(const QString &mimeType);

// File lists as they travel (text/uri-list, CRLF after each entry).
QByteArray FileListToUriList(const QStringList &paths);
// The local paths of an uri-list; entries that are not whole local paths (other schemes,
// relative paths, NULs) are left out and listed in `rejected` when given. Comment lines
// ("#") are skipped.
QStringList UriListToFileList(const QByteArray &uriList, QStringList *rejected = nullptr);

// ---------------------------------------------------------------------- drag list

// One item of a drag: a format and an owned copy of its bytes.
struct TMyDragData {
    int Format = 0;
    QByteArray Bytes;
    int Index = -1;
    int Count() const { return int(Bytes.size()); }
};

class TMyDragDataList {
public:
    // Formats travel as MIME types: only the file list, text and registered formats do.
    void Add(int format, const QByteArray &bytes);
    void Add(int format, const void *bytes, int count);
    int Count() const { return int(items_.size()); }
    // Raises "Index out of bounds (i)".
    const TMyDragData &Item(int i) const;
    // The first item of the format, or -1.
    int IndexOf(int format) const;
    // The item of the format and index, nullptr when absent.
    const TMyDragData *Find(int format, int index = -1) const;
    // The items as MIME data (one MIME type per format).
    QMimeData *ToMimeData() const;

private:
    std::vector<TMyDragData> items_;
};

// ---------------------------------------------------------------------- drop list

// One offered format of a dropped data object.
class TMyDropData {
public:
    TMyDropData(const QMimeData *data, int format, QString mimeType);
    int Format() const { return format_; }
    const QString &MimeType() const { return mime_; }
    // Obtains the bytes on first use. Raises "Could not get Data. $..." when the data
    // object has gone.
    int Size() const;
    const QByteArray &Bytes() const;
    // Forgets the obtained bytes.
    void Unlock() const;

private:
    QPointer<const QMimeData> data_;
    int format_;
    QString mime_;
    mutable QByteArray bytes_;
    mutable bool obtained_ = false;
};

// The formats a dropped data object offers, listed on first use.
class TMyDropDataList {
public:
    // Raises "DragObject is nil." without data.
    explicit TMyDropDataList(const QMimeData *data);
    const QMimeData *DataObject() const { return data_; }
    int Count() const;
    // Raises "Index out of bounds (i)".
    const TMyDropData &Item(int i) const;
    int IndexOf(int format, int index = -1) const;
    bool HasFormat(int format, int index = -1) const { return IndexOf(format, index) >= 0; }
    // A copy of the format's bytes. Raises "Format is not available.".
    QByteArray GetData(int format, int index = -1) const;
    void UnlockAll() const;
    // The local files of the file-drop format (empty without it).
    QStringList Files(QStringList *rejected = nullptr) const;

private:
    void Build() const;

    QPointer<const QMimeData> data_;
    mutable std::vector<TMyDropData> items_;
    mutable bool built_ = false;
};
