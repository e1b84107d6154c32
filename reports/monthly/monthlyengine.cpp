#include "reports/monthly/monthlyengine.h"

#include "core/grid/columnfitter.h"
#include "core/textformat.h"
#include "db/dbconnection.h"
#include "reports/monthly/monthlycolumns.h"
#include "reports/monthly/monthlystatements.h"
#include "reports/shared/runcontext.h"

#include <QElapsedTimer>
#include <QScopeGuard>
#include <cmath>

namespace fee {

namespace {

    double clean(double v) { return decimalValue(v); }
    QString rate(double numerator, double denominator) { return formatRate(clean(numerator / denominator * 100)); }

    // The measures an office's row is written from, by summary column.
    using Measures = QMap<int, double>;
    // The money figures of the written rows, by summary column, in cents as
    // their texts show them: the totals row adds these up.
    using ColumnCents = QVector<qint64>;

    // Writes one money cell and counts what it shows into the totals; an
    // empty cell (a zero measure) counts 0.
    qint64 putMoney(GridModel& grid, int r, int column, double value, ColumnCents& totals, ZeroMoney zero)
    {
        const QString text = moneyOrEmpty(value, zero);
        const qint64 cents = text.isEmpty() ? 0 : moneyCents(value);
        grid.setText(r, column, text);
        totals[column] += cents;
        return cents;
    }

    double fromCents(qint64 cents) { return double(cents) / 100; }

    void writeOfficeRow(
        GridModel& grid, int r, const Measures& v, const QDate& date, const QString& officeCode, ColumnCents& totals)
    {
        using namespace monthly;
        auto money = [&](int column, double value) { return putMoney(grid, r, column, value, totals, ZeroMoney::Shown); };
        for (int column : measureColumns())
            putMoney(grid, r, column, v.value(column), totals, ZeroMoney::Empty);

        const double arrears = v.value(kArrears), arrearsCollected = v.value(kArrearsCollected),
                     arrearsWaived = v.value(kArrearsWaived);
        const qint64 arrearsUnpaid = money(kArrearsUnpaid, arrears - arrearsCollected - arrearsWaived);
        if (arrears != 0)
            grid.setText(r, kArrearsRateWithWaivers, rate(arrearsWaived + arrearsCollected, arrears));
        const double arrearsNet = clean(arrears - arrearsWaived);
        if (arrears != 0 && arrearsNet != 0)
            grid.setText(r, kArrearsRate, rate(arrearsCollected, arrearsNet));

        double months = 0;
        for (int m = 0; m < 12; ++m)
            months += v.value(kFirstMonth + m);
        // The figures below go on from the collected and prepaid sums as shown.
        const double collected = fromCents(money(kCollected, months));
        const double due = v.value(kDue), waived = v.value(kWaived), vacant = v.value(kVacant);
        money(kUnpaid, due - collected - waived - vacant);
        if (due != 0)
            grid.setText(r, kRateWithWaivers, rate(collected + waived + vacant, due));
        const double dueNet = clean(due - waived - vacant);
        if (dueNet != 0)
            grid.setText(r, kRate, rate(collected, dueNet));

        const double prepaid = fromCents(
            money(kPrepaid, v.value(kPrepaidNextYear) + v.value(kPrepaidYearAfter) + v.value(kPrepaidLater)));
        money(kReceived, prepaid + (arrearsCollected + collected));
        grid.setText(r, kMonthCount, QString::number(date.month()));
        const double dueToDate = v.value(kDueToDate), collectedToDate = v.value(kCollectedToDate);
        const qint64 unpaidToDate = money(kUnpaidToDate, dueToDate - collectedToDate);
        if (dueToDate != 0)
            grid.setText(r, kRateToDate, rate(collectedToDate, dueToDate));
        money(kAllUnpaid, fromCents(arrearsUnpaid) + fromCents(unpaidToDate));
        grid.setText(r, kOfficeCode, officeCode);
    }

