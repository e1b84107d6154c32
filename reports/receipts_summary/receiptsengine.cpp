#include "reports/receipts_summary/receiptsengine.h"

#include "core/failure.h"
#include "core/grid/columnfitter.h"
#include "core/grid/gridmodel.h"
#include "core/grid/gridpainting.h"
#include "db/dbconnection.h"
#include "reports/receipts_summary/receiptscolumns.h"
#include "reports/receipts_summary/receiptsdetails.h"
#include "reports/shared/runcontext.h"
#include "reports/shared/selectionlists.h"

#include <QElapsedTimer>
#include <QScopeGuard>
#include <array>
#include <memory>
#include <optional>

namespace fee {

namespace {

    namespace col = ReceiptsColumn;

    // One row of an office's summary statement with its cumulative figures.
    struct SummaryRow {
        QString category;
        QString code;
        QString name;
        std::array<std::optional<Amount>, col::kGroupCount> amount;
        std::array<std::optional<Amount>, col::kGroupCount> income;
        int kind = 0; // 汇总类别: the source, 1 to 4
        std::optional<Amount> monthToDate;
        std::optional<Amount> yearToDate;
    };

    // The JE and SR fields of the five groups, in column order.
    const char* const kGroupFields[col::kGroupCount] = { "收历年", "收当年", "收明年", "收明年后", "非日常" };

    // Sends the statements as one batch (one request to SQL Server) and hands
    // each statement's rows, in order, to reader(k, result), k counting the
    // statements. The time spent in the database (the request, each move to
    // the next result set and each fetch) is counted in the run, by statement.
    template <typename Reader>
    void readBatch(RunContext& run, DbConnection& connection, const QStringList& statements,
        const Reader& reader)
    {
        if (statements.isEmpty())
            return;
        run.throwIfCancelled();
        QElapsedTimer timer;
        timer.start();
        DbResult result = connection.queryBatch(statements);
        qint64 rows = 0;
        for (qsizetype k = 0; k < statements.size(); ++k) {
            if (k > 0) {
                timer.restart();
                result.nextResult();
            }
            qint64 waited = timer.nsecsElapsed();
            reader.prepare(result);
            while (true) {
                timer.restart();
                const bool more = result.next();
                waited += timer.nsecsElapsed();
                if (!more)
                    break;
                reader.read(int(k), result);
                ++rows;
            }
            run.statementSent(statements.at(k), waited);
            reader.finish(int(k));
        }
        run.addRowsRead(rows);
    }

    struct SummaryReader {
        QVector<QVector<SummaryRow>>& offices;
        int& done; // the offices whose statement was read in full
        mutable int category = 0, code = 0, name = 0, kind = 0;
        mutable std::array<int, col::kGroupCount> je {}, sr {};

        void prepare(const DbResult& r) const
        {
            category = r.indexOf(QStringLiteral("收费类别"));
            code = r.indexOf(QStringLiteral("DH"));
            name = r.indexOf(QStringLiteral("XM"));
            kind = r.indexOf(QStringLiteral("汇总类别"));
            for (int g = 0; g < col::kGroupCount; ++g) {
                const QString stem = QString::fromUtf8(kGroupFields[g]);
                je[g] = r.indexOf(stem + QStringLiteral("JE"));
                sr[g] = r.indexOf(stem + QStringLiteral("SR"));
            }
        }
        void read(int k, const DbResult& r) const
        {
            SummaryRow row;
            row.category = r.textOrEmpty(category);
            row.code = r.textOrEmpty(code);
            row.name = r.textOrEmpty(name);
            for (int g = 0; g < col::kGroupCount; ++g) {
                row.amount[g] = Amount::fromDouble(r.numberOrNull(je[g]));
                row.income[g] = Amount::fromDouble(r.numberOrNull(sr[g]));
            }
            row.kind = int(qRound64(r.number(kind)));
            offices[k].append(row);
        }
        void finish(int k) const { done = k + 1; }
    };

    // One cumulative figure to fill from a statement of the batch.
    struct CumulativeTarget {
        std::optional<Amount>* value;
        int office; // within the group
    };

    struct CumulativeReader {
        const QVector<CumulativeTarget>& targets;
        int& done; // the statements read in full
        mutable int je = 0;
        mutable std::optional<Amount> first; // the first row's sum
        void prepare(const DbResult& r) const
        {
            je = r.indexOf(QStringLiteral("je"));
            first.reset();
        }
        void read(int, const DbResult& r) const
        {
            if (!first)
                first = Amount::fromDouble(r.numberOrNull(je).value_or(0.0));
        }
        void finish(int k) const
        {
            *targets.at(k).value = first.value_or(Amount());
            done = k + 1;
        }
    };

