// The site's update reply and the version comparison it leads to.
// Input: running version NUL reply NUL version a NUL version b.
#include "FuzzSupport.h"
#include "common/Error.h"
#include "update/CheckUpdate.h"

#include <optional>

namespace {

std::optional<bool> Newer(const QString& a, const QString& b)
{
    try {
        return ondrava::IsNewerVersion(a, b);
    } catch (const ondrava::Error&) {
        return std::nullopt;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace ondrava;
    const QStringList p = fuzz::PartsOf(data, size, 4);

    TMyCheckUpdate checker(QStringLiteral("http://localhost/update"), p[0], QString());
    checker.ServerReply = p[1];
    bool threw = false;
    try {
        checker.ParseUpdateReply();
    } catch (const Error&) {
        threw = true;
    }
    FUZZ_CHECK(checker.needUpdateFlag >= -1 && checker.needUpdateFlag <= 1);
    if (threw)
        FUZZ_CHECK(checker.needUpdateFlag == 0 && !checker.newVInfo.version.isEmpty());
    if (checker.needUpdateFlag == 1)
        FUZZ_CHECK(Newer(checker.newVInfo.version, p[0]) == true);
    FUZZ_CHECK(checker.ServerReply == p[1]);

    // A strict order: never newer than itself, never both ways.
    const std::optional<bool> ab = Newer(p[2], p[3]);
    const std::optional<bool> ba = Newer(p[3], p[2]);
    const std::optional<bool> aa = Newer(p[2], p[2]);
    FUZZ_CHECK(!aa.value_or(false));
    if (ab && ba)
        FUZZ_CHECK(!(*ab && *ba));
    return 0;
}
