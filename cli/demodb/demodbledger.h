#pragma once

#include "cli/demodb/demodbproperty.h"

#include <vector>

namespace fee::demo {

class DemoDbWriter;
class DemoRandom;
class DemoReceipts;

// Bills every account month by month, collects by its habit, and writes the
// ledger rows (WYZJ) with the receipts of the collections.
void writeLedger(DemoDbWriter& writer, DemoRandom& random, const DemoWorld& world,
    const std::vector<DemoAccount>& accounts, DemoReceipts& receipts);

} // namespace fee::demo
