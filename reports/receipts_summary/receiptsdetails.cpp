#include "reports/receipts_summary/receiptsdetails.h"

#include "core/grid/columnfitter.h"
#include "core/grid/gridmodel.h"
#include "core/grid/gridpainting.h"
#include "core/officeentry.h"
#include "core/textformat.h"
#include "db/dbconnection.h"
#include "reports/receipts_summary/receiptscolumns.h"
#include "reports/receipts_summary/receiptsengine.h"
#include "reports/receipts_summary/receiptsremark.h"
#include "reports/receipts_summary/receiptsstatements.h"
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
        // The amounts and incomes add up as read; the taxes as they show.
        double amountSum = 0;
        qint64 taxSum = 0;
        double incomeSum = 0;
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
                detail.setText(r, dcol::kAmount, moneyOrEmpty(a));
                detail.setText(r, dcol::kIncome, moneyOrEmpty(s));
                const qint64 tax = (a ? moneyCents(*a) : 0) - (s ? moneyCents(*s) : 0);
                detail.setText(r, dcol::kTax, centsText(tax));
                detail.setText(r, dcol::kReceived, dateText(result, received));
                detail.setText(r, dcol::kCashier, result.textOrEmpty(cashier));
                detail.setText(r, dcol::kIssuer, result.textOrEmpty(issuer));
                detail.setText(r, dcol::kIssued, dateText(result, issued));
                amountSum += a.value_or(0.0);
                incomeSum += s.value_or(0.0);
                taxSum += tax;
                // The sequence column keeps its width.
                for (int c = dcol::kBook; c < detail.cols(); ++c)
                    fitter.fitCell(detail, r, c);
            }
            run.addRowsRead(rows);
            if (detail.rows() > 1) {
                const int r = detail.appendRow();
                detail.setText(r, dcol::kBook, QString::fromUtf8(kReceiptsTotalText));
                detail.setText(r, dcol::kAmount, moneyText(amountSum));
                detail.setText(r, dcol::kTax, centsText(taxSum));
                detail.setText(r, dcol::kIncome, moneyText(incomeSum));
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
    const CodeAndName parts = splitCodeAndName(keyText);
    return ReceiptsRowKey { parts.code, parts.name };
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