    bool hasCumulative(const ReceiptsStatementInput& input, const QString& officeCode, const QString& itemCode)
    {
        return !officeCode.isEmpty() && !itemCode.isEmpty() && !input.paymentMethods.isEmpty();
    }

    Amount cumulative(RunContext& run, DbConnection& connection, const ReceiptsStatementInput& input,
        const QString& officeCode, const QString& itemCode)
    {
        if (!hasCumulative(input, officeCode, itemCode))
            return {};
        std::optional<Amount> value;
        const QVector<CumulativeTarget> targets { { &value, 0 } };
        int read = 0;
        readBatch(run, connection, { receiptsCumulativeStatement(input, officeCode, itemCode) },
            CumulativeReader { targets, read });
        return value.value_or(Amount());
    }

    void paintRow(GridModel& grid, int row, const QColor& color)
    {
        grid.setRowBackColor(row, col::kOffice, col::kSummaryKind, color);
    }

    // The figures of a row by figure column (col::kFirstFigure + index), in
    // cents as their texts show them, with the cumulative columns: the
    // subtotal and total rows add these up.
    struct RowCents {
        std::array<qint64, col::kFigureCount> figures {};
        qint64 month = 0;
        qint64 year = 0;

        qint64& figure(int column) { return figures[size_t(column - col::kFirstFigure)]; }
        void add(const RowCents& other)
        {
            for (size_t k = 0; k < figures.size(); ++k)
                figures[k] += other.figures[k];
            month += other.month;
            year += other.year;
        }
    };

    // A figure cell from a value read from the database: empty for NULL or
    // zero; its cents go to the row's figures.
    void putAmount(QVector<CellValue>& cells, int column, const std::optional<Amount>& value, RowCents& cents)
    {
        const bool shown = value && !value->isZero();
        cents.figure(column) = shown ? value->cents() : 0;
        if (shown)
            cells[column] = CellValue::fromMoney(cents.figure(column));
    }

    void putTotals(QVector<CellValue>& cells, const RowCents& cents, bool month, bool year)
    {
        for (int c = col::kFirstFigure; c <= col::kLastFigure; ++c)
            cells[c] = CellValue::fromMoney(cents.figures[size_t(c - col::kFirstFigure)]);
        if (month)
            cells[col::kMonthCumulative] = CellValue::fromMoney(cents.month);
        if (year)
            cells[col::kYearCumulative] = CellValue::fromMoney(cents.year);
    }

    // Writes the offices' rows in the order of the selection, then the grand
    // total, on the thread that fills the grid.
    class SummaryWriter {
    public:
        SummaryWriter(GridModel& grid, const ReceiptsSelection& selection)
            : m_grid(grid)
            , m_selection(selection)
        {
        }

