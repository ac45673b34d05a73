#pragma once
// The name under which the desktop knows the program: its desktop entry (and icon) id. The
// taskbar's progress and the notifications name it, so docks and notification centres match
// them to the installed entry.
namespace ondrava {

inline constexpr char kDesktopEntryId[] = "org.example.ondrava.Ondrava";

}  // namespace ondrava
