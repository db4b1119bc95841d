#include "controls/FolderEnumeration.h"

#include <gtest/gtest.h>

// The extension filter on names as stored on disk agrees with the one on display names:
// the last dot counts, letter case does not, and a name that is not plain ASCII in its
// extension is decoded and compared as text.
TEST(FolderEnumerationTest, RawNamesAreFilteredAsTheirDisplayNamesAre)
{
    const QStringList allowed{"bmp", "JPG", "wav"};
    const QList<QByteArray> names{"kick.wav", "KICK.WAV",     "panel.Bmp",   "knob.jpg",   "a.bmp.txt",
                                  "noext",    ".bmp",         "trailing.",   "b.wa",       "c.wavx",
                                  "Été.bmp",  "x.b\xc3\xa9p", "bad\xff.wav", "bad.w\xffv", ""};
    for (const QByteArray &name : names)
        EXPECT_EQ(RawExtensionAllowed(name, allowed), ExtensionAllowed(QFile::decodeName(name), allowed))
            << name.toStdString();
    EXPECT_TRUE(RawExtensionAllowed("KICK.WAV", allowed));
    EXPECT_TRUE(RawExtensionAllowed("Été.bmp", allowed));
    EXPECT_FALSE(RawExtensionAllowed("a.bmp.txt", allowed));
    EXPECT_FALSE(RawExtensionAllowed("x.b\xc3\xa9p", allowed));
    // An allowed extension that is not ASCII still matches its own spelling.
    EXPECT_TRUE(RawExtensionAllowed("x.b\xc3\xa9p", {QStringLiteral("b\u00e9p")}));
    EXPECT_TRUE(RawExtensionAllowed("x.B\xc3\x89P", {QStringLiteral("b\u00e9p")}));
}
