#include "reports/receipts_summary/receiptsdetails.h"

#include "common/grid/gridmodel.h"
#include "common/grid/gridpainting.h"
#include "common/textformat.h"
#include "db/dbconnection.h"
#include "reports/receipts_summary/receiptscolumns.h"
#include "reports/receipts_summary/receiptsengine.h"
#include "reports/receipts_summary/receiptsremark.h"
#include "reports/receipts_summary/receiptsstatements.h"
#include "reports/receipts_summary/receiptsvalues.h"
#include "reports/shared/runcontext.h"

namespace fee {

namespace {

    namespace dcol = ReceiptsDetailColumn;

    using StatementBuilder = QString (*)(const ReceiptsStatementInput&, const QString&, const QString&);

    constexpr int kWidenPadding = 95;

    QString dateText(const DbResult& result, int field)
    {
        // The ledger lists select '' as 开票日期: an empty text shows nothing.
        if (result.isNull(field) || result.text(field).trimmed().isEmpty())
            return QString();
        return formatDate(result.date(field), QStringLiteral("yyyy-mm-dd"));
    }

    QString amountText(const std::optional<double>& value)
    {
        return value ? formatNumber(decimalValue(*value), QStringLiteral("#0.00")) : QString();
    }

    bool showDetails(RunContext& run, const ReceiptsSelection& selection, const QString& keyText,
        StatementBuilder builder, GridModel& detail)
    {
        const std::optional<ReceiptsRowKey> key = receiptsRowKey(keyText);
        if (!key)
            return false;
        ReceiptsStatementInput input;
        input.paymentMethods = receiptsPaymentMethodList(selection);
        input.start = selection.receipts.start;
        input.end = selection.receipts.end;
        const QString statement = builder(input, key->officeCode, key->itemCode);

        if (detail.cols() != dcol::kCount)
            LayoutReceiptsDetailGrid(detail);
        double amountSum = 0;
        double taxSum = 0;
        double incomeSum = 0;
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
            qint64 rows = 0;
            while (result.next()) {
                const int r = detail.appendRow();
                ++rows;
                detail.setText(r, dcol::kSequence, QString::number(r));
                detail.setText(r, dcol::kBook, result.textOrEmpty(book));
                detail.setText(r, dcol::kNumber, result.textOrEmpty(number));
                detail.setText(r, dcol::kPayer, result.textOrEmpty(payer));
                detail.setText(r, dcol::kItem, result.textOrEmpty(item));
                detail.setText(r, dcol::kRemark,
                    receiptsRemarkText(
                        result.isNull(remark) ? std::nullopt : std::optional<QString>(result.text(remark))));
                const std::optional<double> a = result.numberOrNull(amount);
                const std::optional<double> s = result.numberOrNull(income);
                detail.setText(r, dcol::kAmount, amountText(a));
                detail.setText(r, dcol::kIncome, amountText(s));
                detail.setText(r, dcol::kTax,
                    moneyText(
                        leadingNumber(detail.text(r, dcol::kAmount)) - leadingNumber(detail.text(r, dcol::kIncome))));
                detail.setText(r, dcol::kReceived, dateText(result, received));
                detail.setText(r, dcol::kCashier, result.textOrEmpty(cashier));
                detail.setText(r, dcol::kIssuer, result.textOrEmpty(issuer));
                detail.setText(r, dcol::kIssued, dateText(result, issued));
                amountSum += a.value_or(0.0);
                incomeSum += s.value_or(0.0);
                taxSum += leadingNumber(detail.text(r, dcol::kTax));
                widenDetailColumns(detail, r);
            }
            run.addRowsRead(rows);
            if (detail.rows() > 1) {
                const int r = detail.appendRow();
                detail.setText(r, dcol::kBook, QString::fromUtf8(kReceiptsTotalText));
                detail.setText(r, dcol::kAmount, amountText(amountSum));
                detail.setText(r, dcol::kTax, amountText(taxSum));
                detail.setText(r, dcol::kIncome, amountText(incomeSum));
                for (int c = dcol::kBook; c < detail.cols(); ++c)
                    detail.setCellBackColor(r, c, receiptsTotalColor());
            }
        }
        detail.setMergeCells(MergeRestrictColumns);
        for (int c = 0; c < detail.cols(); ++c)
            detail.setMergeCol(c, c == dcol::kSequence || c == dcol::kBook || c == dcol::kNumber);
        detail.setColWidth(detail.cols() - 1, 0);
        return true;
    }

} // namespace

std::optional<ReceiptsRowKey> receiptsRowKey(const QString& keyText)
{
    if (keyText.isEmpty())
        return std::nullopt;
    const qsizetype blank = keyText.indexOf(QLatin1Char(' '));
    if (blank < 0)
        return ReceiptsRowKey { keyText, QString() };
    return ReceiptsRowKey { keyText.left(blank), keyText.mid(blank + 1) };
}

void widenDetailColumns(GridModel& detail, int row)
{
    for (int c = 1; c < detail.cols(); ++c) {
        const int wanted = detail.measureText(detail.text(row, c)) + kWidenPadding;
        if (wanted > detail.colWidth(c))
            detail.setColWidth(c, wanted);
    }
}

bool ShowInvoiceDetails(RunContext& run, const ReceiptsSelection& selection, const QString& key, GridModel& detail)
{
    return showDetails(run, selection, key, &invoiceDetailsStatement, detail);
}

bool ShowHouseholdDetails(RunContext& run, const ReceiptsSelection& selection, const QString& key, GridModel& detail)
{
    return showDetails(run, selection, key, &householdDetailsStatement, detail);
}

bool ShowParkingRegistrationDetails(
    RunContext& run, const ReceiptsSelection& selection, const QString& key, GridModel& detail)
{
    return showDetails(run, selection, key, &parkingRegistrationDetailsStatement, detail);
}

bool ShowParkingSpaceDetails(RunContext& run, const ReceiptsSelection& selection, const QString& key, GridModel& detail)
{
    return showDetails(run, selection, key, &parkingSpaceDetailsStatement, detail);
}

bool ShowReceiptsDetails(RunContext& run, const ReceiptsSelection& selection, const QString& key,
    const QString& summaryKind, GridModel& detail)
{
    if (summaryKind == QLatin1String("1"))
        return ShowInvoiceDetails(run, selection, key, detail);
    if (summaryKind == QLatin1String("2"))
        return ShowHouseholdDetails(run, selection, key, detail);
    if (summaryKind == QLatin1String("3"))
        return ShowParkingRegistrationDetails(run, selection, key, detail);
    if (summaryKind == QLatin1String("4"))
        return ShowParkingSpaceDetails(run, selection, key, detail);
    return false;
}

} // namespace fee
