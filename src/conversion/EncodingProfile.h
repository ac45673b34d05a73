#pragma once
// The options handed to the media tool: from the output file's extension, the quality and the
// size on the format tab, or the chosen device's own parameter text on the device tab.
#include <QString>
#include <optional>

namespace ondrava {

// Rows indexed by the quality position 0..10: video quantiser, audio bit rate for MP3/VCD,
// audio bit rate for AAC/Opus/WMA, H.264 rate factor, VP9 rate factor.
extern const int QualityTable[5][11];

// The window's state at the moment of building.
struct EncodingInput {
    QString outputFileName;  // text of the output box; only its extension decides
    int qualityIndex = 0;    // 0 source quality, else custom
    int trackBarPosition = 8;
    bool trackBarEnabled = false;  // disabled -> position 7
    bool noSound = false;
    bool keepProportionsEnabled = true, keepProportionsChecked = true;
    QString sizeText;
    int sizeItemIndex = 0;
    int tabIndex = 0;                     // 0 format tab, 1 device tab
    std::optional<QString> deviceParams;  // the selected device's Params; nullopt = no device chosen
};

// "-1" invalid, "" keep the source size, else the size option beginning with a blank.
QString SizeOption(const QString& sizeText, int sizeItemIndex, bool keepProportions);

// A refusal carries the GeneralMessages identifier to show; the caller shows it.
struct OptionString {
    QString options;
    int refusalMessageId = 0;
    bool ok() const { return refusalMessageId == 0; }
};

inline constexpr int kInvalidSizeMessageId = 13011;
inline constexpr int kNoDeviceMessageId = 13018;

OptionString BuildOptionString(const EncodingInput& in);

}  // namespace ondrava
