// A failed run says why: the judgement of the tool's end and last lines becomes a reason in
// the window's language, and the status line a link to it.
#include "window/MainF.h"

#include "common/extFunc.h"
#include "conversion/FailureReason.h"
#include "conversion/ToolCommands.h"
#include "i18n/Language.h"
#include "i18n/LanguageTextIds.h"

#include <QFileInfo>

namespace ondrava {

namespace {

const char* TextIdOf(FailureCause cause)
{
    switch (cause) {
    case FailureCause::ToolMissing: return kToolMissingTextId;
    case FailureCause::ToolCannotStart: return kToolCannotStartTextId;
    case FailureCause::SourceUnreadable: return kSourceUnreadableTextId;
    case FailureCause::SourceNotMedia: return kSourceNotMediaTextId;
    case FailureCause::EncoderMissing: return kEncoderMissingTextId;
    case FailureCause::SourceHasNoSound: return kSourceHasNoSoundTextId;
    case FailureCause::OutputNotWritable: return kOutputNotWritableTextId;
    case FailureCause::DiskFull: return kDiskFullTextId;
    case FailureCause::ToolCrashed: return kToolCrashedTextId;
    case FailureCause::ToolSaid:
    case FailureCause::Unexplained: break;
    }
    return nullptr;
}

}  // namespace

QString TMainForm::ExplainFailure(const QString& source, const QString& output)
{
    RunFacts facts;
    facts.toolPath = ProbeCommandLine(ProgramDir, source).program;
    facts.toolStarted = m_lastRunStarted;
    facts.toolExists = QFileInfo::exists(facts.toolPath);
    facts.crashed = m_lastRunCrashed;
    facts.lastLines = m_lastRunLines;
    facts.sourcePath = LocalFileArgument(source);
    facts.outputPath = LocalFileArgument(output);
    const FailureReason judged = JudgeFailure(facts);

    const auto text = [this](const char* id) {
        return Language ? Language->Get(TLanguageSections::lsGeneralMessages, QString::fromLatin1(id))
                        : QString();
    };
    QString reason;
    if (const char* id = TextIdOf(judged.cause))
        reason = FillPlaceholders(text(id), judged.detail);
    // Without the language's words, the tool's own; without those, the outcome itself.
    if (reason.isEmpty())
        reason = judged.cause == FailureCause::ToolSaid ? judged.detail : LastMeaningfulLine(m_lastRunLines);
    if (reason.isEmpty())
        reason = InfoLabel.Caption();

    m_failureText = reason;
    // The tool's version banner often fills its last lines and says nothing of the run.
    const QStringList toolLines = WithoutToolBanner(m_lastRunLines);
    if (!toolLines.isEmpty()) {
        const QString heading = text(kToolLastLinesTextId);
        m_failureText += QStringLiteral("\n\n") + (heading.isEmpty() ? QString() : heading + QLatin1Char('\n')) +
                         toolLines.join(QLatin1Char('\n'));
    }
    InfoLabel.SetHint(m_failureText);
    InfoLabel.SetLink(true);
    return reason;
}

void TMainForm::ClearFailure()
{
    m_failureText.clear();
    InfoLabel.SetHint(QString());
    InfoLabel.SetLink(false);
    InfoLabel.SetUnderlined(false);
}

void TMainForm::InfoLabelClick(TControl*)
{
    if (InfoLabel.IsLink() && !m_failureText.isEmpty())
        Services.ShowWarning(m_failureText);
}

void TMainForm::InfoLabelMouseEnter(TControl*)
{
    if (InfoLabel.IsLink())
        InfoLabel.SetUnderlined(true);
}

void TMainForm::InfoLabelMouseLeave(TControl*)
{
    InfoLabel.SetUnderlined(false);
}

}  // namespace ondrava
