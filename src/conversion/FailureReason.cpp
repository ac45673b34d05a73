#include "conversion/FailureReason.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace ondrava {

namespace {

const QString kNoSpace = QStringLiteral("No space left on device");

bool IsProgressLine(const QString& line)
{
    return line.startsWith(QLatin1String("frame=")) || line.startsWith(QLatin1String("size=")) ||
           line.startsWith(QLatin1String("video:")) || line.startsWith(QLatin1String("Press [q]"));
}

// The tool names a file it could not open as "<path>: <reason>"; the reason, or empty.
QString ComplaintAbout(const QStringList& lines, const QString& path)
{
    if (path.isEmpty())
        return {};
    const QString prefix = path + QStringLiteral(": ");
    for (auto it = lines.crbegin(); it != lines.crend(); ++it) {
        const qsizetype at = it->lastIndexOf(prefix);
        if (at >= 0 && (at == 0 || it->at(at - 1).isSpace()))
            return it->mid(at + prefix.size()).trimmed();
    }
    return {};
}

QString EncoderNamed(const QStringList& lines)
{
    // "Unknown encoder 'libx264'", "Encoder (codec h264) not found for output stream #0:0",
    // "... Default encoder for format mp4 (codec h264) is probably disabled ..."
    static const QRegularExpression patterns[] = {
        QRegularExpression(QStringLiteral("Unknown encoder '([^']+)'")),
        QRegularExpression(QStringLiteral("Encoder \\(codec ([^)]+)\\) not found")),
        QRegularExpression(QStringLiteral("Default encoder for format \\S+ \\(codec ([^)]+)\\) is probably disabled")),
    };
    for (auto it = lines.crbegin(); it != lines.crend(); ++it) {
        for (const QRegularExpression& re : patterns) {
            const QRegularExpressionMatch m = re.match(*it);
            if (m.hasMatch())
                return m.captured(1);
        }
    }
    return {};
}

bool AnyLineHolds(const QStringList& lines, const QString& text)
{
    for (const QString& line : lines) {
        if (line.contains(text))
            return true;
    }
    return false;
}

}  // namespace

bool IsToolBannerLine(const QString& line)
{
    // "ffmpeg version 5.1.9 ...", "built with gcc 12", "configuration: --prefix=/usr ...",
    // "libavutil      57. 28.100 / 57. 28.100"
    static const QRegularExpression library(
        QStringLiteral("^lib[a-z0-9_]+\\s+\\d+\\.\\s*\\d+\\.\\s*\\d+\\s*/\\s*\\d+\\.\\s*\\d+\\.\\s*\\d+$"));
    const QString trimmed = line.trimmed();
    return trimmed.startsWith(QLatin1String("ffmpeg version ")) || trimmed.startsWith(QLatin1String("built with ")) ||
           trimmed.startsWith(QLatin1String("configuration: ")) || library.match(trimmed).hasMatch();
}

QStringList WithoutToolBanner(const QStringList& lines)
{
    QStringList kept;
    for (const QString& line : lines) {
        if (!IsToolBannerLine(line))
            kept.append(line);
    }
    return kept;
}

QString LastMeaningfulLine(const QStringList& lines)
{
    for (auto it = lines.crbegin(); it != lines.crend(); ++it) {
        const QString line = it->trimmed();
        if (line.isEmpty() || line == QLatin1String("Conversion failed!") || IsToolBannerLine(line))
            continue;
        if (IsProgressLine(line)) {
            // The tool writes an error after the progress figures on the same line.
            static const QRegularExpression after(QStringLiteral("speed=\\s*\\S+\\s{2,}(\\S.*)$"));
            const QRegularExpressionMatch m = after.match(line);
            if (m.hasMatch())
                return m.captured(1).trimmed();
            continue;
        }
        return line;
    }
    return {};
}

bool ToolReportsWriteFailure(const QStringList& lines)
{
    return AnyLineHolds(lines, kNoSpace) || AnyLineHolds(lines, QStringLiteral("Error writing trailer of "));
}

bool IsSoundOnlyOutput(const QString& outputPath)
{
    static const QStringList soundOnly = {
        QStringLiteral("mp3"), QStringLiteral("aac"), QStringLiteral("flac"), QStringLiteral("m4a"),
        QStringLiteral("ogg"), QStringLiteral("oga"), QStringLiteral("opus"), QStringLiteral("wav"),
        QStringLiteral("wma"),
    };
    return soundOnly.contains(QFileInfo(outputPath).suffix().toLower());
}

FailureReason JudgeFailure(const RunFacts& facts)
{
    if (!facts.toolStarted) {
        return {facts.toolExists ? FailureCause::ToolCannotStart : FailureCause::ToolMissing,
                facts.toolPath};
    }
    const QStringList& lines = facts.lastLines;
    if (facts.crashed)
        return {FailureCause::ToolCrashed, {}};
    if (AnyLineHolds(lines, kNoSpace))
        return {FailureCause::DiskFull, {}};

    // The source first: a tool that cannot read its input says nothing else of use.
    const QString aboutSource = ComplaintAbout(lines, facts.sourcePath);
    if (!aboutSource.isEmpty()) {
        if (aboutSource.startsWith(QLatin1String("Invalid data found when processing input")))
            return {FailureCause::SourceNotMedia, facts.sourcePath};
        return {FailureCause::SourceUnreadable, facts.sourcePath};
    }
    const QString encoder = EncoderNamed(lines);
    if (!encoder.isEmpty())
        return {FailureCause::EncoderMissing, encoder};
    if (IsSoundOnlyOutput(facts.outputPath) &&
        AnyLineHolds(lines, QStringLiteral("does not contain any stream")))
        return {FailureCause::SourceHasNoSound, {}};
    const QString aboutOutput = ComplaintAbout(lines, facts.outputPath);
    if (!aboutOutput.isEmpty()) {
        static const QStringList cannotWrite = {
            QStringLiteral("Permission denied"), QStringLiteral("Read-only file system"),
            QStringLiteral("Not a directory"), QStringLiteral("No such file or directory"),
            QStringLiteral("Operation not permitted"), QStringLiteral("Is a directory"),
        };
        for (const QString& reason : cannotWrite) {
            if (aboutOutput.startsWith(reason))
                return {FailureCause::OutputNotWritable, QFileInfo(facts.outputPath).path()};
        }
    }
    const QString said = LastMeaningfulLine(lines);
    if (!said.isEmpty())
        return {FailureCause::ToolSaid, said};
    return {FailureCause::Unexplained, {}};
}

}  // namespace ondrava
