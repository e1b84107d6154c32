#pragma once

namespace fee::demo {

class DemoDbWriter;
class DemoRandom;
class DemoReceipts;
struct DemoWorld;

// Parking spaces sold to their owners, billed on the space alone (WYZJ.CW_ID
// without a registration or a household): their fees are the receipts
// summary's parking-space source and nothing of the monthly report. Some
// owners pay quarterly, some prepay through the year after next; most
// payments get a receipt, the others are collected without one.
void writeSpaceLedger(
    DemoDbWriter& writer, DemoRandom& random, const DemoWorld& world, DemoReceipts& receipts, int roomsPerOffice);

} // namespace fee::demo
