#pragma once

#include "core/messages.h"

namespace fee {

// How a run of the daily list ended when it did not fail (failures and
// cancellation are thrown as Failure).
struct DailyRunOutcome {
    enum class Status {
        Done, // the grid holds the result rows and, when there are any, the totals row
        NotStarted, // no office or no payment-method entry chosen: nothing happens, nothing is shown
        Refused, // a check stopped the run before anything was read: the window shows the message in a box, the
                 // command line prints it; the grid is unchanged
    };
    Status status = Status::Done;
    BoxRequest message; // for Refused
    int resultRows = 0; // rows written, without the totals row
};

} // namespace fee
