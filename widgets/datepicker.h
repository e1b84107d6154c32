#pragma once

#include <QDateEdit>
#include <optional>

namespace fee {

// The report windows' date box: a date edit with its calendar that also
// takes a whole date typed over its selected text or pasted into it
// ("2025-12-01", "2025/12/1", "20251201"). Qt's own date edit reads typed
// digits section by section and turns such typing into another date or
// drops it.
class DatePicker : public QDateEdit {
    Q_OBJECT
public:
    explicit DatePicker(QWidget* parent = nullptr);

    // A whole date in one of the forms above (blanks around it aside).
    static std::optional<QDate> parseWholeDate(const QString& text);

    void stepBy(int steps) override;
    QValidator::State validate(QString& input, int& pos) const override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showTyped();
    // Ends the typing: the typed date is taken when it is a whole valid
    // date, otherwise the box shows its date again.
    void finishTyping();
    void showDate();
    bool takeWholeDate(const QString& text);

    bool m_typing = false;
    QString m_typed;
};

} // namespace fee
