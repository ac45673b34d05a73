#include "platform/CommandLine.h"

namespace ondrava {

namespace {
bool IsBlank(QChar c) { return c == u' ' || c == u'\t'; }
}  // namespace

QStringList SplitWindowsArguments(const QString& text)
{
    QStringList result;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && IsBlank(text[i]))
        ++i;
    if (i >= n)
        return result;

    QString current;
    int backslashes = 0;  // run of backslashes just copied to `current`
    int quotes = 0;       // odd while inside a group; counts a run of quotes
    while (i < n) {
        const QChar c = text[i];
        if (IsBlank(c) && quotes == 0) {
            result << current;
            current.clear();
            backslashes = 0;
            while (i < n && IsBlank(text[i]))
                ++i;
            if (i >= n)
                return result;
        } else if (c == u'\\') {
            current += c;
            ++backslashes;
            ++i;
        } else if (c == u'"') {
            if (backslashes % 2 == 0) {
                // Half the backslashes stay; the quote opens or closes a group.
                current.chop(backslashes / 2);
                ++quotes;
            } else {
                // Half the backslashes stay, the last one makes the quote literal.
                current.chop(backslashes / 2 + 1);
                current += u'"';
            }
            backslashes = 0;
            ++i;
            // A run of quotes: every third one is a literal quote, "" inside a group
            // gives a quote and ends the group.
            while (i < n && text[i] == u'"') {
                if (++quotes == 3) {
                    current += u'"';
                    quotes = 0;
                }
                ++i;
            }
            if (quotes == 2)
                quotes = 0;
        } else {
            current += c;
            backslashes = 0;
            ++i;
        }
    }
    result << current;
    return result;
}

}  // namespace ondrava
