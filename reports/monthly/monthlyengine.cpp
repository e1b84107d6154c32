#include "reports/monthly/monthlyengine.h"

#include "common/textformat.h"
#include "db/dbconnection.h"
#include "reports/monthly/monthlystatements.h"

#include <QElapsedTimer>
#include <cmath>

namespace fee {

namespace {

    constexpr int kColumns = 39;
    constexpr int kCodeColumn = 38;
    const QString kMoney = QStringLiteral("0.00");

    // Sums of two-decimal amounts carry binary noise (0.1 + 0.2); rounding to
    // 1e-9 gives back the decimal value before it is tested for zero or shown.
    double clean(double v)
    {
        if (!std::isfinite(v))
            return v;
        // Through the nine-decimal text: exact at any magnitude, unlike v * 1e9.
        const double r = QString::number(v, 'f', 9).toDouble();
        return r == 0.0 ? 0.0 : r;
    }

    QString money(double v) { return formatNumber(clean(v), kMoney); }
    QString moneyOrEmpty(double v) { return v == 0.0 ? QString() : money(v); }
    QString rate(double numerator, double denominator) { return formatRate(clean(numerator / denominator * 100)); }

    struct Heading {
        int col;
        QString row0;
        QString row1;
        int width;
    };

    QVector<Heading> headings(const QString& reportYear)
    {
        const QString crlf = QStringLiteral("\r\n");
        const int year = reportYear.toInt();
        const QString years = reportYear + QStringLiteral("年物业费");
        QVector<Heading> h {
            { 0, QStringLiteral("序"), QStringLiteral("序"), 500 },
            { 1, QStringLiteral("项目名称"), QStringLiteral("项目名称"), 2400 },
            { 2, QStringLiteral("往年欠费"), QStringLiteral("往年欠费应收"), 1200 },
            { 3, QStringLiteral("往年欠费"), QStringLiteral("收往年欠费"), 1200 },
            { 4, QStringLiteral("往年欠费"), QStringLiteral("往年欠费减免"), 1200 },
            { 5, QStringLiteral("往年欠费"), QStringLiteral("未收欠费"), 1200 },
            { 6, QStringLiteral("往年欠费"), QStringLiteral("清欠率") + crlf + QStringLiteral("(含减免)"), 1200 },
            { 7, QStringLiteral("往年欠费"), QStringLiteral("清欠率") + crlf + QStringLiteral("(不含减免)"), 1200 },
            { 8, years, QStringLiteral("当年应收合计"), 1200 },
        };
        for (int m = 1; m <= 12; ++m)
            h.append({ 8 + m, years, QStringLiteral("%1月已收").arg(m, 2, 10, QLatin1Char('0')), 1200 });
        h.append({ 21, years, QStringLiteral("当年已收小计"), 1200 });
        h.append({ 22, years, QStringLiteral("当年减免"), 1200 });
        h.append({ 23, years, QStringLiteral("当年空置"), 1200 });
        h.append({ 24, years, QStringLiteral("当年未收"), 1200 });
        h.append({ 25, years, QStringLiteral("当年收缴率") + crlf + QStringLiteral("(含减免及空置)"), 1400 });
        h.append({ 26, years, QStringLiteral("当年收缴率") + crlf + QStringLiteral("(不含减免及空置)"), 1600 });
        const QString prepaid = QStringLiteral("预收后续年度");
        h.append({ 27, prepaid, QStringLiteral("预收%1年").arg(year + 1), 1200 });
        h.append({ 28, prepaid, QStringLiteral("预收%1年").arg(year + 2), 1200 });
        h.append({ 29, prepaid, QStringLiteral("预收%1年").arg(year + 3) + crlf + QStringLiteral("及以后"), 1200 });
        h.append({ 30, prepaid, QStringLiteral("预收小计"), 1200 });
        h.append({ 31, QStringLiteral("收款金额合计"), QStringLiteral("收款金额合计"), 1200 });
        const QString cumulative = QStringLiteral("本年累计欠费");
        h.append({ 32, cumulative, QStringLiteral("累计") + crlf + QStringLiteral("月数"), 500 });
        h.append({ 33, cumulative, QStringLiteral("1-本月应收数"), 1200 });
        h.append({ 34, cumulative, QStringLiteral("1-本月实收数"), 1200 });
        h.append({ 35, cumulative, QStringLiteral("1-本月欠费数"), 1200 });
        h.append({ 36, cumulative, QStringLiteral("累计收缴率"), 1200 });
        const QString both = QStringLiteral("往年欠费") + crlf + QStringLiteral("+本年累计欠费");
        h.append({ 37, both, both, 1300 });
        h.append({ 38, QString(), QString(), 0 });
        return h;
    }

