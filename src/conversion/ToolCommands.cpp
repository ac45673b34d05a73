#include "conversion/ToolCommands.h"

#include <QFileInfo>

namespace ondrava {

namespace {

QString ToolPath(const QString& programDir)
{
    QString dir = programDir;
    while (dir.endsWith(u'/'))
        dir.chop(1);
    return dir + QStringLiteral("/ffmpeg");
}

QString Quoted(const QString& text) { return u'"' + text + u'"'; }

}  // namespace

QString LocalFileArgument(const QString& path)
{
    if (path.isEmpty())
        return path;
    const QFileInfo info(path);
    return info.isAbsolute() ? path : info.absoluteFilePath();
}

CommandLine ProbeCommandLine(const QString& programDir, const QString& sourceFile)
{
    const QString tool = ToolPath(programDir);
    const QString source = LocalFileArgument(sourceFile);
    CommandLine cmd;
    cmd.program = tool;
    cmd.arguments = {QStringLiteral("-i"), source};
    // The tool only reports on the source; the display form has no closing quote.
    cmd.text = tool + QStringLiteral(" -i \"") + source;
    return cmd;
}

CommandLine ConversionCommandLine(const QString& programDir, const QString& progressFile,
                                  const QString& sourceFile, const QString& options,
                                  const QString& outputFile)
{
    const QString tool = ToolPath(programDir);
    const QString progress = LocalFileArgument(progressFile);
    const QString source = LocalFileArgument(sourceFile);
    const QString output = LocalFileArgument(outputFile);
    CommandLine cmd;
    cmd.program = tool;
    cmd.arguments = QStringList{QStringLiteral("-progress"), progress, QStringLiteral("-i"), source}
                    + SplitWindowsArguments(options) + QStringList{output};
    cmd.text = tool + QStringLiteral(" -progress ") + Quoted(progress) + QStringLiteral(" -i ") +
               Quoted(source) + options + u' ' + Quoted(output);
    return cmd;
}

}  // namespace ondrava
