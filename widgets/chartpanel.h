#pragma once

#include "charts/barchart.h"
#include "core/chartdata.h"

#include <QFrame>
#include <QWidget>
#include <functional>
#include <optional>

class QAbstractItemModel;
class QAbstractItemView;
class QPushButton;
class QScrollArea;
class QTimer;

namespace fee {

class GridModel;

// The drawing of a chart in a window (charts/barchart.h), as wide as it is
// given and as tall as its bands need. Pointing at a bar or an office's name
// lights its band and shows the office with its figures as a tooltip that
// stays while the pointer rests there; a click on it reports its bar.
class ChartView : public QWidget {
    Q_OBJECT
public:
    explicit ChartView(QWidget* parent = nullptr);

    void setData(const ChartData& data);
    // The chart as drawn now (laid out for the view's width).
    const BarChart& chart() const { return *m_chart; }
    // The height the chart needs at a width.
    int chartHeight(int width) const;
    // Where a bar's figure is drawn, in the view's coordinates (empty when it
    // has no bar).
    QRect barRect(int bar, int series) const;
    // The tooltip text of a bar, given by the panel.
    void setTipText(std::function<QString(int bar)> tip) { m_tip = std::move(tip); }

signals:
    void barClicked(int bar);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void layOut();
    void point(const QPoint& at, const QPoint& global);

    ChartData m_data;
    std::optional<BarChart> m_chart;
    ChartHit m_hover;
    ChartHit m_pressed;
    std::function<QString(int)> m_tip;
};

// A report's chart beside its grid: the bars in a scroll area (a long office
// list scrolls instead of squeezing its labels), a tooltip with the figures
// as the grid shows them, a click on a bar reported as the grid row it
// stands for, and a button that saves the picture (PNG, SVG or PDF), the
// same drawing the command line's --chart writes.
class ChartPanel : public QFrame {
    Q_OBJECT
public:
    explicit ChartPanel(const QString& objectName, QWidget* parent = nullptr);

    // Redraws from build() shortly after every change of the model (a run's
    // rows arriving, a grid cut for the next run), and once at once.
    void follow(QAbstractItemModel* model, std::function<ChartData()> build);
    // A click on a bar of a data row (from firstDataRow on) marks that row
    // with mark(), makes it the grid's current row and scrolls the view to
    // its cell in nameColumn.
    void selectRowsIn(
        GridModel& grid, QAbstractItemView* view, int firstDataRow, int nameColumn, std::function<void(int)> mark);
    // The window's 图表 button ("cmdChart"), checkable, on `parent`: it shows
    // and hides the panel and then calls relayout() to make room for it. The
    // button starts up, so the panel is hidden until it is pressed.
    QPushButton* makeToggle(QWidget* parent, std::function<void()> relayout);
    void setData(const ChartData& data);
    const ChartData& data() const { return m_data; }
    // The name the save dialog proposes, without extension.
    void setFileBaseName(const QString& name) { m_fileBaseName = name; }

    ChartView* chartView() const { return m_view; }
    QScrollArea* scrollArea() const { return m_scroll; }
    QPushButton* saveButton() const { return m_save; }
    // The tooltip text of a bar (office and every figure).
    QString barTip(int bar) const;

signals:
    void barClicked(int gridRow);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void rebuild();
    void fitHeight();
    void save();

    ChartData m_data;
    bool m_shown = false; // setData() has run
    ChartView* m_view = nullptr;
    QScrollArea* m_scroll = nullptr;
    QPushButton* m_save = nullptr;
    QTimer* m_refresh = nullptr;
    std::function<ChartData()> m_build;
    QString m_fileBaseName = QStringLiteral("图表");
};

} // namespace fee