    void writeTotalsRow(GridModel& grid, const ColumnCents& cents)
    {
        using namespace monthly;
        grid.setRedraw(false);
        QVector<double> total(kColumnCount, 0.0);
        for (int c = 0; c < kColumnCount; ++c)
            total[c] = fromCents(cents[c]);
        const int r = grid.appendRow();
        grid.setText(r, kName, QStringLiteral("合计"));
        for (int c = kName; c < kOfficeCode; ++c) {
            if (isTotalled(c))
                grid.setText(r, c, centsText(cents[c]));
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

MonthlyEngine::MonthlyEngine(RunContext& run, const MonthlySelection& selection)
    : m_run(run)
    , m_selection(selection)
{
}

bool MonthlyEngine::isDrillColumn(int column) { return isMeasureColumn(column); }

QString MonthlyEngine::reportYear() const
{
    return m_selection.reportYear.isEmpty() ? QString::number(m_selection.statisticsDate.year())
                                            : m_selection.reportYear;
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
    // The batch's wait is shared among its statements, so the run's total stays true.
    const qint64 waited = timer.nsecsElapsed();
    for (qsizetype k = 0; k < statements.size(); ++k)
        m_run.statementSent(statements.at(k), k == 0 ? waited : 0);
    for (double& sum : sums)
        sum = clean(sum);
    return sums;
}

void MonthlyEngine::fill(GridModel& summary)
{
    RunContext& context = m_run;
    const MonthlySelection& selection = m_selection;
    const QString reportYear = this->reportYear();
    monthly::layoutSummaryGrid(summary, reportYear);
    // Once the figures are in (all, or as far as a cancel or failure let
    // them come), every column is as wide as its widest figure: none is
    // shown cut.
    const auto fitted = qScopeGuard(
        [&summary] { ColumnFitter().fitShownRows(summary, monthly::kHeadingRows, summary.rows() - 1); });

    const int count = int(selection.offices.size());
    context.setOfficeCount(count);
    int written = 0;
    ColumnCents totals(monthly::kColumnCount, 0);
    try {
        context.forEachOffice(count, [&](int index, DbConnection& connection) -> std::function<void()> {
            const Office& office = selection.offices.at(index);
            const MonthlyStatementInput input { office.code, selection.feeCodes, selection.statisticsDate, reportYear };
            context.throwIfCancelled();
            const Measures values = sumMeasures(connection, input);
            return [&summary, &written, &selection, &totals, office, values] {
                const int r = summary.appendRow();
                summary.setText(r, monthly::kSerial, QString::number(r - 1));
                summary.setText(r, monthly::kName, office.name);
                writeOfficeRow(summary, r, values, selection.statisticsDate, office.code, totals);
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
        writeTotalsRow(summary, totals);
}

void MonthlyEngine::fillDetail(int column, const QString& officeCode, GridModel& detail)
{
    const MonthlyStatementInput input { officeCode, m_selection.feeCodes, m_selection.statisticsDate, reportYear() };
    const QString statement = detailStatement(column, input);
    if (statement.isEmpty())
        return;

    QElapsedTimer timer;
    timer.start();
    DbResult result = m_run.connection().query(statement);
    m_run.statementSent(statement, timer.nsecsElapsed());

    detail.setRedraw(false);
    detail.setFormatString(detailFormatString(column));
    detail.setRows(1);
    detail.setFixedRows(1);
    detail.setFixedCols(1);
    for (int c = 0; c < detail.cols(); ++c)
        detail.setFixedAlignment(c, AlignCenter);

    ColumnFitter fitter;
    qint64 sum = 0; // cents, as the amounts show

    try {
        const int dz = result.indexOf(QStringLiteral("DZ")), room = result.indexOf(QStringLiteral("室")),
                  suffix = result.indexOf(QStringLiteral("字")), name = result.indexOf(QStringLiteral("姓名")),
                  item = result.indexOf(QStringLiteral("xm")), period = result.indexOf(QStringLiteral("zj_cny")),
                  amount = result.indexOf(QStringLiteral("金额")),
                  collected = result.indexOf(QStringLiteral("zj_skrq"));
        while (true) {
            timer.restart();
            const bool more = result.next();
            m_run.addDatabaseTime(timer.nsecsElapsed());
            if (!more)
                break;
            const int r = detail.appendRow();
            detail.setText(r, MonthlyDetailColumn::kSerial, QString::number(r));
            QString address = result.textOrEmpty(dz);
            if (!result.isNull(room) && !result.isNull(suffix))
                address += result.textOrEmpty(room) + result.textOrEmpty(suffix);
            detail.setText(r, MonthlyDetailColumn::kAddress, address);
            detail.setText(r, MonthlyDetailColumn::kName, result.textOrEmpty(name));
            detail.setText(r, MonthlyDetailColumn::kItem, result.textOrEmpty(item));
            detail.setText(r, MonthlyDetailColumn::kPeriod, result.textOrEmpty(period));
            const auto value = result.numberOrNull(amount);
            detail.setText(r, MonthlyDetailColumn::kAmount, moneyOrEmpty(value));
            if (value)
                sum += moneyCents(*value);
            detail.setText(r, MonthlyDetailColumn::kCollected,
                formatDate(result.date(collected), QStringLiteral("yyyy-mm-dd")));
            fitter.fitRow(detail, r);
        }
    } catch (...) {
        detail.setRedraw(true);
        throw;
    }
    detail.setRedraw(true);

    const int r = detail.appendRow();
    detail.setText(r, MonthlyDetailColumn::kAddress, QStringLiteral("合计"));
    detail.setText(r, MonthlyDetailColumn::kAmount, centsText(sum));
    fitter.fitRow(detail, r);
}

} // namespace fee
