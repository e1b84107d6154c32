#include "reports/monthly/monthlycolumns.h"

#include "core/grid/gridmodel.h"

#include <QVector>

namespace fee::monthly {

namespace {

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
        const QString arrears = QStringLiteral("往年欠费");
        QVector<Heading> h {
            { kSerial, QStringLiteral("序"), QStringLiteral("序"), 500 },
            { kName, QStringLiteral("项目名称"), QStringLiteral("项目名称"), 2400 },
            { kArrears, arrears, QStringLiteral("往年欠费应收"), 1200 },
            { kArrearsCollected, arrears, QStringLiteral("收往年欠费"), 1200 },
            { kArrearsWaived, arrears, QStringLiteral("往年欠费减免"), 1200 },
            { kArrearsUnpaid, arrears, QStringLiteral("未收欠费"), 1200 },
            { kArrearsRateWithWaivers, arrears, QStringLiteral("清欠率") + crlf + QStringLiteral("(含减免)"), 1200 },
            { kArrearsRate, arrears, QStringLiteral("清欠率") + crlf + QStringLiteral("(不含减免)"), 1200 },
            { kDue, years, QStringLiteral("当年应收合计"), 1200 },
        };
        for (int m = 0; m < 12; ++m)
            h.append({ kFirstMonth + m, years, QStringLiteral("%1月已收").arg(m + 1, 2, 10, QLatin1Char('0')), 1200 });
        h.append({ kCollected, years, QStringLiteral("当年已收小计"), 1200 });
        h.append({ kWaived, years, QStringLiteral("当年减免"), 1200 });
        h.append({ kVacant, years, QStringLiteral("当年空置"), 1200 });
        h.append({ kUnpaid, years, QStringLiteral("当年未收"), 1200 });
        h.append(
            { kRateWithWaivers, years, QStringLiteral("当年收缴率") + crlf + QStringLiteral("(含减免及空置)"), 1400 });
        h.append({ kRate, years, QStringLiteral("当年收缴率") + crlf + QStringLiteral("(不含减免及空置)"), 1600 });
        const QString prepaid = QStringLiteral("预收后续年度");
        h.append({ kPrepaidNextYear, prepaid, QStringLiteral("预收%1年").arg(year + 1), 1200 });
        h.append({ kPrepaidYearAfter, prepaid, QStringLiteral("预收%1年").arg(year + 2), 1200 });
        h.append({ kPrepaidLater, prepaid, QStringLiteral("预收%1年").arg(year + 3) + crlf + QStringLiteral("及以后"),
            1200 });
        h.append({ kPrepaid, prepaid, QStringLiteral("预收小计"), 1200 });
        h.append({ kReceived, QStringLiteral("收款金额合计"), QStringLiteral("收款金额合计"), 1200 });
        const QString cumulative = QStringLiteral("本年累计欠费");
        h.append({ kMonthCount, cumulative, QStringLiteral("累计") + crlf + QStringLiteral("月数"), 500 });
        h.append({ kDueToDate, cumulative, QStringLiteral("1-本月应收数"), 1200 });
        h.append({ kCollectedToDate, cumulative, QStringLiteral("1-本月实收数"), 1200 });
        h.append({ kUnpaidToDate, cumulative, QStringLiteral("1-本月欠费数"), 1200 });
        h.append({ kRateToDate, cumulative, QStringLiteral("累计收缴率"), 1200 });
        const QString both = QStringLiteral("往年欠费") + crlf + QStringLiteral("+本年累计欠费");
        h.append({ kAllUnpaid, both, both, 1300 });
        h.append({ kOfficeCode, QString(), QString(), 0 });
        return h;
    }

} // namespace

bool isTotalled(int c)
{
    return (c >= kArrears && c <= kArrearsUnpaid) || (c >= kDue && c <= kUnpaid)
        || (c >= kPrepaidNextYear && c <= kReceived) || c == kDueToDate || c == kCollectedToDate || c == kUnpaidToDate
        || c == kAllUnpaid;
}

bool isRateOrCount(int c)
{
    return c == kArrearsRateWithWaivers || c == kArrearsRate || c == kRateWithWaivers || c == kRate || c == kMonthCount
        || c == kRateToDate;
}

void layoutSummaryGrid(GridModel& grid, const QString& reportYear)
{
    grid.setRedraw(false);
    grid.setRows(kHeadingRows);
    grid.setCols(kColumnCount);
    grid.setFixedRows(kHeadingRows);
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
        grid.setColAlignment(h.col, h.col >= kArrears && h.col <= kAllUnpaid ? AlignRight : AlignCenter);
        grid.setMergeCol(h.col,
            h.col == kSerial || h.col == kName || h.col == kReceived || h.col == kAllUnpaid || h.col == kOfficeCode);
    }
    grid.setRowHeight(1, 600);
    grid.setRedraw(true);
}

} // namespace fee::monthly
