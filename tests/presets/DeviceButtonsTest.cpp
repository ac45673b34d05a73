// The device strip: buttons built from the catalogue, their pictures, the group's pressed
// state, the proposed output and the scrolling.
#include "common/Error.h"
#include "presets/DevicePicture.h"
#include "presets/DevicePresets.h"
#include "support/TestSupport.h"
#include "window/FakeFormServices.h"
#include "window/MainF.h"

#include <QDataStream>
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

using namespace ondrava;
using testsupport::WriteFile;

namespace {

// A 24-bit bitmap of w x h black pixels.
QByteArray Bitmap(int w, int h, quint16 bitCount = 24)
{
    const quint32 rowSize = quint32((w * 3 + 3) / 4 * 4);
    const quint32 pixels = rowSize * quint32(h);
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("BM", 2);
    out << quint32(54 + pixels) << quint32(0) << quint32(54);
    out << quint32(40) << qint32(w) << qint32(h) << quint16(1) << bitCount << quint32(0) << pixels
        << qint32(2835) << qint32(2835) << quint32(0) << quint32(0);
    bytes.append(QByteArray(int(pixels), '\0'));
    return bytes;
}

struct Device {
    int id;
    const char* name;
    const char* ext;
};

class DeviceButtonsTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    test::FakeFormServices services;
    std::unique_ptr<TMainForm> form = std::make_unique<TMainForm>(services);

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        form->ProgramDir = dir.path() + QLatin1Char('/');
        QDir().mkpath(Path("images"));
        WriteFile(Path("images/device1_4state.bmp"), Bitmap(8, 2));
    }
    QString Path(const QString& name) const { return dir.path() + QLatin1Char('/') + name; }

    void LoadCatalogue(const std::vector<Device>& devices)
    {
        QByteArray xml = "<?xml version=\"1.0\"?>\n<presets>\n";
        for (const Device& d : devices)
            xml += QStringLiteral("<device><id>%1</id><name>%2</name><params>-f mp4</params>"
                                  "<extension>%3</extension></device>\n")
                       .arg(d.id)
                       .arg(QString::fromUtf8(d.name), QString::fromUtf8(d.ext))
                       .toUtf8();
        xml += "</presets>\n";
        WriteFile(Path("presets.xml"), xml);
        form->DevicePresets = std::make_unique<TDevicePresets>(Path("presets.xml"));
    }
    // n presets with IDs 101, 102, ... named "Device 1", "Device 2", ...
    void LoadNumbered(int n)
    {
        std::vector<QByteArray> names;
        std::vector<Device> devices;
        for (int i = 0; i < n; ++i)
            names.push_back("Device " + QByteArray::number(i + 1));
        for (int i = 0; i < n; ++i)
            devices.push_back({101 + i, names[size_t(i)].constData(), "mp4"});
        LoadCatalogue(devices);
    }
    TSpeedButton& Button(size_t i) { return *form->DeviceButtonsPanel.Buttons.at(i); }
    std::vector<bool> DownStates() const
    {
        std::vector<bool> down;
        for (const auto& b : form->DeviceButtonsPanel.Buttons)
            down.push_back(b->Down());
        return down;
    }
};

TEST_F(DeviceButtonsTest, OneButtonPerPresetSideBySide)
{
    LoadNumbered(10);
    form->CreateDeviceButtons();

    EXPECT_EQ(form->DeviceButtonsPanel.Width(), 780);
    ASSERT_EQ(form->DeviceButtonsPanel.Buttons.size(), 10u);
    for (size_t i = 0; i < 10; ++i) {
        SCOPED_TRACE(i);
        const TSpeedButton& b = Button(i);
        EXPECT_EQ(b.Bounds(), QRect(78 * int(i), 1, 70, 70));
        EXPECT_TRUE(b.Flat());
        EXPECT_EQ(b.GroupIndex(), 1);
        EXPECT_TRUE(b.Caption().isEmpty());
        EXPECT_EQ(b.Hint(), QStringLiteral("Device %1").arg(i + 1));
        EXPECT_EQ(b.Tag(), 101 + int(i));
        EXPECT_EQ(b.NumGlyphs(), 4);
        EXPECT_FALSE(b.Down());
        EXPECT_TRUE(b.Enabled());
        EXPECT_TRUE(bool(b.OnClick));
    }
    EXPECT_EQ(Button(9).Left(), 702);
}

