#include "presets/DevicePresets.h"

#include "common/Error.h"
#include "support/TestSupport.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace ondrava;
using testsupport::ReadFile;
using testsupport::WriteFile;

namespace {

QString Fixture() { return testsupport::SourceDir() + QStringLiteral("/presets/fixtures/presets.xml"); }

struct Expected {
    int id;
    const char* name;
    const char* idName;
    const char* params;
    const char* extension;
};

// What the fixture holds, in file order, after the dropped elements are left out.
const Expected kFixture[] = {
    {10, "First Phone", "firstphone", "-c:v libx264 -s 640x360", "mp4"},
    {20, "A B c", "abc", "-vn -c:a aac\r\n-b:a 128k", "m4a"},
    {30, "Order Reversed", "orderreversed", "-c:v vp8 &amp; more", "webm"},
    {10, "Duplicate Ten", "duplicateten", "", "avi"},
    {40, "Leading Blanks", "leadingblanks", "", "mkv"},
    {50, "Hex", "hex", "", "3gp"},
    {60, "<b>Inner</b> Name", "<b>inner</b>name", " -f  mp4 ", "mp4"},
};

void ExpectFixture(const TDevicePresets& presets, const char* what)
{
    ASSERT_EQ(presets.Count(), int(std::size(kFixture))) << what;
    for (int i = 0; i < presets.Count(); ++i) {
        const TDevPreset* p = presets.Device(i);
        const Expected& e = kFixture[i];
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->ID, e.id) << what << " #" << i;
        EXPECT_EQ(p->Name, QString::fromUtf8(e.name)) << what << " #" << i;
        EXPECT_EQ(p->idName, QString::fromUtf8(e.idName)) << what << " #" << i;
        EXPECT_EQ(p->Params, QString::fromUtf8(e.params)) << what << " #" << i;
        EXPECT_EQ(p->Extension, QString::fromUtf8(e.extension)) << what << " #" << i;
    }
}

std::vector<int> Ids(const TDevicePresets& presets)
{
    std::vector<int> ids;
    for (int i = 0; i < presets.Count(); ++i)
        ids.push_back(presets.Device(i)->ID);
    return ids;
}

class DevicePresetsTest : public ::testing::Test {
protected:
    QString Write(const QByteArray& bytes, const char* name = "presets.xml")
    {
        const QString path = dir.filePath(QLatin1String(name));
        WriteFile(path, bytes);
        return path;
    }

    QTemporaryDir dir;
};

TEST_F(DevicePresetsTest, LoadsTheCatalogueInFileOrder)
{
    const TDevicePresets presets(Fixture());
    ExpectFixture(presets, "fixture");
}

TEST_F(DevicePresetsTest, LineEndsAndByteOrderMarksReadAlike)
{
    const QByteArray lf = ReadFile(Fixture());
    ASSERT_FALSE(lf.contains('\r'));
    QByteArray crlf = lf;
    crlf.replace("\n", "\r\n");
    QByteArray cr = lf;
    cr.replace("\n", "\r");
    const QString text = QString::fromUtf8(lf);
    QStringEncoder le(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom);
    QStringEncoder be(QStringEncoder::Utf16BE, QStringEncoder::Flag::WriteBom);

    struct Case { const char* what; QByteArray bytes; };
    const Case cases[] = {
        {"CR LF", crlf},
        {"CR", cr},
        {"UTF-8 with mark", "\xEF\xBB\xBF" + lf},
        {"UTF-16 LE", QByteArray(le.encode(text))},
        {"UTF-16 BE", QByteArray(be.encode(text))},
    };
    for (const Case& c : cases)
        ExpectFixture(TDevicePresets(Write(c.bytes)), c.what);
}

