#pragma once
// The user's locale as the language choice needs it: the English name of the user's language
// and the international dialling code of the user's country.
#include <QString>

#include <optional>

namespace ondrava {

struct LocaleInfo {
    // English name of the language ("Russian", "German"); empty when the locale names none.
    QString languageName;
    // International dialling code as decimal text ("7", "380"); empty when the country is
    // unknown or not in the table.
    QString countryCode;
};

// The locale in force: the system's, unless a test has set one.
LocaleInfo UserLocale();

// Replaces the system's locale for UserLocale; nullopt restores the system's.
void SetLocaleForTesting(std::optional<LocaleInfo> locale);

// The dialling code of a territory given as its two-letter ISO code ("US", "UA"); 0 when the
// table does not hold it.
int DiallingCode(const QString& territoryCode);

}  // namespace ondrava
