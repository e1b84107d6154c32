#pragma once

#include <QFrame>

class QLabel;
class QPushButton;

namespace fee {

struct RunProgress;

// The panel shown over a grid while a run goes: the window's wait text, the
// progress of the run (offices done, rows read) and a button that cancels it.
class WaitOverlay : public QFrame {
    Q_OBJECT
public:
    // objectName/labelName: the system's names of the panel and its text
    // (the monthly report's "Picture5" and "Label3").
    WaitOverlay(const QString& objectName, const QString& labelName, const QString& text, QWidget* parent);

    QLabel* label() const { return m_label; }
    // What the run is for and what waits for it (below the wait text);
    // empty hides the line.
    void setSubject(const QString& subject);
    QLabel* subject() const { return m_subject; }
    QPushButton* cancelButton() const { return m_cancel; }

    // Shows the panel centred over a sibling widget (the grid), in front.
    void showOver(const QWidget* target);
    // Keeps the panel centred when the target moves or resizes.
    void recentre(const QWidget* target);
    void showProgress(const RunProgress& progress);
    // The cancel button is enabled again for the next run.
    void finish();

signals:
    void cancelRequested();

private:
    QLabel* m_label;
    QLabel* m_subject;
    QLabel* m_progress;
    QPushButton* m_cancel;
};

} // namespace fee
