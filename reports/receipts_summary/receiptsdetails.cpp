#include "reports/receipts_summary/receiptsdetails.h"

#include "core/grid/columnfitter.h"
#include "core/grid/gridmodel.h"
#include "core/grid/gridpainting.h"
#include "core/money.h"
#include "db/dbconnection.h"
#include "reports/receipts_summary/receiptscolumns.h"
#include "reports/receipts_summary/receiptsremark.h"
#include "reports/receipts_summary/receiptsstatements.h"
#include "reports/shared/runcontext.h"

namespace fee {

namespace {

    namespace col = ReceiptsColumn;
    namespace dcol = ReceiptsDetailColumn;

    using StatementBuilder = QString (*)(const ReceiptsStatementInput&, const QString&, const QString&);

    constexpr int kWidenPadding = 95;

    // The list of each source (汇总类别 1 to 4).
    StatementBuilder builderOf(int source)
    {
        switch (source) {
        case 1:
            return &invoiceDetailsStatement;
        case 2:
            return &householdDetailsStatement;
        case 3:
            return &parkingRegistrationDetailsStatement;
        case 4:
            return &parkingSpaceDetailsStatement;
        default:
            return nullptr;
        }
    }

    CellValue dateValue(const DbResult& result, int field)
    {
        // The ledger lists select '' as 开票日期: an empty text shows nothing.
        if (result.isNull(field) || result.text(field).trimmed().isEmpty())
            return {};
        return CellValue::fromDate(result.date(field));
    }

    // A money cell of a value that may be NULL (then empty).
    CellValue moneyValue(const std::optional<Amount>& amount)
    {
        return amount ? CellValue::fromMoney(amount->cents()) : CellValue();
    }

} // namespace

bool hasReceiptsDetail(const RowKey& row) { return !row.office.isEmpty() && builderOf(row.kind) != nullptr; }

bool receiptsCellHasDetail(const GridModel& summary, int row, int column)
{
    if (column != col::kDetail || row < summary.fixedRows() || row >= summary.rows())
        return false;
    return summary.rowKind(row) == RowKind::Data && hasReceiptsDetail(summary.rowKey(row));
}

FillOutcome fillReceiptsDetail(
    RunContext& run, const ReceiptsSelection& selection, const RowKey& key, GridModel& detail)
{
    if (!hasReceiptsDetail(key))
        return {};
    const StatementBuilder builder = builderOf(key.kind);
    ReceiptsStatementInput input;
    input.paymentMethods = receiptsPaymentMethodList(selection);
    input.start = selection.receipts.start;
    input.end = selection.receipts.end;
    const QString statement = builder(input, key.office, key.item);

    if (detail.cols() != dcol::kCount)
        layoutReceiptsDetailGrid(detail);
    // The amounts and incomes add up as read; the taxes as they show.
    Amount amountSum;
    qint64 taxSum = 0;
    Amount incomeSum;
    FillOutcome outcome;
    ColumnFitter fitter(kWidenPadding);
    {
        GridPainting paused(detail);
        detail.setRows(1);
        run.throwIfCancelled();
        DbResult result = run.connection().query(statement);
        const int book = result.indexOf(QStringLiteral("入库单编号"));
        const int number = result.indexOf(QStringLiteral("票据编号"));
        const int payer = result.indexOf(QStringLiteral("付款人"));
        const int item = result.indexOf(QStringLiteral("项目"));
        const int remark = result.indexOf(QStringLiteral("摘要"));
        const int amount = result.indexOf(QStringLiteral("金额"));
        const int income = result.indexOf(QStringLiteral("SR"));
        const int received = result.indexOf(QStringLiteral("收款日期"));
        const int cashier = result.indexOf(QStringLiteral("收款人"));
        const int issuer = result.indexOf(QStringLiteral("开票人"));
        const int issued = result.indexOf(QStringLiteral("开票日期"));
        while (result.next()) {
            const std::optional<Amount> a = Amount::fromDouble(result.numberOrNull(amount));
            const std::optional<Amount> s = Amount::fromDouble(result.numberOrNull(income));
            const qint64 tax = (a ? a->cents() : 0) - (s ? s->cents() : 0);
            QVector<CellValue> cells(dcol::kCount);
            const int r = detail.rows();
            cells[dcol::kSequence] = CellValue::fromCount(r);
            cells[dcol::kBook] = CellValue::fromText(result.textOrEmpty(book));
            cells[dcol::kNumber] = CellValue::fromText(result.textOrEmpty(number));
            cells[dcol::kPayer] = CellValue::fromText(result.textOrEmpty(payer));
            cells[dcol::kItem] = CellValue::fromText(result.textOrEmpty(item));
            cells[dcol::kRemark] = CellValue::fromText(
                receiptsRemarkText(result.isNull(remark) ? std::nullopt : std::optional<QString>(result.text(remark))));
            cells[dcol::kAmount] = moneyValue(a);
            cells[dcol::kTax] = CellValue::fromMoney(tax);
            cells[dcol::kIncome] = moneyValue(s);
            cells[dcol::kReceived] = dateValue(result, received);
            cells[dcol::kCashier] = CellValue::fromText(result.textOrEmpty(cashier));
            cells[dcol::kIssuer] = CellValue::fromText(result.textOrEmpty(issuer));
            cells[dcol::kIssued] = dateValue(result, issued);
            detail.appendRow(cells, RowKind::Data,
                RowKey { key.office, QString(), key.item, cells[dcol::kNumber].string(), key.kind });
            ++outcome.dataRows;
            amountSum += a.value_or(Amount());
            incomeSum += s.value_or(Amount());
            taxSum += tax;
            // The sequence column keeps its width.
            for (int c = dcol::kBook; c < detail.cols(); ++c)
                fitter.fitCell(detail, r, c);
        }
        run.addRowsRead(outcome.dataRows);
        if (detail.rows() > 1) {
            QVector<CellValue> cells(dcol::kCount);
            cells[dcol::kBook] = CellValue::fromText(QString::fromUtf8(kReceiptsTotalText));
            cells[dcol::kAmount] = CellValue::fromMoney(amountSum.cents());
            cells[dcol::kTax] = CellValue::fromMoney(taxSum);
            cells[dcol::kIncome] = CellValue::fromMoney(incomeSum.cents());
            const int r = detail.appendRow(cells, RowKind::Total);
            for (int c = dcol::kBook; c < detail.cols(); ++c)
                detail.setCellBackColor(r, c, receiptsTotalColor());
        }
    }
    detail.setMergeCells(MergeRestrictColumns);
    for (int c = 0; c < detail.cols(); ++c)
        detail.setMergeCol(c, c == dcol::kSequence || c == dcol::kBook || c == dcol::kNumber);
    detail.setColWidth(detail.cols() - 1, 0);
    return outcome;
}

} // namespace fee
