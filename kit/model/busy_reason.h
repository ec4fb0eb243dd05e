#pragma once

namespace nelvo {

namespace BusyClassifier {

// Why an event counts or not: the rule that decided, for the views to say. The first five
// count; `freed` comes first, as in state().
enum class BusyReason {
    accepted,
    answeredMaybe,
    noAnswer,    // invited, no answer yet: it counts until declined
    ownEvent,    // no attendees
    markedBusy,  // an invitation on which the user is not found (no address known)
    freed,
    calendarLeftOut,
    allDay,
    cancelled,
    declined,
    shownAsFree,
};

}  // namespace BusyClassifier

}  // namespace nelvo
