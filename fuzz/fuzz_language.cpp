// A language file, whole, as the program reads it, then looked up like the window does; and
// the comment stripping of its lines on its own.
#include "FuzzSupport.h"
#include "common/extFunc.h"
#include "i18n/Language.h"

namespace {

void CheckStripComments(const QString& text)
{
    using namespace ondrava;
    QStringList lines = text.split(QLatin1Char('\n'));
    const qsizetype before = lines.size();
    StripComments(lines);
    FUZZ_CHECK(lines.size() <= before);
    for (const QString& line : lines) {
        FUZZ_CHECK(!line.isEmpty());
        FUZZ_CHECK(line.at(0).unicode() > 32);
        FUZZ_CHECK(!line.contains(QLatin1String("//")));
    }
    // Stripping what is already stripped changes nothing but trailing blanks before a comment.
    QStringList again = lines;
    StripComments(again);
    FUZZ_CHECK(again.size() == lines.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace ondrava;
    const QString file = fuzz::WriteScratchFile(QStringLiteral("lang.lng"), fuzz::BytesOf(data, size));
    TLanguage language;
    language.LoadLanguage(file);

    const TLanguageSections sections[] = {
        TLanguageSections::lsGeneral,         TLanguageSections::lsMainMenu,
        TLanguageSections::lsMainForm,        TLanguageSections::lsGeneralMessages,
        TLanguageSections::lsOptionsForm,     TLanguageSections::lsOtherForms};
    const QString ids[] = {QStringLiteral("CHARSET"), QStringLiteral("12011"), QStringLiteral("1"),
                           QString(), QStringLiteral("=")};
    for (const TLanguageSections section : sections) {
        for (const QString& id : ids) {
            const QString value = language.Get(section, id);
            // A value ends at its line's end.
            FUZZ_CHECK(!value.contains(QLatin1String("\r\n")));
        }
    }
    // The key of a section's first line finds the rest of that line.
    const struct {
        TLanguageSections section;
        const QStringList& lines;
    } read[] = {{TLanguageSections::lsMainMenu, language.SLMainMenu},
                {TLanguageSections::lsMainForm, language.SLMainForm},
                {TLanguageSections::lsGeneralMessages, language.SLGeneralMessages}};
    for (const auto& [section, lines] : read) {
        if (lines.isEmpty())
            continue;
        const QString& first = lines.first();
        const qsizetype eq = first.indexOf(QLatin1Char('='));
        if (eq >= 0)
            FUZZ_CHECK(language.Get(section, first.left(eq)) == first.mid(eq + 1));
    }

    CheckStripComments(fuzz::TextOf(data, size));
    return 0;
}
