// The download manager's settings file as a program not written with Qt reads and writes it,
// by the rules the README gives: the values the converter leaves there decode to the very path
// written, and values written by those rules read back as the manager meant them.
#include "app/RegZelt.h"

#include "support/TestSupport.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <iterator>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace {

using ondrava::TZeltRegistry;

struct PrivateConfig {
    PrivateConfig() { qputenv("XDG_CONFIG_HOME", dir.path().toLocal8Bit()); }
    QTemporaryDir dir;
};
const PrivateConfig config;

QString StoreFile(const QString& name)
{
    return config.dir.path() + QStringLiteral("/Zelt/") + name + QStringLiteral(".conf");
}

// ---- A reader written from the README alone, sharing no code with the settings store ----

int HexValue(QChar c)
{
    const char ch = c.toLatin1();
    if (ch >= '0' && ch <= '9')
        return ch - '0';
    if (ch >= 'a' && ch <= 'f')
        return ch - 'a' + 10;
    if (ch >= 'A' && ch <= 'F')
        return ch - 'A' + 10;
    return -1;
}

QString DecodeValue(const QByteArray& raw)
{
    QString text = QString::fromUtf8(raw);
    if (text.size() >= 2 && text.startsWith(QLatin1Char('"')) && text.endsWith(QLatin1Char('"')))
        text = text.mid(1, text.size() - 2);
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\\') || i + 1 == text.size()) {
            out += c;
            continue;
        }
        const char next = text.at(++i).toLatin1();
        switch (next) {
        case 'n': out += QLatin1Char('\n'); break;
        case 't': out += QLatin1Char('\t'); break;
        case 'r': out += QLatin1Char('\r'); break;
        case 'a': out += QLatin1Char('\a'); break;
        case 'b': out += QLatin1Char('\b'); break;
        case 'f': out += QLatin1Char('\f'); break;
        case 'v': out += QLatin1Char('\v'); break;
        case 'x': {
            uint code = 0;
            while (i + 1 < text.size() && HexValue(text.at(i + 1)) >= 0)
                code = code * 16 + uint(HexValue(text.at(++i)));
            out += QChar(char16_t(code));
            break;
        }
        default: out += text.at(i);  // \\ and \" stand for themselves
        }
    }
    return out;
}

// The value of key in the [General] group of a settings file, or a null string.
QString ReadValue(const QString& file, const QByteArray& key)
{
    bool general = false;
    for (const QByteArray& line : testsupport::ReadFile(file).split('\n')) {
        if (line.startsWith('['))
            general = line == "[General]";
        else if (general && line.startsWith(key + '='))
            return DecodeValue(line.mid(key.size() + 1));
    }
    return QString();
}

// ---- A writer by the README's rule: in double quotes, "\" and the double quote escaped ----

QByteArray EncodeValue(const QString& value)
{
    QByteArray out = "\"";
    for (const char ch : value.toUtf8()) {
        if (ch == '\\' || ch == '"')
            out += '\\';
        out += ch;
    }
    return out + '"';
}

const QString kAwkwardPaths[] = {
    QStringLiteral("/home/user/Videos/clip.mp4"),
    QStringLiteral("/home/user/Videos/a, b; c=d.mp4"),
    QStringLiteral("/home/user/say \"hi\" \\ back.mp4"),
    QStringLiteral("/home/user/Видео/клип ü 😀.mp4"),
    QStringLiteral("/home/user/ends in a blank "),
    QStringLiteral("/home/user/#not a comment [x] @y.mp4"),
    QStringLiteral("/tmp/line\nbreak\ttab\x01" "1 control.mp4"),
};

TEST(CallerStoreFormatTest, TheConvertersValuesDecodeByTheDocumentedRules)
{
    TZeltRegistry store(QStringLiteral("Parvel"));
    int n = 0;
    for (const QString& path : kAwkwardPaths) {
        SCOPED_TRACE(path.toStdString());
        const QByteArray key = "conv_for_" + QByteArray::number(++n);
        ASSERT_TRUE(store.WriteStringPar(QString::fromLatin1(key), path));
        EXPECT_EQ(ReadValue(StoreFile(QStringLiteral("Parvel")), key), path);
    }
    // Every value stays on its own line.
    const QByteArray text = testsupport::ReadFile(StoreFile(QStringLiteral("Parvel")));
    EXPECT_EQ(text.count('\n'), qsizetype(std::size(kAwkwardPaths)) + 1) << text.toStdString();
}

TEST(CallerStoreFormatTest, TheManagersValuesWrittenByTheRulesReadBackAsMeant)
{
    QDir().mkpath(config.dir.path() + QStringLiteral("/Zelt"));
    QByteArray file = "[General]\nApplicationHandle=4242\n";
    int n = 0;
    for (const QString& path : kAwkwardPaths) {
        if (path.contains(QLatin1Char('\n')) || path.contains(QChar(1)))
            continue;  // a control character needs an escape of its own; programs' paths have none
        file += "ExeFile" + QByteArray::number(++n) + "=" + EncodeValue(path) + "\n";
    }
    testsupport::WriteFile(StoreFile(QStringLiteral("Tessly")), file);

    TZeltRegistry store(QStringLiteral("Tessly"));
    EXPECT_EQ(store.ReadStringPar(QStringLiteral("ApplicationHandle")), QStringLiteral("4242"));
    n = 0;
    for (const QString& path : kAwkwardPaths) {
        if (path.contains(QLatin1Char('\n')) || path.contains(QChar(1)))
            continue;
        EXPECT_EQ(store.ReadStringPar(QStringLiteral("ExeFile") + QString::number(++n)), path);
    }

    // The converter's own write keeps the manager's values, and they still read as meant.
    ASSERT_TRUE(store.WriteStringPar(QStringLiteral("conv_for_9"), QStringLiteral("/tmp/out.mp4")));
    EXPECT_EQ(ReadValue(StoreFile(QStringLiteral("Tessly")), "ApplicationHandle"), QStringLiteral("4242"));
    EXPECT_EQ(ReadValue(StoreFile(QStringLiteral("Tessly")), "ExeFile2"), kAwkwardPaths[1]);
    EXPECT_EQ(ReadValue(StoreFile(QStringLiteral("Tessly")), "conv_for_9"), QStringLiteral("/tmp/out.mp4"));
}

TEST(CallerStoreFormatTest, AnUnquotedCommaOrSemicolonIsNotAPath)
{
    // The two mistakes the README warns of: a comma makes a list (no value the converter can
    // use), a semicolon starts a comment.
    QDir().mkpath(config.dir.path() + QStringLiteral("/Zelt"));
    testsupport::WriteFile(StoreFile(QStringLiteral("Mistakes")),
                           "[General]\nExeFile=/opt/a, b/manager\nOther=/opt/a;b/manager\n");
    TZeltRegistry store(QStringLiteral("Mistakes"));
    EXPECT_THROW(store.ReadStringPar(QStringLiteral("ExeFile")), std::exception);
    EXPECT_EQ(store.ReadStringPar(QStringLiteral("Other")), QStringLiteral("/opt/a"));
}

}  // namespace
