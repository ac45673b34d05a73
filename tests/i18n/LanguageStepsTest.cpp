// The window's language: the start-up choice and its narrowing, the list of language files,
// the texts put into the controls, the Language menu and its check marks.
#include "app/StartupFixture.h"

#include "common/Error.h"
#include "i18n/Language.h"
#include "i18n/LanguageTextIds.h"
#include "update/CheckUpdate.h"

#include <QLocale>

#include <functional>

using namespace ondrava;
using namespace ondrava::test;

namespace {

QStringList Captions(const TMenuItem* menu)
{
    QStringList captions;
    if (menu) {
        for (const auto& item : menu->Items)
            captions << item->Caption();
    }
    return captions;
}

TMenuItem* Entry(TMainForm& f, const QString& caption)
{
    for (const auto& item : f.LanguageMenuItem->Items) {
        if (item->Caption() == caption)
            return item.get();
    }
    return nullptr;
}

}  // namespace

class LanguageStepsTest : public StartupFixture {
protected:
    void Languages(const QStringList& fileNames)
    {
        for (const QString& name : fileNames)
            WriteLanguage(name, name.left(name.indexOf(u'.')));
    }
};

TEST_F(LanguageStepsTest, StartsInEnglishOrRussian)
{
    struct Case {
        const char* name;
        QStringList files;
        QString stored;     // "Language"
        QString installed;  // "InstallLanguage"
        LocaleInfo locale;
        QString expected;   // CurrentLanguage after start-up
        QString defaultLanguage;
    };
    const QStringList enRu = {"English.lng", "Russian.lng"};
    const Case cases[] = {
        {"stored Ukrainian", enRu, "Ukrainian", {}, {"English", "44"}, "Russian", "English"},
        {"stored Belarusian", enRu, "Belarusian", {}, {"English", "44"}, "Russian", "English"},
        {"stored German", enRu, "German", {}, {"Russian", "7"}, "English", "Russian"},
        {"stored russian in lower case", enRu, "russian", {}, {"Russian", "7"}, "English", "Russian"},
        {"locale Russian", enRu, {}, {}, {"Russian", "7"}, "Russian", "Russian"},
        {"locale German with a German file", {"English.lng", "German.lng", "Russian.lng"}, {}, {}, {"German", "49"}, "English", "German"},
        {"no matching name, code 380", enRu, {}, {}, {"Klingon", "380"}, "Russian", "Ukrainian"},
        {"no language name, code 7", enRu, {}, {}, {"", " 7 "}, "Russian", "Russian"},
        {"unknown code", enRu, {}, {}, {"Klingon", "999"}, "English", "English"},
        {"code not a number", enRu, {}, {}, {"Klingon", "7a"}, "English", "English"},
        {"no language file at all", {}, {}, "Russian", {"Russian", "7"}, "English", "English"},
        {"installer's English is ignored", enRu, {}, "English", {"Russian", "7"}, "Russian", "Russian"},
        {"installer's Belarusian", enRu, {}, "Belarusian", {"English", "44"}, "Russian", "Belarusian"},
        {"one file", {"Russian.lng"}, {}, {}, {"Russian", "7"}, "Russian", "Russian"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(SettingsFile());
        QDir(ProgramPath(QStringLiteral("Languages"))).removeRecursively();
        Languages(c.files);
        if (!c.stored.isEmpty())
            Store(QStringLiteral("Language"), c.stored);
        if (!c.installed.isEmpty())
            Store(QStringLiteral("InstallLanguage"), c.installed);
        SetLocaleForTesting(c.locale);

        TMainForm& f = Start();
        EXPECT_TRUE(services.errors.isEmpty());
        EXPECT_EQ(f.GetDefaultLanguage(), c.defaultLanguage);
        EXPECT_EQ(f.CurrentLanguage, c.expected);
        const bool russian = c.expected == QLatin1String("Russian");
        EXPECT_EQ(f.HELP_FILENAME, russian ? QStringLiteral("ondrava_ru.chm") : QStringLiteral("ondrava.chm"));
        EXPECT_EQ(f.HOMEPAGE_LINK, russian ? QStringLiteral("http://127.0.0.1:9/ru/") : QStringLiteral("http://127.0.0.1:9/"));
        EXPECT_EQ(f.MyCheckUpdate->updateInfoURL,
                  (russian ? QStringLiteral("http://127.0.0.1:9/download/update_ru.php")
                           : QStringLiteral("http://127.0.0.1:9/download/update.php")) + QStringLiteral("?i=1"));
        // The texts come from the narrowed language's file, when it exists.
        const bool loaded = c.files.contains(c.expected + QStringLiteral(".lng"));
        EXPECT_EQ(f.N1.Caption(), loaded ? c.expected + QStringLiteral(" 11010") : QString());
        EXPECT_EQ(Captions(f.LanguageMenuItem).size(), c.files.size() >= 2 ? c.files.size() : 0);
        Close();
    }
}

TEST_F(LanguageStepsTest, ListsTheLanguageFilesSorted)
{
    Languages({"russian.lng", "German.LNG", "My.lng.lng", "English.lng", "Ελληνικά.lng", "Čeština.lng"});
    QDir().mkpath(ProgramPath(QStringLiteral("Languages/Folder.lng")));
    testsupport::WriteFile(ProgramPath(QStringLiteral("Languages/.Hidden.lng")), "x");
    testsupport::WriteFile(ProgramPath(QStringLiteral("Languages/notes.txt")), "x");
    testsupport::WriteFile(ProgramPath(QStringLiteral("Languages/Old.lng.bak")), "x");

    // Sorted by the user's locale, whatever the machine's is.
    const QLocale machine;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
    TMainForm& f = Start();
    QStringList list{QStringLiteral("left over")};
    f.GetLanguageList(list);
    EXPECT_EQ(list, QStringList({"Čeština", "English", "German", "My", "russian", "Ελληνικά"}));
    EXPECT_EQ(Captions(f.LanguageMenuItem), list);
    for (const auto& item : f.LanguageMenuItem->Items)
        EXPECT_TRUE(item->OnClick);
    QLocale::setDefault(machine);
}

TEST_F(LanguageStepsTest, AppliesEveryTextAndMessage)
{
    LinkBuildData({QStringLiteral("Languages"), QStringLiteral("presets.xml"), QStringLiteral("images")});
    TMainForm& f = Start();
    ASSERT_EQ(f.CurrentLanguage, QStringLiteral("English"));
    TLanguage english;
    ASSERT_TRUE(english.LoadLanguage(ProgramPath(QStringLiteral("Languages/English.lng"))));
    const auto text = [&english](const char* section, const char* id) {
        const TLanguageSections s = QLatin1String(section) == QLatin1String("MainMenu") ? TLanguageSections::lsMainMenu
                                    : QLatin1String(section) == QLatin1String("MainForm") ? TLanguageSections::lsMainForm
                                                                                          : TLanguageSections::lsGeneralMessages;
        return english.Get(s, QString::fromLatin1(id));
    };
    EXPECT_EQ(f.N1.Caption(), text("MainMenu", "11010"));
    EXPECT_EQ(f.LanguageMenuItem->Caption(), text("MainMenu", "11051"));
    EXPECT_EQ(f.HomePageAction.Caption(), text("MainMenu", "11103"));
    EXPECT_EQ(f.SourceFilenameEdit.Text(), text("MainForm", "12012"));
    EXPECT_EQ(f.SourceOpenDialog.Title, text("MainForm", "12013"));
    EXPECT_EQ(f.OpenBitBtn.Hint(), text("MainForm", "12015"));
    EXPECT_EQ(f.OutSizeComboBox.Items().front(), text("MainForm", "12062"));
    EXPECT_EQ(f.QualityComboBox.Items(), QStringList({text("MainForm", "12077"), text("MainForm", "12078")}));
    EXPECT_EQ(f.SameAspectRationPMenu.Hint(), text("MainForm", "12111"));
    EXPECT_EQ(f.DeviceTabSheet.Caption(), text("MainForm", "12054"));
    for (const LanguageMessageRow& row : kLanguageMessageTable) {
        EXPECT_EQ(f.LNGA[row.slot - 1], text(row.section, row.id)) << row.id;
        EXPECT_FALSE(f.LNGA[row.slot - 1].isEmpty()) << row.id;
    }
    for (int unused : {0, 14, 20})
        EXPECT_TRUE(f.LNGA[unused].isEmpty());
}

TEST_F(LanguageStepsTest, ApplyingALanguageKeepsAChosenFileAndReplacesATypedSize)
{
    Languages({"English.lng", "Russian.lng"});
    TMainForm& f = Start();
    struct Case {
        const char* name;
        QString source;
        QString typedSize;
        QString sourceAfter;
        QString sizeAfter;
    };
    const QString existing = ProgramPath(QStringLiteral("Languages/English.lng"));
    const Case cases[] = {
        {"existing file and a listed size", existing, "1280x720", existing, "1280x720"},
        {"missing file and a typed size", ProgramPath("gone.avi"), "1000x500", "Russian 12012", "Russian 12062"},
        {"a folder", programDir.path(), "", "Russian 12012", "Russian 12062"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        f.SourceFilenameEdit.UserType(c.source);
        f.OutSizeComboBox.UserType(c.typedSize);
        f.LanguageMenuItemClick(Entry(f, QStringLiteral("Russian")));
        EXPECT_EQ(f.SourceFilenameEdit.Text(), c.sourceAfter);
        EXPECT_EQ(f.OutSizeComboBox.Text(), c.sizeAfter);
    }
}

TEST_F(LanguageStepsTest, TheMenuSwitchesOnlyToACompleteFile)
{
    Languages({"English.lng", "Russian.lng"});
    WriteLanguage(QStringLiteral("Ukrainian.lng"), QStringLiteral("Ukrainian"));
    testsupport::WriteFile(ProgramPath(QStringLiteral("Languages/Partial.lng")),
                           "<MainMenu>\n11010=Partial 11010\n</MainMenu>\n<MainForm>\n12012=Partial 12012\n</MainForm>\n");
    testsupport::WriteFile(ProgramPath(QStringLiteral("Languages/Gone.lng")), "");
    TMainForm& f = Start();
    ASSERT_EQ(Captions(f.LanguageMenuItem), QStringList({"English", "Gone", "Partial", "Russian", "Ukrainian"}));
    const QString startUrl = f.MyCheckUpdate->updateInfoURL;

    // A switch within the Russian group serves the Russian help and pages; the update query
    // keeps the start-up address.
    f.LanguageMenuItemClick(Entry(f, QStringLiteral("Ukrainian")));
    EXPECT_EQ(f.CurrentLanguage, QStringLiteral("Ukrainian"));
    EXPECT_EQ(Stored(QStringLiteral("Language")), QStringLiteral("Ukrainian"));
    EXPECT_EQ(f.N1.Caption(), QStringLiteral("Ukrainian 11010"));
    EXPECT_EQ(f.LNGA[3], QStringLiteral("Ukrainian 13013"));
    EXPECT_EQ(f.HELP_FILENAME, QStringLiteral("ondrava_ru.chm"));
    EXPECT_EQ(f.HOMEPAGE_LINK, QStringLiteral("http://127.0.0.1:9/ru/"));
    EXPECT_EQ(f.MyCheckUpdate->updateInfoURL, startUrl);

    struct Refusal {
        const char* name;
        std::function<TControl*()> sender;
    };
    TControl notAMenuItem(f.Host, QStringLiteral("Other"));
    TMenuItem blank(f.Host, QStringLiteral("Blank"));
    const Refusal refusals[] = {
        {"a file without its messages", [&] { return Entry(f, QStringLiteral("Partial")); }},
        {"a file gone missing", [&] {
             QFile::remove(ProgramPath(QStringLiteral("Languages/Gone.lng")));
             return Entry(f, QStringLiteral("Gone"));
         }},
        {"no sender", [] { return nullptr; }},
        {"not a menu entry", [&] { return &notAMenuItem; }},
        {"an entry without caption", [&] { return &blank; }},
    };
    for (const Refusal& r : refusals) {
        SCOPED_TRACE(r.name);
        f.LanguageMenuItemClick(r.sender());
        EXPECT_EQ(f.CurrentLanguage, QStringLiteral("Ukrainian"));
        EXPECT_EQ(Stored(QStringLiteral("Language")), QStringLiteral("Ukrainian"));
        EXPECT_EQ(f.N1.Caption(), QStringLiteral("Ukrainian 11010"));
    }
    // The partial file's sections have replaced the table's, as later reads show.
    EXPECT_EQ(f.Language->Get(TLanguageSections::lsMainForm, QStringLiteral("12012")), QStringLiteral("Partial 12012"));

    // A file that cannot be read reaches the error box through the view; nothing switches.
    QFile::link(QStringLiteral("/proc/self/mem"), ProgramPath(QStringLiteral("Languages/Unreadable.lng")));
    TMenuItem unreadable(f.Host, QStringLiteral("Unreadable"));
    unreadable.SetCaption(QStringLiteral("Unreadable"));
    EXPECT_THROW(f.LanguageMenuItemClick(&unreadable), Error);
    EXPECT_EQ(f.CurrentLanguage, QStringLiteral("Ukrainian"));

    f.LanguageMenuItemClick(Entry(f, QStringLiteral("English")));
    EXPECT_EQ(f.HELP_FILENAME, QStringLiteral("ondrava.chm"));
    EXPECT_EQ(f.HOMEPAGE_LINK, QStringLiteral("http://127.0.0.1:9/"));
    EXPECT_EQ(Stored(QStringLiteral("Language")), QStringLiteral("English"));
}

TEST_F(LanguageStepsTest, OpeningTheViewMenuMarksTheCurrentLanguage)
{
    Languages({"English.lng", "Russian.lng", "Ukrainian.lng"});
    TMainForm& f = Start();
    const auto checked = [&f] {
        QStringList names;
        for (const auto& item : f.LanguageMenuItem->Items) {
            if (item->Checked())
                names << item->Caption();
        }
        return names;
    };
    EXPECT_TRUE(checked().isEmpty());  // marks are set only when the menu opens
    f.ViewMenuItem.UserClick();
    EXPECT_EQ(checked(), QStringList{"English"});
    f.LanguageMenuItemClick(Entry(f, QStringLiteral("Ukrainian")));
    EXPECT_EQ(checked(), QStringList{"English"});
    f.ViewMenuItem.UserClick();
    EXPECT_EQ(checked(), QStringList{"Ukrainian"});
    f.CurrentLanguage = QStringLiteral("ukrainian");  // exact case only
    f.ViewMenuItemClick(&f.ViewMenuItem);
    EXPECT_TRUE(checked().isEmpty());
}

TEST_F(LanguageStepsTest, AStoredLanguageOfAnotherTypeStopsStartUpAtTheLanguage)
{
    Languages({"English.lng", "Russian.lng"});
    WriteSettingsFile("Language=1, 2\nInstallLanguage=1, 2\n");
    TMainForm& f = Start();
    EXPECT_EQ(services.errors, QStringList{QStringLiteral("Invalid data type for 'Language'")});
    EXPECT_FALSE(f.DevicePresets);
    f.ViewMenuItemClick(&f.ViewMenuItem);
    f.LanguageMenuItemClick(nullptr);

    // An installer's value of another type only costs the hint: the default is English.
    WriteSettingsFile("InstallLanguage=1, 2\n");
    SetLocaleForTesting(LocaleInfo{QStringLiteral("Russian"), QStringLiteral("7")});
    EXPECT_EQ(f.GetDefaultLanguage(), QStringLiteral("English"));
}
