#pragma once
// The window's answer to the Help menu's update check. Defined with the window's logic
// (MainFUpdateNotice.cpp joins the window library).
#include <QString>

namespace ondrava {

// Called by the update checker once the menu's query has been read: says that the check
// failed, or that no newer version exists, or offers the new one. It reaches the window whose
// menu command started the query, and does nothing once that window's checker is gone.
void ReceivedUpdate(const QString& tmpStr);

// Today as a day number: whole days since 30 December 1899.
qint64 TodayDayNumber();

}  // namespace ondrava
