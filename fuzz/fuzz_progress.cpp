// The tail of the progress file the tool keeps writing. The first 8 bytes of the input are the
// probed duration (ms), the rest is the file.
#include "FuzzSupport.h"
#include "conversion/Progress.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace ondrava;
    qint64 total = 60000;
    if (size >= sizeof total) {
        std::memcpy(&total, data, sizeof total);
        data += sizeof total;
        size -= sizeof total;
    }
    const QString file = fuzz::WriteScratchFile(QStringLiteral("progress.txt"), fuzz::BytesOf(data, size));
    const int percent = ReadProgressPercent(file, total);
    FUZZ_CHECK(percent >= 0);
    if (size < 160 || total <= 0)
        FUZZ_CHECK(percent == 0);
    FUZZ_CHECK(FileSizeOf(file) == qint64(size));
    return 0;
}