        // One office's rows, closed by its subtotal row.
        void writeOffice(const Office& office, const QVector<SummaryRow>& rows)
        {
            RowCents subtotal;
            // The cumulative amounts add up as read, and the subtotal shows their sum.
            Amount monthTotal;
            Amount yearTotal;
            for (const SummaryRow& row : rows) {
                QVector<CellValue> cells = officeCells(office);
                cells[col::kCategory] = CellValue::fromText(row.category);
                cells[col::kItem] = CellValue::fromText(row.name);
                RowCents cents;
                for (int g = 0; g < col::kGroupCount; ++g) {
                    const int first = col::kFirstGroup + col::kGroupWidth * g;
                    putAmount(cells, first + col::kAmountOffset, row.amount[g], cents);
                    putAmount(cells, first + col::kIncomeOffset, row.income[g], cents);
                    // No tax where nothing was received.
                    const qint64 amount = cents.figure(first + col::kAmountOffset);
                    const qint64 tax = amount == 0 ? 0 : amount - cents.figure(first + col::kIncomeOffset);
                    if (amount != 0)
                        cells[first + col::kTaxOffset] = CellValue::fromMoney(tax);
                    cents.figure(first + col::kTaxOffset) = tax;
                    for (int k = 0; k < col::kGroupWidth; ++k)
                        cents.figure(col::kTotalAmount + k) += cents.figure(first + k);
                }
                for (int k = 0; k < col::kGroupWidth; ++k)
                    cells[col::kTotalAmount + k] = CellValue::fromMoney(cents.figure(col::kTotalAmount + k));
                cells[col::kDetail] = CellValue::fromText(QString::fromUtf8(kReceiptsDetailText));
                cells[col::kSummaryKind] = CellValue::fromCount(row.kind);
                cells[col::kKey] = CellValue::fromText(office.code + QLatin1Char(' ') + row.code);
                // An item on consecutive rows (one per category) shows its
                // cumulative amount on each but enters the subtotal once.
                const bool newItem = row.name != m_itemAbove;
                if (row.monthToDate) {
                    cells[col::kMonthCumulative] = CellValue::fromMoney(row.monthToDate->cents());
                    if (newItem)
                        monthTotal += *row.monthToDate;
                }
                if (row.yearToDate) {
                    cells[col::kYearCumulative] = CellValue::fromMoney(row.yearToDate->cents());
                    if (newItem)
                        yearTotal += *row.yearToDate;
                }
                const int r = append(std::move(cells), RowKind::Data,
                    RowKey { office.code, row.category, row.code, QString(), row.kind });
                m_grid.setCellForeColor(r, col::kDetail, receiptsDetailTextColor());
                m_itemAbove = row.name;
                subtotal.add(cents);
            }
            subtotal.month = monthTotal.cents();
            subtotal.year = yearTotal.cents();
            if (subtotal.figure(col::kTotalAmount) == 0)
                append(officeCells(office), RowKind::Data, RowKey { office.code });
            QVector<CellValue> cells(col::kCount);
            cells[col::kOffice] = CellValue::fromText(QString::fromUtf8(kReceiptsSubtotalText));
            putTotals(cells, subtotal, m_selection.monthToDate.has_value(), m_selection.yearToDate.has_value());
            paintRow(
                m_grid, append(std::move(cells), RowKind::Subtotal, RowKey { office.code }), receiptsSubtotalColor());
            m_itemAbove.clear();
            m_total.add(subtotal);
        }

        // The grand total adds up the subtotals as they show.
        void writeGrandTotal()
        {
            QVector<CellValue> cells(col::kCount);
            cells[col::kOffice] = CellValue::fromText(QString::fromUtf8(kReceiptsTotalText));
            putTotals(cells, m_total, true, true);
            paintRow(m_grid, append(std::move(cells), RowKind::Total, RowKey {}), receiptsTotalColor());
        }

        int dataRows() const { return m_dataRows; }

    private:
        static QVector<CellValue> officeCells(const Office& office)
        {
            QVector<CellValue> cells(col::kCount);
            cells[col::kOffice] = CellValue::fromText(office.name);
            return cells;
        }

        // Appends a row numbered in the 序 column by its place under the headings.
        int append(QVector<CellValue> cells, RowKind kind, const RowKey& key)
        {
            cells[col::kSequence] = CellValue::fromCount(m_grid.rows() - 1);
            if (kind == RowKind::Data)
                ++m_dataRows;
            return m_grid.appendRow(cells, kind, key);
        }

