#include "window/OutputNaming.h"

#include "common/Convert.h"

namespace ondrava {

const QString kSourceDialogFilter = QStringLiteral(
    "Video/Audio (mp4, flv, mkv, mpg, avi, mov, wmv, m4v, 3gp, webm, mp3, m4a, wav, aac, opus, "
    "flac, ape)|*.mp4;*.flv;*.mkv;*.mpg;*.avi;*.mov;*.wmv;*.3gp;*.webm;*.mp3;*.m4a;*.wav;*.aac;"
    "*.opus;*.flac;*.ape;*.m4v;*.asf|Video (mp4, flv, mkv, mpg, avi, mov, wmv, 3gp, webm, m4v)|"
    "*.mp4;*.flv;*.mkv;*.mpg;*.avi;*.mov;*.wmv;*.3gp;*.webm;*.m4v;*.asf|Audio (mp3, m4a, mp4, "
    "wav, aac, opus, flac, ape)|*.mp3;*.m4a;*.mp4;*.wav;*.aac;*.opus;*.flac;*.ape|Mpeg4|*.mp4|"
    "Flash Video|*.flv|Matroska Video|*.mkv|MPEG|*.mpg|AVI|*.avi|QuickTime|*.mov|Windows Media|"
    "*.wmv|Webm|*.webm|WAV|*.wav|OPUS|*.opus|AAC|*.aac|FLAC|*.flac|APE|*.ape|All files (*.*)|*.*");

const QString kOutDialogFilter = QStringLiteral(
    "Video/AudioVideo (mp4, webm, flv, mkv, mpg, avi, mov, wmv, 3gp, mp3, m4a, aac, flac)|"
    "*.mp4;*.webm;*.flv;*.mkv;*.mpg;*.avi;*.mov;*.wmv;*.3gp;*.mp3;*.m4a;*.aac;*.flac|Video (mp4, "
    "webm, flv, mkv, mpg, avi, mov, wmv, 3gp)|*.mp4;*.webm;*.flv;*.mkv;*.mpg;*.avi;*.mov;*.wmv;"
    "*.3gp|Audio (mp3, m4a, aac, flac)|*.mp3;*.m4a;*.aac;*.flac|Mpeg4|*.mp4|WEBM|*.webm|"
    "Flash Video|*.flv|Matroska Video|*.mkv|MPEG|*.mpg|AVI|*.avi|QuickTime|*.mov|"
    "Windows Media|*.wmv|3GP|*.3gp|MP3|*.mp3|AAC|*.aac|FLAC|*.flac|All files (*.*)|*.*");

namespace {

// The name part with every occurrence of the extension replaced, whatever its letter case;
// the whole name is scanned, not only its end.
QString ReplaceExtension(const QString& sourceName, const QString& replacement)
{
    QString name = ExtractFileName(sourceName);
    const QString ext = ExtractFileExt(sourceName);
    if (!ext.isEmpty())
        name.replace(ext, replacement, Qt::CaseInsensitive);
    return name;
}

}  // namespace

QString ProposeFormatOutput(const QString& sourceName, const QString& formatExt)
{
    return ExtractFileDir(sourceName) + QLatin1Char('/') +
           ReplaceExtension(sourceName, QLatin1Char('.') + formatExt);
}

QString ProposeDeviceOutput(const QString& sourceName, const QString& deviceName,
                            const QString& deviceExt)
{
    return ExtractFileDir(sourceName) + QLatin1Char('/') + ReplaceExtension(sourceName, QString()) +
           QLatin1Char('(') + deviceName + QStringLiteral(").") + deviceExt;
}

bool IsAcceptedDropFile(const QString& fileName)
{
    return kSourceDialogFilter.contains(QLatin1Char('*') + AsciiLower(ExtractFileExt(fileName)));
}

QString FolderToOpen(const QString& path)
{
    const QString dir = ExtractFileDir(path);
    if (dir.isEmpty() && path.startsWith(QLatin1Char('/')))
        return QStringLiteral("/");
    return dir;
}

}  // namespace ondrava
