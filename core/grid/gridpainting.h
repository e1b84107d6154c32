#pragma once

#include "core/grid/gridmodel.h"

namespace fee {

// Suspends a grid's painting for a scope and resumes it however the scope
// ends, so a failed run never leaves the grid frozen.
class GridPainting {
public:
    explicit GridPainting(GridModel& grid)
        : m_grid(grid)
    {
        m_grid.setRedraw(false);
    }
    ~GridPainting() { m_grid.setRedraw(true); }
    GridPainting(const GridPainting&) = delete;
    GridPainting& operator=(const GridPainting&) = delete;

private:
    GridModel& m_grid;
};

} // namespace fee
