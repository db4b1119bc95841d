#include "CliTestUtil.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

namespace {

QJsonObject Parse(const std::string &line)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(line), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << line;
    return doc.object();
}

} // namespace

TEST(CliCatalogue, OneJsonLinePerLiveEntryWithKindFields)
{
    const TCliRun run = RunCliWith({"catalogue", "--json"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const auto lines = run.outLines();
    ASSERT_EQ(lines.size(), 105u);
    for (size_t i = 0; i < lines.size(); ++i)
        EXPECT_EQ(Parse(lines[i])["index"].toInt(), int(i));

    const QJsonObject transport = Parse(lines[0]);
    EXPECT_EQ(transport["kind"].toString(), "panel");
    EXPECT_EQ(transport["file"].toString(), "12057.jpg");
    EXPECT_EQ(transport["width"].toInt(), 592);
    EXPECT_FALSE(transport.contains("frames"));

    const QJsonObject pattern = Parse(lines[41]);
    EXPECT_EQ(pattern["kind"].toString(), "frames");
    EXPECT_EQ(pattern["kindIndex"].toInt(), 26);
    EXPECT_EQ(pattern["name"].toString(), "Pattern number buttons");
    EXPECT_EQ(pattern["frameHeight"].toInt(), 36);
    EXPECT_EQ(pattern["frames"].toInt(), 9);
    EXPECT_TRUE(pattern["vertical"].toBool());
    EXPECT_FALSE(pattern["twoState"].toBool());

    EXPECT_EQ(Parse(lines[56])["thumb"].toInt(), -1);
    EXPECT_EQ(Parse(lines[57])["thumb"].toInt(), 0);

    const QJsonObject drum = Parse(lines[104]);
    EXPECT_EQ(drum["kind"].toString(), "drum");
    EXPECT_EQ(drum["kindIndex"].toInt(), 45);
    EXPECT_EQ(drum["code"].toString(), "SD");
    EXPECT_EQ(drum["file"].toString(), "TR909SDN3.aif");
    EXPECT_FALSE(drum.contains("width"));
}

TEST(CliFrame, UsageErrorsExitWithTwo)
{
    EXPECT_EQ(RunCliWith({}).exitCode, 2);
    EXPECT_EQ(RunCliWith({"no-such-command"}).exitCode, 2);
    EXPECT_EQ(RunCliWith({"catalogue"}).exitCode, 2);
    EXPECT_EQ(RunCliWith({"catalogue", "--xml"}).exitCode, 2);
    const TCliRun help = RunCliWith({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("catalogue"), std::string::npos);
    EXPECT_NE(help.out.find("assignments"), std::string::npos);
}
