// The device strip on a real display: each button shows the image of its state from its
// picture (up, disabled, clicked, down), and the strip scrolls by itself, a step of 13 pixels
// at a time, while the mouse rests on an arrow.
#include "support/DisplayProgram.h"
#include "support/TestSupport.h"

#include <QImage>
#include <QThread>

#include <gtest/gtest.h>

using namespace realdisplay;

namespace {

const QPoint kDeviceTab(100, 103);
const QRect kStrip(5, 14, 441, 71);  // on the page
constexpr int kPitch = 78;
constexpr int kImage = 64;

class DeviceStripOnDisplay : public ::testing::Test {
protected:
    XDisplay display;
    std::unique_ptr<DisplayProgram> program;

    void SetUp() override
    {
        ASSERT_TRUE(display.Start()) << "Xvfb did not start";
        program = std::make_unique<DisplayProgram>(display);
        ASSERT_TRUE(program->Valid());
        const QString source = program->Work(QStringLiteral("talk.avi"));
        testsupport::WriteFile(source, QByteArray(4096, 'v'));
        program->SetToolSeconds(4);
        ASSERT_TRUE(program->Start({source})) << "the window did not show";
        display.Click(program->At(kDeviceTab.x(), kDeviceTab.y()));
        QThread::msleep(500);
    }

    // The screen point of a place in the strip (strip coordinates).
    QPoint InStrip(int x, int y) const { return program->OnPage(kStrip.x() + x, kStrip.y() + y); }
    // The picture of device button i as the screen shows it now (the strip unscrolled).
    QImage Shown(int i) const
    {
        const QPoint topLeft = InStrip(kPitch * i + 3, 1 + 3);
        return display.Screenshot().copy(QRect(topLeft, QSize(kImage, kImage)));
    }
    // Image `state` of the picture of device i, as the program directory holds it.
    QImage Expected(int i, int state) const
    {
        static const char* const names[] = {"iphone", "ipad"};
        const QImage strip(program->ProgramDir() + QStringLiteral("/images/device_%1.bmp").arg(QLatin1String(names[i])));
        return strip.copy(state * kImage, 0, kImage, kImage).convertToFormat(QImage::Format_RGB32);
    }
    // How many pixels of two pictures differ.
    static int Differences(const QImage& a, const QImage& b)
    {
        if (a.size() != b.size())
            return a.width() * a.height();
        int n = 0;
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x)
                n += (a.pixel(x, y) & 0xFFFFFF) != (b.pixel(x, y) & 0xFFFFFF) ? 1 : 0;
        return n;
    }
};

TEST_F(DeviceStripOnDisplay, EachButtonShowsTheImageOfItsState)
{
    enum { Up, Disabled, Clicked, Down };
    // Keep the mouse off the strip.
    display.MoveMouse(program->At(300, 10));
    QThread::msleep(300);
    EXPECT_EQ(Differences(Shown(0), Expected(0, Up)), 0) << "up";

    // Held under the mouse: the clicked image; let go: the button stays down.
    display.PressButton(InStrip(kPitch + 35, 36));
    QThread::msleep(400);
    EXPECT_EQ(Differences(Shown(1), Expected(1, Clicked)), 0) << "clicked";
    display.ReleaseButton();
    display.MoveMouse(program->At(300, 10));
    QThread::msleep(400);
    EXPECT_EQ(Differences(Shown(1), Expected(1, Down)), 0) << "down";
    EXPECT_EQ(Differences(Shown(0), Expected(0, Up)), 0) << "up beside the chosen one";

    // A run disables the device buttons.
    display.Click(program->At(60, 273));
    ASSERT_TRUE(WaitUntil([&] { return program->Conversions() == 1; }, 20000));
    QThread::msleep(300);
    EXPECT_EQ(Differences(Shown(0), Expected(0, Disabled)), 0) << "disabled";
    EXPECT_EQ(Differences(Shown(1), Expected(1, Disabled)), 0) << "disabled while chosen";
    display.Click(program->At(160, 274));
}

TEST_F(DeviceStripOnDisplay, StripScrollsItselfInStepsWhileTheMouseRestsOnAnArrow)
{
    display.MoveMouse(program->At(300, 10));
    QThread::msleep(300);
    auto strip = [&] { return display.Screenshot().copy(QRect(InStrip(0, 0), kStrip.size())); };
    const QImage before = strip();

    // Rest on the right arrow a moment, then leave it.
    display.MoveMouse(InStrip(kStrip.width() - 7, 35));
    QThread::msleep(500);
    display.MoveMouse(program->At(300, 10));
    QThread::msleep(300);
    const QImage after = strip();
    QThread::msleep(500);
    EXPECT_EQ(Differences(after, strip()), 0) << "the strip went on scrolling after the mouse left";

    // Find how far the panel moved: the shown part is the earlier one shifted left. The
    // arrows at both ends are left out of the comparison.
    int shift = -1;
    for (int s = 1; s < 400 && shift < 0; ++s) {
        bool same = true;
        for (int y = 0; y < kStrip.height() && same; y += 3)
            for (int x = 16; x + s < kStrip.width() - 16 && same; ++x)
                same = (after.pixel(x, y) & 0xFFFFFF) == (before.pixel(x + s, y) & 0xFFFFFF);
        if (same)
            shift = s;
    }
    ASSERT_GT(shift, 0) << "the strip did not scroll";
    EXPECT_EQ(shift % 13, 0) << "moved " << shift << " pixels";
}

}  // namespace
