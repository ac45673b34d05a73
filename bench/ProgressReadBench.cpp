// The cost of one progress reading: a small progress file against one that has grown to
// 100 MiB. The reading looks only at the file's tail, so both should cost the same.
#include "conversion/Progress.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>

using namespace ondrava;

namespace {

// One block as the tool appends it about twice a second.
QByteArray ProgressBlock(qint64 outTimeUs)
{
    return QByteArray("frame=250\nfps=25.00\nstream_0_0_q=28.0\nbitrate= 512.0kbits/s\n"
                      "total_size=655360\nout_time_us=") +
           QByteArray::number(outTimeUs) + "\nout_time_ms=" + QByteArray::number(outTimeUs) +
           "\nout_time=00:00:10.000000\ndup_frames=0\ndrop_frames=0\nspeed=1.00x\n"
           "progress=continue\n";
}

// A progress file of at least `bytes` bytes whose last block says 10 s of 20 s are done.
QString MakeProgressFile(const QString& dir, qint64 bytes)
{
    const QString path = dir + QStringLiteral("/progress-%1.txt").arg(bytes);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::exit(2);
    }
    const QByteArray last = ProgressBlock(10'000'000);
    QByteArray chunk;
    while (chunk.size() < (1 << 20))
        chunk += ProgressBlock(5'000'000);
    qint64 written = 0;
    while (written + chunk.size() + last.size() <= bytes)
        written += file.write(chunk);
    const QByteArray block = ProgressBlock(5'000'000);
    while (written + last.size() < bytes)
        written += file.write(block.left(int(bytes - written - last.size())));
    written += file.write(last);
    file.close();
    return path;
}

QTemporaryDir& WorkDir()
{
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/ondrava-bench-XXXXXX"));
    return dir;
}

const QString& FileOfSize(qint64 bytes)
{
    static std::map<qint64, QString> files;
    auto it = files.find(bytes);
    if (it == files.end())
        it = files.emplace(bytes, MakeProgressFile(WorkDir().path(), bytes)).first;
    return it->second;
}

void BM_ReadProgressPercent(benchmark::State& state)
{
    const qint64 bytes = state.range(0);
    const QString& path = FileOfSize(bytes);
    int percent = 0;
    for (auto _ : state) {
        percent = ReadProgressPercent(path, 20'000);
        benchmark::DoNotOptimize(percent);
    }
    if (percent != 50)
        state.SkipWithError("the reading did not find 50 %");
    state.counters["file_bytes"] = double(QFile(path).size());
}

}  // namespace

BENCHMARK(BM_ReadProgressPercent)->Arg(1 << 10)->Arg(100 << 20)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
