#include "platform/CommandLine.h"

#include <gtest/gtest.h>

using ondrava::SplitWindowsArguments;

namespace {

struct SplitCase {
    const char* name;
    const char* text;
    QStringList expected;
};

class SplitWindowsArgumentsTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitWindowsArgumentsTest, SplitsAsAWindowsProgramDoes)
{
    const SplitCase& c = GetParam();
    EXPECT_EQ(SplitWindowsArguments(QString::fromUtf8(c.text)), c.expected) << c.text;
}

const SplitCase kSplitCases[] = {
    {"Empty", "", {}},
    {"OnlyBlanks", " \t  ", {}},
    {"LeadingBlankOfOptionString", " -crf 22 -vcodec libx264", {"-crf", "22", "-vcodec", "libx264"}},
    {"TabsAndRunsOfBlanks", "-vn  \t-acodec\tflac  ", {"-vn", "-acodec", "flac"}},
    {"QuotedFilterStaysOneArgument", " -vf \"scale=1280:trunc(ow/a/2)*2\"", {"-vf", "scale=1280:trunc(ow/a/2)*2"}},
    {"QuotesGroupBlanks", "\"a b\" c", {"a b", "c"}},
    {"QuotesInsideAWord", "a\"b c\"d", {"ab cd"}},
    {"EmptyQuotesAreAnEmptyArgument", "a \"\" b", {"a", "", "b"}},
    {"UnclosedQuoteRunsToTheEnd", "x \"a b", {"x", "a b"}},
    {"BackslashesAreLiteral", "C:\\a\\b \\\\server\\x", {"C:\\a\\b", "\\\\server\\x"}},
    {"TrailingBackslashes", "a\\\\", {"a\\\\"}},
    {"OddBackslashesQuoteLiteral", "a\\\"b", {"a\"b"}},
    {"EvenBackslashesThenGroupingQuote", "a\\\\\"b c\"", {"a\\b c"}},
    {"ThreeBackslashesAndQuote", "a\\\\\\\"b", {"a\\\"b"}},
    {"DoubledQuoteInsideGroupIsQuoteAndEndsGroup", "\"a\"\"b c\"", {"a\"b", "c"}},
    {"TripleQuotesAroundWord", "\"\"\"a\"\"\"", {"\"a\""}},
    {"NonAsciiKept", "-metadata title=\"Žluťoučký kůň\"", {"-metadata", "title=Žluťoučký kůň"}},
};

INSTANTIATE_TEST_SUITE_P(Cases, SplitWindowsArgumentsTest, ::testing::ValuesIn(kSplitCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
