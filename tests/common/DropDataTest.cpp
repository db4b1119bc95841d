#include "common/DropData.h"

#include <QMimeData>
#include <gtest/gtest.h>

TEST(DropEffects, ConversionsBetweenSetsFlagsAndSingleEffects)
{
    EXPECT_EQ(AllowedEffectsToFlags(EffectSet(deCopy) | EffectSet(deLink) | EffectSet(deScroll)),
              DROPEFFECT_COPY | DROPEFFECT_LINK);
    EXPECT_EQ(FlagsToAllowedEffects(0), EffectSet(deNone));
    EXPECT_EQ(FlagsToAllowedEffects(DROPEFFECT_MOVE | DROPEFFECT_LINK),
              EffectSet(deNone) | EffectSet(deMove) | EffectSet(deLink));
    EXPECT_EQ(FlagsToDropEffect(DROPEFFECT_MOVE | DROPEFFECT_COPY), deCopy);
    EXPECT_EQ(FlagsToDropEffect(DROPEFFECT_MOVE | DROPEFFECT_LINK), deMove);
    EXPECT_EQ(FlagsToDropEffect(DROPEFFECT_LINK), deLink);
    EXPECT_EQ(FlagsToDropEffect(0x80000000u), deNone); // scroll alone
    EXPECT_EQ(DropEffectToFlags(deScroll), DROPEFFECT_NONE);
    EXPECT_EQ(DropEffectToFlags(deMove), DROPEFFECT_MOVE);
    EXPECT_EQ(QtActionsToFlags(Qt::CopyAction | Qt::TargetMoveAction), DROPEFFECT_COPY | DROPEFFECT_MOVE);
    EXPECT_EQ(FlagsToQtActions(DROPEFFECT_LINK | DROPEFFECT_COPY), Qt::LinkAction | Qt::CopyAction);
}

TEST(DropEffects, PlainDragMovesCtrlCopiesCtrlShiftLinks)
{
    EXPECT_EQ(DefaultDropEffect(ssLeft, kAllDropEffects), DROPEFFECT_MOVE);
    EXPECT_EQ(DefaultDropEffect(ssLeft | ssCtrl, kAllDropEffects), DROPEFFECT_COPY);
    EXPECT_EQ(DefaultDropEffect(ssLeft | ssCtrl | ssShift, kAllDropEffects), DROPEFFECT_LINK);
    EXPECT_EQ(DefaultDropEffect(ssShift, kAllDropEffects), DROPEFFECT_MOVE);
    // What the target does not accept falls back to the result before it.
    EXPECT_EQ(DefaultDropEffect(ssCtrl | ssShift, EffectSet(deCopy)), DROPEFFECT_COPY);
    EXPECT_EQ(DefaultDropEffect(0, EffectSet(deCopy)), DROPEFFECT_NONE);
    EXPECT_EQ(DefaultDropEffect(ssCtrl, EffectSet(deMove)), DROPEFFECT_MOVE);
    // A source that offers only copy still gets a drop, never a move.
    EXPECT_EQ(OfferedEffect(DROPEFFECT_MOVE, DROPEFFECT_COPY), DROPEFFECT_COPY);
    EXPECT_EQ(OfferedEffect(DROPEFFECT_NONE, DROPEFFECT_COPY), DROPEFFECT_NONE);
    EXPECT_EQ(OfferedEffect(DROPEFFECT_LINK, 0), DROPEFFECT_NONE);
    EXPECT_EQ(KeyStateToShift(Qt::AltModifier | Qt::ControlModifier, Qt::LeftButton | Qt::MiddleButton),
              ssCtrl | ssLeft | ssMiddle);
}

TEST(ClipboardFormats, RegisteredNamesGetStableNumbersAndTravelAsPrivateMimeTypes)
{
    const int a = RegisterClipboardFormat("Modwright for ReBirth 2 PID:42");
    EXPECT_GE(a, kFirstRegisteredFormat);
    EXPECT_EQ(RegisterClipboardFormat("MODWRIGHT for rebirth 2 pid:42"), a);
    EXPECT_NE(RegisterClipboardFormat("Shell IDList Array"), a);
    const QString mime = MimeTypeOfFormat(a);
    EXPECT_TRUE(mime.startsWith("application/x-modwright-clipformat."));
    EXPECT_FALSE(mime.contains(' '));
    EXPECT_EQ(FormatOfMimeType(mime), a);
    EXPECT_EQ(ClipboardFormatName(a), "Modwright for ReBirth 2 PID:42");
    EXPECT_EQ(MimeTypeOfFormat(CF_HDROP), "text/uri-list");
    EXPECT_EQ(FormatOfMimeType("text/uri-list"), CF_HDROP);
    EXPECT_EQ(MimeTypeOfFormat(12345), QString());
    // Foreign MIME types get numbers of their own and map back to themselves.
    const int gnome = FormatOfMimeType("x-special/gnome-copied-files");
    EXPECT_EQ(MimeTypeOfFormat(gnome), "x-special/gnome-copied-files");
}

