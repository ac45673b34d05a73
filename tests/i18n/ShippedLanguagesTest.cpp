// The language files that ship with the program: each one loads, supplies every text the window
// applies, keeps the placeholders its messages need, and survives the reader's cleaning rules.
#include "i18n/Language.h"
#include "i18n/LanguageTextIds.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

#include <cstring>

namespace {

using ondrava::TLanguage;
using ondrava::TLanguageSections;

TLanguageSections SectionOf(const char* name)
{
    if (std::strcmp(name, "MainMenu") == 0)
        return TLanguageSections::lsMainMenu;
    if (std::strcmp(name, "MainForm") == 0)
        return TLanguageSections::lsMainForm;
    return TLanguageSections::lsGeneralMessages;
}

QString PathOf(const QString& language)
{
    return testsupport::BuildProgramDir() + QStringLiteral("/Languages/") + language + QStringLiteral(".lng");
}

class ShippedLanguageTest : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QFile::exists(path())) << path().toStdString();
        ASSERT_TRUE(lang.LoadLanguage(path()));
    }
    QString path() const { return PathOf(QString::fromLatin1(GetParam())); }
    TLanguage lang;
};

TEST_P(ShippedLanguageTest, EveryAppliedTextAndMessageIsPresent)
{
    for (const auto& row : ondrava::kLanguageTextTable) {
        const QString text = lang.Get(SectionOf(row.section), QString::fromLatin1(row.id));
        EXPECT_FALSE(text.trimmed().isEmpty()) << row.section << "/" << row.id << " for " << row.control;
        EXPECT_FALSE(text.contains(QChar::ReplacementCharacter)) << row.id;
    }
    for (const auto& row : ondrava::kLanguageMessageTable) {
        const QString text = lang.Get(SectionOf(row.section), QString::fromLatin1(row.id));
        EXPECT_FALSE(text.trimmed().isEmpty()) << row.section << "/" << row.id << " for slot " << row.slot;
        EXPECT_FALSE(text.contains(QChar::ReplacementCharacter)) << row.id;
    }
}

TEST_P(ShippedLanguageTest, PlaceholdersStandWhereTheMessagesAreFilled)
{
    struct Case {
        TLanguageSections section;
        const char* id;
        bool hasPlaceholder;
    };
    const Case cases[] = {
        {TLanguageSections::lsGeneralMessages, "13012", true},  // the existing file's name
        {TLanguageSections::lsGeneralMessages, "13030", true},  // the new version
        {TLanguageSections::lsMainForm, "12071", true},         // the slider position
        {TLanguageSections::lsGeneralMessages, "13013", false},  // followed by " 45%" while running
        {TLanguageSections::lsGeneralMessages, "13011", false},
        {TLanguageSections::lsGeneralMessages, "13031", false},
    };
    for (const Case& c : cases) {
        const QString text = lang.Get(c.section, QString::fromLatin1(c.id));
        EXPECT_EQ(text.count(QStringLiteral("%1")), c.hasPlaceholder ? 1 : 0) << c.id << ": " << text.toStdString();
        EXPECT_FALSE(text.contains(QStringLiteral("%2"))) << c.id;
    }
}

TEST_P(ShippedLanguageTest, EveryFailureReasonIsPresentWithItsPlaceholder)
{
    for (const auto& row : ondrava::kFailureTextTable) {
        const QString text = lang.Get(TLanguageSections::lsGeneralMessages, QString::fromLatin1(row.id));
        EXPECT_FALSE(text.trimmed().isEmpty()) << row.id;
        EXPECT_EQ(text.count(QStringLiteral("%1")), row.hasPlaceholder ? 1 : 0) << row.id << ": " << text.toStdString();
    }
}

// A text line holding "//" would be cut by the reader, and a file without a byte-order mark
// would be decoded in the locale's 8-bit encoding.
TEST_P(ShippedLanguageTest, FileHasByteOrderMarkAndNoTextIsCutByComments)
{
    const QByteArray bytes = testsupport::ReadFile(path());
    ASSERT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
    const QStringList lines = QString::fromUtf8(bytes.mid(3)).split(QLatin1Char('\n'));
    for (const QString& raw : lines) {
        const QString line = raw.trimmed();
        if (!line.startsWith(QStringLiteral("//"))) {
            EXPECT_FALSE(line.contains(QStringLiteral("//"))) << line.toStdString();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Shipped, ShippedLanguageTest, ::testing::Values("English", "Russian"));

TEST(ShippedRussianLanguage, WindowCaptionsAreTheFormsOwnTexts)
{
    TLanguage lang;
    ASSERT_TRUE(lang.LoadLanguage(PathOf(QStringLiteral("Russian"))));
    struct Case {
        TLanguageSections section;
        const char* id;
        const char* text;
    };
    const Case cases[] = {
        {TLanguageSections::lsMainForm, "12011", "Файл для конвертирования:"},
        {TLanguageSections::lsMainForm, "12014", "Открыть"},
        {TLanguageSections::lsMainForm, "12053", "Формат"},
        {TLanguageSections::lsMainForm, "12054", "Устройство"},
        {TLanguageSections::lsMainForm, "12051", "Формат:"},
        {TLanguageSections::lsMainForm, "12060", "Размер:"},
        {TLanguageSections::lsMainForm, "12062", "Исходный"},
        {TLanguageSections::lsMainForm, "12070", "Качество:"},
        {TLanguageSections::lsMainForm, "12077", "Исходное"},
        {TLanguageSections::lsMainForm, "12078", "Другое"},
        {TLanguageSections::lsMainForm, "12072", "низкое"},
        {TLanguageSections::lsMainForm, "12073", "высокое"},
        {TLanguageSections::lsMainForm, "12075", "Дополнительно"},
        {TLanguageSections::lsMainForm, "12080", "Файл:"},
        {TLanguageSections::lsMainForm, "12100", "Конвертировать"},
        {TLanguageSections::lsMainForm, "12101", "Отменить"},
        {TLanguageSections::lsMainForm, "12076", "Без звука"},
        {TLanguageSections::lsMainForm, "12110", "Сохранять пропорции"},
        {TLanguageSections::lsMainMenu, "11010", "Файл"},
        {TLanguageSections::lsMainMenu, "11050", "Вид"},
        {TLanguageSections::lsMainMenu, "11100", "Справка"},
        {TLanguageSections::lsMainMenu, "11020", "Выход"},
        {TLanguageSections::lsMainMenu, "11101", "Содержание"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(lang.Get(c.section, QString::fromLatin1(c.id)).toStdString(), std::string(c.text)) << c.id;
}

}  // namespace
