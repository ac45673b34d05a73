#pragma once
// The settings store: named string values kept per program name in
// $XDG_CONFIG_HOME/Zelt/<name>.conf (QSettings, native format), so that the converter and the
// download managers share one another's values.
#include <QString>

namespace ondrava {

class TZeltRegistry {
public:
    // "Ondrava" and "\Ondrava" address the same store. In INI mode the values live in the
    // section named ProgName (backslash included) of iniFileName; an empty iniFileName gives
    // no INI file and the store keeps to the settings file.
    explicit TZeltRegistry(const QString& programName, bool useIniFile = false, const QString& iniFileName = {});

    // Writes at once. False when the store's folder cannot be created; a write the store
    // refuses throws ondrava::Error("Failed to set data for '<name>'").
    bool WriteStringPar(const QString& name, const QString& value, bool toRegistryOnly = false);
    // The stored text, or empty when it is missing. Sees what other programs wrote since.
    // A value that is not a string throws ondrava::Error("Invalid data type for '<name>'").
    QString ReadStringPar(const QString& name, bool fromRegistryOnly = false) const;
    // Whether the value existed and was removed.
    bool DeleteStringPar(const QString& name);

    QString ProgName, CurrentZeltKey;
    bool UseIniFile = false;
    QString IniFileName, IniFileSection;

    QString FileName() const;  // the settings file this store reads and writes

private:
    bool HasIniFile = false;
};

}  // namespace ondrava
