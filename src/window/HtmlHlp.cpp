#include "window/HtmlHlp.h"

#include "common/Convert.h"
#include "platform/Shell.h"

#include <QUrl>

namespace ondrava {

namespace {

const QString kHelpSuffix = QStringLiteral(".chm");
const QString kTopicMark = QStringLiteral("::");
const QString kStartTopic = QStringLiteral("index.htm");

QString WithoutAnchor(const QString& name)
{
    const qsizetype hash = name.indexOf(QLatin1Char('#'));
    return hash < 0 ? name : name.left(hash);
}

QString AnchorOf(const QString& name)
{
    const qsizetype hash = name.indexOf(QLatin1Char('#'));
    return hash < 0 ? QString() : name.mid(hash + 1);
}

}  // namespace

QString HtmlHelpPath(const QString& programDir, const QString& helpName)
{
    const qsizetype mark = helpName.indexOf(kTopicMark);
    const QString file = mark < 0 ? helpName : helpName.left(mark);
    QString topic = mark < 0 ? QString() : helpName.mid(mark + kTopicMark.size());
    while (topic.startsWith(QLatin1Char('/')))
        topic.remove(0, 1);

    if (!AsciiLower(file).endsWith(kHelpSuffix))
        return programDir + WithoutAnchor(helpName);
    const QString folder = file.left(file.size() - kHelpSuffix.size());
    if (WithoutAnchor(topic).isEmpty())
        topic = kStartTopic + (topic.isEmpty() ? QString() : topic);  // "#anchor" alone
    return programDir + folder + QLatin1Char('/') + WithoutAnchor(topic);
}

void ShowHtmlHelp(const QString& programDir, const QString& helpName, const void*)
{
    QUrl url = QUrl::fromLocalFile(HtmlHelpPath(programDir, helpName));
    const qsizetype mark = helpName.indexOf(kTopicMark);
    const QString anchor = AnchorOf(mark < 0 ? helpName : helpName.mid(mark));
    if (!anchor.isEmpty())
        url.setFragment(anchor);
    CurrentShell().OpenUrl(url);
}

}  // namespace ondrava
