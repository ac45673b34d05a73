// The window as a person uses it: the real program on a private X server, driven with real key
// presses and clicks (XTest), read back as the desktop sees it. The media tool is a slow
// stand-in that records its calls.
#include "support/DisplayProgram.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QThread>

#include <gtest/gtest.h>

using namespace realdisplay;

namespace {

// Points of the form (client coordinates) and of the Format page.
const QPoint kConvert(60, 273);
const QPoint kCancel(160, 274);
const QPoint kOpen(420, 39);
const QPoint kSourceBox(150, 40);
const QPoint kOutputBox(250, 240);
const QPoint kOpenFile(413, 240);
const QPoint kFormatTab(40, 103);
const QPoint kFormatList(140, 20);  // on the page
const QPoint kSizeList(370, 20);    // on the page, in its text
const QPoint kQualityList(110, 57); // on the page

class WindowOnDisplay : public ::testing::Test {
protected:
    XDisplay display;
    std::unique_ptr<DisplayProgram> program;
    QString source;

    void SetUp() override
    {
        ASSERT_TRUE(display.Start()) << "Xvfb did not start";
        program = std::make_unique<DisplayProgram>(display);
        ASSERT_TRUE(program->Valid());
        source = program->Work(QStringLiteral("talk.avi"));
        testsupport::WriteFile(source, QByteArray(4096, 'v'));
    }

    // Starts the program with the source chosen and a format.
    void StartReady(const QString& format = QStringLiteral("mp4"), double toolSeconds = 1)
    {
        program->SetToolSeconds(toolSeconds);
        ASSERT_TRUE(program->Start({source, QStringLiteral("-format=") + format})) << "the window did not show";
    }

    void Click(QPoint at, int button = 1) { display.Click(program->At(at.x(), at.y()), button); }
    void ClickOnPage(QPoint at, int button = 1) { display.Click(program->OnPage(at.x(), at.y()), button); }
    QString Output() const { return program->Work(QStringLiteral("talk.mp4")); }

