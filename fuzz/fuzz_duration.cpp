// The tool's report on a source, read for "Duration: hh:mm:ss.cc,".
#include "FuzzSupport.h"
#include "conversion/DurationProbe.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace ondrava;
    const QString text = fuzz::TextOf(data, size);
    const qint64 ms = ParseDuration(text);
    // Two-digit fields cannot give more than 99:99:99.99.
    FUZZ_CHECK(ms <= ((99 * 3600 + 99 * 60 + 99) * 1000 + 990));
    if (!text.contains(QLatin1String("Duration: ")))
        FUZZ_CHECK(ms == 0);
    return 0;
}
