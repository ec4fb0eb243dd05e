#pragma once

#include "kit/core/date.h"
#include "kit/model/uuid.h"

namespace nelvo {

// Busy time the user made: [start, end). `id` is its identity for lists and views; whoever
// makes a block gives it one (`Adjustments` draws them from the generator it is given).
struct ReservedBlock {
    Uuid id;
    Date start;
    Date end;

    bool operator==(const ReservedBlock&) const = default;
};

// How a reserved block relates to the free time around it.
enum class HoldKind {
    removed,  // touches no free slot: a whole band was taken out
    trimmed,  // touches a free slot at its start or end: it cuts a band short
};

}  // namespace nelvo
