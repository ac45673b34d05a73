#include "common/Convert.h"

#include <limits>

namespace ondrava {

int StrToIntDef(const QString& text, int def)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text[i] == u' ')
        ++i;
    bool negative = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    int base = 10;
    if (i < n && text[i] == u'$') {
        base = 16;
        ++i;
    } else if (i < n && (text[i] == u'x' || text[i] == u'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < n && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
        base = 16;
        i += 2;
    }
    if (i >= n)
        return def;
    // Accumulate in 64 bits and stop as soon as the magnitude leaves the 32-bit range.
    const qint64 limit = negative ? qint64(std::numeric_limits<int>::max()) + 1 : std::numeric_limits<int>::max();
    qint64 value = 0;
    for (; i < n; ++i) {
        const char16_t c = text[i].unicode();
        int digit;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (base == 16 && c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else if (base == 16 && c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        else
            return def;
        value = value * base + digit;
        if (value > limit)
            return def;
    }
    return int(negative ? -value : value);
}

QString AsciiLower(const QString& text)
{
    QString out = text;
    for (QChar& c : out)
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + 32);
    return out;
}

QString AsciiUpper(const QString& text)
{
    QString out = text;
    for (QChar& c : out)
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - 32);
    return out;
}

QString ExtractFileDir(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    return slash < 0 ? QString() : path.left(slash);
}

QString ExtractFileName(const QString& path)
{
    return path.mid(path.lastIndexOf(u'/') + 1);
}

QString ExtractFileExt(const QString& path)
{
    const qsizetype dot = path.lastIndexOf(u'.');
    if (dot <= 0 || path.indexOf(u'/', dot) >= 0)
        return {};
    return path.mid(dot);
}

}  // namespace ondrava