TEST_F(DevicePresetsTest, FindsPresetsByPositionIdAndShortName)
{
    const TDevicePresets presets(Fixture());
    ASSERT_EQ(presets.Count(), int(std::size(kFixture)));
    EXPECT_EQ(presets.Device(presets.Count()), nullptr);
    EXPECT_EQ(presets.Device(-1), nullptr);

    ASSERT_NE(presets.GetDeviceByID(10), nullptr);
    EXPECT_EQ(presets.GetDeviceByID(10)->Name, QStringLiteral("First Phone")) << "the first of two equal IDs wins";
    EXPECT_EQ(presets.GetDeviceByID(60), presets.Device(6));
    EXPECT_EQ(presets.GetDeviceByID(41), nullptr) << "dropped for the blank after its digits";
    EXPECT_EQ(presets.GetDeviceByID(0), nullptr);
    EXPECT_EQ(presets.GetDeviceByID(70), nullptr) << "after the root end tag";

    struct Case { const char* idName; int id; };
    const Case cases[] = {
        {"abc", 20}, {"a b c", -1}, {"ABC", -1}, {"Abc", -1}, {"duplicateten", 10},
        {"firstphone", 10}, {"capitaldevicetag", -1}, {"", -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(presets.GetDeviceIDByName(QLatin1String(c.idName)), c.id) << c.idName;
}

TEST_F(DevicePresetsTest, HeadAndTailOfTheCatalogue)
{
    struct Case { const char* what; const char* text; std::vector<int> ids; };
    const Case cases[] = {
        {"no root element", "<device><id>1</id></device>\n<device><id>2</id></device>", {1, 2}},
        {"root with attributes", "<presets version=\"2\"><device><id>1</id></device></presets>", {1}},
        {"devices after an early root end", "<presets></presets><device><id>1</id></device>", {}},
        {"file ends in the root start tag", "<presets", {}},
        {"stray closing mark first", "<presets></device><device><id>3</id></device></presets>", {3}},
        {"unterminated last element", "<presets><device><id>1</id></device><device><id>2</id></presets>", {1}},
        {"an element runs to the first closing mark",
         "<presets><device><id>1</id><device><id>2</id></device></presets>", {1}},
        {"markers in other letter case", "<PRESETS><Device><id>1</id></Device></PRESETS>", {}},
        {"blanks only", " \r\n\t ", {}},
        {"empty", "", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Ids(TDevicePresets(Write(c.text))), c.ids) << c.what;
}

TEST_F(DevicePresetsTest, MissingFileGivesAnEmptyCatalogue)
{
    const QString cases[] = {QString(), dir.filePath(QStringLiteral("none.xml")), dir.path()};
    for (const QString& name : cases)
        EXPECT_EQ(TDevicePresets(name).Count(), 0) << name.toStdString();

    TDevicePresets presets(Fixture());
    presets.Clear();
    EXPECT_EQ(presets.Count(), 0);
    EXPECT_EQ(presets.Device(0), nullptr);
    EXPECT_EQ(presets.GetDeviceIDByName(QStringLiteral("abc")), -1);
}

TEST_F(DevicePresetsTest, AFileThatCannotBeReadThrows)
{
    // Permissions mean nothing to root; reading /proc/self/mem from its start fails for anyone.
    QString path = Write("<presets></presets>");
    QFile::setPermissions(path, QFileDevice::Permissions());
    if (::geteuid() == 0)
        path = QStringLiteral("/proc/self/mem");
    EXPECT_THROW(TDevicePresets{path}, Error);
}

// Damaged files never crash or hang; they yield the complete elements they still hold.
TEST_F(DevicePresetsTest, BadFilesLoadWhatTheyHold)
{
    const QByteArray fixture = ReadFile(Fixture());
    EXPECT_EQ(Ids(TDevicePresets(Write(fixture.left(fixture.indexOf("Order Reversed"))))),
              (std::vector<int>{10, 20}));

    QByteArray binary(4 << 20, '\0');
    QRandomGenerator rng(11);
    for (char& b : binary)
        b = char(rng.bounded(256));
    binary.insert(1 << 20, "<device><id>5</id></device>");
    const TDevicePresets fromBinary(Write(binary));
    EXPECT_EQ(fromBinary.GetDeviceByID(5) != nullptr, true);
    for (int i = 0; i < fromBinary.Count(); ++i)
        EXPECT_GT(fromBinary.Device(i)->ID, 0);
}

TEST_F(DevicePresetsTest, HugeFilesLoadInSeconds)
{
    constexpr int kDevices = 300000;
    QByteArray many = "<?xml version=\"1.0\"?>\r\n<presets>\r\n";
    many.reserve(32 << 20);
    for (int i = 1; i <= kDevices; ++i)
        many += "  <device><id>" + QByteArray::number(i) + "</id><name>Device Number " + QByteArray::number(i) +
                "</name><params>-c:v libx264 -b:v 1000k</params><extension>mp4</extension></device>\r\n";
    many += "</presets>\r\n";
    ASSERT_GT(many.size(), 25 << 20);

    // Half a million stray marks: each must be passed once, not searched past again and again.
    constexpr int kMarks = 500000;
    QByteArray strayClosings = "<presets>" + QByteArray(kMarks * 9, ' ');
    for (int i = 0; i < kMarks; ++i)
        memcpy(strayClosings.data() + 9 + i * 9, "</device>", 9);
    strayClosings += "<device><id>7</id></device></presets>";
    QByteArray unterminated = "<presets>";
    for (int i = 0; i < kMarks; ++i)
        unterminated += "<device>";
    unterminated += "<id>8</id></device>";

    struct Case { const char* what; QByteArray bytes; int count; int lastId; };
    const Case cases[] = {
        {"many devices", many, kDevices, kDevices},
        {"stray closing marks", strayClosings, 1, 7},
        {"unterminated elements", unterminated, 1, 8},
    };
    for (const Case& c : cases) {
        const QString path = Write(c.bytes, "huge.xml");
        QElapsedTimer timer;
        timer.start();
        const TDevicePresets presets(path);
        EXPECT_LT(timer.elapsed(), 30000) << c.what;
        ASSERT_EQ(presets.Count(), c.count) << c.what;
        EXPECT_EQ(presets.Device(c.count - 1)->ID, c.lastId) << c.what;
    }
}

}  // namespace
