#pragma once
// The language table: the texts of one language file, per section, looked up by identifier.
#include <QString>
#include <QStringList>

namespace ondrava {

enum class TLanguageSections { lsGeneral, lsMainMenu, lsMainForm, lsGeneralMessages, lsOptionsForm, lsOtherForms };

class TLanguage {
public:
    TLanguage();

    // Reads the sections MainMenu, MainForm and GeneralMessages of a language file. True when
    // the file exists and all three were found; a section the file lacks keeps its old lines.
    // A missing file changes nothing and gives false. A file that exists but cannot be read
    // throws ondrava::Error with the reason.
    bool LoadLanguage(const QString& fileName);

    // The text after the first "idStr=" in the section's lines, up to the end of that line;
    // empty when there is none.
    QString Get(TLanguageSections section, const QString& idStr) const;

    QStringList SLGeneral, SLMainMenu, SLMainForm, SLGeneralMessages, SLOptionsForm, SLOtherForms;
    int Charset = 0;

private:
    static bool ExtractSection(const QStringList& source, QStringList& target, const QString& name);
    static QString FindValue(const QStringList& list, const QString& idStr);
};

}  // namespace ondrava
