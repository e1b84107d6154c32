#include "charts/chartpanel.h"

#include "charts/barchart.h"
#include "charts/chartfile.h"
#include "core/failure.h"
#include "core/grid/gridmodel.h"
#include "core/messages.h"
#include "widgets/savefilechooser.h"

#include <QAbstractItemModel>
#include <QAbstractItemView>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCursor>
#include <QHBoxLayout>
#include <QAbstractBarSeries>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QToolTip>
#include <QVBoxLayout>

namespace fee {

namespace {
    // A run publishes rows in bursts; one redraw per burst is enough.
    constexpr int kRefreshDelayMs = 150;

    bool sameChart(const ChartData& a, const ChartData& b)
    {
        if (a.series != b.series || a.referenceLabel != b.referenceLabel || a.bars.size() != b.bars.size())
            return false;
        for (int i = 0; i < a.bars.size(); ++i) {
            const ChartBar& x = a.bars.at(i);
            const ChartBar& y = b.bars.at(i);
            if (x.label != y.label || x.gridRow != y.gridRow || x.texts != y.texts || x.values != y.values)
                return false;
        }
        return true;
    }
}

ChartPanel::ChartPanel(const QString& objectName, QWidget* parent)
    : QFrame(parent)
{
    setObjectName(objectName);
    setFrameShape(QFrame::StyledPanel);
    m_view = new QChartView;
    m_view->setObjectName(objectName + QStringLiteral("View"));
    m_view->setRenderHint(QPainter::Antialiasing);
    m_view->setFrameShape(QFrame::NoFrame);
    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(objectName + QStringLiteral("Scroll"));
    m_scroll->setWidgetResizable(true);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setWidget(m_view);
    m_save = new QPushButton(QStringLiteral("保存图表"), this);
    m_save->setObjectName(objectName + QStringLiteral("Save"));
    m_save->setEnabled(false);

    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->addStretch(1);
    buttons->addWidget(m_save);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(2, 2, 2, 2);
    column->setSpacing(2);
    column->addWidget(m_scroll, 1);
    column->addLayout(buttons);

    m_refresh = new QTimer(this);
    m_refresh->setSingleShot(true);
    m_refresh->setInterval(kRefreshDelayMs);
    connect(m_refresh, &QTimer::timeout, this, &ChartPanel::rebuild);
    connect(m_save, &QPushButton::clicked, this, &ChartPanel::save);
    setData(ChartData());
}

void ChartPanel::follow(QAbstractItemModel* model, std::function<ChartData()> build)
{
    m_build = std::move(build);
    const auto later = [this] { m_refresh->start(); };
    connect(model, &QAbstractItemModel::modelReset, this, later);
    connect(model, &QAbstractItemModel::rowsInserted, this, later);
    connect(model, &QAbstractItemModel::rowsRemoved, this, later);
    connect(model, &QAbstractItemModel::dataChanged, this, later);
    connect(model, &QAbstractItemModel::layoutChanged, this, later);
    rebuild();
}

void ChartPanel::rebuild()
{
    if (!m_build)
        return;
    ChartData data = m_build();
    // A grid repainted for a marked row changes no figure: keep the chart
    // (and the bar under the pointer) as it is.
    if (m_view->chart() && sameChart(data, m_data))
        return;
    setData(data);
}

QPushButton* ChartPanel::makeToggle(QWidget* parent, std::function<void()> relayout)
{
    hide();
    auto* toggle = new QPushButton(QStringLiteral("图表"), parent);
    toggle->setObjectName(QStringLiteral("cmdChart"));
    toggle->setCheckable(true);
    connect(toggle, &QPushButton::toggled, this, [this, relayout = std::move(relayout)](bool on) {
        setVisible(on);
        relayout();
    });
    return toggle;
}

void ChartPanel::setData(const ChartData& data)
{
    m_data = data;
    QChart* chart = makeBarChart(m_data);
    const QList<QAbstractSeries*> series = chart->series();
    for (QAbstractSeries* one : series) {
        auto* bars = qobject_cast<QAbstractBarSeries*>(one);
        if (!bars)
            continue;
        connect(bars, &QAbstractBarSeries::clicked, this, [this](int index, QBarSet*) {
            const int bar = barOfSetIndex(m_data, index);
            if (bar >= 0 && bar < m_data.bars.size())
                emit barClicked(m_data.bars.at(bar).gridRow);
        });
        connect(bars, &QAbstractBarSeries::hovered, this, [this](bool on, int index, QBarSet*) {
            if (!on) {
                QToolTip::hideText();
                return;
            }
            QToolTip::showText(QCursor::pos(), barTip(barOfSetIndex(m_data, index)), m_view);
        });
    }
    QChart* old = m_view->chart();
    m_view->setChart(chart);
    if (old && old != chart)
        delete old;
    m_save->setEnabled(!m_data.isEmpty());
    fitHeight();
}

QString ChartPanel::barTip(int bar) const
{
    if (bar < 0 || bar >= m_data.bars.size())
        return {};
    const ChartBar& one = m_data.bars.at(bar);
    QString tip = one.label;
    for (int s = 0; s < m_data.series.size() && s < one.texts.size(); ++s)
        tip += QLatin1Char('\n') + m_data.series.at(s) + QStringLiteral(": ")
            + (one.texts.at(s).isEmpty() ? QStringLiteral("—") : one.texts.at(s));
    return tip;
}

void ChartPanel::fitHeight()
{
    // Every bar keeps room for its label: a chart taller than the panel scrolls.
    m_view->setMinimumHeight(std::max(barChartHeight(m_data), m_scroll->viewport()->height()));
}

void ChartPanel::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    fitHeight();
}

void ChartPanel::save()
{
    if (m_data.isEmpty())
        return;
    QString chosen = chooseSaveFile(this, m_fileBaseName, QStringLiteral("图片 (*.png *.svg *.pdf)"));
    if (chosen.isEmpty())
        return;
    if (!isChartFileName(chosen))
        chosen += QStringLiteral(".png");
    try {
        writeChartFile(m_data, chosen);
    } catch (const Failure& failure) {
        ErrNumberBox(failure.number(), failure.description());
    }
}

void ChartPanel::selectRowsIn(
    GridModel& grid, QAbstractItemView* view, int firstDataRow, int nameColumn, std::function<void(int)> mark)
{
    connect(this, &ChartPanel::barClicked, this, [&grid, view, firstDataRow, nameColumn, mark](int row) {
        if (row < firstDataRow || row >= grid.rows())
            return;
        mark(row);
        grid.setCurrentRow(row);
        QAbstractItemModel* model = view->model();
        if (row < model->rowCount())
            view->scrollTo(model->index(row, nameColumn));
    });
}

} // namespace fee
