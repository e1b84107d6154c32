#include "reports/daily/dailyengine.h"
#include "core/textformat.h"

#include "core/grid/columnfitter.h"
#include "core/grid/gridmodel.h"
#include "db/dbconnection.h"
#include "reports/daily/dailycelltexts.h"
#include "reports/daily/dailygrid.h"
#include "reports/daily/dailyresultreader.h"
#include "reports/shared/runcontext.h"
#include "reports/shared/selectionlists.h"

#include <QElapsedTimer>
#include <functional>
#include <memory>

namespace fee {

namespace {

    constexpr qint64 kProgressStep = 256; // rows between two progress reports

    // The sums of the money the rows show, in whole cents.
    struct Totals {
        qint64 amount = 0;
        qint64 tax = 0;
        qint64 income = 0;
        void add(const DailyRow& row)
        {
            amount += row.amountCents;
            tax += row.taxCents;
            income += row.incomeCents();
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

    // Replacement numbers asked for in one statement at most, and rows held
    // back at most while they wait for them.
    constexpr int kMarkingBatch = 100;
    constexpr int kHeldRows = 2000;

    // The exchange marking. A row of an exchanged invoice whose replacements
    // are not recorded on it waits for their numbers, and so do the rows
    // after it, so that the grid only ever shows whole rows in their order
    // (a cancelled run keeps whole rows). The numbers come from one statement
    // per hundred invoice numbers (each replacement's number followed by one
    // blank, in the order they come back), asked when a hundred numbers or
    // two thousand rows wait, and when the list has been read. Before the list
    // has been read to its end the statement runs on a second connection,
    // opened on first need (SQL Server runs one statement per connection at a
    // time); the last one runs on the run's own connection, free by then.
    class ExchangeMarking {
    public:
        using Show = std::function<void(const DailyRow& row)>;

        ExchangeMarking(RunContext& run, Show show)
            : m_run(run)
            , m_show(std::move(show))
        {
        }

        // A row read from the list; `marked`: it needs the marking, by the
        // invoice number `replaced`.
        void add(DailyRow row, bool marked, const QString& replaced)
        {
            if (!marked && m_held.isEmpty()) {
                m_show(row);
                return;
            }
            int place = -1;
            if (marked) {
                place = int(m_numbers.indexOf(replaced));
                if (place < 0) {
                    if (m_numbers.size() == kMarkingBatch)
                        flush(sibling());
                    place = int(m_numbers.size());
                    m_numbers.append(replaced);
                }
            }
            m_held.append({ std::move(row), place });
            if (m_held.size() >= kHeldRows)
                flush(sibling());
        }

        // Marks and shows the rows held, on the run's own connection.
        void finish() { flush(m_run.connection()); }

    private:
        struct Held {
            DailyRow row;
            int place; // in m_numbers; -1 for a row without marking
        };

        DbConnection& sibling() { return m_run.extraConnection(); }

        void flush(DbConnection& connection)
        {
            QVector<QString> replacements(m_numbers.size());
            if (!m_numbers.isEmpty()) {
                m_run.throwIfCancelled();
                QElapsedTimer timer;
                timer.start();
                const QString statement = dailyExchangeMarkingStatement(m_numbers);
                DbResult result = connection.query(statement);
                const int place = result.indexOf(QStringLiteral("序号"));
                const int number = result.indexOf(QStringLiteral("票据编号"));
                while (result.next()) {
                    const qsizetype k = qsizetype(result.number(place));
                    if (k >= 0 && k < replacements.size())
                        replacements[k] += result.textOrEmpty(number) + QLatin1Char(' ');
                }
                m_run.statementSent(statement, timer.nsecsElapsed());
            }
            for (Held& held : m_held) {
                if (held.place >= 0)
                    held.row.cells[DailyGrid::ExchangeNumbers] += replacements.at(held.place);
                m_show(held.row);
            }
            m_numbers.clear();
            m_held.clear();
        }

        RunContext& m_run;
        Show m_show;
        QStringList m_numbers; // distinct, in the order first met
        QVector<Held> m_held;
    };

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
    // The fill widens the columns to each new row's texts (and then to the
    // totals row): the grid's cursor row stays where it is during a run.
    ExchangeMarking marking(m_run, [&](const DailyRow& row) {
        const int at = appendGridRow(grid, row.cells);
        totals.add(row);
        widener.fitRow(grid, at);
    });
    while (true) {
        m_run.throwIfCancelled();
        bool more = false;
        try {
            more = result.next();
        } catch (const Failure& failure) {
            // The rows read before the failure are shown when their marking
            // can still be asked for; a cancel shows no more rows.
            if (!isCancellation(failure)) {
                try {
                    marking.finish();
                } catch (const Failure&) {
                }
            }
            throw;
        }
        if (!more)
            break;
        counter.add();
        ++outcome.resultRows;
        const bool marked = reader.needsExchangeMarking();
        marking.add(reader.row(outcome.resultRows), marked, marked ? reader.replacedInvoiceNumber() : QString());
    }
    marking.finish();

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
