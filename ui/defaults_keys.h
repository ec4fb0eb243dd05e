#pragma once

namespace nelvo {

// The user-defaults keys the window reads and writes beside the settings record.
namespace DefaultsKeys {

inline constexpr const char* onboardingCompleted = "onboarding.completed";
inline constexpr const char* tourCompleted = "tour.completed";
inline constexpr const char* pointsPerHour = "canvas.pointsPerHour";
// The calendar files and folders the user chose (shared with `nelvo calendars`).
inline constexpr const char* calendarLocations = "calendars.locations";
// The desktop's calendars the user chose, by identifier (shared with `nelvo calendars`).
inline constexpr const char* desktopCalendars = "calendars.desktop";
// The calendar addresses the user chose (secrets; shared with `nelvo calendars`).
inline constexpr const char* webCalendars = "calendars.web";
inline constexpr const char* calendarAddresses = "calendars.addresses";
// Whether the preview panel beside the canvas is shown.
inline constexpr const char* previewShown = "preview.shown";
// "x y width height" of the window's normal geometry, then " maximized" when it was.
inline constexpr const char* windowGeometry = "window.geometry";

}  // namespace DefaultsKeys

}  // namespace nelvo
