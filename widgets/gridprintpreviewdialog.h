#pragma once

#include "core/failure.h"
#include "print/gridpdf.h"
#include "print/printgrid.h"
#include "print/printpagechoice.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QPrinter>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QProgressBar;
class QPrintPreviewWidget;
class QPushButton;
class QWidget;

namespace fee {

class GridModel;

// The print preview of a grid (object name "GridPrintPreview"): the pages as
// they print, a paper choice ("纸张": 自动, A4, A3) and "适合纸宽" with the
// same rules as the command line's --paper and --fit (choosePrintPage), and
// buttons that print or save a PDF of exactly what it shows.
//
// Laying out a long list takes seconds: the pages are laid out while the
// dialog is up, with a busy pointer, a progress bar of the pages and a
// cancel button (which closes the preview), and the other windows keep
// repainting (their clocks tick) meanwhile.
class GridPrintPreviewDialog : public QDialog {
    Q_OBJECT
public:
    // The grid must outlive the dialog and must not change while it is open.
    GridPrintPreviewDialog(const GridModel& grid, const PrintGridOptions& options, QWidget* parent = nullptr);
    ~GridPrintPreviewDialog() override;

    PrintPaper paper() const;
    void setPaper(PrintPaper paper);
    bool fitToWidth() const;
    void setFitToWidth(bool fit);

    // The page the preview shows and the number of its pages.
    const PrintPageChoice& pageChoice() const { return m_choice; }
    int pageCount() const;
    bool isLayingOut() const { return m_layingOut; }
    // A failure of the last layout (a page too short for one row).
    const std::optional<Failure>& failure() const { return m_failure; }

    // Prints the pages the preview shows on a printer (its page layout set to
    // the preview's; a printer that prints to a PDF file gets savePdf's
    // file); writes them to a PDF file. Both throw fee::Failure.
    PrintGridResult printOn(QPrinter& printer);
    GridPdfResult savePdf(const QString& path);

signals:
    // A layout of the pages has ended (finished, cancelled or failed).
    void layoutFinished();

public slots:
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void relayout();
    void paintPages(QPrinter* target);
    PrintGridOptions jobOptions();
    bool pageDone(int page, int pageCount);
    void setBusy(bool busy);
    void showPageInfo(const QString& extra = QString());
    void printClicked();
    void savePdfClicked();

    const GridModel& m_grid;
    PrintGridOptions m_options;
    PrintPageChoice m_choice;
    QPrinter m_printer;
    std::optional<Failure> m_failure;
    bool m_started = false;
    bool m_layingOut = false;
    bool m_again = false;
    bool m_cancelled = false;
    bool m_closeWhenDone = false;
    int m_parts = 1; // of the last layout
    bool m_cutOff = false;
    QElapsedTimer m_sinceEvents;

    QComboBox* m_paper;
    QCheckBox* m_fit;
    QLabel* m_info;
    QPushButton* m_print;
    QPushButton* m_save;
    QWidget* m_controls;
    QWidget* m_busy;
    QProgressBar* m_progress;
    QLabel* m_progressText;
    QPushButton* m_cancel;
    QPrintPreviewWidget* m_preview;
};

} // namespace fee
