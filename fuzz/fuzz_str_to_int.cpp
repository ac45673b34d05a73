// Integers read from every text file and reply of the program.
#include "FuzzSupport.h"
#include "common/Convert.h"

#include <QRegularExpression>
#include <climits>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace ondrava;
    const QString text = fuzz::TextOf(data, size);
    const int a = StrToIntDef(text, 0);
    const int b = StrToIntDef(text, 1);
    // A text reads as a number or not; the default only shows through when it does not.
    if (a == b)
        FUZZ_CHECK(StrToIntDef(text, INT_MIN + 7) == a);
    else
        FUZZ_CHECK(a == 0 && b == 1);

    // Plain decimals agree with Qt's own reading, range included.
    static const QRegularExpression decimal(QStringLiteral("^ *[+-]?[0-9]+\\z"));
    if (decimal.match(text).hasMatch()) {
        bool ok = false;
        const int qt = text.toInt(&ok, 10);
        FUZZ_CHECK(ok ? (a == b && a == qt) : (a != b));
    }

    // Any value written the ways the program's files write numbers reads back.
    if (size >= sizeof(int)) {
        int value;
        std::memcpy(&value, data, sizeof value);
        const qint64 wide = value;
        const QString magnitude = QString::number(wide < 0 ? -wide : wide, 16);
        const QString sign = wide < 0 ? QStringLiteral("-") : QString();
        const QString forms[] = {QString::number(value), QStringLiteral("  ") + QString::number(value),
                                 sign + QLatin1Char('$') + magnitude, sign + QStringLiteral("0x") + magnitude.toUpper(),
                                 sign + QLatin1Char('X') + magnitude};
        for (const QString& form : forms)
            FUZZ_CHECK(StrToIntDef(form, value ^ 1) == value);
    }
    return 0;
}
