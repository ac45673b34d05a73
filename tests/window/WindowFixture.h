#pragma once
// A window over the model with a temporary folder, a small language and device catalogue.
#include "FakeFormServices.h"
#include "support/TestSupport.h"

#include "i18n/Language.h"
#include "presets/DevicePresets.h"
#include "window/MainF.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

namespace ondrava::test {

class WindowFixture : public ::testing::Test {
protected:
    QTemporaryDir dir;
    FakeFormServices services;
    std::unique_ptr<TMainForm> form = std::make_unique<TMainForm>(services);

    QString Path(const QString& name) const { return dir.path() + QLatin1Char('/') + name; }
    QString MakeFile(const QString& name, const QByteArray& bytes = "data")
    {
        testsupport::WriteFile(Path(name), bytes);
        return Path(name);
    }
    void LoadTexts()
    {
        const QString file = MakeFile(QStringLiteral("test.lng"),
                                      "<MainMenu>\n11010=File\n</MainMenu>\n"
                                      "<MainForm>\n12012=Pick a file\n12081=Output file\n</MainForm>\n"
                                      "<GeneralMessages>\n13013=Busy\n</GeneralMessages>\n");
        form->Language = std::make_unique<TLanguage>();
        form->Language->LoadLanguage(file);
    }
    // Devices 5 "Pocket Phone" (mp4) and 9 "Box" (mkv).
    void LoadDevices()
    {
        const QString file = MakeFile(
            QStringLiteral("presets.xml"),
            "<?xml version=\"1.0\"?>\n<presets>\n"
            "<device><id>5</id><name>Pocket Phone</name><params>-vcodec libx264</params>"
            "<extension>mp4</extension></device>\n"
            "<device><id>9</id><name>Box</name><params>-f matroska</params>"
            "<extension>mkv</extension></device>\n</presets>\n");
        form->DevicePresets = std::make_unique<TDevicePresets>(file);
    }
    int FormatIndex(const QString& format) const
    {
        return int(form->OutFormatComboBox.Items().indexOf(format));
    }
    void ChooseFormat(const QString& format) { form->OutFormatComboBox.UserSelect(FormatIndex(format)); }
};

}  // namespace ondrava::test
