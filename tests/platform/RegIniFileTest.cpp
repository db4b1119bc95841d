#include "platform/RegIniFile.h"

#include "RegistryFixture.h"
#include "platform/Exception.h"
#include "platform/Registry.h"

namespace {

using Strings = std::vector<std::string>;

const char kBase[] = "Software\\Talwen\\Modwright for ReBirth 2";

} // namespace

using RegIniFile = TRegistryTest;

TEST_F(RegIniFile, SectionsAreSubkeysOfTheBaseKey)
{
    TRegIniFile config(TRegRoot::CurrentUser, kBase);
    config.WriteString("Current", "LastAssignment", "Demo");
    config.WriteString("Image File Browser", "x", "1");
    config.WriteString("", "AtTheBase", "b");

    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("\\Software\\Talwen\\Modwright for ReBirth 2\\Current", false));
    EXPECT_EQ(reg.ReadString("LastAssignment"), "Demo");
    EXPECT_EQ(config.ReadSections(), (Strings{"Current", "Image File Browser"}));
    EXPECT_EQ(config.ReadString("", "AtTheBase", ""), "b");
    EXPECT_EQ(config.ReadString("CURRENT", "lastassignment", ""), "Demo");
}

TEST_F(RegIniFile, BooleansAreTheStringsOneAndZero)
{
    TRegIniFile config(TRegRoot::CurrentUser, kBase);
    config.WriteBool("Current", "ImgEditorActive", true);
    config.WriteBool("Current", "ShowGlance", false);
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(std::string("\\") + kBase + "\\Current", false));
    EXPECT_EQ(reg.GetDataType("ImgEditorActive"), TRegDataType::rdString);
    EXPECT_EQ(reg.ReadString("ImgEditorActive"), "1");
    EXPECT_EQ(reg.ReadString("ShowGlance"), "0");

    reg.WriteInteger("NumberOne", 1); // written by hand or an older version
    reg.WriteString("Garbage", "yes");
    EXPECT_TRUE(config.ReadBool("Current", "ImgEditorActive", false));
    EXPECT_FALSE(config.ReadBool("Current", "ShowGlance", true));
    EXPECT_TRUE(config.ReadBool("Current", "NumberOne", false));
    EXPECT_TRUE(config.ReadBool("Current", "Garbage", true));
    EXPECT_FALSE(config.ReadBool("Current", "Garbage", false));
    EXPECT_TRUE(config.ReadBool("Current", "Missing", true));
}

TEST_F(RegIniFile, IntegersAreNumbersUnlessAStringOfThatNameExists)
{
    TRegIniFile config(TRegRoot::CurrentUser, kBase);
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(std::string("\\") + kBase + "\\Current", true));
    reg.WriteString("Splitter1", "300");
    reg.WriteBinary("Blob", {1});

    config.WriteInteger("Current", "Splitter0", 265);
    config.WriteInteger("Current", "splitter1", 280);
    config.WriteInteger("Current", "Splitter0", 266);
    config.WriteInteger("Current", "Blob", -7);

    EXPECT_EQ(reg.GetDataType("Splitter0"), TRegDataType::rdInteger);
    EXPECT_EQ(reg.ReadInteger("Splitter0"), 266);
    EXPECT_EQ(reg.GetDataType("Splitter1"), TRegDataType::rdString);
    EXPECT_EQ(reg.ReadString("Splitter1"), "280");
    EXPECT_EQ(reg.GetDataType("Blob"), TRegDataType::rdInteger);
    EXPECT_EQ(config.ReadInteger("Current", "Splitter0", 0), 266);
    EXPECT_EQ(config.ReadInteger("Current", "Splitter1", 0), 280);
    EXPECT_EQ(config.ReadInteger("Current", "Blob", 0), -7);
}

