#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <memory>

class QAction;
class QCheckBox;
class QFileDialog;
class QLabel;
class QLineEdit;
class QStatusBar;
class QToolBar;
class QToolButton;

namespace fee {

class GridModel;
class GridView;

// The export dialog "输出到Excel表": writes a report grid into one sheet of a
// workbook file, new or existing (other sheets stay as they are). The caller
// sets the tag text (the second heading line), calls Config and shows the
// dialog modeless. The dialog deletes itself when closed (after a
// successful export or by 退出): keep it in a QPointer and make a new one
// when it is gone, so that each opening starts with an empty file name.
class FrmToExcel : public QWidget {
    Q_OBJECT
public:
    // mainWindow: the window the dialog stays on top of (it remains a window
    // of its own). mdiClientArea: the area the dialog is centred over; null
    // looks for the main window's client area.
    explicit FrmToExcel(QWidget* mainWindow = nullptr, QWidget* mdiClientArea = nullptr);
    ~FrmToExcel() override;

    // The tag text: cell A2 of the sheet.
    void setTag(const QString& tag) { m_tag = tag; }
    QString tag() const { return m_tag; }

    // Fills the column chooser from the grid (every column with a heading
    // ticked) and puts the title and sheet name into their boxes. The grid is
    // only read, at the time of 输出, and may be destroyed before.
    void Config(GridModel& grid, const QString& sheetName, const QString& title);

    // Writes the ticked columns of the grid into the file named in Text1(0),
    // with the title and sheet name of Text1(1) and Text1(2). False with the
    // failure's description on failure (an empty one for a missing file name,
    // after its own message).
    bool To_Execl(const GridModel* grid, const QString& title, const QString& sheetName, QString* failure);

    // The column chooser's grid (Grid1): row 0 the headings, row 1 "√" for a ticked column.
    GridModel& chooser();
    const GridModel* sourceGrid() const { return m_sourceGrid; }

private:
    class SourceWatch;

    void formLoad(QWidget* mdiClientArea);
    void command1Click();
    void grid1Click(int col);
    void grid1DblClick(int col);
    void toolbar1ButtonClick(const QString& key);
    void forgetSource();

    QToolBar* m_toolbar1;
    QLabel* m_label1[3];
    QLineEdit* m_text1[3];
    QToolButton* m_command1;
    QCheckBox* m_check1;
    GridView* m_grid1;
    QStatusBar* m_statusBar1;
    QPointer<QFileDialog> m_cd1;
    QString m_tag;
    GridModel* m_sourceGrid = nullptr;
    std::unique_ptr<SourceWatch> m_watch;
};

} // namespace fee
