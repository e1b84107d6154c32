#include "reports/monthly/monthlyengine.h"

#include "core/grid/columnfitter.h"
#include "db/dbconnection.h"
#include "reports/monthly/monthlycolumns.h"
#include "reports/monthly/monthlystatements.h"
#include "reports/shared/runcontext.h"

#include <QElapsedTimer>
#include <QScopeGuard>
#include <optional>

namespace fee {

using namespace monthly;

namespace {

    // The measures an office's row is written from, by summary column.
    using Measures = QMap<int, Amount>;
    // The money figures of the written rows, by summary column, in cents as
    // their cells show them: the totals row adds these up.
    using ColumnCents = QVector<qint64>;

    // The cells of one summary row; an office's money counts into the totals.
    class SummaryRow {
    public:
        explicit SummaryRow(ColumnCents* totals = nullptr)
            : m_cells(kColumnCount)
            , m_totals(totals)
        {
        }

        void set(int column, const CellValue& value) { m_cells[column] = value; }
        // A money cell; returns what it shows, in cents.
        qint64 cents(int column, qint64 cents)
        {
            m_cells[column] = CellValue::fromMoney(cents);
            if (m_totals)
                (*m_totals)[column] += cents;
            return cents;
        }
        qint64 money(int column, Amount amount) { return cents(column, amount.cents()); }
        // A measure: a zero sum leaves the cell empty.
        void measure(int column, Amount amount)
        {
            if (!amount.isZero())
                money(column, amount);
        }
        // A rate as it is shown; none (a zero divisor) leaves the cell empty.
        void rate(int column, const std::optional<double>& percent)
        {
            if (percent)
                m_cells[column] = CellValue::fromPercent(*percent);
        }
        const QVector<CellValue>& cells() const { return m_cells; }

    private:
        QVector<CellValue> m_cells;
        ColumnCents* m_totals;
    };

    QVector<CellValue> officeRow(
        int serial, const Office& office, const Measures& v, const QDate& date, ColumnCents& totals)
    {
        SummaryRow row(&totals);
        row.set(kSerial, CellValue::fromCount(serial));
        row.set(kName, CellValue::fromText(office.name));
        for (int column : measureColumns())
            row.measure(column, v.value(column));

        const Amount arrears = v.value(kArrears), arrearsCollected = v.value(kArrearsCollected),
                     arrearsWaived = v.value(kArrearsWaived);
        const qint64 arrearsUnpaid = row.money(kArrearsUnpaid, arrears - arrearsCollected - arrearsWaived);
        if (!arrears.isZero()) {
            row.rate(kArrearsRateWithWaivers, percentOf(arrearsWaived + arrearsCollected, arrears));
            row.rate(kArrearsRate, percentOf(arrearsCollected, arrears - arrearsWaived));
        }

        Amount months;
        for (int m = 0; m < 12; ++m)
            months += v.value(kFirstMonth + m);
        // The figures below go on from the collected and prepaid sums as shown.
        const Amount collected = Amount::fromCents(row.money(kCollected, months));
        const Amount due = v.value(kDue), waived = v.value(kWaived), vacant = v.value(kVacant);
        row.money(kUnpaid, due - collected - waived - vacant);
        row.rate(kRateWithWaivers, percentOf(collected + waived + vacant, due));
        row.rate(kRate, percentOf(collected, due - waived - vacant));

        const Amount prepaid = Amount::fromCents(
            row.money(kPrepaid, v.value(kPrepaidNextYear) + v.value(kPrepaidYearAfter) + v.value(kPrepaidLater)));
        row.money(kReceived, prepaid + (arrearsCollected + collected));
        row.set(kMonthCount, CellValue::fromCount(date.month()));
        const Amount dueToDate = v.value(kDueToDate), collectedToDate = v.value(kCollectedToDate);
        const qint64 unpaidToDate = row.money(kUnpaidToDate, dueToDate - collectedToDate);
        row.rate(kRateToDate, percentOf(collectedToDate, dueToDate));
        row.cents(kAllUnpaid, arrearsUnpaid + unpaidToDate);
        row.set(kOfficeCode, CellValue::fromText(office.code));
        return row.cells();
    }

    QVector<CellValue> totalsRow(const ColumnCents& cents)
    {
        SummaryRow row;
        row.set(kName, CellValue::fromText(QStringLiteral("合计")));
        for (int c = kName; c < kOfficeCode; ++c) {
            if (isTotalled(c))
                row.cents(c, cents[c]);
        }
        const auto total = [&cents](int column) { return Amount::fromCents(cents[column]); };
        row.rate(kArrearsRateWithWaivers, percentOf(total(kArrearsWaived) + total(kArrearsCollected), total(kArrears)));
        row.rate(kArrearsRate, percentOf(total(kArrearsCollected), total(kArrears) - total(kArrearsWaived)));
        row.rate(kRateWithWaivers, percentOf(total(kCollected) + total(kWaived) + total(kVacant), total(kDue)));
        row.rate(kRate, percentOf(total(kCollected), total(kDue) - total(kWaived) - total(kVacant)));
        row.rate(kRateToDate, percentOf(total(kCollectedToDate), total(kDueToDate)));
        return row.cells();
    }

