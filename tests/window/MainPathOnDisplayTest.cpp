// The main path as a person takes it, on a real display with the real media tool, in English
// and in Russian: choose the file in the dialog, pick a format, convert, see the result.
#include "support/DisplayProgram.h"
#include "support/TestSupport.h"

#include <QFileInfo>
#include <QThread>

#include <gtest/gtest.h>

using namespace realdisplay;

namespace {

struct Case {
    const char* language;
    const char* dialogTitle;  // MainForm 12013 of the language
};

class MainPathOnDisplay : public ::testing::TestWithParam<Case> {};

TEST_P(MainPathOnDisplay, ChooseFormatConvertAndOpenTheResult)
{
    const Case& c = GetParam();
    XDisplay display;
    ASSERT_TRUE(display.Start()) << "Xvfb did not start";
    DisplayProgram program(display);
    ASSERT_TRUE(program.Valid());
    program.UseRealTool();
    program.SetStored(QStringLiteral("Language"), QLatin1String(c.language));
    const QString source = program.Work(QStringLiteral("holiday.avi"));
    ASSERT_TRUE(testsupport::MakeClip(source, 1.0));
    ASSERT_TRUE(program.Start());
    EXPECT_EQ(program.Title(), QStringLiteral("Ondrava"));

    // The source dialog, in the window's language: type the file's path and confirm.
    display.Click(program.At(420, 39));
    ASSERT_TRUE(program.WaitForOtherWindow(10000));
    const qulonglong dialog = program.OtherWindows().first();
    EXPECT_EQ(display.TextProperty(dialog, QStringLiteral("_NET_WM_NAME")), QString::fromUtf8(c.dialogTitle));
    display.Focus(dialog);
    display.Key(QStringLiteral("ctrl+a"));
    display.Type(source);
    display.Key(QStringLiteral("Return"));
    ASSERT_TRUE(program.WaitForNoOtherWindow(10000));
    ASSERT_TRUE(WaitUntil([&] { return program.Title().startsWith(QStringLiteral("Ondrava  (AVI -> ")); }, 10000))
        << qPrintable(program.Title());

    // The format: MP3, chosen in the open list by typing its name.
    display.Click(program.OnPage(140, 20));
    ASSERT_TRUE(program.WaitForOtherWindow(10000));
    display.Type(QStringLiteral("MP3"));
    display.Key(QStringLiteral("Return"));
    ASSERT_TRUE(program.WaitForNoOtherWindow(10000));
    ASSERT_TRUE(WaitUntil([&] { return program.Title() == QStringLiteral("Ondrava  (AVI -> MP3)"); }, 10000))
        << qPrintable(program.Title());

    // Convert, and the result is there.
    const QString output = program.Work(QStringLiteral("holiday.mp3"));
    display.Click(program.At(60, 273));
    ASSERT_TRUE(WaitUntil([&] { return QFileInfo(output).size() > 0 && program.ProgressFiles().isEmpty(); }, 60000));
    QThread::msleep(1000);
    QByteArray probe;
    EXPECT_EQ(testsupport::RunProgram(testsupport::FfprobePath(), {QStringLiteral("-v"), QStringLiteral("error"),
                                                                    QStringLiteral("-show_entries"),
                                                                    QStringLiteral("stream=codec_name"), output},
                                      &probe),
              0);
    EXPECT_TRUE(probe.contains("codec_name=mp3")) << probe.toStdString();

    // The open-file button hands the new file to the desktop.
    display.Click(program.At(413, 240));
    ASSERT_TRUE(WaitUntil([&] { return !program.OpenerCalls().isEmpty(); }, 10000));
    EXPECT_TRUE(program.OpenerCalls().first().contains(QStringLiteral("holiday.mp3")));
    EXPECT_TRUE(program.OtherWindows().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Languages, MainPathOnDisplay,
                         ::testing::Values(Case{"English", "Choose a file to convert"},
                                           Case{"Russian", "Выберите файл для конвертирования"}),
                         [](const auto& info) { return std::string(info.param.language); });

}  // namespace
