#pragma once
// The product's site: its home pages and update queries. The site comes from ONDRAVA_SITE_URL
// in the environment (tests and CI point it at a loopback address), else from the build's
// default. Header-only so that the window logic and the program entry both reach it without a
// library of their own.
#include <QByteArray>
#include <QString>

namespace ondrava {

// The site without a trailing "/".
inline QString SiteUrl()
{
    QString site = qEnvironmentVariableIsSet("ONDRAVA_SITE_URL")
                       ? qEnvironmentVariable("ONDRAVA_SITE_URL")
                       : QStringLiteral(ONDRAVA_DEFAULT_SITE_URL);
    site = site.trimmed();
    if (site.isEmpty())
        site = QStringLiteral(ONDRAVA_DEFAULT_SITE_URL);
    while (site.endsWith(QLatin1Char('/')))
        site.chop(1);
    return site;
}

// The home page; the Russian one lies under "/ru/".
inline QString HomePageUrl(bool russian)
{
    return SiteUrl() + (russian ? QStringLiteral("/ru/") : QStringLiteral("/"));
}

// The address that answers the update query, one per language group.
inline QString UpdateQueryUrl(bool russian)
{
    return SiteUrl() + (russian ? QStringLiteral("/download/update_ru.php") : QStringLiteral("/download/update.php"));
}

}  // namespace ondrava
