#include "conversion/ToolCommands.h"

#include <QDir>
#include <gtest/gtest.h>

using ondrava::ConversionCommandLine;
using ondrava::ProbeCommandLine;

namespace {

TEST(ToolCommands, ConversionTextAndArguments)
{
    const auto cmd = ConversionCommandLine(QStringLiteral("/opt/ondrava"), QStringLiteral("/d/progress12.txt"),
                                           QStringLiteral("/in/a.avi"),
                                           QStringLiteral(" -vf \"scale=1280:trunc(ow/a/2)*2\" -crf 22"),
                                           QStringLiteral("/in/a.mp4"));
    EXPECT_EQ(cmd.program, QStringLiteral("/opt/ondrava/ffmpeg"));
    EXPECT_EQ(cmd.text, QStringLiteral("/opt/ondrava/ffmpeg -progress \"/d/progress12.txt\" -i \"/in/a.avi\""
                                       " -vf \"scale=1280:trunc(ow/a/2)*2\" -crf 22 \"/in/a.mp4\""));
    EXPECT_EQ(cmd.arguments, (QStringList{"-progress", "/d/progress12.txt", "-i", "/in/a.avi", "-vf",
                                          "scale=1280:trunc(ow/a/2)*2", "-crf", "22", "/in/a.mp4"}));
}

TEST(ToolCommands, EmptyOrBlankOptionsAddNoArgument)
{
    for (const QString& options : {QString(), QStringLiteral(" ")}) {
        const auto cmd = ConversionCommandLine(QStringLiteral("/opt/ondrava/"), QStringLiteral("/d/p.txt"),
                                               QStringLiteral("/in/a.avi"), options, QStringLiteral("/in/b.avi"));
        EXPECT_EQ(cmd.program, QStringLiteral("/opt/ondrava/ffmpeg"));
        EXPECT_EQ(cmd.arguments, (QStringList{"-progress", "/d/p.txt", "-i", "/in/a.avi", "/in/b.avi"}));
    }
}

TEST(ToolCommands, ProbeHasNoClosingQuote)
{
    const auto cmd = ProbeCommandLine(QStringLiteral("/opt/ondrava/"), QStringLiteral("/in/my clip.avi"));
    EXPECT_EQ(cmd.program, QStringLiteral("/opt/ondrava/ffmpeg"));
    EXPECT_EQ(cmd.text, QStringLiteral("/opt/ondrava/ffmpeg -i \"/in/my clip.avi"));
    EXPECT_EQ(cmd.arguments, (QStringList{"-i", "/in/my clip.avi"}));
}

TEST(ToolCommands, RelativeNamesReachTheToolAsAbsolutePaths)
{
    // A relative name could read as an option ("-x") or a protocol ("pipe:1").
    const QString here = QDir::currentPath();
    const auto cmd = ConversionCommandLine(QStringLiteral("/opt/ondrava"), QStringLiteral("-p.txt"),
                                           QStringLiteral("pipe:0"), QStringLiteral(" -crf 22"),
                                           QStringLiteral("http:x.mp4"));
    EXPECT_EQ(cmd.arguments, (QStringList{"-progress", here + "/-p.txt", "-i", here + "/pipe:0", "-crf", "22",
                                          here + "/http:x.mp4"}));
    EXPECT_EQ(ProbeCommandLine(QStringLiteral("/opt/ondrava"), QStringLiteral("-i")).arguments,
              (QStringList{"-i", here + "/-i"}));
}

}  // namespace
