#pragma once

#include <QtGlobal>

namespace fee {

// How far a report run has got: what a window or the command line shows.
struct RunProgress {
    int officesDone = 0;
    int officeCount = 0; // 0 when the run is not counted in offices
    qint64 rowsRead = 0;
    int serverSilentSeconds = 0; // how long the server has not answered a request
};

} // namespace fee
