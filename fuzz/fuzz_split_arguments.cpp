// Option strings of presets and of the command line, split into a child program's arguments.
#include "FuzzSupport.h"
#include "platform/CommandLine.h"

namespace {

bool IsBlank(QChar c) { return c == u' ' || c == u'\t'; }

// Quotes one argument so that the splitting rules give it back unchanged: backslashes are
// doubled only before a quote, and a quote inside is written as a backslash and a quote.
QString Quote(const QString& argument)
{
    bool plain = !argument.isEmpty();
    for (const QChar c : argument)
        if (IsBlank(c) || c == u'"')
            plain = false;
    if (plain)
        return argument;
    QString out = QStringLiteral("\"");
    int backslashes = 0;
    for (const QChar c : argument) {
        if (c == u'\\') {
            ++backslashes;
            continue;
        }
        if (c == u'"') {
            out += QString(backslashes * 2 + 1, u'\\');
            out += u'"';
        } else {
            out += QString(backslashes, u'\\');
            out += c;
        }
        backslashes = 0;
    }
    out += QString(backslashes * 2, u'\\');
    out += u'"';
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace ondrava;
    const QString text = fuzz::TextOf(data, size);
    const QStringList arguments = SplitWindowsArguments(text);

    // Without quotes or backslashes the text is simply cut at runs of blanks.
    if (!text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\\'))) {
        QStringList words;
        QString word;
        bool inWord = false;
        for (const QChar c : text) {
            if (IsBlank(c)) {
                if (inWord)
                    words << word;
                word.clear();
                inWord = false;
            } else {
                word += c;
                inWord = true;
            }
        }
        if (inWord)
            words << word;
        FUZZ_CHECK(arguments == words);
    }

    // Whatever came out, quoted again and split again, comes out the same.
    QStringList quoted;
    for (const QString& argument : arguments)
        quoted << Quote(argument);
    FUZZ_CHECK(SplitWindowsArguments(quoted.join(QLatin1Char(' '))) == arguments);
    return 0;
}
