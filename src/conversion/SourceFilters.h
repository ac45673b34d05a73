#pragma once
// The Format tab's options completed by what the probe tells about the source: a high dynamic
// range picture is tone-mapped to ordinary BT.709 for every video format except WEBM, and a
// picture of odd width or height kept at the source's size loses its last line or column for
// the encoders that need even sizes.
#include <QString>

#include "conversion/EncodingProfile.h"

namespace ondrava {

// The filters from linear light through the tone curve to 8-bit BT.709.
extern const QString kToneMappingFilters;
// Cuts a picture to the next even width and height below.
extern const QString kEvenSizeFilter;

// options: what BuildOptionString gave for `in`; probeText: the probe's whole report. Returns
// the options to run. Device presets and outputs without a picture come back unchanged.
QString AddSourceFilters(const QString& options, const EncodingInput& in, const QString& probeText);

}  // namespace ondrava
