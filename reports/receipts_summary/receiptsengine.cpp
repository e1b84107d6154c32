#include "reports/receipts_summary/receiptsengine.h"

#include "core/failure.h"
#include "core/grid/columnfitter.h"
#include "core/grid/gridmodel.h"
#include "core/grid/gridpainting.h"
#include "core/textformat.h"
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
        std::array<std::optional<double>, col::kGroupCount> amount;
        std::array<std::optional<double>, col::kGroupCount> income;
        QString kind;
        std::optional<double> monthToDate;
        std::optional<double> yearToDate;
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
                row.amount[g] = r.numberOrNull(je[g]);
                row.income[g] = r.numberOrNull(sr[g]);
            }
            row.kind = QString::number(qRound64(r.number(kind)));
            offices[k].append(row);
        }
        void finish(int k) const { done = k + 1; }
    };

    // One cumulative figure to fill from a statement of the batch.
    struct CumulativeTarget {
        std::optional<double>* value;
        int office; // within the group
    };

    struct CumulativeReader {
        const QVector<CumulativeTarget>& targets;
        int& done; // the statements read in full
        mutable int je = 0;
        mutable std::optional<double> first;
        void prepare(const DbResult& r) const
        {
            je = r.indexOf(QStringLiteral("je"));
            first.reset();
        }
        void read(int, const DbResult& r) const
        {
            if (!first)
                first = r.numberOrNull(je).value_or(0.0);
        }
        void finish(int k) const
        {
            *targets.at(k).value = decimalValue(first.value_or(0.0));
            done = k + 1;
        }
    };

    bool hasCumulative(const ReceiptsStatementInput& input, const QString& officeCode, const QString& itemCode)
    {
        return !officeCode.isEmpty() && !itemCode.isEmpty() && !input.paymentMethods.isEmpty();
    }

    double cumulative(RunContext& run, DbConnection& connection, const ReceiptsStatementInput& input,
        const QString& officeCode, const QString& itemCode)
    {
        if (!hasCumulative(input, officeCode, itemCode))
            return 0;
        std::optional<double> value;
        const QVector<CumulativeTarget> targets { { &value, 0 } };
        int read = 0;
        readBatch(run, connection, { receiptsCumulativeStatement(input, officeCode, itemCode) },
            CumulativeReader { targets, read });
        return value.value_or(0.0);
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
    void putAmount(GridModel& grid, int r, int column, const std::optional<double>& value, RowCents& cents)
    {
        const QString text = moneyOrEmpty(value, ZeroMoney::Empty);
        grid.setText(r, column, text);
        cents.figure(column) = text.isEmpty() ? 0 : moneyCents(*value);
    }

    void writeTotals(GridModel& grid, int r, const RowCents& cents, bool month, bool year)
    {
        for (int c = col::kFirstFigure; c <= col::kLastFigure; ++c)
            grid.setText(r, c, centsText(cents.figures[size_t(c - col::kFirstFigure)]));
        if (month)
            grid.setText(r, col::kMonthCumulative, centsText(cents.month));
        if (year)
            grid.setText(r, col::kYearCumulative, centsText(cents.year));
    }

    // Writes one office's rows, closed by its subtotal row; returns the subtotal.
    RowCents writeOffice(
        GridModel& grid, const Office& office, const QVector<SummaryRow>& rows, const ReceiptsSelection& selection)
    {
        RowCents subtotal;
        // The cumulative amounts add up as read, and the subtotal shows their sum.
        double monthTotal = 0;
        double yearTotal = 0;
        for (const SummaryRow& row : rows) {
            const int r = grid.appendRow();
            grid.setText(r, col::kSequence, QString::number(r - 1));
            grid.setText(r, col::kOffice, office.name);
            grid.setText(r, col::kCategory, row.category);
            grid.setText(r, col::kItem, row.name);
            RowCents cents;
            for (int g = 0; g < col::kGroupCount; ++g) {
                const int first = col::kFirstGroup + col::kGroupWidth * g;
                putAmount(grid, r, first + col::kAmountOffset, row.amount[g], cents);
                putAmount(grid, r, first + col::kIncomeOffset, row.income[g], cents);
                // No tax where nothing was received.
                const qint64 amount = cents.figure(first + col::kAmountOffset);
                const qint64 tax = amount == 0 ? 0 : amount - cents.figure(first + col::kIncomeOffset);
                grid.setText(r, first + col::kTaxOffset, amount == 0 ? QString() : centsText(tax));
                cents.figure(first + col::kTaxOffset) = tax;
                for (int k = 0; k < col::kGroupWidth; ++k)
                    cents.figure(col::kTotalAmount + k) += cents.figure(first + k);
            }
            for (int k = 0; k < col::kGroupWidth; ++k)
                grid.setText(r, col::kTotalAmount + k, centsText(cents.figure(col::kTotalAmount + k)));
            grid.setText(r, col::kDetail, QString::fromUtf8(kReceiptsDetailText));
            grid.setCellForeColor(r, col::kDetail, receiptsDetailTextColor());
            grid.setText(r, col::kSummaryKind, row.kind);
            grid.setText(r, col::kKey, office.code + QLatin1Char(' ') + row.code);
            // An item on consecutive rows (one per category) shows its
            // cumulative amount on each but enters the subtotal once.
            const bool newItem = grid.text(r, col::kItem) != grid.text(r - 1, col::kItem);
            if (row.monthToDate) {
                grid.setText(r, col::kMonthCumulative, moneyText(*row.monthToDate));
                if (newItem)
                    monthTotal += *row.monthToDate;
            }
            if (row.yearToDate) {
                grid.setText(r, col::kYearCumulative, moneyText(*row.yearToDate));
                if (newItem)
                    yearTotal += *row.yearToDate;
            }
            subtotal.add(cents);
        }
        subtotal.month = moneyCents(monthTotal);
        subtotal.year = moneyCents(yearTotal);
        if (subtotal.figure(col::kTotalAmount) == 0) {
            const int r = grid.appendRow();
            grid.setText(r, col::kSequence, QString::number(r - 1));
            grid.setText(r, col::kOffice, office.name);
        }
        const int r = grid.appendRow();
        grid.setText(r, col::kSequence, QString::number(r - 1));
        grid.setText(r, col::kOffice, QString::fromUtf8(kReceiptsSubtotalText));
        writeTotals(grid, r, subtotal, selection.monthToDate.has_value(), selection.yearToDate.has_value());
        paintRow(grid, r, receiptsSubtotalColor());
        return subtotal;
    }

    // The grand total adds up the subtotals as they show.
    void writeGrandTotal(GridModel& grid, const RowCents& total)
    {
        const int r = grid.appendRow();
        grid.setText(r, col::kSequence, QString::number(r - 1));
        grid.setText(r, col::kOffice, QString::fromUtf8(kReceiptsTotalText));
        writeTotals(grid, r, total, true, true);
        paintRow(grid, r, receiptsTotalColor());
    }

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

double 累计实收(DbConnection& connection, const ReceiptsStatementInput& input, const QString& officeCode,
    const QString& itemCode)
{
    RunContext run(connection);
    return cumulative(run, connection, input, officeCode, itemCode);
}

ReceiptsEngine::ReceiptsEngine(RunContext& run, const ReceiptsSelection& selection)
    : m_run(run)
    , m_selection(selection)
{
}

bool ReceiptsEngine::fillDetail(const QString& key, const QString& kind, GridModel& detail)
{
    return ShowReceiptsDetails(m_run, m_selection, key, kind, detail);
}

void ReceiptsEngine::fill(GridModel& grid)
{
    RunContext& run = m_run;
    const ReceiptsSelection& selection = m_selection;
    const ReceiptsCheck check = checkReceiptsSelection(selection);
    if (check.refusal != ReceiptsRefusal::None)
        throw Failure(kErrInvalidArgument, check.message);
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
        LayoutReceiptsGrid(grid);
    GridPainting paused(grid);
    grid.setRows(col::kFirstDataRow);
    // Once the figures are in (all, or as far as a cancel or failure let
    // them come), every column is as wide as its widest text: an amount
    // is never shown cut. Before the painting resumes.
    const auto fitted = qScopeGuard([&grid] { ColumnFitter().fitShownRows(grid, col::kFirstDataRow, grid.rows() - 1); });

    const QVector<Office>& offices = selection.offices;
    RowCents total;
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
                            row.monthToDate = 0.0;
                            if (hasCumulative(*monthInput, officeCode, row.code)) {
                                statements.append(receiptsCumulativeStatement(*monthInput, officeCode, row.code));
                                targets.append({ &row.monthToDate, k });
                            }
                        }
                        if (yearInput) {
                            row.yearToDate = 0.0;
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
            return [&grid, &offices, &selection, &total, rows, first, complete, error] {
                for (int k = 0; k < complete; ++k)
                    total.add(writeOffice(grid, offices.at(first + k), rows->at(k), selection));
                if (error)
                    std::rethrow_exception(error);
            };
        },
        perTask);
    writeGrandTotal(grid, total);
}

} // namespace fee
