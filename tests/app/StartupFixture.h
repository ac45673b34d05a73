#pragma once
// A window started as the program starts it, over private configuration, data and runtime
// folders and a program folder of the test's own making.
#include "support/TestSupport.h"
#include "window/FakeFormServices.h"

#include "app/RegZelt.h"
#include "platform/Locale.h"
#include "window/MainF.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>
#include <ostream>

// Readable texts in failure messages.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace ondrava::test {

// Set before anything reads the environment: the settings store caches its folders.
struct PrivateHomes {
    PrivateHomes()
    {
        root = std::make_unique<QTemporaryDir>();
        const QString base = root->path();
        for (const char* name : {"config", "data", "runtime"})
            QDir().mkpath(base + QLatin1Char('/') + QLatin1String(name));
        QFile::setPermissions(base + QStringLiteral("/runtime"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_CONFIG_HOME", (base + QStringLiteral("/config")).toLocal8Bit());
        qputenv("XDG_DATA_HOME", (base + QStringLiteral("/data")).toLocal8Bit());
        qputenv("XDG_RUNTIME_DIR", (base + QStringLiteral("/runtime")).toLocal8Bit());
        if (!qEnvironmentVariableIsSet("ONDRAVA_SITE_URL"))
            qputenv("ONDRAVA_SITE_URL", "http://127.0.0.1:9");
    }
    std::unique_ptr<QTemporaryDir> root;
};
inline const PrivateHomes kPrivateHomes;

inline QString SettingsFile()
{
    return qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Zelt/Ondrava.conf");
}

class StartupFixture : public ::testing::Test {
protected:
    QTemporaryDir programDir;
    FakeFormServices services;
    std::unique_ptr<TMainForm> form;

    void SetUp() override
    {
        QFile::remove(SettingsFile());
        // An English user in Britain unless a case says otherwise.
        SetLocaleForTesting(LocaleInfo{QStringLiteral("English"), QStringLiteral("44")});
    }
    void TearDown() override
    {
        if (form)
            form->FormClose();
        SetLocaleForTesting(std::nullopt);
    }

    QString ProgramPath(const QString& name) const { return programDir.path() + QLatin1Char('/') + name; }
    // Links the build's data (catalogue, pictures, languages) into the program folder.
    void LinkBuildData(const QStringList& names = {QStringLiteral("presets.xml"), QStringLiteral("images"),
                                                   QStringLiteral("Languages"), QStringLiteral("Sounds")})
    {
        for (const QString& name : names)
            ASSERT_TRUE(QFile::link(testsupport::BuildProgramDir() + QLatin1Char('/') + name, ProgramPath(name))) << name.toStdString();
    }
    // A language file whose texts name the language, for example "German 11010".
    void WriteLanguage(const QString& fileName, const QString& label)
    {
        QDir().mkpath(ProgramPath(QStringLiteral("Languages")));
        const QByteArray l = label.toUtf8();
        testsupport::WriteFile(ProgramPath(QStringLiteral("Languages/") + fileName),
                               "<MainMenu>\n11010=" + l + " 11010\n11051=" + l + " 11051\n</MainMenu>\n"
                               "<MainForm>\n12012=" + l + " 12012\n12062=" + l + " 12062\n12077=" + l +
                                   " 12077\n12078=" + l + " 12078\n12071=" + l + " %1\n</MainForm>\n"
                               "<GeneralMessages>\n13013=" + l + " 13013\n</GeneralMessages>\n");
    }

    static void Store(const QString& key, const QString& value)
    {
        TZeltRegistry(QStringLiteral("Ondrava")).WriteStringPar(key, value);
    }
    static QString Stored(const QString& key) { return TZeltRegistry(QStringLiteral("Ondrava")).ReadStringPar(key); }
    // Raw lines of the settings file, for values of another type than text.
    static void WriteSettingsFile(const QByteArray& lines)
    {
        QDir().mkpath(QFileInfo(SettingsFile()).path());
        testsupport::WriteFile(SettingsFile(), "[General]\n" + lines);
    }

    TMainForm& Start(const QStringList& arguments = {})
    {
        form = std::make_unique<TMainForm>(services);
        form->ProgramDir = programDir.path() + QLatin1Char('/');
        form->Arguments = arguments;
        form->FormCreate();
        return *form;
    }
    void Close()
    {
        form->FormClose();
        form.reset();
    }
};

}  // namespace ondrava::test
