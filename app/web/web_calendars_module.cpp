// The one entry of the module "web-calendars".
#include "app/web/ics_url_calendar_source.h"

extern "C" nelvo::WebCalendarSource* nelvo_make_web_calendars()
{
    return new nelvo::IcsUrlCalendarSource();
}
