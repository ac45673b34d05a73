#pragma once
// What the media tool's report on the source (the probe: the tool given only the source) says
// about the source's streams: how many pictures, sounds and texts it holds, the first picture's
// size and how its brightness is coded.
#include <QString>

namespace ondrava {

struct SourceStreams {
    int video = 0, audio = 0, subtitle = 0;
    // Of the first video stream; 0 when the report gives none.
    int width = 0, height = 0;
    // The first video stream's transfer as the tool names it ("bt709", "smpte2084", ...) when
    // the report tells the colour properties apart; empty otherwise.
    QString transfer;

    // The first picture is high dynamic range: the PQ or the HLG transfer.
    bool IsHdr() const;
};

// Reads the stream lines ("Stream #0:1(eng): Audio: ...") of the probe's text.
SourceStreams ReadSourceStreams(const QString& probeText);

}  // namespace ondrava
