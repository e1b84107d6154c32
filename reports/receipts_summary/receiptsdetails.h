#pragma once

#include "reports/receipts_summary/receiptsselection.h"

#include <QString>
#include <optional>

namespace fee {

class GridModel;
class RunContext;

// A summary row's key (hidden column 26): office code + " " + DH.
struct ReceiptsRowKey {
    QString officeCode;
    QString itemCode;
};
// Split at the first blank; nothing for an empty key (name-only, 小计, 合计 rows).
std::optional<ReceiptsRowKey> receiptsRowKey(const QString& keyText);

// The detail lists behind a summary row, one per 汇总类别. Each cuts the
// detail grid (laid out once by LayoutReceiptsDetailGrid) to its heading row,
// lists the receipts or ledger payments of the key in the selection's receipt
// range and payment methods, widens columns to their texts, adds the totals
// row when there is a detail row, and sets the merging. Returns false, doing
// nothing, for an empty key. Failures throw; the rows listed so far stay.
bool ShowInvoiceDetails(RunContext& run, const ReceiptsSelection& selection, const QString& key, GridModel& detail);
bool ShowHouseholdDetails(RunContext& run, const ReceiptsSelection& selection, const QString& key, GridModel& detail);
bool ShowParkingRegistrationDetails(
    RunContext& run, const ReceiptsSelection& selection, const QString& key, GridModel& detail);
bool ShowParkingSpaceDetails(
    RunContext& run, const ReceiptsSelection& selection, const QString& key, GridModel& detail);

// The list chosen by a summary row's 汇总类别 ("1" to "4", column 25); false
// for any other text.
bool ShowReceiptsDetails(RunContext& run, const ReceiptsSelection& selection, const QString& key,
    const QString& summaryKind, GridModel& detail);

} // namespace fee
