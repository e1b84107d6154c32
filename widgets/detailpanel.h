#pragma once

#include "widgets/draggableframe.h"

#include <QString>

class QAbstractButton;
class QLabel;
class QProgressBar;
class QPushButton;

namespace fee {

class GridModel;
class GridView;

// The panel that shows the rows behind a figure: a caption, the detail grid
// ("MSFlexGrid2"), an export button and a close control, optionally a
// progress bar for the export. It may float over the report and follow the
// mouse when dragged by its free surface.
class DetailPanel : public DraggableFrame {
    Q_OBJECT
public:
    struct Options {
        QString objectName; // "Picture7", "Frame3"
        QString title; // a frame title drawn above the caption row; none when empty
        QString captionName; // the caption label ("Label4"); none when empty
        QString captionText;
        QString exportName = QStringLiteral("Command4");
        QString exportText;
        QString closeName; // "Image1_0" (an icon) or "Command3" (a button)
        QString closeText; // empty: a close icon
        QString progressName; // "ProgressBar2"; none when empty
        QString gridName = QStringLiteral("MSFlexGrid2");
        bool draggable = false;
    };

    DetailPanel(const Options& options, GridModel* grid, QWidget* parent = nullptr);

    GridView* view() const { return m_view; }
    QLabel* caption() const { return m_caption; }
    QPushButton* exportButton() const { return m_export; }
    QAbstractButton* closeButton() const { return m_close; }
    QProgressBar* progressBar() const { return m_progress; }

signals:
    void exportRequested();
    void closeRequested();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Options m_options;
    QLabel* m_caption = nullptr;
    QPushButton* m_export;
    QAbstractButton* m_close;
    QProgressBar* m_progress = nullptr;
    GridView* m_view;
};

} // namespace fee