TEST_F(DeviceButtonsTest, ButtonsTakeThePanelsEnabledStateWhenMade)
{
    LoadNumbered(2);
    form->DeviceButtonsPanel.SetEnabled(false);
    form->CreateDeviceButtons();
    EXPECT_FALSE(Button(0).Enabled());
    EXPECT_FALSE(Button(1).Enabled());
}

TEST_F(DeviceButtonsTest, EmptyOrMissingCatalogue)
{
    LoadCatalogue({});
    form->CreateDeviceButtons();
    EXPECT_EQ(form->DeviceButtonsPanel.Width(), 0);
    EXPECT_TRUE(form->DeviceButtonsPanel.Buttons.empty());

    TMainForm noCatalogue(services);
    const int width = noCatalogue.DeviceButtonsPanel.Width();
    noCatalogue.CreateDeviceButtons();
    EXPECT_EQ(noCatalogue.DeviceButtonsPanel.Width(), width);
    EXPECT_TRUE(noCatalogue.DeviceButtonsPanel.Buttons.empty());
}

TEST_F(DeviceButtonsTest, OwnPictureOrTheSharedOne)
{
    WriteFile(Path("images/device_ab.bmp"), Bitmap(4, 1));
    // A "/" in the name must not reach into a folder that happens to exist.
    QDir().mkpath(Path("images/device_car"));
    WriteFile(Path("images/device_car/boat.bmp"), Bitmap(4, 1));
    LoadCatalogue({{1, "A B", "mp4"}, {2, "Nameless", "mp4"}, {3, "Car/Boat", "mkv"}});
    form->CreateDeviceButtons();

    ASSERT_EQ(form->DeviceButtonsPanel.Buttons.size(), 3u);
    const QString shared = Path("images/device1_4state.bmp");
    EXPECT_EQ(Button(0).GlyphFile(), Path("images/device_ab.bmp"));
    EXPECT_EQ(Button(1).GlyphFile(), shared);
    EXPECT_EQ(Button(2).GlyphFile(), shared);
}

TEST_F(DeviceButtonsTest, PictureThatIsNoBitmapEndsTheBuilding)
{
    WriteFile(Path("images/device_broken.bmp"), "just some text, no picture at all");
    LoadCatalogue({{1, "Fine", "mp4"}, {2, "Broken", "mp4"}});
    EXPECT_THROW(form->CreateDeviceButtons(), Error);

    TMainForm noShared(services);
    noShared.ProgramDir = Path("elsewhere/");
    noShared.DevicePresets = std::make_unique<TDevicePresets>(Path("presets.xml"));
    EXPECT_THROW(noShared.CreateDeviceButtons(), Error);
}

