#pragma once
// The identifiers that a language file must supply, shared by the step that applies a
// language to the window and by the checks of the shipped language files.
#include <cstddef>

namespace ondrava {

// One text put into a property of a window control. Property is one of "Caption", "Hint",
// "Text", "Title", "FirstItem" (the list's first entry) or "SecondItem" (its second entry).
struct LanguageTextRow {
  const char* section;  // "MainMenu" or "MainForm"
  const char* id;       // five digits, e.g. "11010"
  const char* control;  // the control's name, e.g. "N1"
  const char* property;
};

// In the order the texts are applied; an identifier may feed more than one property.
inline constexpr LanguageTextRow kLanguageTextTable[] = {
    {"MainMenu", "11010", "N1", "Caption"},
    {"MainMenu", "11050", "ViewMenuItem", "Caption"},
    {"MainMenu", "11051", "LanguageMenuItem", "Caption"},
    {"MainMenu", "11052", "SoundAction", "Caption"},
    {"MainMenu", "11100", "N2", "Caption"},
    {"MainMenu", "11011", "OpenSourceAction", "Caption"},
    {"MainMenu", "11020", "ExitAction", "Caption"},
    {"MainMenu", "11110", "AboutAction", "Caption"},
    {"MainMenu", "11101", "ContentsAction", "Caption"},
    {"MainMenu", "11102", "CheckUpdateAction", "Caption"},
    {"MainMenu", "11103", "HomePageAction", "Caption"},
    {"MainForm", "12011", "SourceFileNameLabel", "Caption"},
    {"MainForm", "12012", "SourceFilenameEdit", "Text"},
    {"MainForm", "12012", "SourceFilenameEdit", "Hint"},
    {"MainForm", "12013", "SourceOpenDialog", "Title"},
    {"MainForm", "12014", "OpenBitBtn", "Caption"},
    {"MainForm", "12015", "OpenBitBtn", "Hint"},
    {"MainForm", "12050", "ConvertToLabel", "Caption"},
    {"MainForm", "12051", "OutFormatLabel", "Caption"},
    {"MainForm", "12052", "OutFormatComboBox", "Hint"},
    {"MainForm", "12060", "OutSizeLabel", "Caption"},
    {"MainForm", "12061", "OutSizeComboBox", "Hint"},
    {"MainForm", "12062", "OutSizeComboBox", "FirstItem"},
    {"MainForm", "12077", "QualityComboBox", "FirstItem"},
    {"MainForm", "12078", "QualityComboBox", "SecondItem"},
    {"MainForm", "12075", "AdditionLabel", "Caption"},
    {"MainForm", "12076", "NoSoundPopupMenu", "Caption"},
    {"MainForm", "12110", "SameAspectRationPMenu", "Caption"},
    {"MainForm", "12111", "SameAspectRationPMenu", "Hint"},
    {"MainForm", "12070", "QualityLabel", "Caption"},
    {"MainForm", "12072", "LowQLabel", "Caption"},
    {"MainForm", "12073", "HiQLabel", "Caption"},
    {"MainForm", "12080", "OutFileLabel", "Caption"},
    {"MainForm", "12081", "OutVideoFileBEdit", "Hint"},
    {"MainForm", "12082", "OpenOutSpeedButton", "Hint"},
    {"MainForm", "12090", "OpenFileBitBtn", "Hint"},
    {"MainForm", "12091", "OpenFolderBitBtn", "Hint"},
    {"MainForm", "12100", "ConvertBitBtn", "Caption"},
    {"MainForm", "12101", "StopConvBitBtn", "Caption"},
    {"MainForm", "12053", "FormatTabSheet", "Caption"},
    {"MainForm", "12054", "DeviceTabSheet", "Caption"},
};

// One message kept in the window's message table (LNGA, 21 slots, 0-based index = slot - 1).
struct LanguageMessageRow {
  int slot;             // 1-based slot of LNGA, 2 to 14
  const char* section;  // "GeneralMessages" or "MainForm"
  const char* id;
};

inline constexpr LanguageMessageRow kLanguageMessageTable[] = {
    {2, "GeneralMessages", "13011"},   // the typed size is invalid
    {3, "GeneralMessages", "13012"},   // the output file exists, %1 = its file name
    {4, "GeneralMessages", "13013"},   // converting
    {5, "GeneralMessages", "13014"},   // cancelled
    {6, "GeneralMessages", "13015"},   // the output file is empty
    {7, "GeneralMessages", "13016"},   // no output file was made
    {8, "GeneralMessages", "13017"},   // done
    {9, "GeneralMessages", "13030"},   // update notice, %1 = the new version
    {10, "GeneralMessages", "13031"},  // update notice, closing question
    {11, "MainForm", "12071"},         // quality slider hint, %1 = its position
    {12, "GeneralMessages", "13032"},  // no newer version
    {13, "GeneralMessages", "13033"},  // the update check failed
    {14, "GeneralMessages", "13018"},  // no device chosen
};

inline constexpr std::size_t kLanguageMessageSlots = 21;

// Why a conversion failed (GeneralMessages), looked up when a run has failed. A file without
// them shows the tool's own last line instead.
struct FailureTextRow {
  const char* id;
  bool hasPlaceholder;  // "%1": the tool's path, the source, the encoder or the output folder
};

inline constexpr const char* kToolMissingTextId = "13040";       // %1 = the tool's path
inline constexpr const char* kToolCannotStartTextId = "13041";   // %1 = the tool's path
inline constexpr const char* kSourceUnreadableTextId = "13042";  // %1 = the source
inline constexpr const char* kSourceNotMediaTextId = "13043";    // %1 = the source
inline constexpr const char* kEncoderMissingTextId = "13044";    // %1 = the encoder's name
inline constexpr const char* kSourceHasNoSoundTextId = "13045";
inline constexpr const char* kOutputNotWritableTextId = "13046";  // %1 = the output folder
inline constexpr const char* kDiskFullTextId = "13047";
inline constexpr const char* kToolCrashedTextId = "13048";
inline constexpr const char* kToolLastLinesTextId = "13049";  // heads the tool's last lines

inline constexpr FailureTextRow kFailureTextTable[] = {
    {kToolMissingTextId, true},       {kToolCannotStartTextId, true},
    {kSourceUnreadableTextId, true},  {kSourceNotMediaTextId, true},
    {kEncoderMissingTextId, true},    {kSourceHasNoSoundTextId, false},
    {kOutputNotWritableTextId, true}, {kDiskFullTextId, false},
    {kToolCrashedTextId, false},      {kToolLastLinesTextId, false},
};

}  // namespace ondrava