        GridModel& m_grid;
        const ReceiptsSelection& m_selection;
        RowCents m_total;
        int m_dataRows = 0;
        // The item the row above shows, which the cumulative subtotal
        // compares with: above the first office the heading "收费项目",
        // above any later one the 小计 row of the office before (no item).
        QString m_itemAbove = receiptsHeading(1, col::kItem);
    };

} // namespace

ReceiptsStatementInput receiptsStatementInput(const ReceiptsSelection& selection, const DateRange& range)
{
    ReceiptsStatementInput input;
    input.feeItems = feeItemList(selection.feeCodes);
    input.paymentMethods = receiptsPaymentMethodList(selection);
    input.mode = selection.mode;
    input.departmentCode = selection.departmentCode;
    input.start = range.start;
    input.end = range.end;
    return input;
}

Amount cumulativeReceived(
    DbConnection& connection, const ReceiptsStatementInput& input, const QString& officeCode, const QString& itemCode)
{
    RunContext run(connection);
    return cumulative(run, connection, input, officeCode, itemCode);
}

ReceiptsEngine::ReceiptsEngine(RunContext& run, const ReceiptsSelection& selection)
    : m_run(run)
    , m_selection(selection)
{
}

void ReceiptsEngine::layout(GridModel& grid) const { layoutReceiptsSummaryGrid(grid); }

bool ReceiptsEngine::hasDetail(const GridModel& grid, int row, int column) const
{
    return receiptsCellHasDetail(grid, row, column);
}

void ReceiptsEngine::layoutDetail(const DrillKey&, GridModel& detail) const { layoutReceiptsDetailGrid(detail); }

FillOutcome ReceiptsEngine::fillDetail(const DrillKey& key, GridModel& detail)
{
    return fillReceiptsDetail(m_run, m_selection, key.row, detail);
}

FillOutcome ReceiptsEngine::fill(GridModel& grid)
{
    RunContext& run = m_run;
    const ReceiptsSelection& selection = m_selection;
    const SelectionCheck check = checkReceiptsSelection(selection);
    if (!check.isOk())
        throw Failure(kErrInvalidArgument, check.message.text);
    // Built before the grid is touched: an empty method list stops the run
    // with the grid as it was.
    const ReceiptsStatementInput summaryInput = receiptsStatementInput(selection, selection.receipts);
    std::optional<ReceiptsStatementInput> monthInput;
    std::optional<ReceiptsStatementInput> yearInput;
    if (selection.monthToDate)
        monthInput = receiptsStatementInput(selection, *selection.monthToDate);
    if (selection.yearToDate)
        yearInput = receiptsStatementInput(selection, *selection.yearToDate);

    if (grid.cols() != col::kCount || grid.fixedRows() != col::kFirstDataRow)
        layout(grid);
    GridPainting paused(grid);
    grid.setRows(col::kFirstDataRow);
    // Once the figures are in (all, or as far as a cancel or failure let
    // them come), every column is as wide as its widest text: an amount
    // is never shown cut. Before the painting resumes.
    const auto fitted = qScopeGuard([&grid] { ColumnFitter().fitShownRows(grid, col::kFirstDataRow, grid.rows() - 1); });

    const QVector<Office>& offices = selection.offices;
    SummaryWriter writer(grid, selection);
    const bool cumulatives = monthInput || yearInput;
    // Offices go in groups, each group's summary statements in one batch and
    // then, when the cumulative columns are ticked, the cumulative statements
    // of all its rows in another: those name the fee items the summary found,
    // so they cannot travel with it. A group of three asks the server twice
    // for three offices, and the groups still run side by side.
    const int perTask = cumulatives ? 3 : 2;
    run.setOfficeCount(int(offices.size()));
    run.forEachOffice(
        int(offices.size()),
        [&](int index, DbConnection& connection) -> std::function<void()> {
            const int first = index * perTask;
            const int count = std::min(int(offices.size()), first + perTask) - first;
            auto rows = std::make_shared<QVector<QVector<SummaryRow>>>(count);
            // How many offices of the group are complete, and what stopped
            // the others: the complete ones are written before the failure
            // ends the run, as when the offices went one by one.
            int summariesRead = 0;
            std::exception_ptr error;
            try {
                QStringList statements;
                for (int k = 0; k < count; ++k)
                    statements.append(receiptsSummaryStatement(summaryInput, offices.at(first + k).code));
                readBatch(run, connection, statements, SummaryReader { *rows, summariesRead });
            } catch (const Failure& failure) {
                error = std::current_exception();
                if (isCancellation(failure))
                    throw;
            }
            int complete = summariesRead;
            if (cumulatives && summariesRead > 0) {
                QStringList statements;
                QVector<CumulativeTarget> targets;
                for (int k = 0; k < summariesRead; ++k) {
                    const QString& officeCode = offices.at(first + k).code;
                    for (SummaryRow& row : (*rows)[k]) {
                        if (monthInput) {
                            row.monthToDate = Amount();
                            if (hasCumulative(*monthInput, officeCode, row.code)) {
                                statements.append(receiptsCumulativeStatement(*monthInput, officeCode, row.code));
                                targets.append({ &row.monthToDate, k });
                            }
                        }
                        if (yearInput) {
                            row.yearToDate = Amount();
                            if (hasCumulative(*yearInput, officeCode, row.code)) {
                                statements.append(receiptsCumulativeStatement(*yearInput, officeCode, row.code));
                                targets.append({ &row.yearToDate, k });
                            }
                        }
                    }
                }
                int read = 0;
                try {
                    readBatch(run, connection, statements, CumulativeReader { targets, read });
                } catch (const Failure& failure) {
                    if (isCancellation(failure))
                        throw;
                    // The offices before the one whose figure failed are complete.
                    complete = read < targets.size() ? targets.at(read).office : summariesRead;
                    if (!error)
                        error = std::current_exception();
                }
            }
            return [&writer, &offices, rows, first, complete, error] {
                for (int k = 0; k < complete; ++k)
                    writer.writeOffice(offices.at(first + k), rows->at(k));
                if (error)
                    std::rethrow_exception(error);
            };
        },
        perTask);
    writer.writeGrandTotal();
    return FillOutcome { writer.dataRows() };
}

} // namespace fee
