// The About box on an offscreen desktop: its layout rule, texts, closing keys, the focused
// button's look and the links.
#include "FakeFormServices.h"

#include "platform/Shell.h"
#include "window/AboutF.h"
#include "window/MainF.h"

#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace ondrava;

namespace {

class AboutFViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        qputenv("ONDRAVA_SITE_URL", "http://127.0.0.1:9");
        SetShell(&shell);
        form.HOMEPAGE_LINK = QStringLiteral("http://127.0.0.1:9/ru/");
    }
    void TearDown() override { SetShell(nullptr); }

    static void Click(QWidget* w)
    {
        const QPointF at(2, 2);
        QMouseEvent press(QEvent::MouseButtonPress, at, w->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, at, w->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QApplication::sendEvent(w, &press);
        QApplication::sendEvent(w, &release);
    }

    RecordingShell shell;
    test::FakeFormServices services;
    TMainForm form{services};
};

TEST_F(AboutFViewTest, CreditsFillTheSpaceBetweenLinksAndRightsNotice)
{
    TAboutForm box(&form);
    EXPECT_EQ(box.size(), QSize(360, 302));
    EXPECT_EQ(box.HomePageLabel->geometry().topLeft(), QPoint(10, 97));
    EXPECT_EQ(box.HomePageLabel->height(), 14);
    EXPECT_EQ(box.CopyrightLabel->y(), 244);
    EXPECT_EQ(box.AuthorsMemo->geometry(), QRect(8, 119, 345, 117));
    EXPECT_EQ(box.OkBitBtn->geometry(), QRect(120, 264, 120, 30));
    // The links keep the design height, so their font must fit in it.
    for (QLabel* link : {box.HomePageLabel, box.EmailLabel})
        EXPECT_LE(QFontMetrics(link->font()).height(), link->height()) << link->objectName().toStdString();
    EXPECT_LE(box.CopyrightLabel->geometry().bottom(), box.OkBitBtn->y());
}

TEST_F(AboutFViewTest, MailAddressKeepsItsRightEdgeWhateverItsLength)
{
    for (const char* site : {"http://a.example", "http://a-much-longer-site-name.example.org"}) {
        SCOPED_TRACE(site);
        qputenv("ONDRAVA_SITE_URL", site);
        TAboutForm box(&form);
        EXPECT_EQ(box.EmailLabel->geometry().right() + 1, 352);
        EXPECT_GE(box.EmailLabel->width(), box.EmailLabel->sizeHint().width());
        EXPECT_EQ(box.EmailLabel->y(), 97);
        // The home page never runs under the mail address.
        EXPECT_LT(box.HomePageLabel->geometry().right(), box.EmailLabel->x());
    }
}

TEST_F(AboutFViewTest, ShowsTheProductTextsAndNineCreditLines)
{
    TAboutForm box(&form);
    EXPECT_EQ(box.windowTitle(), QStringLiteral("About..."));
    EXPECT_TRUE(box.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(box.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(box.TitleLabel->text(), QStringLiteral("Ondrava"));
    EXPECT_TRUE(box.TitleLabel->font().bold());
    EXPECT_EQ(box.VerLabel->text(), QStringLiteral("ver. 0.7.1.37"));
    EXPECT_EQ(box.HomePageLabel->text(), form.HOMEPAGE_LINK);
    EXPECT_EQ(box.EmailLabel->text(), QStringLiteral("support@127.0.0.1"));
    EXPECT_TRUE(box.CopyrightLabel->text().contains(QStringLiteral("Ondrava")));
    EXPECT_EQ(box.OkBitBtn->text(), QStringLiteral("Ok"));

    EXPECT_TRUE(box.AuthorsMemo->isReadOnly());
    const QStringList lines = box.AuthorsMemo->toPlainText().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 9);
    EXPECT_EQ(lines[0], QStringLiteral("Developers:"));
    EXPECT_EQ(lines[3], QString());
    EXPECT_EQ(lines[4], QStringLiteral("Our thanks to:"));
    EXPECT_EQ(lines[7], QString());
    EXPECT_EQ(lines[8], QStringLiteral("This software uses libraries from the FFmpeg project under the LGPLv2.1"));
    for (const int i : {1, 2, 5, 6}) {
        EXPECT_TRUE(lines[i].contains(QStringLiteral(" - "))) << lines[i].toStdString();
        EXPECT_TRUE(lines[i].endsWith(QLatin1Char(';')) || lines[i].endsWith(QLatin1Char('.')));
        EXPECT_TRUE(lines[i].contains(QStringLiteral("Ondrava"))) << lines[i].toStdString();
    }
}

TEST_F(AboutFViewTest, EscapeClosesTheBoxWhereverTheFocusIs)
{
    TAboutForm box(&form);
    const std::pair<const char*, QWidget*> targets[] = {
        {"button", box.OkBitBtn}, {"credits", box.AuthorsMemo}, {"box", &box}};
    for (const auto& [name, target] : targets) {
        SCOPED_TRACE(name);
        box.show();
        QKeyEvent other(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QApplication::sendEvent(target, &other);
        EXPECT_TRUE(box.isVisible());
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(target, &escape);
        EXPECT_FALSE(box.isVisible());
    }
}

TEST_F(AboutFViewTest, OkButtonIsBoldWhileItHasTheFocus)
{
    TAboutForm box(&form);
    box.show();
    QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(box.OkBitBtn, &in);
    EXPECT_TRUE(box.OkBitBtn->font().bold());
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(box.OkBitBtn, &out);
    EXPECT_FALSE(box.OkBitBtn->font().bold());

    box.OkBitBtn->click();
    EXPECT_FALSE(box.isVisible());
}

TEST_F(AboutFViewTest, LinksOpenTheHomePageAndTheMail)
{
    TAboutForm box(&form);
    box.show();
    Click(box.HomePageLabel);
    Click(box.EmailLabel);
    ASSERT_EQ(shell.calls.size(), 2u);
    EXPECT_EQ(shell.calls[0].kind, QStringLiteral("OpenUrl"));
    EXPECT_EQ(shell.calls[0].target, QStringLiteral("http://127.0.0.1:9/ru/"));
    EXPECT_EQ(shell.calls[1].target, QStringLiteral("mailto:support@127.0.0.1"));
    EXPECT_EQ(box.HomePageLabel->cursor().shape(), Qt::PointingHandCursor);
}

TEST_F(AboutFViewTest, WithoutAWindowTheLinksDoNothing)
{
    TAboutForm box(nullptr);
    box.show();
    Click(box.HomePageLabel);
    Click(box.EmailLabel);
    EXPECT_TRUE(shell.calls.empty());
    EXPECT_TRUE(box.HomePageLabel->text().isEmpty());
}

}  // namespace
