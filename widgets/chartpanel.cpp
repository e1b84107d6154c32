#include "widgets/chartpanel.h"

#include "charts/chartfile.h"
#include "core/failure.h"
#include "core/grid/gridmodel.h"
#include "core/messages.h"
#include "widgets/savefilechooser.h"

#include <QAbstractItemModel>
#include <QAbstractItemView>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QTimer>
#include <QToolTip>
#include <QVBoxLayout>

namespace fee {

namespace {
    // A run publishes rows in bursts; one redraw per burst is enough.
    constexpr int kRefreshDelayMs = 150;
    // A tooltip stays while the pointer rests on its bar (it goes when the
    // pointer leaves the bar), not only the few seconds tooltips usually get.
    constexpr int kTipShownMs = 60 * 60 * 1000;

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

ChartView::ChartView(QWidget* parent)
    : QWidget(parent)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    layOut();
}

void ChartView::setData(const ChartData& data)
{
    m_data = data;
    m_hover = {};
    m_pressed = {};
    QToolTip::hideText();
    unsetCursor();
    layOut();
    setMinimumHeight(chartHeight(width()));
    update();
}

int ChartView::chartHeight(int width) const { return BarChart(m_data, width, this).height(); }

void ChartView::layOut() { m_chart.emplace(m_data, width(), this, height()); }

QRect ChartView::barRect(int bar, int series) const { return m_chart->barRect(bar, series).toAlignedRect(); }

void ChartView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    m_chart->paint(painter, m_hover.bar);
}

void ChartView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layOut();
    // Every band keeps room for its label at this width: a chart taller than
    // the scroll area scrolls.
    setMinimumHeight(chartHeight(width()));
}

void ChartView::point(const QPoint& at, const QPoint& global)
{
    const ChartHit hit = m_chart->hitTest(at);
    if (hit == m_hover && (!hit.isBar() || QToolTip::isVisible()))
        return;
    const bool newBar = hit.bar != m_hover.bar;
    m_hover = hit;
    if (newBar)
        update();
    if (!hit.isBar()) {
        unsetCursor();
        QToolTip::hideText();
        return;
    }
    setCursor(Qt::PointingHandCursor);
    const QString tip = m_tip ? m_tip(hit.bar) : m_data.bars.at(hit.bar).label;
    QToolTip::showText(global, tip, this, m_chart->hitRect(hit).toAlignedRect(), kTipShownMs);
}

void ChartView::mouseMoveEvent(QMouseEvent* event)
{
    point(event->position().toPoint(), event->globalPosition().toPoint());
    QWidget::mouseMoveEvent(event);
}

void ChartView::mousePressEvent(QMouseEvent* event)
{
    m_pressed = event->button() == Qt::LeftButton ? m_chart->hitTest(event->position()) : ChartHit();
    QWidget::mousePressEvent(event);
}

void ChartView::mouseReleaseEvent(QMouseEvent* event)
{
    const ChartHit pressed = m_pressed;
    m_pressed = {};
    if (event->button() == Qt::LeftButton && pressed.isBar() && m_chart->hitTest(event->position()).bar == pressed.bar)
        emit barClicked(pressed.bar);
    QWidget::mouseReleaseEvent(event);
}

void ChartView::leaveEvent(QEvent* event)
{
    if (m_hover.isBar())
        update();
    m_hover = {};
    m_pressed = {};
    unsetCursor();
    QWidget::leaveEvent(event);
}

bool ChartView::event(QEvent* event)
{
    // The pointer resting again after a click hid the tooltip shows it again.
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        m_hover = {};
        point(help->pos(), help->globalPos());
        return true;
    }
    return QWidget::event(event);
}

ChartPanel::ChartPanel(const QString& objectName, QWidget* parent)
    : QFrame(parent)
{
    setObjectName(objectName);
    setFrameShape(QFrame::StyledPanel);
    m_view = new ChartView;
    m_view->setObjectName(objectName + QStringLiteral("View"));
    m_view->setTipText([this](int bar) { return barTip(bar); });
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
    connect(m_view, &ChartView::barClicked, this, [this](int bar) {
        if (bar >= 0 && bar < m_data.bars.size())
            emit barClicked(m_data.bars.at(bar).gridRow);
    });
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
    if (m_shown && sameChart(data, m_data))
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
    m_shown = true;
    m_view->setData(m_data);
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
    m_view->setMinimumHeight(m_view->chartHeight(m_scroll->viewport()->width()));
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
