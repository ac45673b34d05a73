#pragma once
// What the fuzz targets share: the input as text, a private scratch folder in memory, and a
// check that stops the run with a finding when a property of the parser does not hold.
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace ondrava::fuzz {

// A broken property is a finding like a crash: libFuzzer keeps the input that caused it.
#define FUZZ_CHECK(condition)                                                                \
    do {                                                                                     \
        if (!(condition)) {                                                                  \
            std::fprintf(stderr, "property broken: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
            std::abort();                                                                    \
        }                                                                                    \
    } while (0)

inline QString TextOf(const uint8_t* data, size_t size)
{
    return QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
}

inline QByteArray BytesOf(const uint8_t* data, size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

// Splits the input at NUL bytes into at most `count` texts; missing ones are empty.
inline QStringList PartsOf(const uint8_t* data, size_t size, int count)
{
    QStringList parts;
    QByteArray current;
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0 && parts.size() + 1 < count) {
            parts << QString::fromUtf8(current);
            current.clear();
        } else {
            current.append(char(data[i]));
        }
    }
    parts << QString::fromUtf8(current);
    while (parts.size() < count)
        parts << QString();
    return parts;
}

// A folder of this process's own, in memory where possible so that file-based parsers run
// fast; removed when the process ends.
inline const QString& ScratchDir()
{
    static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                                 ? QStringLiteral("/dev/shm/ondrava-fuzz-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/ondrava-fuzz-XXXXXX"));
    static const QString path = dir.path();
    if (!dir.isValid()) {
        std::fprintf(stderr, "cannot create a scratch folder\n");
        std::abort();
    }
    return path;
}

// Writes the bytes to a file in the scratch folder (replacing it) and returns its path.
inline QString WriteScratchFile(const QString& name, const QByteArray& bytes)
{
    const QString path = ScratchDir() + QLatin1Char('/') + name;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::abort();
    }
    return path;
}

}  // namespace ondrava::fuzz
