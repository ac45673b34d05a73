#include "common/TextDecoding.h"

#include <gtest/gtest.h>

using namespace ondrava;

namespace {

// "Язык=1" with a character outside the basic plane, in each encoding.
const QString kText = QStringLiteral("Язык=1 \U0001F600");

QByteArray Utf16(const QString& text, bool bigEndian)
{
    QByteArray bytes;
    for (QChar c : text) {
        const char hi = char(c.unicode() >> 8);
        const char lo = char(c.unicode() & 0xFF);
        bytes.append(bigEndian ? hi : lo);
        bytes.append(bigEndian ? lo : hi);
    }
    return bytes;
}

struct DecodeCase {
    const char* name;
    QByteArray bytes;
    QString expected;
};

TEST(DecodeTextFile, ByteOrderMarks)
{
    const QByteArray utf8Bom("\xEF\xBB\xBF");
    const QByteArray leBom("\xFF\xFE");
    const QByteArray beBom("\xFE\xFF");
    const DecodeCase cases[] = {
        {"UTF-8", utf8Bom + kText.toUtf8(), kText},
        {"UTF-16 LE", leBom + Utf16(kText, false), kText},
        {"UTF-16 BE", beBom + Utf16(kText, true), kText},
        {"UTF-8 mark only", utf8Bom, QString()},
        {"UTF-16 LE mark only", leBom, QString()},
        {"UTF-16 BE mark only", beBom, QString()},
        // Only the leading mark is dropped.
        {"second mark stays", utf8Bom + utf8Bom + QByteArray("a"), QString(QChar(0xFEFF)) + QLatin1Char('a')},
        {"LE mark then LE mark", leBom + leBom + Utf16(QStringLiteral("a"), false),
         QString(QChar(0xFEFF)) + QLatin1Char('a')},
    };
    for (const DecodeCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(DecodeTextFile(c.bytes), c.expected);
    }
}

TEST(DecodeTextFile, WithoutMarkUsesTheLocaleEncoding)
{
    EXPECT_EQ(DecodeTextFile(QByteArray("[Main]\r\nkey=value")), QStringLiteral("[Main]\r\nkey=value"));
    const QByteArray local = kText.toLocal8Bit();
    EXPECT_EQ(DecodeTextFile(local), QString::fromLocal8Bit(local));
    EXPECT_TRUE(DecodeTextFile(QByteArray()).isEmpty());
    // A lone first byte of a mark is ordinary text.
    EXPECT_EQ(DecodeTextFile(QByteArray("\xFF" "a")), QString::fromLocal8Bit("\xFF" "a"));
}

}  // namespace
