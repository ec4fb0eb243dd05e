// The one entry of the module "desktop-calendars".
#include "app/eds/eds_calendar_source.h"

extern "C" nelvo::DesktopCalendarSource* nelvo_make_desktop_calendars()
{
    return new nelvo::EdsCalendarSource();
}
