#include "controls/SystemListFill.h"

#include <QDateTime>
#include <QLocale>
#include <QTimeZone>
#include <gtest/gtest.h>

namespace {

TFileTime FileTime(const QDateTime &when)
{
    return TFileTime(when.toMSecsSinceEpoch() + 11644473600000LL) * 10000ULL;
}

// A row with the audio or image columns and a probe outcome.
TListItemData ProbedRow(const std::vector<int> &ids, bool failed, const QString &error = {})
{
    TListItemData row;
    row.SubItems.assign(ids.size() - 1, QStringLiteral("stale"));
    row.ProbeState = failed ? TListItemData::psFailed : TListItemData::psDone;
    row.ProbeError = error;
    return row;
}

} // namespace

TEST(SystemListFill, SizeIsRoundedUpToWholeKilobytes)
{
    EXPECT_EQ(FormatSizeKB(0), "0KB");
    EXPECT_EQ(FormatSizeKB(1), "1KB");
    EXPECT_EQ(FormatSizeKB(1024), "1KB");
    EXPECT_EQ(FormatSizeKB(1025), "2KB");
    // Beyond 4 GiB the whole size counts, not its low 32 bits.
    EXPECT_EQ(FormatSizeKB(5ULL << 30), "5242880KB");
    EXPECT_EQ(FormatSizeKB(~0ULL), "18014398509481984KB");
}

TEST(SystemListFill, AttributeLettersInTheirOrder)
{
    EXPECT_EQ(FormatAttributeLetters(0), "");
    EXPECT_EQ(FormatAttributeLetters(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN), "RH");
    EXPECT_EQ(FormatAttributeLetters(0xFFF), "RHSACET reparse sparse");
    EXPECT_EQ(FormatAttributeLetters(FILE_ATTRIBUTE_SPARSE_FILE | FILE_ATTRIBUTE_ARCHIVE), "A sparse");
    EXPECT_EQ(FormatAttributeLetters(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_NORMAL), "")
        << "directory and normal have no letter";
}

TEST(SystemListFill, TypeTextFallsBackToTheExtension)
{
    EXPECT_EQ(TypeText("WAV audio", "kick.wav"), "WAV audio");
    EXPECT_EQ(TypeText("", "a.txt"), "TXT File");
    EXPECT_EQ(TypeText("", "archive.tar.xyz"), "XYZ File");
    EXPECT_EQ(TypeText("", "Makefile"), "File");
    EXPECT_EQ(TypeText("", "trailing."), "File");
}

TEST(SystemListFill, ModifiedUsesDosDateTimeSteps)
{
    const QDateTime odd(QDate(2003, 4, 5), QTime(6, 7, 9), QTimeZone::systemTimeZone());
    const QDateTime even(QDate(2003, 4, 5), QTime(6, 7, 8), QTimeZone::systemTimeZone());
    EXPECT_EQ(FormatModified(FileTime(odd)), FormatModified(FileTime(even)))
        << "seconds count in steps of two";
    const QString text = FormatModified(FileTime(even));
    EXPECT_TRUE(text.contains(QLocale().toString(QDate(2003, 4, 5), QLocale::ShortFormat)))
        << text.toStdString();
    EXPECT_TRUE(text.contains("07:08") || text.contains("7:08")) << text.toStdString();
    // Times a DOS date-time cannot hold show nothing.
    EXPECT_EQ(
        FormatModified(FileTime(QDateTime(QDate(1979, 12, 31), QTime(12, 0), QTimeZone::systemTimeZone()))),
        "");
    EXPECT_EQ(
        FormatModified(FileTime(QDateTime(QDate(2108, 1, 2), QTime(12, 0), QTimeZone::systemTimeZone()))),
        "");
    EXPECT_EQ(FormatModified(0), "");
}

TEST(SystemListFill, ImageColumnsShowSizeAndDepthOrTheError)
{
    const std::vector<int> ids = {ciName, ciSize, ciDimension, ciColors, ciModified, ciAttributes};
    TListItemData ok = ProbedRow(ids, false);
    ok.InfoSlots[0] = 640;
    ok.InfoSlots[1] = -480; // top-down bitmap
    ok.InfoSlots[2] = 24;
    FillProbeTexts(ok, ids);
    EXPECT_EQ(ok.SubItems[1], "640x480");
    EXPECT_EQ(ok.SubItems[2], "24bit");
    EXPECT_EQ(ok.SubItems[0], "stale") << "other columns are left alone";

    TListItemData bad = ProbedRow(ids, true, "Bitmap is corrupt.\r\n(/x/a.bmp)");
    FillProbeTexts(bad, ids);
    EXPECT_EQ(bad.SubItems[1], "Bitmap is corrupt. (/x/a.bmp)") << "one line in a cell";
    EXPECT_EQ(bad.SubItems[2], "");

    TListItemData waiting = ProbedRow(ids, false);
    waiting.ProbeState = TListItemData::psPending;
    FillProbeTexts(waiting, ids);
    EXPECT_EQ(waiting.SubItems[1], "");
    EXPECT_EQ(waiting.SubItems[2], "");
}

TEST(SystemListFill, AudioColumnsShowTheFormatOrTheErrorOnce)
{
    const std::vector<int> ids = {ciName,     ciSize,    ciFrequency, ciResolution,
                                  ciChannels, ciSamples, ciModified,  ciAttributes};
    TListItemData ok = ProbedRow(ids, false);
    ok.InfoSlots[0] = 22050;
    ok.InfoSlots[1] = 44100;
    ok.InfoSlots[2] = 16;
    ok.InfoSlots[3] = 2;
    FillProbeTexts(ok, ids);
    EXPECT_EQ(ok.SubItems[1], "44100");
    EXPECT_EQ(ok.SubItems[2], "16");
    EXPECT_EQ(ok.SubItems[3], "stereo");
    EXPECT_EQ(ok.SubItems[4], "22050");
    ok.InfoSlots[3] = 1;
    FillProbeTexts(ok, ids);
    EXPECT_EQ(ok.SubItems[3], "mono");
    ok.InfoSlots[3] = 6;
    FillProbeTexts(ok, ids);
    EXPECT_EQ(ok.SubItems[3], "");

    // The first of Samples, Frequency and Resolution in column order shows the message
    // (Frequency here); Channels does not repeat it.
    TListItemData bad = ProbedRow(ids, true, "No valid WAV/AIFF file.");
    FillProbeTexts(bad, ids);
    EXPECT_EQ(bad.SubItems[1], "No valid WAV/AIFF file.");
    EXPECT_EQ(bad.SubItems[2], "");
    EXPECT_EQ(bad.SubItems[3], "");
    EXPECT_EQ(bad.SubItems[4], "");

    // With Channels first, it shows the message and the numbers stay empty but one.
    const std::vector<int> channelsFirst = {ciName, ciChannels, ciSamples, ciFrequency};
    TListItemData other = ProbedRow(channelsFirst, true, "Corrupt");
    FillProbeTexts(other, channelsFirst);
    EXPECT_EQ(other.SubItems[0], "Corrupt");
    EXPECT_EQ(other.SubItems[1], "Corrupt") << "the first of the three numeric columns shows it too";
    EXPECT_EQ(other.SubItems[2], "");
}
