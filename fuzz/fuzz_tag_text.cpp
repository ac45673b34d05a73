// Element text of update replies and catalogue entries. Input: tag NUL text.
#include "FuzzSupport.h"
#include "common/extFunc.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace ondrava;
    const QStringList parts = fuzz::PartsOf(data, size, 2);
    const QString& tag = parts[0];
    const QString original = parts[1];
    const QString open = QLatin1Char('<') + tag + QLatin1Char('>');
    const QString close = QLatin1String("</") + tag + QLatin1Char('>');

    QString kept = original;
    const QString content = GetTagText(kept, tag, false);
    FUZZ_CHECK(kept == original);
    if (!content.isEmpty())
        FUZZ_CHECK(original.contains(open + content + close));

    QString cut = original;
    FUZZ_CHECK(GetTagText(cut, tag, true) == content);
    const qsizetype removed = original.size() - cut.size();
    const qsizetype element = open.size() + content.size() + close.size();
    const qsizetype emptyElement = tag.size() + 3;  // "<tag/>"
    FUZZ_CHECK(removed == 0 || removed == element || removed == emptyElement);
    return 0;
}
