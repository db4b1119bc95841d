#include "CliTestUtil.h"
#include "support/TestDir.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

TEST(DemoCommand, WritesTheDemoAndItsAssignmentFileTheSameEveryTime)
{
    TTestDir dir;
    const std::string folder = dir.file("made/here").toStdString();
    const TCliRun first = RunCliWith({"demo", folder});
    ASSERT_EQ(first.exitCode, 0) << first.err;
    EXPECT_EQ(first.outLines(), std::vector<std::string>{folder + "/Assignments.ini"});
    const auto bytes = TTestDir::filesIn(QString::fromStdString(folder));
    EXPECT_EQ(bytes.size(), 106);
    EXPECT_TRUE(bytes.value("Assignments.ini").startsWith("[Assignments]\r\nAssignment1=Demo\r\n"));
    EXPECT_TRUE(bytes.value("Assignments.ini")
                    .contains("808 Bassdrum=" + QByteArray::fromStdString(folder) + "/808 Bassdrum.wav\r\n"));

    const TCliRun second = RunCliWith({"demo", folder});
    ASSERT_EQ(second.exitCode, 0) << second.err;
    EXPECT_EQ(TTestDir::filesIn(QString::fromStdString(folder)), bytes);

    // What it wrote is an assignment the other commands read.
    const TCliRun show = RunCliWith({"assignments", "show", folder + "/Assignments.ini", "Demo"});
    EXPECT_EQ(show.exitCode, 0);
    EXPECT_EQ(show.outLines().size(), 105u + 5u);
}

TEST(DemoCommand, AFolderThatCannotBeWrittenIsSaidSoWithNoAssignmentFile)
{
    TTestDir dir;
    const QString file = dir.createFile("not-a-folder", "x");
    const TCliRun run = RunCliWith({"demo", (file + "/demo").toStdString()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err.rfind("Cannot write the demo mod into " + file.toStdString() + "/demo: ", 0), 0u)
        << run.err;
    EXPECT_TRUE(run.out.empty());
    EXPECT_FALSE(QFileInfo::exists(file + "/demo/Assignments.ini"));

    EXPECT_EQ(RunCliWith({"demo"}).exitCode, 2);
    EXPECT_EQ(RunCliWith({"demo", "a", "b"}).exitCode, 2);
}

} // namespace
