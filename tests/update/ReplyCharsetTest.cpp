// Reply bodies become text by the character set their Content-Type declares, else UTF-8.
#include "update/ReplyCharset.h"

#include <gtest/gtest.h>

using namespace ondrava;

namespace {

struct CharsetCase {
    const char* contentType;
    QByteArray body;
    QString expected;
};

TEST(ReplyCharsetTest, DecodesByTheDeclaredCharset)
{
    const QByteArray privetUtf8 = QStringLiteral(u"Привет").toUtf8();
    const CharsetCase cases[] = {
        {"text/plain; charset=windows-1251", "\xcf\xf0\xe8\xe2\xe5\xf2", QStringLiteral(u"Привет")},
        {"text/html;CHARSET=\"KOI8-R\"", "\xf0\xd2\xc9\xd7\xc5\xd4", QStringLiteral(u"Привет")},
        {"text/plain; format=flowed; charset = iso-8859-1", "caf\xe9", QStringLiteral(u"café")},
        {"text/plain; charset=utf-8", privetUtf8, QStringLiteral(u"Привет")},
        // Nothing declared, or a name nobody knows: UTF-8.
        {"", privetUtf8, QStringLiteral(u"Привет")},
        {"text/xml", privetUtf8, QStringLiteral(u"Привет")},
        {"text/xml; charset=no-such-charset", privetUtf8, QStringLiteral(u"Привет")},
        {"text/xml; charset=", privetUtf8, QStringLiteral(u"Привет")},
    };
    for (const CharsetCase& c : cases)
        EXPECT_EQ(DecodeReplyBody(c.body, c.contentType), c.expected) << c.contentType;
}

TEST(ReplyCharsetTest, FindsOnlyTheCharsetParameter)
{
    EXPECT_EQ(CharsetOfContentType("text/html; charset=\"utf-8\""), QByteArray("utf-8"));
    EXPECT_EQ(CharsetOfContentType("charset=koi8-r"), QByteArray());  // the media type, not a parameter
    EXPECT_EQ(CharsetOfContentType("text/html; xcharset=koi8-r"), QByteArray());
}

}  // namespace
