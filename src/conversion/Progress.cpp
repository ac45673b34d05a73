#include "conversion/Progress.h"

#include <QFile>
#include <climits>
#include <cmath>

namespace ondrava {

namespace {
constexpr qint64 kTailBytes = 160;
}

int ReadProgressPercent(const QString& progressFile, qint64 totalContentDuration)
{
    if (totalContentDuration <= 0)
        return 0;
    // Unbuffered, so that no more than the tail is read however large the file has grown.
    QFile file(progressFile);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return 0;
    const qint64 size = file.size();
    if (size < kTailBytes || !file.seek(size - kTailBytes))
        return 0;
    const QByteArray tail = file.read(kTailBytes);
    file.close();
    if (tail.isEmpty())
        return 0;

    QString text = QString::fromLocal8Bit(tail);
    static const QString key = QStringLiteral("out_time_ms=");
    const qsizetype at = text.indexOf(key);
    if (at < 0)
        return 0;
    text.remove(0, at + key.size());
    const qsizetype lf = text.indexOf(u'\n');
    if (lf < 0)
        return 0;
    text.truncate(lf);
    // Microseconds: the last three digits go to leave milliseconds.
    text.chop(3);
    bool ok = false;
    const qint64 ms = text.toLongLong(&ok, 10);
    if (!ok || ms <= 0)
        return 0;
    const double percent = std::nearbyint(double(ms) / double(totalContentDuration) * 100.0);
    // Far past the probed length still means a full bar, never an overflow.
    return percent >= double(INT_MAX) ? INT_MAX : int(percent);
}

qint64 FileSizeOf(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    return file.size();
}

}  // namespace ondrava
