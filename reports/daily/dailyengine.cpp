#include "reports/daily/dailyengine.h"
#include "common/textformat.h"

#include "common/grid/columnfitter.h"
#include "common/grid/gridmodel.h"
#include "db/dbconnection.h"
#include "reports/daily/dailycelltexts.h"
#include "reports/daily/dailygrid.h"
#include "reports/daily/dailyresultreader.h"
#include "reports/shared/runcontext.h"
#include "reports/shared/selectionlists.h"

#include <QElapsedTimer>
#include <memory>

namespace fee {

namespace {

    constexpr qint64 kProgressStep = 256; // rows between two progress reports

    // Sums of two-decimal cell values, kept in whole cents.
    struct Totals {
        qint64 amount = 0;
        qint64 tax = 0;
        qint64 income = 0;
        void add(const QStringList& cells)
        {
            amount += dailyCellCents(cells.at(DailyGrid::Amount));
            tax += dailyCellCents(cells.at(DailyGrid::Tax));
            income += dailyCellCents(cells.at(DailyGrid::Income));
        }
    };

    // The one place rows enter the grid: whole, under one lock and with one
    // notice to the window showing it.
    int appendGridRow(GridModel& grid, const QStringList& cells) { return grid.appendRow(QVector<QString>(cells)); }

    // Counts rows read and reports them to the run in steps, and once more
    // when the run ends whichever way.
    class RowCounter {
    public:
        explicit RowCounter(RunContext& run)
            : m_run(run)
        {
        }
        ~RowCounter() { flush(); }
        void add()
        {
            if (++m_pending == kProgressStep)
                flush();
        }
        void flush()
        {
            if (m_pending > 0)
                m_run.addRowsRead(m_pending);
            m_pending = 0;
        }

    private:
        RunContext& m_run;
        qint64 m_pending = 0;
    };

    // Applies the merge settings when the fill ends, also by a failure.
    class MergeOnExit {
    public:
        explicit MergeOnExit(GridModel& grid)
            : m_grid(grid)
        {
        }
        ~MergeOnExit() { DailyGrid::applyMergeSettings(m_grid); }

    private:
        GridModel& m_grid;
    };

    // The numbers of an invoice's replacements, each followed by one blank. The
    // statements run on a second connection, opened once per run when first
    // needed: the main result is still being read on the run's own connection,
    // and SQL Server allows one active statement per connection.
    QString exchangeNumbers(RunContext& run, std::unique_ptr<DbConnection>& marking, const QString& invoiceNumber)
    {
        if (!marking)
            marking = run.connection().openSibling();
        // The number as the row shows it: a pre-issued invoice's carries
        // "(预开收款)", which its replacements never name, so such a row shows
        // no replacement numbers (the sites' lists have always read so).
        QElapsedTimer timer;
        timer.start();
        const QString statement = dailyExchangeMarkingStatement(invoiceNumber);
        DbResult result = marking->query(statement);
        const int field = result.indexOf(QStringLiteral("票据编号"));
        QString numbers;
        while (result.next())
            numbers += result.textOrEmpty(field) + QLatin1Char(' ');
        run.statementSent(statement, timer.nsecsElapsed());
        return numbers;
    }

} // namespace

DailyEngine::DailyEngine(RunContext& run, const DailySelection& selection)
    : m_run(run)
    , m_selection(selection)
{
}

DailyRunOutcome DailyEngine::check(const DailySelection& selection)
{
    DailyRunOutcome outcome;
    if (!selection.office || selection.office->code.isEmpty() || !selection.paymentMethod) {
        outcome.status = DailyRunOutcome::Status::NotStarted;
        return outcome;
    }
    if (selection.start > selection.end) {
        outcome.status = DailyRunOutcome::Status::Refused;
        outcome.message.text = QStringLiteral("收款日期起始日期不能大于终止日期，请重新选择！");
        outcome.message.title = programTitle();
        outcome.message.icon = BoxIcon::Information;
        return outcome;
    }
    if (selection.feeCodes.isEmpty()) {
        outcome.status = DailyRunOutcome::Status::Refused;
        outcome.message.text = QStringLiteral("请选择收费项目！");
        outcome.message.title = QStringLiteral("提示");
        outcome.message.icon = BoxIcon::Information;
    }
    return outcome;
}

DailyStatementInput DailyEngine::statementInput(const DailySelection& selection)
{
    DailyStatementInput input;
    input.officeCode = selection.office ? selection.office->code : QString();
    input.departmentCode = selection.departmentCode;
    input.start = selection.start;
    input.end = selection.end;
    input.items = feeItemList(selection.feeCodes);
    input.methods = paymentMethodList(selection.paymentMethods, selection.paymentMethod.value_or(QString()));
    input.payee = selection.payee == QString::fromUtf8(kChooseAll) ? QString() : selection.payee;
    input.scope = selection.scope;
    return input;
}

DailyRunOutcome DailyEngine::fill(GridModel& grid)
{
    DailyRunOutcome outcome = check(m_selection);
    if (outcome.status != DailyRunOutcome::Status::Done)
        return outcome;
    const DailyStatementInput input = statementInput(m_selection);

    m_run.throwIfCancelled();
    QElapsedTimer timer;
    timer.start();
    const QString statement = dailyReceiptsStatement(input);
    DbResult result = m_run.connection().query(statement);
    m_run.statementSent(statement, timer.nsecsElapsed());
    const DailyResultReader reader(result);

    grid.setRows(1);
    MergeOnExit mergeOnExit(grid);
    RowCounter counter(m_run);
    ColumnFitter widener(DailyGrid::kWidenPadding);
    Totals totals;
    std::unique_ptr<DbConnection> marking;
    // The fill widens the columns to each new row's texts (and then to the
    // totals row): the grid's cursor row stays where it is during a run.
    while (true) {
        m_run.throwIfCancelled();
        if (!result.next())
            break;
        counter.add();
        QStringList cells = reader.texts(outcome.resultRows + 1);
        if (reader.needsExchangeMarking()) {
            m_run.throwIfCancelled();
            cells[DailyGrid::ExchangeNumbers] += exchangeNumbers(m_run, marking, reader.invoiceNumber());
        }
        const int row = appendGridRow(grid, cells);
        ++outcome.resultRows;
        totals.add(cells);
        widener.fitRow(grid, row);
    }
    marking.reset();

    if (grid.rows() > 1) {
        QStringList cells(DailyGrid::ColumnCount);
        cells[DailyGrid::Book] = QStringLiteral("合计");
        cells[DailyGrid::Amount] = centsText(totals.amount);
        cells[DailyGrid::Tax] = centsText(totals.tax);
        cells[DailyGrid::Income] = centsText(totals.income);
        widener.fitRow(grid, appendGridRow(grid, cells));
    }
    return outcome;
}

} // namespace fee
