#include "conversion/SourceFilters.h"

#include <QStringList>

#include "common/Convert.h"
#include "conversion/SourceStreams.h"

namespace ondrava {

const QString kToneMappingFilters = QStringLiteral(
    "zscale=t=linear:npl=100,format=gbrpf32le,zscale=p=bt709,tonemap=tonemap=hable:desat=0,"
    "zscale=t=bt709:m=bt709:r=tv,format=yuv420p");
const QString kEvenSizeFilter = QStringLiteral("crop=trunc(iw/2)*2:trunc(ih/2)*2");

namespace {

const QStringList kVideoFormats = {QStringLiteral("mp4"), QStringLiteral("flv"), QStringLiteral("mkv"),
                                   QStringLiteral("mpg"), QStringLiteral("avi"), QStringLiteral("mov"),
                                   QStringLiteral("wmv"), QStringLiteral("3gp")};
// H.264 in 4:2:0 and Windows Media video refuse odd picture sizes.
const QStringList kEvenSizeFormats = {QStringLiteral("mp4"), QStringLiteral("flv"), QStringLiteral("mkv"),
                                      QStringLiteral("mov"), QStringLiteral("wmv")};

}  // namespace

QString AddSourceFilters(const QString& options, const EncodingInput& in, const QString& probeText)
{
    if (in.tabIndex != 0)
        return options;
    const QString ext = AsciiLower(ExtractFileExt(in.outputFileName).mid(1));
    if (!kVideoFormats.contains(ext))
        return options;

    const SourceStreams source = ReadSourceStreams(probeText);
    const QString size = SizeOption(in.sizeText, in.sizeItemIndex,
                                    in.keepProportionsEnabled && in.keepProportionsChecked);
    QStringList filters;
    if (size.isEmpty() && kEvenSizeFormats.contains(ext) && (source.width % 2 || source.height % 2))
        filters << kEvenSizeFilter;
    if (source.IsHdr())
        filters << kToneMappingFilters;
    if (filters.isEmpty())
        return options;

    // The size's own filter (keep proportions) is first in the options: one chain holds both,
    // scaling first, as the tool takes only the last -vf of an output.
    static const QString vf = QStringLiteral(" -vf \"");
    if (size.startsWith(vf) && options.startsWith(size)) {
        return size.chopped(1) + u',' + filters.join(u',') + u'"' + options.mid(size.size());
    }
    return vf + filters.join(u',') + u'"' + options;
}

}  // namespace ondrava
