#include "reports/daily/dailyengine.h"

#include "core/grid/columnfitter.h"
#include "core/grid/gridmodel.h"
#include "db/dbconnection.h"
#include "reports/daily/dailygrid.h"
#include "reports/daily/dailyresultreader.h"
#include "reports/shared/runcontext.h"
#include "reports/shared/selectionlists.h"

#include <QElapsedTimer>
#include <QHash>
#include <algorithm>
#include <array>
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

    // Widens the columns to each row as it enters the grid, to its texts +
    // DailyGrid::kWidenPadding, never narrowing. A figure or a date is
    // measured by its value: its text is made and measured only for a value
    // not met before (a year's list repeats a few hundred days and amounts).
    class RowWidener {
    public:
        void fit(GridModel& grid, const QVector<CellValue>& values)
        {
            const QVector<int> widths = grid.colWidths();
            const int count = std::min(int(values.size()), int(widths.size()));
            for (int c = 0; c < count; ++c) {
                const int wanted = width(grid, values[c]) + DailyGrid::kWidenPadding;
                if (wanted > widths[c])
                    grid.setColWidth(c, wanted);
            }
        }

    private:
        int width(const GridModel& grid, const CellValue& value)
        {
            if (value.isEmpty() || value.isText())
                return m_texts.textWidth(grid, value.string());
            QHash<qint64, int>& known = m_figures[size_t(value.kind())];
            const auto found = known.constFind(value.stored());
            if (found != known.constEnd())
                return *found;
            const int measured = m_texts.textWidth(grid, value.text());
            known.insert(value.stored(), measured);
            return measured;
        }

        ColumnFitter m_texts;
        std::array<QHash<qint64, int>, size_t(CellValue::Kind::DateTime) + 1> m_figures; // by kind: value -> twips
    };

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
        using Show = std::function<void(DailyRow& row)>;

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
                if (held.place >= 0 && !replacements.at(held.place).isEmpty()) {
                    CellValue& numbers = held.row.values[DailyGrid::ExchangeNumbers];
                    numbers = CellValue::fromText(numbers.string() + replacements.at(held.place));
                }
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

void DailyEngine::layout(GridModel& grid) const { DailyGrid::layout(grid); }

FillOutcome DailyEngine::fill(GridModel& grid)
{
    FillOutcome outcome;
    if (!checkDailySelection(m_selection).isOk())
        return outcome;
    const DailyStatementInput input = statementInput(m_selection);
    const QString officeCode = m_selection.office->code;

    m_run.throwIfCancelled();
    QElapsedTimer timer;
    timer.start();
    const QString statement = dailyReceiptsStatement(input);
    DbResult result = m_run.connection().query(statement);
    m_run.statementSent(statement, timer.nsecsElapsed());
    const DailyResultReader reader(result);

    if (!DailyGrid::isLaidOut(grid))
        layout(grid);
    grid.setRows(1);
    MergeOnExit mergeOnExit(grid);
    RowCounter counter(m_run);
    RowWidener widener;
    Totals totals;
    // The fill widens the columns to each new row (and then to the totals
    // row): the grid's cursor row stays where it is during a run.
    ExchangeMarking marking(m_run, [&](DailyRow& row) {
        grid.appendRow(row.values, RowKind::Data, row.key);
        totals.add(row);
        widener.fit(grid, row.values);
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
        ++outcome.dataRows;
        const bool marked = reader.needsExchangeMarking();
        marking.add(reader.row(outcome.dataRows, officeCode), marked, marked ? reader.replacedInvoiceNumber() : QString());
    }
    marking.finish();

    if (grid.rows() > 1) {
        QVector<CellValue> values(DailyGrid::ColumnCount);
        values[DailyGrid::Book] = CellValue::fromText(QStringLiteral("合计"));
        values[DailyGrid::Amount] = CellValue::fromMoney(totals.amount);
        values[DailyGrid::Tax] = CellValue::fromMoney(totals.tax);
        values[DailyGrid::Income] = CellValue::fromMoney(totals.income);
        RowKey key;
        key.office = officeCode;
        grid.appendRow(values, RowKind::Total, key);
        widener.fit(grid, values);
    }
    return outcome;
}

} // namespace fee