    // Columns whose office figures the totals row adds up.
    bool isTotalledColumn(int c)
    {
        return (c >= 2 && c <= 5) || (c >= 8 && c <= 24) || (c >= 27 && c <= 31) || c == 33 || c == 34 || c == 35
            || c == 37;
    }

} // namespace

MonthlyEngine::MonthlyEngine(DbConnection& connection)
    : m_connection(connection)
{
}

void MonthlyEngine::layoutSummaryGrid(GridModel& grid, const QString& reportYear)
{
    grid.setRedraw(false);
    grid.setRows(2);
    grid.setCols(kColumns);
    grid.setFixedRows(2);
    grid.setFixedCols(2);
    grid.setGridLineColor(QColor(192, 192, 192));
    grid.setWordWrap(true);
    grid.setMergeCells(MergeRestrictColumns);
    for (int r = 0; r < grid.rows(); ++r)
        grid.setMergeRow(r, r == 0);
    for (const Heading& h : headings(reportYear)) {
        grid.setText(0, h.col, h.row0);
        grid.setText(1, h.col, h.row1);
        grid.setColWidth(h.col, h.width);
        grid.setFixedAlignment(h.col, AlignCenter);
        // Figures read best right-aligned; the name column stays centred like its heading.
        grid.setColAlignment(h.col, h.col >= 2 && h.col <= 37 ? AlignRight : AlignCenter);
        grid.setMergeCol(h.col, h.col == 0 || h.col == 1 || h.col == 31 || h.col == 37 || h.col == 38);
    }
    grid.setRowHeight(1, 600);
    grid.setRedraw(true);
}

bool MonthlyEngine::isDrillColumn(int column) { return isMeasureColumn(column); }

void MonthlyEngine::resetTiming()
{
    m_databaseNs = 0;
    m_statements = 0;
}

bool MonthlyEngine::sumMeasure(
    int column, const MonthlyStatementInput& input, const KeepGoing& keepGoing, double& value)
{
    value = 0;
    for (const MeasureStatement& s : summingStatements(column, input)) {
        if (keepGoing && !keepGoing())
            return false;
        QElapsedTimer timer;
        timer.start();
        DbResult result = m_connection.query(s.statement);
        if (result.next())
            value += clean(result.numberOrNull(s.alias).value_or(0.0));
        m_databaseNs += timer.nsecsElapsed();
        ++m_statements;
    }
    value = clean(value);
    return true;
}

bool MonthlyEngine::run(
    const MonthlySelection& selection, GridModel& summary, const OfficeProgress& progress, const KeepGoing& keepGoing)
{
    const QString reportYear
        = selection.reportYear.isEmpty() ? QString::number(selection.statisticsDate.year()) : selection.reportYear;
    layoutSummaryGrid(summary, reportYear);
    summary.setRows(2);

    MonthlyStatementInput input { QString(), selection.feeCodes, selection.statisticsDate, reportYear };
    const int count = int(selection.offices.size());
    for (int i = 0; i < count; ++i) {
        const Office& office = selection.offices.at(i);
        const int r = summary.appendRow();
        summary.setText(r, 0, QString::number(r - 1));
        summary.setText(r, 1, office.name);
        if (progress && !progress(i, count)) {
            summary.setRows(r);
            return false;
        }
        input.office = office.code;
        QMap<int, double> v;
        for (int column : measureColumns()) {
            if (!sumMeasure(column, input, keepGoing, v[column])) {
                summary.setRows(r);
                return false;
            }
        }
        writeOfficeRow(summary, r, v, selection.statisticsDate, office.code);
    }
    if (summary.rows() > 2)
        writeTotalsRow(summary);
    return true;
}

void MonthlyEngine::writeOfficeRow(
    GridModel& grid, int r, const QMap<int, double>& v, const QDate& date, const QString& officeCode)
{
    for (int column : measureColumns())
        grid.setText(r, column, moneyOrEmpty(v.value(column)));

    const double arrears = v.value(2), arrearsCollected = v.value(3), arrearsWaived = v.value(4);
    grid.setText(r, 5, money(arrears - arrearsCollected - arrearsWaived));
    if (arrears != 0)
        grid.setText(r, 6, rate(arrearsWaived + arrearsCollected, arrears));
    const double arrearsNet = clean(arrears - arrearsWaived);
    if (arrears != 0 && arrearsNet != 0)
        grid.setText(r, 7, rate(arrearsCollected, arrearsNet));

    double months = 0;
    for (int m = 1; m <= 12; ++m)
        months += v.value(8 + m);
    grid.setText(r, 21, money(months));
    const double collected = leadingNumber(grid.text(r, 21));
    const double due = v.value(8), waived = v.value(22), vacant = v.value(23);
    grid.setText(r, 24, money(due - collected - waived - vacant));
    if (due != 0)
        grid.setText(r, 25, rate(collected + waived + vacant, due));
    const double dueNet = clean(due - waived - vacant);
    if (dueNet != 0)
        grid.setText(r, 26, rate(collected, dueNet));

    grid.setText(r, 30, money(v.value(27) + v.value(28) + v.value(29)));
    const double prepaid = leadingNumber(grid.text(r, 30));
    grid.setText(r, 31, money(prepaid + (arrearsCollected + collected)));
    grid.setText(r, 32, QString::number(date.month()));
    const double dueToDate = v.value(33), collectedToDate = v.value(34);
    grid.setText(r, 35, money(dueToDate - collectedToDate));
    if (dueToDate != 0)
        grid.setText(r, 36, rate(collectedToDate, dueToDate));
    grid.setText(r, 37, money(leadingNumber(grid.text(r, 5)) + leadingNumber(grid.text(r, 35))));
    grid.setText(r, kCodeColumn, officeCode);
}

void MonthlyEngine::writeTotalsRow(GridModel& grid)
{
    grid.setRedraw(false);
    QVector<double> total(kColumns, 0.0);
    for (int r = 2; r < grid.rows(); ++r) {
        for (int c = 1; c < kCodeColumn; ++c) {
            if (isTotalledColumn(c))
                total[c] += leadingNumber(grid.text(r, c));
        }
    }
    for (double& t : total)
        t = clean(t);
    const int r = grid.appendRow();
    grid.setText(r, 1, QStringLiteral("合计"));
    for (int c = 1; c < kCodeColumn; ++c) {
        if (isTotalledColumn(c))
            grid.setText(r, c, formatNumber(total[c], c == 3 || c == 5 ? QStringLiteral("0") : kMoney));
    }
    if (total[2] != 0)
        grid.setText(r, 6, rate(total[4] + total[3], total[2]));
    if (clean(total[2] - total[4]) != 0)
        grid.setText(r, 7, rate(total[3], total[2] - total[4]));
    if (total[8] != 0)
        grid.setText(r, 25, rate(total[21] + total[22] + total[23], total[8]));
    if (clean(total[8] - total[22] - total[23]) != 0)
        grid.setText(r, 26, rate(total[21], total[8] - total[22] - total[23]));
    if (total[33] != 0)
        grid.setText(r, 36, rate(total[34], total[33]));
    grid.setRedraw(true);
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
        while (true) {
            timer.restart();
            const bool more = result.next();
            m_databaseNs += timer.nsecsElapsed();
            if (!more)
                break;
            const int r = detail.appendRow();
            detail.setText(r, 0, QString::number(r));
            QString address = result.textOrEmpty(QStringLiteral("DZ"));
            if (!result.isNull(QStringLiteral("室")) && !result.isNull(QStringLiteral("字")))
                address += result.textOrEmpty(QStringLiteral("室")) + result.textOrEmpty(QStringLiteral("字"));
            detail.setText(r, 1, address);
            detail.setText(r, 2, result.textOrEmpty(QStringLiteral("姓名")));
            detail.setText(r, 3, result.textOrEmpty(QStringLiteral("xm")));
            detail.setText(r, 4, result.textOrEmpty(QStringLiteral("zj_cny")));
            const auto amount = result.numberOrNull(QStringLiteral("金额"));
            detail.setText(r, 5, amount ? formatNumber(*amount, kMoney) : QString());
            detail.setText(r, 6, formatDate(result.date(QStringLiteral("zj_skrq")), QStringLiteral("yyyy-mm-dd")));
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