TEST(ClipboardFormats, UriListsKeepLocalFilesAndRejectTheRest)
{
    const QStringList paths{"/tmp/a b.wav", "/tmp/ünï/c#d.bmp"};
    const QByteArray list = FileListToUriList(paths);
    EXPECT_TRUE(list.endsWith("\r\n"));
    EXPECT_EQ(UriListToFileList(list), paths);
    QStringList rejected;
    const QStringList files = UriListToFileList(
        "# comment\r\nhttps://example.org/x.wav\r\nfile:///tmp/x.wav\n\nsmb://host/y\n", &rejected);
    EXPECT_EQ(files, QStringList{"/tmp/x.wav"});
    EXPECT_EQ(rejected, (QStringList{"https://example.org/x.wav", "smb://host/y"}));
    // Relative paths and NULs are no file names to act on.
    rejected.clear();
    EXPECT_TRUE(UriListToFileList("file:e:///t.wav\r\nfile:///tmp/a%00b.wav\r\n", &rejected).isEmpty());
    EXPECT_EQ(rejected.size(), 2);
    EXPECT_EQ(UriListToFileList("file://////tmp//x.wav\n"), QStringList{"/tmp/x.wav"});
}

TEST(DragDataList, CopiesBytesAndChecksIndexes)
{
    TMyDragDataList list;
    char bytes[4] = {'a', 'b', 0, 'c'};
    list.Add(CF_HDROP, bytes, 4);
    bytes[0] = 'z';
    list.Add(700, QByteArray("x"));
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Item(0).Bytes, QByteArray("ab\0c", 4));
    EXPECT_EQ(list.Item(0).Index, -1);
    EXPECT_EQ(list.IndexOf(700), 1);
    EXPECT_EQ(list.IndexOf(1), -1);
    EXPECT_NE(list.Find(CF_HDROP), nullptr);
    EXPECT_EQ(list.Find(CF_HDROP, 0), nullptr);
    try {
        list.Item(2);
        FAIL();
    } catch (const EMyOLEDragDropInterfaceException &e) {
        EXPECT_STREQ(e.what(), "Index out of bounds (2)");
    }
    EXPECT_THROW(list.Item(-1), EMyOLEDragDropInterfaceException);
    EXPECT_THROW(list.Add(1, nullptr, 3), EMyOLEDragDropInterfaceException);
}

TEST(DropDataList, ListsOfferedFormatsAndCopiesTheirBytes)
{
    EXPECT_THROW(TMyDropDataList(nullptr), EMyOLEDragDropInterfaceException);
    const int priv = RegisterClipboardFormat("Modwright test private");
    TMyDragDataList drag;
    drag.Add(CF_HDROP, FileListToUriList({"/tmp/one.bmp"}));
    drag.Add(priv, QByteArray("I love Modwright !\0\0", 20));
    std::unique_ptr<QMimeData> mime(drag.ToMimeData());
    TMyDropDataList drop(mime.get());
    EXPECT_EQ(drop.Count(), 2);
    EXPECT_TRUE(drop.HasFormat(priv));
    EXPECT_FALSE(drop.HasFormat(priv, 0));
    EXPECT_EQ(drop.GetData(priv).size(), 20);
    EXPECT_EQ(drop.Files(), QStringList{"/tmp/one.bmp"});
    EXPECT_EQ(drop.Item(drop.IndexOf(priv)).Size(), 20);
    try {
        drop.GetData(CF_TEXT);
        FAIL();
    } catch (const EMyOLEDragDropInterfaceException &e) {
        EXPECT_STREQ(e.what(), "Format is not available.");
    }
    EXPECT_THROW(drop.Item(5), EMyOLEDragDropInterfaceException);
    // The data object goes with its drag: the list says so instead of reading freed memory.
    const int i = drop.IndexOf(CF_HDROP);
    drop.UnlockAll();
    mime.reset();
    EXPECT_THROW(drop.Item(i).Bytes(), EMyOLEDragDropInterfaceException);
}

TEST(DropDataList, QtWrappedForeignFormatsAreNotListed)
{
    QMimeData mime;
    mime.setData("application/x-qt-image", "junk");
    TMyDropDataList drop(&mime);
    EXPECT_EQ(drop.Count(), 0);
    EXPECT_TRUE(drop.Files().isEmpty());
}