TEST_F(DeviceButtonsTest, PictureCheck)
{
    QByteArray truncated = Bitmap(4, 1).left(30);
    QByteArray badDepth = Bitmap(4, 1, 7);
    QByteArray zeroWidth = Bitmap(0, 1);
    QByteArray pixelsPastEnd = Bitmap(4, 1);
    pixelsPastEnd[10] = char(0xff);
    QByteArray coreHeader;  // the oldest header form: 12 bytes with 16-bit sizes
    {
        QDataStream out(&coreHeader, QIODevice::WriteOnly);
        out.setByteOrder(QDataStream::LittleEndian);
        out.writeRawData("BM", 2);
        out << quint32(26 + 4) << quint32(0) << quint32(26) << quint32(12) << quint16(1)
            << quint16(1) << quint16(1) << quint16(24) << quint32(0);
    }
    const struct {
        const char* name;
        QByteArray bytes;
        bool ok;
    } cases[] = {
        {"24-bit bitmap", Bitmap(256, 64), true},
        {"core header", coreHeader, true},
        {"text", "hello", false},
        {"empty", "", false},
        {"PNG signature", "\x89PNG\r\n\x1a\n" + QByteArray(60, '\0'), false},
        {"truncated header", truncated, false},
        {"bad colour depth", badDepth, false},
        {"zero width", zeroWidth, false},
        {"pixels past the end", pixelsPastEnd, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString file = Path(QStringLiteral("check.bmp"));
        WriteFile(file, c.bytes);
        if (c.ok) {
            EXPECT_NO_THROW(CheckDevicePicture(file));
        } else {
            try {
                CheckDevicePicture(file);
                ADD_FAILURE() << "accepted";
            } catch (const Error& e) {
                EXPECT_TRUE(e.message().contains(file)) << e.message().toStdString();
            }
        }
    }
    EXPECT_THROW(CheckDevicePicture(Path("missing.bmp")), Error);
    EXPECT_THROW(CheckDevicePicture(Path("images")), Error);
}

TEST_F(DeviceButtonsTest, ClickChoosesTheDeviceAndProposesItsOutput)
{
    LoadCatalogue({{5, "Pocket Phone", "mp4"}, {9, "Box", "mkv"}, {12, "Reader", "epub"}});
    form->CreateDeviceButtons();
    const QString source = Path("clip.avi");
    WriteFile(source, "video");
    form->SourceFilenameEdit.SetText(source);
    form->VideoPageControl.SetActivePageIndex(1);

    Button(1).UserClick();
    EXPECT_EQ(form->SelectedDeviceID, 9);
    EXPECT_EQ(form->Caption(), QStringLiteral("Ondrava  (AVI -> Box [mkv])"));
    EXPECT_EQ(form->OutVideoFileBEdit.Text(), Path("clip(Box).mkv"));
    EXPECT_TRUE(form->ConvertBitBtn.Enabled());
    EXPECT_EQ(DownStates(), (std::vector<bool>{false, true, false}));

    // The group: the next press releases the one before.
    Button(0).UserClick();
    EXPECT_EQ(form->SelectedDeviceID, 5);
    EXPECT_EQ(form->OutVideoFileBEdit.Text(), Path("clip(Pocket Phone).mp4"));
    EXPECT_EQ(DownStates(), (std::vector<bool>{true, false, false}));

    // Pressing the pressed one again proposes the name anew and keeps it down.
    form->OutVideoFileBEdit.SetText(Path("my own name.mp4"));
    form->InfoLabel.SetCaption(QStringLiteral("Done"));
    Button(0).UserClick();
    EXPECT_EQ(form->OutVideoFileBEdit.Text(), Path("clip(Pocket Phone).mp4"));
    EXPECT_TRUE(form->InfoLabel.Caption().isEmpty());
    EXPECT_EQ(DownStates(), (std::vector<bool>{true, false, false}));
}

TEST_F(DeviceButtonsTest, ClickWithoutSourceChoosesTheDeviceOnly)
{
    LoadCatalogue({{5, "Pocket Phone", "mp4"}});
    form->CreateDeviceButtons();
    form->VideoPageControl.SetActivePageIndex(1);
    Button(0).Click();
    EXPECT_EQ(form->SelectedDeviceID, 5);
    EXPECT_EQ(form->Caption(), QStringLiteral("Ondrava"));
    EXPECT_FALSE(form->ConvertBitBtn.Enabled());
    EXPECT_TRUE(Button(0).Down());
}

TEST_F(DeviceButtonsTest, ScrollStepAndFirstScrollToTheChosenDevice)
{
    int delta = 0;
    form->DevicePageScrollerScroll(delta);
    EXPECT_EQ(delta, 13);

    const struct {
        int chosenId;
        int position;
    } cases[] = {
        {107, 466},  // seventh: 78 x 6 - 2
        {101, 0},    // first: -2 is kept at the start
        {999, 0},    // not in the catalogue
        {112, 495},  // last: as far as the strip goes (936 - 441)
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.chosenId);
        form = std::make_unique<TMainForm>(services);
        form->ProgramDir = dir.path() + QLatin1Char('/');
        LoadNumbered(12);
        form->CreateDeviceButtons();
        form->SelectedDeviceID = c.chosenId;
        form->EnableOutBox(false);
        EXPECT_EQ(form->DevicePageScroller.Position(), 0);
        form->EnableOutBox(true);
        EXPECT_EQ(form->DevicePageScroller.Position(), c.position);
        for (const auto& b : form->DeviceButtonsPanel.Buttons)
            EXPECT_EQ(b->Down(), b->Tag() == c.chosenId);
        // Only the first enabling scrolls.
        form->DevicePageScroller.SetPosition(13);
        form->EnableOutBox(true);
        EXPECT_EQ(form->DevicePageScroller.Position(), 13);
    }
}

}  // namespace
