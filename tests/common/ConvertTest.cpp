#include "common/Convert.h"

#include <gtest/gtest.h>

using namespace ondrava;

TEST(StrToIntDef, ReadsWholeIntegersAndFallsBackOtherwise)
{
    struct Case { const char* text; int expected; };
    const Case cases[] = {
        {"0", 0}, {"42", 42}, {"  42", 42}, {"+7", 7}, {"-7", -7}, {"007", 7},
        {"$1F", 31}, {"x1f", 31}, {"X10", 16}, {"0x10", 16}, {"0X7fffffff", 2147483647},
        {"-$10", -16},
        {"2147483647", 2147483647}, {"-2147483648", -2147483647 - 1},
        // Everything below gives the default (-99).
        {"", -99}, {"   ", -99}, {"42 ", -99}, {"4 2", -99}, {"+", -99}, {"-", -99},
        {"$", -99}, {"0x", -99}, {"12a", -99}, {"1.5", -99}, {"2147483648", -99},
        {"-2147483649", -99}, {"0x80000000", -99}, {"$g", -99}, {"\t5", -99}, {"99999999999999999999", -99},
        {"\xd9\xa3", -99},  // an Arabic-Indic digit is no decimal digit here
    };
    for (const Case& c : cases)
        EXPECT_EQ(StrToIntDef(QString::fromUtf8(c.text), -99), c.expected) << "text: '" << c.text << "'";
}

TEST(AsciiCase, ChangesOnlyAsciiLetters)
{
    EXPECT_EQ(AsciiLower(QStringLiteral("MP4 Ärger İ")), QStringLiteral("mp4 Ärger İ"));
    EXPECT_EQ(AsciiUpper(QStringLiteral("mp4 ärger ı")), QStringLiteral("MP4 äRGER ı"));
}

TEST(PathParts, SplitsFolderNameAndExtension)
{
    struct Case { const char* path; const char* dir; const char* name; const char* ext; };
    const Case cases[] = {
        {"/home/u/clip.avi", "/home/u", "clip.avi", ".avi"},
        {"/clip.avi", "", "clip.avi", ".avi"},
        {"clip.avi", "", "clip.avi", ".avi"},
        {"/home/u/clip", "/home/u", "clip", ""},
        {"/home/u.d/clip", "/home/u.d", "clip", ""},
        {"/home/u/archive.tar.gz", "/home/u", "archive.tar.gz", ".gz"},
        {"/home/u/.hidden", "/home/u", ".hidden", ".hidden"},
        {".hidden", "", ".hidden", ""},
        {"/home/u/a:b.mkv", "/home/u", "a:b.mkv", ".mkv"},
        {"/home/u/", "/home/u", "", ""},
        {"", "", "", ""},
    };
    for (const Case& c : cases) {
        const QString p = QString::fromUtf8(c.path);
        EXPECT_EQ(ExtractFileDir(p), QString::fromUtf8(c.dir)) << c.path;
        EXPECT_EQ(ExtractFileName(p), QString::fromUtf8(c.name)) << c.path;
        EXPECT_EQ(ExtractFileExt(p), QString::fromUtf8(c.ext)) << c.path;
    }
}