    bool WaitForConversions(int n)
    {
        return WaitUntil([&] { return program->Conversions() >= n; }, 30000);
    }
    bool WaitForIdle()
    {
        return WaitUntil([&] { return program->ToolsAlive().isEmpty(); }, 60000);
    }
    // The run ended and the window had time to judge it.
    bool WaitForRunEnd()
    {
        if (!WaitForIdle())
            return false;
        QThread::msleep(700);
        return true;
    }
};

TEST_F(WindowOnDisplay, NoSecondRunStartsInsideARunningOne)
{
    StartReady(QStringLiteral("mp4"), 5);
    // Enter in the output box starts the run; the box is disabled at once and the focus moves on.
    Click(kOutputBox);
    display.Key(QStringLiteral("Return"));
    ASSERT_TRUE(WaitForConversions(1));
    ASSERT_FALSE(program->ToolsAlive().isEmpty());

    // Whatever the user does meanwhile, nothing starts a second run and the run's controls stay off.
    // (The focus has moved on to Cancel, so Enter is not pressed again here: it would stop the run.)
    display.Key(QStringLiteral("Tab"));
    Click(kOutputBox);
    display.Key(QStringLiteral("Tab"));
    Click(kSourceBox);
    Click(kConvert);
    ClickOnPage(kFormatList);
    QThread::msleep(400);
    EXPECT_TRUE(program->OtherWindows().isEmpty()) << "the format list opened during the run";
    display.Key(QStringLiteral("Escape"));
    Click(kConvert);

    ASSERT_TRUE(WaitForRunEnd());
    EXPECT_EQ(program->Conversions(), 1) << testsupport::ReadFile(program->RecordDir() + QStringLiteral("/calls")).toStdString();
    for (const ToolCall& c : program->ToolCalls())
        EXPECT_TRUE(!c.conversion || c.ended) << "a run was cut short";
    EXPECT_EQ(program->MostToolsAtOnce(), 1);
    EXPECT_TRUE(program->ProgressFiles().isEmpty());
}

TEST_F(WindowOnDisplay, TitleBarShowsExactlyTheCaption)
{
    StartReady(QStringLiteral("mp4"));
    EXPECT_EQ(program->WmName(), QStringLiteral("Ondrava  (AVI -> MP4)"));
    EXPECT_EQ(program->Title(), QStringLiteral("Ondrava  (AVI -> MP4)"));

    // The caption follows the choice of format as the title bar shows it.
    ClickOnPage(kFormatList);
    ASSERT_TRUE(program->WaitForOtherWindow(10000));
    display.Key(QStringLiteral("End"));
    display.Key(QStringLiteral("Return"));
    EXPECT_TRUE(WaitUntil([&] { return program->Title() == QStringLiteral("Ondrava  (AVI -> FLAC)"); }, 10000))
        << qPrintable(program->Title());
    EXPECT_EQ(program->WmName(), QStringLiteral("Ondrava  (AVI -> FLAC)"));
}

TEST_F(WindowOnDisplay, DisabledMoreOptionsLabelOpensNoPopup)
{
    // Without a source the label is disabled: neither button opens its popup.
    ASSERT_TRUE(program->Start());
    const QPoint label(400, 90);
    for (int button : {1, 3}) {
        ClickOnPage(label, button);
        QThread::msleep(600);
        EXPECT_TRUE(program->OtherWindows().isEmpty()) << "button " << button;
    }

    // With a source it is a link again: the same click opens the popup.
    program->End();
    StartReady();
    ClickOnPage(label);
    EXPECT_TRUE(program->WaitForOtherWindow(10000));
}

TEST_F(WindowOnDisplay, EnterPressesConvertWhereTheFocusHasNoUseForIt)
{
    StartReady(QStringLiteral("mp4"), 0.4);
    struct Route {
        const char* focus;
        std::function<void()> go;
    };
    const std::vector<Route> routes = {
        {"output box", [&] { Click(kOutputBox); }},
        {"source box", [&] { Click(kSourceBox); display.Key(QStringLiteral("End")); }},
        {"closed format list", [&] {
             ClickOnPage(kFormatList);
             program->WaitForOtherWindow(10000);
             display.Key(QStringLiteral("Escape"));
             program->WaitForNoOtherWindow(10000);
         }},
        {"editable size list", [&] { ClickOnPage(kSizeList); }},
        {"tab bar", [&] { Click(kFormatTab); }},
        {"slider", [&] {
             // The slider shows with the quality "other".
             ClickOnPage(kQualityList);
             program->WaitForOtherWindow(10000);
             display.Key(QStringLiteral("End"));
             display.Key(QStringLiteral("Return"));
             program->WaitForNoOtherWindow(10000);
             ClickOnPage(QPoint(300, 61));
         }},
        {"Convert itself", [&] {
             // Pressed and released elsewhere: the button has the focus and did not click.
             display.PressButton(program->At(kConvert.x(), kConvert.y()));
             display.MoveMouse(program->At(300, 150));
             display.ReleaseButton();
         }},
    };
    int runs = 0;
    for (const Route& r : routes) {
        SCOPED_TRACE(r.focus);
        QFile::remove(Output());
        r.go();
        display.Key(QStringLiteral("Return"));
        ASSERT_TRUE(WaitForConversions(++runs)) << "Enter did not press Convert";
        ASSERT_TRUE(WaitForRunEnd());
        EXPECT_TRUE(program->OtherWindows().isEmpty());
    }

    // On another button Enter presses that button: Open shows its dialog, nothing converts.
    QFile::remove(Output());
    Click(kOpen);
    ASSERT_TRUE(program->WaitForOtherWindow(10000));
    display.Key(QStringLiteral("Escape"));
    ASSERT_TRUE(program->WaitForNoOtherWindow(10000));
    display.Key(QStringLiteral("Return"));
    EXPECT_TRUE(program->WaitForOtherWindow(10000)) << "Enter on Open did not open the dialog";
    display.Key(QStringLiteral("Escape"));
    QThread::msleep(500);
    EXPECT_EQ(program->Conversions(), runs);
}

TEST_F(WindowOnDisplay, MenusWithoutTitlesInTheLanguageStayReachable)
{
    // A language file whose menu titles are empty.
    const QString english = program->ProgramDir() + QStringLiteral("/Languages/English.lng");
    QByteArray text = testsupport::ReadFile(english);
    for (const char* id : {"11010=File", "11050=View", "11100=Help"})
        text.replace(id, QByteArray(id).left(6));
    testsupport::WriteFile(english, text);
    StartReady();

    // Each of the three menus opens, one after the other along the bar.
    const QPoint origin = program->ClientOrigin();
    display.Click(QPoint(origin.x() + 15, origin.y() - 10));
    ASSERT_TRUE(program->WaitForOtherWindow(10000)) << "the first menu is gone";
    QList<int> lefts;
    for (int i = 0; i < 3; ++i) {
        // The newest menu stands furthest right.
        int left = -1;
        WaitUntil([&] {
            for (qulonglong w : program->OtherWindows())
                left = qMax(left, display.Geometry(w).x());
            return i == 0 || left > lefts.last();
        }, 10000);
        lefts << left;
        display.Key(QStringLiteral("Right"));
        QThread::msleep(300);
    }
    display.Key(QStringLiteral("Escape"));
    EXPECT_LT(lefts[0], lefts[1]);
    EXPECT_LT(lefts[1], lefts[2]);
}

TEST_F(WindowOnDisplay, OpenButtonsFollowTheOutputAfterTheJudgement)
{
    StartReady(QStringLiteral("mp4"), 5);
    // A stopped run: its output is deleted, and the open-file button does nothing any more.
    Click(kConvert);
    ASSERT_TRUE(WaitForConversions(1));
    ASSERT_TRUE(WaitUntil([&] { return QFile::exists(Output()); }, 20000));
    Click(kCancel);
    ASSERT_TRUE(WaitForRunEnd());
    EXPECT_FALSE(QFile::exists(Output()));
    Click(kOpenFile);
    QThread::msleep(800);
    EXPECT_TRUE(program->OpenerCalls().isEmpty()) << qPrintable(program->OpenerCalls().join(u'\n'));

    // A finished run: the button opens the new file.
    program->SetToolSeconds(0.4);
    Click(kConvert);
    ASSERT_TRUE(WaitForConversions(2));
    ASSERT_TRUE(WaitForRunEnd());
    ASSERT_TRUE(QFile::exists(Output()));
    Click(kOpenFile);
    ASSERT_TRUE(WaitUntil([&] { return !program->OpenerCalls().isEmpty(); }, 10000));
    EXPECT_TRUE(program->OpenerCalls().first().contains(QStringLiteral("talk.mp4")));
}

}  // namespace
