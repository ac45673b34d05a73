// Message texts of language files with numbered placeholders. Input: pattern NUL s1 .. NUL s4.
#include "FuzzSupport.h"
#include "common/extFunc.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace ondrava;
    const QStringList p = fuzz::PartsOf(data, size, 5);
    const QString result = FillPlaceholders(p[0], p[1], p[2], p[3], p[4]);
    if (!p[0].contains(QLatin1Char('%')))
        FUZZ_CHECK(result == p[0]);
    // Each placeholder is replaced at most once, so the growth is bounded by the values.
    FUZZ_CHECK(result.size() <= p[0].size() + p[1].size() + p[2].size() + p[3].size() + p[4].size());
    return 0;
}
