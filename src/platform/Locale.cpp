#include "platform/Locale.h"

#include <QLocale>

#include <utility>

namespace ondrava {

namespace {

std::optional<LocaleInfo>& LocaleOverride()
{
    static std::optional<LocaleInfo> locale;
    return locale;
}

struct TerritoryCode {
    const char* iso;
    int code;
};

// Every country whose language the program knows by its dialling code, and the common others.
constexpr TerritoryCode kDiallingCodes[] = {
    {"US", 1},   {"CA", 1},   {"RU", 7},   {"KZ", 7},   {"EG", 20},  {"ZA", 27},  {"GR", 30},
    {"NL", 31},  {"BE", 32},  {"FR", 33},  {"ES", 34},  {"HU", 36},  {"IT", 39},  {"RO", 40},
    {"CH", 41},  {"AT", 43},  {"GB", 44},  {"DK", 45},  {"SE", 46},  {"NO", 47},  {"PL", 48},
    {"DE", 49},  {"PE", 51},  {"MX", 52},  {"CU", 53},  {"AR", 54},  {"BR", 55},  {"CL", 56},
    {"CO", 57},  {"VE", 58},  {"MY", 60},  {"AU", 61},  {"ID", 62},  {"PH", 63},  {"NZ", 64},
    {"SG", 65},  {"TH", 66},  {"JP", 81},  {"KR", 82},  {"VN", 84},  {"CN", 86},  {"TR", 90},
    {"IN", 91},  {"PK", 92},  {"IR", 98},  {"MA", 212}, {"DZ", 213}, {"TN", 216}, {"NG", 234},
    {"PT", 351}, {"LU", 352}, {"IE", 353}, {"IS", 354}, {"AL", 355}, {"MT", 356}, {"CY", 357},
    {"FI", 358}, {"BG", 359}, {"LT", 370}, {"LV", 371}, {"EE", 372}, {"MD", 373}, {"AM", 374},
    {"BY", 375}, {"UA", 380}, {"RS", 381}, {"ME", 382}, {"HR", 385}, {"SI", 386}, {"BA", 387},
    {"MK", 389}, {"CZ", 420}, {"SK", 421}, {"HK", 852}, {"TW", 886}, {"AE", 971}, {"IL", 972},
    {"SA", 966}, {"TJ", 992}, {"TM", 993}, {"AZ", 994}, {"GE", 995}, {"KG", 996}, {"UZ", 998},
};

LocaleInfo SystemLocale()
{
    const QLocale locale = QLocale::system();
    LocaleInfo info;
    // The "C" locale of a bare environment names no language: its name would match any
    // language file that begins with "C".
    if (locale.language() != QLocale::C && locale.language() != QLocale::AnyLanguage)
        info.languageName = QLocale::languageToString(locale.language());
    const int code = DiallingCode(QLocale::territoryToCode(locale.territory()));
    if (code > 0)
        info.countryCode = QString::number(code);
    return info;
}

}  // namespace

LocaleInfo UserLocale()
{
    if (LocaleOverride())
        return *LocaleOverride();
    return SystemLocale();
}

void SetLocaleForTesting(std::optional<LocaleInfo> locale)
{
    LocaleOverride() = std::move(locale);
}

int DiallingCode(const QString& territoryCode)
{
    for (const TerritoryCode& t : kDiallingCodes) {
        if (territoryCode.compare(QLatin1String(t.iso), Qt::CaseInsensitive) == 0)
            return t.code;
    }
    return 0;
}

}  // namespace ondrava
