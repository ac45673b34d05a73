// The product's site: the build's default is an https address, so that the update query and
// its offer cannot be rewritten on the way; a site named in the environment is taken as it
// is, http included, which is what private servers and every test use.
#include "app/SiteAddresses.h"

#include <QUrl>

#include <gtest/gtest.h>

using namespace ondrava;

namespace {

class SiteAddressesTest : public ::testing::Test {
protected:
    void SetUp() override { saved = qgetenv("ONDRAVA_SITE_URL"); }
    void TearDown() override { qputenv("ONDRAVA_SITE_URL", saved); }
    QByteArray saved;
};

TEST_F(SiteAddressesTest, BuildDefaultIsHttps)
{
    qunsetenv("ONDRAVA_SITE_URL");
    const QUrl site(SiteUrl());
    EXPECT_EQ(site.scheme(), QStringLiteral("https"));
    EXPECT_FALSE(site.host().isEmpty());
    for (const bool russian : {false, true}) {
        EXPECT_TRUE(UpdateQueryUrl(russian).startsWith(QStringLiteral("https://")));
        EXPECT_TRUE(HomePageUrl(russian).startsWith(QStringLiteral("https://")));
    }
    // An empty setting falls back to the same default.
    qputenv("ONDRAVA_SITE_URL", "  ");
    EXPECT_EQ(QUrl(SiteUrl()).scheme(), QStringLiteral("https"));
}

TEST_F(SiteAddressesTest, SiteSettingKeepsItsScheme)
{
    struct Case {
        const char* setting;
        const char* updateQuery;
    };
    const Case cases[] = {
        {"http://127.0.0.1:8080/", "http://127.0.0.1:8080/download/update.php"},
        {" http://updates.lan ", "http://updates.lan/download/update.php"},
        {"https://mirror.example.net//", "https://mirror.example.net/download/update.php"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.setting);
        qputenv("ONDRAVA_SITE_URL", c.setting);
        EXPECT_EQ(UpdateQueryUrl(false), QLatin1String(c.updateQuery));
    }
}

}  // namespace
