// The free-name search for output files, over names the user or a source file brings.
// Input: lines; the last is the asked name, the ones before it (at most 8) exist as files.
#include "FuzzSupport.h"
#include "common/extFunc.h"

#include <QFileInfo>

namespace {

// A single file name inside the scratch folder: no folder parts, nothing the file system refuses.
QString AsFileName(QString name)
{
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    name.remove(QChar(0));
    if (name == QLatin1String(".") || name == QLatin1String(".."))
        name += QLatin1Char('_');
    return name.left(120);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace ondrava;
    QDir dir(fuzz::ScratchDir() + QStringLiteral("/names"));
    dir.removeRecursively();
    dir.mkpath(QStringLiteral("."));
    const QString folder = dir.path() + QLatin1Char('/');

    QStringList lines = fuzz::TextOf(data, size).split(QLatin1Char('\n'));
    const QString asked = folder + AsFileName(lines.takeLast());
    for (qsizetype i = 0; i < lines.size() && i < 8; ++i) {
        const QString name = AsFileName(lines[i]);
        if (name.isEmpty())
            continue;
        QFile file(folder + name);
        (void)file.open(QIODevice::WriteOnly);
    }

    const QString unique = MakeUniqueFileName(asked);
    // Always a name in the same folder that is free, and the asked one when that was free.
    FUZZ_CHECK(unique.startsWith(folder));
    FUZZ_CHECK(!unique.mid(folder.size()).contains(QLatin1Char('/')));
    FUZZ_CHECK(!QFileInfo(unique).exists());
    if (!QFileInfo(asked).exists() && !QFileInfo(asked).isSymLink()) {
        FUZZ_CHECK(unique == asked);
    } else {
        // Taken: a number in brackets goes before the name's extension.
        const qsizetype dot = asked.lastIndexOf(QLatin1Char('.'));
        const QString ext = dot >= folder.size() ? asked.mid(dot) : QString();
        FUZZ_CHECK(unique.endsWith(QLatin1Char(']') + ext));
    }
    return 0;
}
