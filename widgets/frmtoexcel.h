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
class QProgressBar;
class QStatusBar;
class QToolBar;
class QToolButton;

namespace fee {

class GridModel;
class GridView;
struct GridSheetOptions;

// The export dialog "输出到Excel表": writes a report grid into one sheet of a
// workbook file, new or existing (other sheets stay as they are). The caller
// sets the tag text (the second heading line), calls Config and shows the
// dialog modeless. The dialog deletes itself when closed (after a
// successful export or by 退出): keep it in a QPointer and make a new one
// when it is gone, so that each opening starts with an empty file name.
// A name the workbook cannot be written under as given (a new "x.xls" is
// written as "x.xlsx") never updates an existing file of the other name
// without asking first.
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

    // While a run fills the source grid, 输出 is disabled and the status
    // bar says why: a half-filled grid is never written. Enabled again once
    // the run has ended.
    void setSourceBusy(bool busy);
    bool isSourceBusy() const { return m_sourceBusy; }
    // A question 输出 asks first (Yes writes), for a source grid the user
    // should think twice about (a cancelled run's list); empty asks nothing.
    void setOutputQuestion(const QString& question) { m_outputQuestion = question; }

signals:
    // A workbook was written: the file (as written, with the extension it
    // got) and the sheet. The dialog closes right after.
    void workbookWritten(const QString& fileName, const QString& sheetName);

private:
    class SourceWatch;

    void formLoad(QWidget* mdiClientArea);
    void command1Click();
    void grid1Click(int col);
    void grid1DblClick(int col);
    void toolbar1ButtonClick(const QString& key);
    void forgetSource();
    void showHint();
    // Writes on a worker thread while the dialog shows how far it has got;
    // the windows repaint meanwhile but take no input. Throws Failure.
    QString writeWorkbook(const GridModel& grid, GridSheetOptions options, const QString& fileName);

    QToolBar* m_toolbar1;
    QLabel* m_label1[3];
    QLineEdit* m_text1[3];
    QToolButton* m_command1;
    QCheckBox* m_check1;
    GridView* m_grid1;
    QStatusBar* m_statusBar1;
    QLabel* m_hint;
    QProgressBar* m_progress;
    QPointer<QFileDialog> m_cd1;
    QPointer<QWidget> m_mdiClientArea; // what the dialog is centred over
    QString m_tag;
    GridModel* m_sourceGrid = nullptr;
    bool m_sourceBusy = false;
    QString m_outputQuestion;
    bool m_declined = false; // the user kept an existing workbook from being written
    std::unique_ptr<SourceWatch> m_watch;
};

} // namespace fee
