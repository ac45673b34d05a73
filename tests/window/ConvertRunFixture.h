#pragma once
// A window ready to convert a small file with a fake "ffmpeg" in a temporary program folder.
#include "WindowFixture.h"

#include "platform/Sound.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace ondrava::test {

class ConvertRunFixture : public WindowFixture {
protected:
    QTemporaryDir programDir;
    QTemporaryDir appDataDir;
    RecordingSoundPlayer sounds;
    QString source;

    void SetUp() override
    {
        SetSoundPlayer(&sounds);
        form->ProgramDir = programDir.path() + QLatin1Char('/');
        form->SoundDir = form->ProgramDir + QStringLiteral("Sounds/");
        form->AppDataDir = appDataDir.path() + QLatin1Char('/');
        const char* texts[] = {"", "BadSize", "Exists %1", "Busy", "Stopped", "Empty",
                               "NoOutput", "Done"};
        for (int i = 0; i < 8; ++i)
            form->LNGA[i] = QString::fromLatin1(texts[i]);
        form->LNGA[13] = QStringLiteral("NoDevice");
        source = MakeFile(QStringLiteral("my \"clip\" ü.avi"));
        form->SourceFilenameEdit.UserType(source);
        ChooseFormat(QStringLiteral("MP4"));
    }
    void TearDown() override { SetSoundPlayer(nullptr); }

    QString Output() const { return form->OutVideoFileBEdit.Text(); }

    // The fake tool: the probe reports 10 s; the conversion runs `body` with $pf the progress
    // file and $out the output file.
    void WriteTool(const QByteArray& body)
    {
        testsupport::WriteScript(form->ProgramDir + QStringLiteral("ffmpeg"),
                                 "if [ \"$1\" = \"-i\" ]; then\n"
                                 "  echo '  Duration: 00:00:10.00, start: 0.000000, bitrate: 9 kb/s' >&2\n"
                                 "  exit 1\n"
                                 "fi\n"
                                 "pf=\"$2\"\n"
                                 "for a in \"$@\"; do out=\"$a\"; done\n" +
                                     body + "\n");
    }

    // The progress file's tail as the tool writes it: a block ending with out_time_ms.
    static QByteArray ProgressBlock(qint64 microseconds)
    {
        return "printf 'bitrate=" + QByteArray(150, 'x') + "\\nout_time_ms=" +
               QByteArray::number(microseconds) + "\\nprogress=continue\\n' >> \"$pf\"\n";
    }

    QStringList SoundNames() const
    {
        QStringList names;
        for (const QString& s : sounds.played)
            names << QFileInfo(s).fileName();
        return names;
    }
};

}  // namespace ondrava::test
