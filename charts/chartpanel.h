#pragma once

#include "core/chartdata.h"

#include <QFrame>
#include <functional>

class QAbstractItemModel;
class QAbstractItemView;
class QPushButton;
class QScrollArea;
class QTimer;

QT_BEGIN_NAMESPACE
class QChartView;
QT_END_NAMESPACE

namespace fee {

class GridModel;

// A report's chart beside its grid: the bars in a scroll area (a long office
// list scrolls instead of squeezing its labels), a tooltip with the figures
// as the grid shows them, a click on a bar reported as the grid row it
// stands for, and a button that saves the picture (PNG, SVG or PDF).
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
    void selectRowsIn(GridModel& grid, QAbstractItemView* view, int firstDataRow, int nameColumn,
        std::function<void(int)> mark);
    // The window's 图表 button ("cmdChart"), checkable, on `parent`: it shows
    // and hides the panel and then calls relayout() to make room for it. The
    // button starts up, so the panel is hidden until it is pressed.
    QPushButton* makeToggle(QWidget* parent, std::function<void()> relayout);
    void setData(const ChartData& data);
    const ChartData& data() const { return m_data; }
    // The name the save dialog proposes, without extension.
    void setFileBaseName(const QString& name) { m_fileBaseName = name; }

    QChartView* chartView() const { return m_view; }
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
    QChartView* m_view = nullptr;
    QScrollArea* m_scroll = nullptr;
    QPushButton* m_save = nullptr;
    QTimer* m_refresh = nullptr;
    std::function<ChartData()> m_build;
    QString m_fileBaseName = QStringLiteral("图表");
};

} // namespace fee
