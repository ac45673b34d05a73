#include "common/TextDecoding.h"

#include "common/Error.h"

#include <QFile>
#include <QStringDecoder>

namespace ondrava {

namespace {

QString Decode(QStringConverter::Encoding encoding, QByteArrayView bytes)
{
    // Only the leading mark is ours to drop; a second one belongs to the text.
    QStringDecoder decoder(encoding, QStringConverter::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
}

}  // namespace

QString DecodeTextFile(const QByteArray& bytes)
{
    const QByteArrayView view(bytes);
    if (view.startsWith("\xEF\xBB\xBF"))
        return Decode(QStringConverter::Utf8, view.sliced(3));
    if (view.startsWith("\xFF\xFE"))
        return Decode(QStringConverter::Utf16LE, view.sliced(2));
    if (view.startsWith("\xFE\xFF"))
        return Decode(QStringConverter::Utf16BE, view.sliced(2));
    return QString::fromLocal8Bit(bytes);
}

QByteArray ReadWholeFile(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, file.errorString()));
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw Error(QStringLiteral("Cannot read file \"%1\". %2").arg(fileName, file.errorString()));
    return bytes;
}

}  // namespace ondrava
