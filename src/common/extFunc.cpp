#include "common/extFunc.h"

#include "common/Convert.h"
#include "platform/Sound.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace ondrava {

QString GetTagText(QString& text, const QString& tag, bool remove)
{
    const QString open = QLatin1Char('<') + tag + QLatin1Char('>');
    const QString close = QLatin1String("</") + tag + QLatin1Char('>');
    const qsizetype o = text.indexOf(open);
    const qsizetype c = text.indexOf(close);
    if (o >= 0 && o < c) {
        const qsizetype start = o + open.size();
        QString result = text.mid(start, c - start);
        if (remove)
            text.remove(o, c + close.size() - o);
        return result;
    }
    const QString empty = QLatin1Char('<') + tag + QLatin1String("/>");
    if (remove) {
        const qsizetype e = text.indexOf(empty);
        if (e >= 0)
            text.remove(e, empty.size());
    }
    return {};
}

namespace {

void ReplaceFirst(QString& text, QLatin1String placeholder, const QString& value)
{
    const qsizetype p = text.indexOf(placeholder);
    if (p >= 0)
        text.replace(p, placeholder.size(), value);
}

// Characters 0..32 count as blanks at the ends of a line.
QString TrimBlanks(const QString& line)
{
    qsizetype begin = 0;
    qsizetype end = line.size();
    while (begin < end && line.at(begin).unicode() <= 32)
        ++begin;
    while (end > begin && line.at(end - 1).unicode() <= 32)
        --end;
    if (begin == 0 && end == line.size())
        return line;
    return line.mid(begin, end - begin);
}

// A folder or a dangling link of that name is as much in the way as a file.
bool NameTaken(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

}  // namespace

QString FillPlaceholders(const QString& pattern, const QString& s1, const QString& s2,
                         const QString& s3, const QString& s4)
{
    QString result = pattern;
    ReplaceFirst(result, QLatin1String("%1"), s1);
    if (!s2.isEmpty())
        ReplaceFirst(result, QLatin1String("%2"), s2);
    if (!s3.isEmpty())
        ReplaceFirst(result, QLatin1String("%3"), s3);
    if (!s4.isEmpty())
        ReplaceFirst(result, QLatin1String("%4"), s4);
    return result;
}

void StripComments(QStringList& lines)
{
    // Kept lines move down over the dropped ones in one pass; the tail is cut once at the end.
    const QLatin1String comment("//");
    qsizetype kept = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = TrimBlanks(lines.at(i));
        if (line.isEmpty() || line.startsWith(comment))
            continue;
        const qsizetype c = line.indexOf(comment);
        if (c > 0)
            line.truncate(c);
        lines[kept++] = std::move(line);
    }
    lines.resize(kept);
}

void PlaySoundFile(const QString& fileName, bool enabled)
{
    if (!enabled)
        return;
    try {
        if (SoundPlayer* player = CurrentSoundPlayer())
            player->Play(fileName);
    } catch (...) {
        // A sound is a courtesy; failing to play it must not disturb the caller.
    }
}

QString MakeUniqueFileName(const QString& fileName)
{
    const qsizetype nameStart = fileName.lastIndexOf(QLatin1Char('/')) + 1;
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    const bool hasExt = dot >= nameStart;
    const QString ext = hasExt ? fileName.mid(dot) : QString();
    QString base = hasExt ? fileName.left(dot) : fileName;

    qint64 n = 1;
    const qsizetype open = base.indexOf(QLatin1Char('['));
    if (base.endsWith(QLatin1Char(']')) && base.count(QLatin1Char(']')) == 1 && open >= 0) {
        // A number reads when two different defaults give the same value.
        const QString digits = base.mid(open + 1, base.size() - open - 2);
        const int k = StrToIntDef(digits, 0);
        if (k == StrToIntDef(digits, 1)) {
            n = qint64(k) + 1;
            base.truncate(open);
        }
    }

    QString trial = fileName;
    while (NameTaken(trial)) {
        trial = base + QLatin1Char('[') + QString::number(n) + QLatin1Char(']') + ext;
        ++n;
    }
    return trial;
}

QString GetSpecialFolderPath(int folder)
{
    constexpr int kAppData = 26;
    if (folder != kAppData)
        return {};
    QString path = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (path.isEmpty() || !QDir().mkpath(path))
        return {};
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

}  // namespace ondrava