    // The serial number of the next row appended below the headings.
    int nextSerial(const GridModel& summary) { return summary.rows() - kHeadingRows + 1; }

} // namespace

MonthlyEngine::MonthlyEngine(RunContext& run, const MonthlySelection& selection)
    : m_run(run)
    , m_selection(selection)
{
}

QString MonthlyEngine::reportYear() const
{
    return m_selection.reportYear.isEmpty() ? QString::number(m_selection.statisticsDate.year())
                                            : m_selection.reportYear;
}

void MonthlyEngine::layout(GridModel& summary) const { layoutSummaryGrid(summary, reportYear()); }

bool MonthlyEngine::hasDetail(const GridModel& summary, int row, int column) const
{
    if (row < kHeadingRows || row >= summary.rows() || !isMeasureColumn(column))
        return false;
    return summary.rowKind(row) == RowKind::Data && !summary.rowKey(row).office.isEmpty();
}

QMap<int, Amount> MonthlyEngine::sumMeasures(DbConnection& connection, const MonthlyStatementInput& input)
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
    Measures sums;
    DbResult result = connection.queryBatch(statements);
    for (qsizetype k = 0; k < statements.size(); ++k) {
        if (k > 0)
            result.nextResult();
        Amount& sum = sums[columns.at(k)];
        if (result.next())
            sum += Amount::fromDouble(result.numberOrNull(result.indexOf(aliases.at(k)))).value_or(Amount());
    }
    // The batch's wait is shared among its statements, so the run's total stays true.
    const qint64 waited = timer.nsecsElapsed();
    for (qsizetype k = 0; k < statements.size(); ++k)
        m_run.statementSent(statements.at(k), k == 0 ? waited : 0);
    return sums;
}

FillOutcome MonthlyEngine::fill(GridModel& summary)
{
    RunContext& context = m_run;
    const MonthlySelection& selection = m_selection;
    const QString reportYear = this->reportYear();
    layout(summary);
    // Once the figures are in (all, or as far as a cancel or failure let
    // them come), every column is as wide as its widest figure: none is
    // shown cut.
    const auto fitted
        = qScopeGuard([&summary] { ColumnFitter().fitShownRows(summary, kHeadingRows, summary.rows() - 1); });

    const int count = int(selection.offices.size());
    context.setOfficeCount(count);
    int written = 0;
    ColumnCents totals(kColumnCount, 0);
    try {
        context.forEachOffice(count, [&](int index, DbConnection& connection) -> std::function<void()> {
            const Office& office = selection.offices.at(index);
            const MonthlyStatementInput input { office.code, selection.feeCodes, selection.statisticsDate, reportYear };
            context.throwIfCancelled();
            const Measures values = sumMeasures(connection, input);
            return [&summary, &written, &selection, &totals, office, values] {
                summary.appendRow(officeRow(nextSerial(summary), office, values, selection.statisticsDate, totals),
                    RowKind::Data, RowKey { office.code });
                ++written;
            };
        });
    } catch (const Failure& failure) {
        // The office that failed was begun: its row shows who it was, as the
        // window showed it while its figures were being summed.
        if (!isCancellation(failure) && written < count) {
            QVector<CellValue> row(kColumnCount);
            row[kSerial] = CellValue::fromCount(nextSerial(summary));
            row[kName] = CellValue::fromText(selection.offices.at(written).name);
            summary.appendRow(row, RowKind::Data);
        }
        throw;
    }
    if (summary.rows() > kHeadingRows)
        summary.appendRow(totalsRow(totals), RowKind::Total);
    return { written };
}

void MonthlyEngine::layoutDetail(const DrillKey& key, GridModel& detail) const
{
    detail.setRedraw(false);
    detail.setFormatString(detailFormatString(key.column));
    detail.setRows(1);
    detail.setFixedRows(1);
    detail.setFixedCols(1);
    for (int c = 0; c < detail.cols(); ++c)
        detail.setFixedAlignment(c, AlignCenter);
    detail.setRedraw(true);
}

FillOutcome MonthlyEngine::fillDetail(const DrillKey& key, GridModel& detail)
{
    const QString& office = key.row.office;
    const MonthlyStatementInput input { office, m_selection.feeCodes, m_selection.statisticsDate, reportYear() };
    const QString statement = detailStatement(key.column, input);
    if (statement.isEmpty())
        return {};

    QElapsedTimer timer;
    timer.start();
    DbResult result = m_run.connection().query(statement);
    m_run.statementSent(statement, timer.nsecsElapsed());

    layoutDetail(key, detail);
    detail.setRedraw(false);
    ColumnFitter fitter;
    qint64 sum = 0; // cents, as the amounts show
    int rows = 0;

    namespace col = MonthlyDetailColumn;
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
            QVector<CellValue> cells(col::kColumnCount);
            cells[col::kSerial] = CellValue::fromCount(detail.rows());
            QString address = result.textOrEmpty(dz);
            if (!result.isNull(room) && !result.isNull(suffix))
                address += result.textOrEmpty(room) + result.textOrEmpty(suffix);
            cells[col::kAddress] = CellValue::fromText(address);
            cells[col::kName] = CellValue::fromText(result.textOrEmpty(name));
            cells[col::kItem] = CellValue::fromText(result.textOrEmpty(item));
            cells[col::kPeriod] = CellValue::fromText(result.textOrEmpty(period));
            if (const std::optional<Amount> value = Amount::fromDouble(result.numberOrNull(amount))) {
                cells[col::kAmount] = CellValue::fromMoney(value->cents());
                sum += value->cents();
            }
            cells[col::kCollected] = CellValue::fromDate(result.date(collected));
            fitter.fitRow(detail, detail.appendRow(cells, RowKind::Data, key.row));
            ++rows;
        }
    } catch (...) {
        detail.setRedraw(true);
        throw;
    }
    detail.setRedraw(true);

    QVector<CellValue> total(col::kColumnCount);
    total[col::kAddress] = CellValue::fromText(QStringLiteral("合计"));
    total[col::kAmount] = CellValue::fromMoney(sum);
    fitter.fitRow(detail, detail.appendRow(total, RowKind::Total));
    return { rows };
}

} // namespace fee
