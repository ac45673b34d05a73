#include "conversion/SourceStreams.h"

#include <QRegularExpression>

namespace ondrava {

bool SourceStreams::IsHdr() const
{
    return transfer == u"smpte2084" || transfer == u"arib-std-b67";
}

SourceStreams ReadSourceStreams(const QString& probeText)
{
    // "  Stream #0:0[0x1](und): Video: hevc (Main 10), yuv420p10le(tv, bt2020nc/bt2020/smpte2084,
    // progressive), 3840x2160 [SAR 1:1 DAR 16:9], ..."
    static const QRegularExpression streamLine(QStringLiteral(R"(^\s*Stream #\d+:\d+\S*: (\w+): (.*)$)"));
    // Colour space, primaries and transfer, told apart as "space/primaries/transfer".
    static const QRegularExpression colours(QStringLiteral(R"([(, ]([\w.-]+)/([\w.-]+)/([\w.-]+)[,)])"));
    static const QRegularExpression size(QStringLiteral(R"(, (\d+)x(\d+)(?=[ ,]|$))"));

    SourceStreams streams;
    const QStringList lines = probeText.split(QRegularExpression(QStringLiteral("[\r\n]+")));
    for (const QString& line : lines) {
        const QRegularExpressionMatch m = streamLine.match(line);
        if (!m.hasMatch())
            continue;
        const QString kind = m.captured(1);
        if (kind == u"Audio") {
            ++streams.audio;
        } else if (kind == u"Subtitle") {
            ++streams.subtitle;
        } else if (kind == u"Video") {
            if (streams.video++ > 0)
                continue;
            const QString description = m.captured(2);
            const QRegularExpressionMatch c = colours.match(description);
            if (c.hasMatch())
                streams.transfer = c.captured(3);
            const QRegularExpressionMatch s = size.match(description);
            if (s.hasMatch()) {
                streams.width = s.captured(1).toInt();
                streams.height = s.captured(2).toInt();
            }
        }
    }
    return streams;
}

}  // namespace ondrava
