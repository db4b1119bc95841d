#include "CliTestUtil.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

namespace {

const QByteArray SampleFile = "[Assignments]\r\n"
                              "Assignment1=Zeta\r\n"
                              "Assignment2=alpha\r\n"
                              "Assignment3=Mid\r\n"
                              "\r\n"
                              "[Ass.Zeta]\r\n"
                              "808 Bassdrum=/s/kick.wav\r\n"
                              "ModName=Z\r\n"
                              "\r\n"
                              "[Ass.alpha]\r\n"
                              "ModName=A\r\n"
                              "\r\n"
                              "[Ass.Mid]\r\n"
                              "LED digits=/i/led.bmp\r\n"
                              "Comments=one\\ntwo\r\n";

} // namespace

TEST(CliAssignments, ListShowDelete)
{
    TTestDir dir;
    const std::string file = dir.createFile("Assignments.ini", SampleFile).toStdString();

    TCliRun list = RunCliWith({"assignments", "list", file});
    EXPECT_EQ(list.exitCode, 0) << list.err;
    EXPECT_EQ(list.out, "alpha\nMid\nZeta\n");

    TCliRun show = RunCliWith({"assignments", "show", file, "Mid"});
    EXPECT_EQ(show.exitCode, 0);
    EXPECT_EQ(show.out, "LED digits=/i/led.bmp\nComments=one\\ntwo\n");

    TCliRun del = RunCliWith({"assignments", "delete", file, "alpha"});
    EXPECT_EQ(del.exitCode, 0) << del.err;
    const QByteArray after = TTestDir::readAll(QString::fromStdString(file));
    EXPECT_TRUE(after.contains("Assignment1=Zeta\r\nAssignment2=Mid\r\n"));
    EXPECT_FALSE(after.contains("[Ass.alpha]"));
    EXPECT_EQ(RunCliWith({"assignments", "list", file}).out, "Mid\nZeta\n");
}

TEST(CliAssignments, UnknownNamesMissingFilesAndUsage)
{
    TTestDir dir;
    const std::string file = dir.createFile("Assignments.ini", SampleFile).toStdString();
    TCliRun show = RunCliWith({"assignments", "show", file, "zeta"}); // names compare exactly
    EXPECT_EQ(show.exitCode, 1);
    EXPECT_NE(show.err.find("zeta"), std::string::npos);
    EXPECT_EQ(RunCliWith({"assignments", "delete", file, "Nope"}).exitCode, 1);

    // A file that does not exist holds no assignments.
    TCliRun none = RunCliWith({"assignments", "list", dir.file("none.ini").toStdString()});
    EXPECT_EQ(none.exitCode, 0);
    EXPECT_EQ(none.out, "");
    // A folder in place of the file cannot be read.
    EXPECT_EQ(RunCliWith({"assignments", "list", dir.path().toStdString()}).exitCode, 1);

    EXPECT_EQ(RunCliWith({"assignments"}).exitCode, 2);
    EXPECT_EQ(RunCliWith({"assignments", "rename", file}).exitCode, 2);
    EXPECT_EQ(RunCliWith({"assignments", "show", file}).exitCode, 2);
}
