#pragma once

#include "core/grid/rowkind.h"
#include "core/messages.h"

namespace fee {

class GridModel;

// Why a selection cannot be run, decided once per report and used alike by
// its window (a box, the focus on the control named) and by the command
// line (the message on standard error, exit 2).
struct SelectionCheck {
    enum class Status {
        Ok, // the run may go on
        Silent, // nothing to run and nothing to say (no entry shown in a list the run needs)
        Refused, // the message says why
    };
    // The part of the selection panel a refusal is about, for the focus.
    enum class Field { None, Offices, FeeItems, Dates, PaymentMethod, Payee, Department };

    Status status = Status::Ok;
    BoxRequest message; // for Refused
    Field field = Field::None;

    bool isOk() const { return status == Status::Ok; }
    static SelectionCheck refused(const BoxRequest& message, Field field = Field::None)
    {
        return SelectionCheck { Status::Refused, message, field };
    }
    static SelectionCheck silent() { return SelectionCheck { Status::Silent, {}, Field::None }; }
};

// What a detail list is opened for: the row's key (office, category, item,
// the report's own sort of row) and the summary column clicked.
struct DrillKey {
    RowKey row;
    int column = -1;
};

// How a fill ended when it did not throw (a failure or a cancellation is
// thrown as Failure, and the rows written so far stay).
struct FillOutcome {
    int dataRows = 0; // rows of RowKind::Data written
};

// The one shape of every report's engine. An engine is made for one checked
// selection over a run context (ReportEngine subclasses take
// `(RunContext&, const XSelection&)`), runs on the run's worker thread and
// writes typed rows forward-only into a headless grid, which the window
// shows while it fills; the command line reads the same grid.
class ReportEngine {
public:
    virtual ~ReportEngine() = default;

    // The empty result grid: headings, widths, alignments and merges, cut
    // to its heading rows. Also what a window shows before its first run.
    virtual void layout(GridModel& grid) const = 0;
    // Lays the grid out, then writes the rows (Data, Subtotal, Total, Note)
    // with their keys and typed values.
    virtual FillOutcome fill(GridModel& grid) = 0;

    // Whether a cell of the result has a detail list behind it.
    virtual bool hasDetail(const GridModel& grid, int row, int column) const
    {
        (void)grid;
        (void)row;
        (void)column;
        return false;
    }
    // The empty detail grid, and the detail list behind one figure.
    virtual void layoutDetail(const DrillKey& key, GridModel& detail) const
    {
        (void)key;
        (void)detail;
    }
    virtual FillOutcome fillDetail(const DrillKey& key, GridModel& detail)
    {
        (void)key;
        (void)detail;
        return {};
    }
};

} // namespace fee
