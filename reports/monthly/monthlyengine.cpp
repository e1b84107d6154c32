#include "reports/monthly/monthlyengine.h"

#include "common/grid/columnfitter.h"
#include "common/textformat.h"
#include "db/dbconnection.h"
#include "reports/monthly/monthlycolumns.h"
#include "reports/monthly/monthlystatements.h"
#include "reports/shared/runcontext.h"

#include <QElapsedTimer>
#include <QScopeGuard>
#include <cmath>

namespace fee {

namespace {

    const QString kMoney = QStringLiteral("0.00");

    double clean(double v) { return decimalValue(v); }
    QString money(double v) { return moneyText(v); }
    QString moneyOrEmpty(double v) { return v == 0.0 ? QString() : money(v); }
    QString rate(double numerator, double denominator) { return formatRate(clean(numerator / denominator * 100)); }

    // The measures an office's row is written from, by summary column.
    using Measures = QMap<int, double>;

    void writeOfficeRow(GridModel& grid, int r, const Measures& v, const QDate& date, const QString& officeCode)
    {
        using namespace monthly;
        for (int column : measureColumns())
            grid.setText(r, column, moneyOrEmpty(v.value(column)));

        const double arrears = v.value(kArrears), arrearsCollected = v.value(kArrearsCollected),
                     arrearsWaived = v.value(kArrearsWaived);
        grid.setText(r, kArrearsUnpaid, money(arrears - arrearsCollected - arrearsWaived));
        if (arrears != 0)
            grid.setText(r, kArrearsRateWithWaivers, rate(arrearsWaived + arrearsCollected, arrears));
        const double arrearsNet = clean(arrears - arrearsWaived);
        if (arrears != 0 && arrearsNet != 0)
            grid.setText(r, kArrearsRate, rate(arrearsCollected, arrearsNet));

        double months = 0;
        for (int m = 0; m < 12; ++m)
            months += v.value(kFirstMonth + m);
        grid.setText(r, kCollected, money(months));
        const double collected = leadingNumber(grid.text(r, kCollected));
        const double due = v.value(kDue), waived = v.value(kWaived), vacant = v.value(kVacant);
        grid.setText(r, kUnpaid, money(due - collected - waived - vacant));
        if (due != 0)
            grid.setText(r, kRateWithWaivers, rate(collected + waived + vacant, due));
        const double dueNet = clean(due - waived - vacant);
        if (dueNet != 0)
            grid.setText(r, kRate, rate(collected, dueNet));

        grid.setText(
            r, kPrepaid, money(v.value(kPrepaidNextYear) + v.value(kPrepaidYearAfter) + v.value(kPrepaidLater)));
        const double prepaid = leadingNumber(grid.text(r, kPrepaid));
        grid.setText(r, kReceived, money(prepaid + (arrearsCollected + collected)));
        grid.setText(r, kMonthCount, QString::number(date.month()));
        const double dueToDate = v.value(kDueToDate), collectedToDate = v.value(kCollectedToDate);
        grid.setText(r, kUnpaidToDate, money(dueToDate - collectedToDate));
        if (dueToDate != 0)
            grid.setText(r, kRateToDate, rate(collectedToDate, dueToDate));
        grid.setText(r, kAllUnpaid,
            money(leadingNumber(grid.text(r, kArrearsUnpaid)) + leadingNumber(grid.text(r, kUnpaidToDate))));
        grid.setText(r, kOfficeCode, officeCode);
    }

