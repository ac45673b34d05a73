#include "presets/DevicePicture.h"

#include "common/Error.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

namespace ondrava {

namespace {

// File header (14 bytes) and the smallest information header (12 bytes).
constexpr qint64 kFileHeaderSize = 14;
constexpr qint64 kMinHeadersSize = kFileHeaderSize + 12;

quint32 U32(const QByteArray& b, int at) { return qFromLittleEndian<quint32>(b.constData() + at); }
qint32 S32(const QByteArray& b, int at) { return qFromLittleEndian<qint32>(b.constData() + at); }
quint16 U16(const QByteArray& b, int at) { return qFromLittleEndian<quint16>(b.constData() + at); }

// Empty when the header is sane, else the reason.
QString HeaderProblem(const QByteArray& head, qint64 fileSize)
{
    if (head.size() < kMinHeadersSize || !head.startsWith("BM"))
        return QStringLiteral("not a bitmap");
    const quint32 pixelOffset = U32(head, 10);
    const quint32 infoSize = U32(head, 14);
    qint64 width = 0;
    qint64 height = 0;
    quint16 planes = 0;
    quint16 bitCount = 0;
    if (infoSize == 12) {
        width = U16(head, 18);
        height = U16(head, 20);
        planes = U16(head, 22);
        bitCount = U16(head, 24);
    } else if (infoSize >= 40 && infoSize <= 124) {
        if (head.size() < kFileHeaderSize + 40)
            return QStringLiteral("not a bitmap");
        width = S32(head, 18);
        height = S32(head, 22);
        planes = U16(head, 26);
        bitCount = U16(head, 28);
    } else {
        return QStringLiteral("unknown bitmap header");
    }
    if (width <= 0 || height == 0 || planes != 1)
        return QStringLiteral("bad bitmap size");
    switch (bitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32:
        break;
    default:
        return QStringLiteral("bad bitmap colour depth");
    }
    if (pixelOffset < kFileHeaderSize + infoSize || pixelOffset >= quint64(fileSize))
        return QStringLiteral("bitmap has no pixels");
    return {};
}

}  // namespace

void CheckDevicePicture(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("Cannot open the picture \"%1\"").arg(fileName));
    const QByteArray head = file.read(kFileHeaderSize + 40);
    const QString problem = HeaderProblem(head, file.size());
    if (!problem.isEmpty())
        throw Error(QStringLiteral("The picture \"%1\" cannot be used: %2").arg(fileName, problem));
}

QString DevicePictureFile(const QString& programDir, const QString& idName)
{
    const bool nameFits = !idName.contains(QLatin1Char('/')) && !idName.contains(QChar(0));
    const QString own = programDir + QStringLiteral("images/device_") + idName + QStringLiteral(".bmp");
    if (nameFits && QFileInfo::exists(own))
        return own;
    return programDir + QStringLiteral("images/device1_4state.bmp");
}

}  // namespace ondrava
