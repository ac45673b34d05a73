#include "presets/DevicePresets.h"

#include "common/Convert.h"
#include "common/Error.h"
#include "common/TextDecoding.h"
#include "common/extFunc.h"

#include <QFile>
#include <QFileInfo>

namespace ondrava {

namespace {

// CR LF, LF alone and CR alone all become CR LF.
QString NormaliseLineBreaks(const QString& text)
{
    const QChar* const data = text.constData();
    const qsizetype size = text.size();
    QString out;
    out.reserve(size + size / 16);
    qsizetype start = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t ch = data[i].unicode();
        if (ch != u'\r' && ch != u'\n')
            continue;
        out.append(data + start, i - start);
        out.append(QLatin1String("\r\n"));
        if (ch == u'\r' && i + 1 < size && data[i + 1].unicode() == u'\n')
            ++i;
        start = i + 1;
    }
    out.append(data + start, size - start);
    return out;
}

bool IsBlankOrControl(QChar ch)
{
    return ch.unicode() <= 32;
}

}  // namespace

TDevPreset::TDevPreset(const QString& xmlString)
{
    QString work = xmlString;
    ID = StrToIntDef(GetTagText(work, QStringLiteral("id"), true), 0);
    Name = GetTagText(work, QStringLiteral("name"), true);
    Params = GetTagText(work, QStringLiteral("params"), true);
    Extension = GetTagText(work, QStringLiteral("extension"), true);
    idName = AsciiLower(Name).remove(QLatin1Char(' '));
}

TDevicePresets::TDevicePresets(const QString& xmlFileName)
{
    LoadDevices(xmlFileName);
}

void TDevicePresets::Clear()
{
    ListDevices.clear();
}

int TDevicePresets::Count() const
{
    return static_cast<int>(ListDevices.size());
}

const TDevPreset* TDevicePresets::Device(int index) const
{
    if (index < 0 || index >= Count())
        return nullptr;
    return ListDevices[static_cast<size_t>(index)].get();
}

const TDevPreset* TDevicePresets::GetDeviceByID(int id) const
{
    for (const auto& preset : ListDevices) {
        if (preset->ID == id)
            return preset.get();
    }
    return nullptr;
}

int TDevicePresets::GetDeviceIDByName(const QString& idName) const
{
    for (const auto& preset : ListDevices) {
        if (preset->idName == idName)
            return preset->ID;
    }
    return -1;
}

bool TDevicePresets::LoadDevices(const QString& xmlFileName)
{
    Clear();
    const QFileInfo info(xmlFileName);
    if (xmlFileName.isEmpty() || !info.exists() || info.isDir())
        return false;

    const QString text = NormaliseLineBreaks(DecodeTextFile(ReadWholeFile(xmlFileName)));

    // The catalogue is the part [begin, end) of the text; nothing is copied while it is walked.
    // The head goes up to the root start tag and the one character after "<presets" (its ">").
    const QLatin1String rootStart("<presets");
    qsizetype begin = 0;
    const qsizetype root = text.indexOf(rootStart);
    if (root >= 0)
        begin = qMin(text.size(), root + rootStart.size() + 1);
    qsizetype end = text.size();
    const qsizetype rootEnd = text.indexOf(QLatin1String("</presets>"), begin);
    if (rootEnd >= 0)
        end = rootEnd;
    while (begin < end && IsBlankOrControl(text.at(begin)))
        ++begin;
    while (end > begin && IsBlankOrControl(text.at(end - 1)))
        --end;

    const QStringView body = QStringView(text).first(end);
    const QLatin1String open("<device>");
    const QLatin1String close("</device>");
    // The next markers at or after the walking position, found again only once passed, so that
    // stray closing marks or a lone opening mark far ahead do not make the walk quadratic.
    qsizetype pos = begin;
    qsizetype nextOpen = -2;
    qsizetype nextClose = -2;
    while (pos < end) {
        if (nextOpen != -1 && nextOpen < pos)
            nextOpen = body.indexOf(open, pos);
        if (nextOpen < 0)
            break;
        if (nextClose != -1 && nextClose < pos)
            nextClose = body.indexOf(close, pos);
        // Without any closing mark left, every remaining element is unterminated and skipped.
        if (nextClose < 0)
            break;
        const qsizetype contentStart = nextOpen + open.size();
        const qsizetype length = nextClose - contentStart;
        pos = nextClose + close.size();
        // An element without content has no ID and would be dropped anyway.
        if (length <= 0)
            continue;
        auto preset = std::make_unique<TDevPreset>(body.sliced(contentStart, length).toString());
        if (preset->ID > 0)
            ListDevices.push_back(std::move(preset));
    }
    return true;
}

}  // namespace ondrava
