#include "i18n/Language.h"

#include "common/Convert.h"
#include "common/Error.h"
#include "common/TextDecoding.h"
#include "common/extFunc.h"

#include <QFile>
#include <QFileInfo>

#include <exception>

namespace ondrava {

namespace {

const QString kLineBreak = QStringLiteral("\r\n");

// CR LF, LF alone and CR alone all end a line; a break at the very end adds no empty line.
QStringList SplitLines(const QString& text)
{
    const auto* const data = reinterpret_cast<const char16_t*>(text.constData());
    const qsizetype size = text.size();
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t ch = data[i];
        if (ch != u'\r' && ch != u'\n')
            continue;
        lines.append(QString(reinterpret_cast<const QChar*>(data + start), i - start));
        if (ch == u'\r' && i + 1 < size && data[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < size)
        lines.append(QString(reinterpret_cast<const QChar*>(data + start), size - start));
    return lines;
}

// Every line followed by CR LF, the last one too.
QString JoinLines(const QStringList& lines)
{
    qsizetype total = 0;
    for (const QString& line : lines)
        total += line.size() + kLineBreak.size();
    QString text;
    text.reserve(total);
    for (const QString& line : lines) {
        text += line;
        text += kLineBreak;
    }
    return text;
}

}  // namespace

TLanguage::TLanguage() = default;

bool TLanguage::LoadLanguage(const QString& fileName)
{
    const QFileInfo info(fileName);
    if (fileName.isEmpty() || !info.exists() || info.isDir())
        return false;

    QStringList lines = SplitLines(DecodeTextFile(ReadWholeFile(fileName)));
    StripComments(lines);

    bool result = true;
    if (!ExtractSection(lines, SLMainMenu, QStringLiteral("MainMenu")))
        result = false;
    if (!ExtractSection(lines, SLMainForm, QStringLiteral("MainForm")))
        result = false;
    if (!ExtractSection(lines, SLGeneralMessages, QStringLiteral("GeneralMessages")))
        result = false;

    const QString charset = Get(TLanguageSections::lsGeneral, QStringLiteral("CHARSET"));
    Charset = charset.isEmpty() ? 1 : StrToIntDef(charset, 1);
    return result;
}

QString TLanguage::Get(TLanguageSections section, const QString& idStr) const
{
    switch (section) {
    case TLanguageSections::lsGeneral: return FindValue(SLGeneral, idStr);
    case TLanguageSections::lsMainMenu: return FindValue(SLMainMenu, idStr);
    case TLanguageSections::lsMainForm: return FindValue(SLMainForm, idStr);
    case TLanguageSections::lsGeneralMessages: return FindValue(SLGeneralMessages, idStr);
    case TLanguageSections::lsOptionsForm: return FindValue(SLOptionsForm, idStr);
    case TLanguageSections::lsOtherForms: return FindValue(SLOtherForms, idStr);
    }
    return {};
}

bool TLanguage::ExtractSection(const QStringList& source, QStringList& target, const QString& name)
{
    try {
        const QString text = JoinLines(source);
        const QString opening = QLatin1Char('<') + name + QLatin1Char('>') + kLineBreak;
        const QString closing = QLatin1String("</") + name + QLatin1Char('>');
        const qsizetype a = text.indexOf(opening);
        const qsizetype b = text.indexOf(closing);
        if (a < 0)
            return false;
        const qsizetype start = a + opening.size();
        // A closing mark right after the opening line, before it, or nowhere: no section.
        if (b < 0 || start >= b)
            return false;
        QStringList lines = text.mid(start, b - start).split(kLineBreak);
        if (!lines.isEmpty() && lines.constLast().isEmpty())
            lines.removeLast();
        target = std::move(lines);
        return true;
    } catch (const std::exception&) {
        target.clear();
        return false;
    }
}

QString TLanguage::FindValue(const QStringList& list, const QString& idStr)
{
    // A plain search over the section text, so "9" + "12011=" matches a lookup of 12011 too.
    const QString text = JoinLines(list);
    const QString key = idStr + QLatin1Char('=');
    const qsizetype p = text.indexOf(key);
    if (p < 0)
        return {};
    const qsizetype start = p + key.size();
    const qsizetype end = text.indexOf(kLineBreak, start);
    return end < 0 ? text.mid(start) : text.mid(start, end - start);
}

}  // namespace ondrava
