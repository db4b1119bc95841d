#include "platform/ProcessArgs.h"

#include <gtest/gtest.h>

using Args = std::vector<std::string>;

TEST(SplitCommandLine, BlanksAndTabsSeparateRunsOfThemCountOnce)
{
    EXPECT_EQ(SplitCommandLine("a b\t\tc   d"), (Args{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitCommandLine("   "), Args{});
    EXPECT_EQ(SplitCommandLine(""), Args{});
    EXPECT_EQ(SplitCommandLine("  lead trail  "), (Args{"lead", "trail"}));
}

TEST(SplitCommandLine, QuotesGroupBlanksAndAreDropped)
{
    EXPECT_EQ(SplitCommandLine(R"("C:\Program Files\x.exe" arg)"),
              (Args{R"(C:\Program Files\x.exe)", "arg"}));
    EXPECT_EQ(SplitCommandLine(R"(ab"c d"e f)"), (Args{"abc de", "f"}));
    EXPECT_EQ(SplitCommandLine(R"("" x)"), (Args{"", "x"}));
    // An unclosed quote runs to the end.
    EXPECT_EQ(SplitCommandLine(R"(a "b c)"), (Args{"a", "b c"}));
}

TEST(SplitCommandLine, DoubledQuoteInsideQuotesIsOneLiteralQuote)
{
    EXPECT_EQ(SplitCommandLine(R"("a""b c")"), (Args{R"(a"b c)"}));
    EXPECT_EQ(SplitCommandLine(R"("""")"), (Args{R"(")"}));
}

TEST(SplitCommandLine, BackslashesCountOnlyBeforeAQuote)
{
    EXPECT_EQ(SplitCommandLine(R"(a\\b\c)"), (Args{R"(a\\b\c)"}));
    EXPECT_EQ(SplitCommandLine(R"(a\"b)"), (Args{R"(a"b)"}));       // 1: literal quote
    EXPECT_EQ(SplitCommandLine(R"(a\\"b c")"), (Args{R"(a\b c)"})); // 2: one \, quote opens
    EXPECT_EQ(SplitCommandLine(R"(a\\\"b)"), (Args{R"(a\"b)"}));    // 3: one \ and a quote
    EXPECT_EQ(SplitCommandLine(R"("C:\dir\\" next)"), (Args{R"(C:\dir\)", "next"}));
    EXPECT_EQ(SplitCommandLine(R"(trailing\)"), (Args{R"(trailing\)"}));
}

TEST(SplitCommandLine, ShellCharactersAreOrdinary)
{
    EXPECT_EQ(SplitCommandLine("$(rm -rf ~);echo `id` | x > y & *"),
              (Args{"$(rm", "-rf", "~);echo", "`id`", "|", "x", ">", "y", "&", "*"}));
    EXPECT_EQ(SplitCommandLine("'single quoted'"), (Args{"'single", "quoted'"}));
}

TEST(QuoteArgument, RoundTripsThroughSplit)
{
    const Args samples = {"plain",
                          "",
                          "with blank",
                          R"(quote"inside)",
                          R"(C:\dir\)",
                          R"(C:\dir with\)",
                          R"(\\server\share)",
                          R"(a\\"b)",
                          "tab\there",
                          R"(""")",
                          "$(x);y"};
    std::string line;
    for (const std::string &s : samples) {
        EXPECT_EQ(SplitCommandLine(QuoteArgument(s)), Args{s}) << s;
        line += QuoteArgument(s) + " ";
    }
    EXPECT_EQ(SplitCommandLine(line), samples);
    EXPECT_EQ(QuoteArgument("plain"), "plain");
    EXPECT_EQ(QuoteArgument("a b"), "\"a b\"");
}
