#include "reports/receipts_summary/receiptschart.h"

#include "common/grid/gridmodel.h"
#include "common/textformat.h"
#include "reports/receipts_summary/receiptscolumns.h"

#include <QHash>
#include <cmath>

namespace fee {

namespace {
    constexpr int kHeadingRows = 2;

    struct Sum {
        long long cents = 0;
        bool any = false;
        QVector<int> rows;
    };
}

ChartData receiptsCategoryChart(const GridModel& summary)
{
    namespace col = ReceiptsColumn;
    ChartData chart;
    chart.kind = ChartData::Kind::Stacked;
    chart.title = QStringLiteral("收款金额");
    if (summary.cols() < col::kCount)
        return chart;

    const QString subtotal = QString::fromUtf8(kReceiptsSubtotalText);
    const QString total = QString::fromUtf8(kReceiptsTotalText);
    QStringList offices;
    QVector<int> firstRows;
    QHash<QString, QHash<QString, Sum>> sums; // office -> category -> sum
    const int rows = summary.rows();
    for (int row = kHeadingRows; row < rows; ++row) {
        const QVector<QString> texts = summary.rowTexts(row);
        if (texts.size() < col::kCount)
            continue;
        const QString office = texts.at(col::kOffice);
        if (office.isEmpty() || office == subtotal || office == total)
            continue;
        const QString category = texts.at(col::kCategory);
        if (!offices.contains(office)) {
            offices << office;
            firstRows << row;
        }
        // An office without receipts shows one row without a category: a bar
        // without figures, no series.
        if (category.isEmpty())
            continue;
        if (!chart.series.contains(category))
            chart.series << category;
        Sum& sum = sums[office][category];
        sum.rows << row;
        // Added up in cents: the bars show the same figures a sum of the grid's texts gives.
        if (const std::optional<double> amount = chartValue(texts.at(col::kTotalAmount))) {
            sum.cents += std::llround(*amount * 100);
            sum.any = true;
        }
    }
    for (int i = 0; i < offices.size(); ++i) {
        ChartBar bar;
        bar.label = offices.at(i);
        bar.gridRow = firstRows.at(i);
        const QHash<QString, Sum>& byCategory = sums[offices.at(i)];
        for (const QString& category : chart.series) {
            const auto it = byCategory.find(category);
            if (it == byCategory.end() || !it->any) {
                bar.values << std::nullopt;
                bar.texts << QString();
            } else {
                bar.values << double(it->cents) / 100.0;
                bar.texts << moneyText(double(it->cents) / 100.0);
            }
            bar.sources << (it == byCategory.end() ? QVector<int>() : it->rows);
        }
        chart.bars << bar;
    }
    return chart;
}

} // namespace fee
