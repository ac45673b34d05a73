#pragma once
// Values of the product that do not depend on the language: the version, the support
// address and the rights notice.
#include "app/SiteAddresses.h"

#include <QString>
#include <QUrl>

namespace ondrava {

// The application's title, as the window and the About box show it.
inline QString ProductTitle() { return QStringLiteral("Ondrava"); }

// The running version; the update checker compares replies with it.
inline QString ProductVersion() { return QStringLiteral("0.7.1.37"); }

// The support mailbox lies on the product's site, so a test or private build that points
// the site elsewhere also points the mail there.
inline QString SupportEmail()
{
    QString host = QUrl(SiteUrl()).host();
    if (host.isEmpty())
        host = QUrl(QStringLiteral(ONDRAVA_DEFAULT_SITE_URL)).host();
    return QStringLiteral("support@") + host;
}

inline QString RightsNotice()
{
    return QStringLiteral("\u00A9 2019-2026 Ondrava. All rights reserved.");
}

}  // namespace ondrava