    void writeTotalsRow(GridModel& grid)
    {
        using namespace monthly;
        grid.setRedraw(false);
        QVector<double> total(kColumnCount, 0.0);
        for (int r = kHeadingRows; r < grid.rows(); ++r) {
            for (int c = kName; c < kOfficeCode; ++c) {
                if (isTotalled(c))
                    total[c] += leadingNumber(grid.text(r, c));
            }
        }
        for (double& t : total)
            t = clean(t);
        const int r = grid.appendRow();
        grid.setText(r, kName, QStringLiteral("合计"));
        for (int c = kName; c < kOfficeCode; ++c) {
            if (isTotalled(c))
                grid.setText(r, c,
                    formatNumber(
                        total[c], c == kArrearsCollected || c == kArrearsUnpaid ? QStringLiteral("0") : kMoney));
        }
        if (total[kArrears] != 0)
            grid.setText(
                r, kArrearsRateWithWaivers, rate(total[kArrearsWaived] + total[kArrearsCollected], total[kArrears]));
        if (clean(total[kArrears] - total[kArrearsWaived]) != 0)
            grid.setText(r, kArrearsRate, rate(total[kArrearsCollected], total[kArrears] - total[kArrearsWaived]));
        if (total[kDue] != 0)
            grid.setText(r, kRateWithWaivers, rate(total[kCollected] + total[kWaived] + total[kVacant], total[kDue]));
        if (clean(total[kDue] - total[kWaived] - total[kVacant]) != 0)
            grid.setText(r, kRate, rate(total[kCollected], total[kDue] - total[kWaived] - total[kVacant]));
        if (total[kDueToDate] != 0)
            grid.setText(r, kRateToDate, rate(total[kCollectedToDate], total[kDueToDate]));
        grid.setRedraw(true);
    }

} // namespace

MonthlyEngine::MonthlyEngine(DbConnection& connection)
    : m_connection(connection)
{
}

bool MonthlyEngine::isDrillColumn(int column) { return isMeasureColumn(column); }

void MonthlyEngine::resetTiming()
{
    m_databaseNs = 0;
    m_statements = 0;
}

QMap<int, double> MonthlyEngine::sumMeasures(DbConnection& connection, const MonthlyStatementInput& input)
{
    // Every statement of the office goes out in one batch: none needs
    // another's result, and over a slow link each request costs a round trip.
    QStringList statements;
    QVector<QString> aliases;
    QVector<int> columns;
    for (int column : measureColumns()) {
        for (const MeasureStatement& s : summingStatements(column, input)) {
            statements.append(s.statement);
            aliases.append(s.alias);
            columns.append(column);
        }
    }
    QElapsedTimer timer;
    timer.start();
    QMap<int, double> sums;
    DbResult result = connection.queryBatch(statements);
    for (qsizetype k = 0; k < statements.size(); ++k) {
        if (k > 0)
            result.nextResult();
        double& sum = sums[columns.at(k)];
        if (result.next())
            sum += clean(result.numberOrNull(result.indexOf(aliases.at(k))).value_or(0.0));
    }
    m_databaseNs += timer.nsecsElapsed();
    m_statements += int(statements.size());
    for (double& sum : sums)
        sum = clean(sum);
    return sums;
}

void MonthlyEngine::run(const MonthlySelection& selection, GridModel& summary)
{
    RunContext context(m_connection);
    run(context, selection, summary);
}

void MonthlyEngine::run(RunContext& context, const MonthlySelection& selection, GridModel& summary)
{
    const QString reportYear
        = selection.reportYear.isEmpty() ? QString::number(selection.statisticsDate.year()) : selection.reportYear;
    monthly::layoutSummaryGrid(summary, reportYear);
    // Once the figures are in (all, or as far as a cancel or failure let
    // them come), every column is as wide as its widest figure: none is
    // shown cut.
    const auto fitted = qScopeGuard(
        [&summary] { ColumnFitter().fitShownRows(summary, monthly::kHeadingRows, summary.rows() - 1); });

    const int count = int(selection.offices.size());
    context.setOfficeCount(count);
    int written = 0;
    try {
        context.forEachOffice(count, [&](int index, DbConnection& connection) -> std::function<void()> {
            const Office& office = selection.offices.at(index);
            const MonthlyStatementInput input { office.code, selection.feeCodes, selection.statisticsDate, reportYear };
            context.throwIfCancelled();
            const Measures values = sumMeasures(connection, input);
            return [&summary, &written, &selection, office, values] {
                const int r = summary.appendRow();
                summary.setText(r, monthly::kSerial, QString::number(r - 1));
                summary.setText(r, monthly::kName, office.name);
                writeOfficeRow(summary, r, values, selection.statisticsDate, office.code);
                ++written;
            };
        });
    } catch (const Failure& failure) {
        // The office that failed was begun: its row shows who it was, as the
        // window showed it while its figures were being summed.
        if (!isCancellation(failure) && written < count) {
            const int r = summary.appendRow();
            summary.setText(r, monthly::kSerial, QString::number(r - 1));
            summary.setText(r, monthly::kName, selection.offices.at(written).name);
        }
        throw;
    }
    if (summary.rows() > monthly::kHeadingRows)
        writeTotalsRow(summary);
}

void MonthlyEngine::fillDetail(
    const MonthlySelection& selection, int column, const QString& officeCode, GridModel& detail)
{
    const QString reportYear
        = selection.reportYear.isEmpty() ? QString::number(selection.statisticsDate.year()) : selection.reportYear;
    const MonthlyStatementInput input { officeCode, selection.feeCodes, selection.statisticsDate, reportYear };
    const QString statement = detailStatement(column, input);
    if (statement.isEmpty())
        return;

    QElapsedTimer timer;
    timer.start();
    DbResult result = m_connection.query(statement);
    m_databaseNs += timer.nsecsElapsed();
    ++m_statements;

    detail.setRedraw(false);
    detail.setFormatString(detailFormatString(column));
    detail.setRows(1);
    detail.setFixedRows(1);
    detail.setFixedCols(1);
    for (int c = 0; c < detail.cols(); ++c)
        detail.setFixedAlignment(c, AlignCenter);

    auto fitRow = [&detail](int r) {
        for (int c = 0; c < detail.cols(); ++c) {
            const int wanted = detail.measureText(detail.text(r, c)) + 90;
            if (wanted > detail.colWidth(c))
                detail.setColWidth(c, wanted);
        }
    };

    try {
        const int dz = result.indexOf(QStringLiteral("DZ")), room = result.indexOf(QStringLiteral("室")),
                  suffix = result.indexOf(QStringLiteral("字")), name = result.indexOf(QStringLiteral("姓名")),
                  item = result.indexOf(QStringLiteral("xm")), period = result.indexOf(QStringLiteral("zj_cny")),
                  amount = result.indexOf(QStringLiteral("金额")),
                  collected = result.indexOf(QStringLiteral("zj_skrq"));
        while (true) {
            timer.restart();
            const bool more = result.next();
            m_databaseNs += timer.nsecsElapsed();
            if (!more)
                break;
            const int r = detail.appendRow();
            detail.setText(r, 0, QString::number(r));
            QString address = result.textOrEmpty(dz);
            if (!result.isNull(room) && !result.isNull(suffix))
                address += result.textOrEmpty(room) + result.textOrEmpty(suffix);
            detail.setText(r, 1, address);
            detail.setText(r, 2, result.textOrEmpty(name));
            detail.setText(r, 3, result.textOrEmpty(item));
            detail.setText(r, 4, result.textOrEmpty(period));
            const auto value = result.numberOrNull(amount);
            detail.setText(r, 5, value ? formatNumber(*value, kMoney) : QString());
            detail.setText(r, 6, formatDate(result.date(collected), QStringLiteral("yyyy-mm-dd")));
            fitRow(r);
        }
    } catch (...) {
        detail.setRedraw(true);
        throw;
    }
    detail.setRedraw(true);

    double sum = 0;
    for (int r = 1; r < detail.rows(); ++r)
        sum += leadingNumber(detail.text(r, 5));
    const int r = detail.appendRow();
    detail.setText(r, 1, QStringLiteral("合计"));
    detail.setText(r, 5, money(sum));
    fitRow(r);
}

} // namespace fee