TEST_F(RegIniFile, WrongTypesAndUnparsableTextsReadAsTheDefault)
{
    TRegIniFile config(TRegRoot::CurrentUser, kBase);
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(std::string("\\") + kBase + "\\Current", true));
    reg.WriteInteger("Number", 5);
    reg.WriteString("Word", "abc");
    reg.WriteString("Huge", "99999999999");
    reg.WriteString("Hex", "0x10");
    reg.WriteBinary("Bytes", {1, 2, 3, 4});
    EXPECT_EQ(config.ReadString("Current", "Number", "dflt"), "dflt");
    EXPECT_EQ(config.ReadString("Current", "Bytes", "dflt"), "dflt");
    EXPECT_EQ(config.ReadInteger("Current", "Word", 98), 98);
    EXPECT_EQ(config.ReadInteger("Current", "Huge", 98), 98);
    EXPECT_EQ(config.ReadInteger("Current", "Hex", 98), 16);
    EXPECT_EQ(config.ReadInteger("Current", "Bytes", 98), 98);
    EXPECT_TRUE(config.ReadBinary("Current", "Word").empty());
}

TEST_F(RegIniFile, SectionListingErasingAndDeleting)
{
    TRegIniFile config(TRegRoot::CurrentUser, kBase);
    config.WriteString("Glance", "Top", "1");
    config.WriteInteger("Glance", "Left", 2);
    config.WriteBool("Glance", "Active controls", true);
    config.WriteString("Glance\\Nested", "x", "y");
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(std::string("\\") + kBase + "\\Glance", false));
    reg.WriteString("", "the default value is no INI value");

    EXPECT_EQ(config.ReadSection("glance"), (Strings{"Top", "Left", "Active controls"}));
    EXPECT_EQ(config.ReadSectionValues("Glance"), (Strings{"Top=1", "Left=2", "Active controls=1"}));
    EXPECT_TRUE(config.ValueExists("Glance", "LEFT"));
    config.DeleteKey("Glance", "left");
    EXPECT_FALSE(config.ValueExists("Glance", "Left"));
    config.DeleteKey("Glance", "Left"); // missing: no error

    EXPECT_TRUE(config.SectionExists("GLANCE"));
    config.EraseSection("Glance");
    EXPECT_FALSE(config.SectionExists("Glance"));
    EXPECT_FALSE(config.SectionExists("Glance\\Nested"));
    config.EraseSection("Glance");
    EXPECT_TRUE(config.ReadSection("Glance").empty());
}

TEST_F(RegIniFile, BinaryValuesTellEmptyFromMissing)
{
    TRegIniFile config(TRegRoot::CurrentUser, kBase);
    EXPECT_FALSE(config.HasBinary("Image File Browser", "LastPIDL"));
    config.WriteBinary("Image File Browser", "LastPIDL", {});
    EXPECT_TRUE(config.HasBinary("Image File Browser", "LastPIDL"));
    EXPECT_TRUE(config.ReadBinary("Image File Browser", "LastPIDL").empty());
    config.WriteBinary("Image File Browser", "LastPIDL", {2, 0, 0, 0});
    EXPECT_EQ(config.ReadBinary("Image File Browser", "LastPIDL"), (std::vector<std::uint8_t>{2, 0, 0, 0}));
}

TEST_F(RegIniFile, ReadingCreatesNothingAndWritesGather)
{
    TRegIniFile config(TRegRoot::CurrentUser, kBase);
    EXPECT_EQ(config.ReadInteger("Current", "JpegCompressionRatio", 98), 98);
    EXPECT_FALSE(config.SectionExists("Current"));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(UserFile())));

    config.BeginUpdate();
    for (int i = 0; i < 70; ++i)
        config.WriteBool("Current", "Flag" + std::to_string(i), i % 2 == 1);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(UserFile())));
    config.EndUpdate();

    TRegIniFile other(TRegRoot::CurrentUser, kBase);
    EXPECT_EQ(other.ReadSection("Current").size(), 70u);
    EXPECT_TRUE(other.ReadBool("Current", "Flag69", false));
}

TEST_F(RegIniFile, WorksThroughTheCommonIniInterface)
{
    TRegIniFile config(TRegRoot::CurrentUser, kBase);
    TCustomIniFile &ini = config;
    ini.WriteInteger("AssForm", "Width", 400);
    ini.WriteBool("AssForm", "Visible", true);
    EXPECT_EQ(ini.ReadInteger("AssForm", "Width", 0), 400);
    EXPECT_TRUE(ini.ReadBool("AssForm", "Visible", false));
    EXPECT_THROW(ini.WriteString("AssForm", "bad\nname", "x"), EModwright);
}
