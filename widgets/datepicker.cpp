#include "widgets/datepicker.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSignalBlocker>

namespace fee {

namespace {
    bool isDateCharacter(QChar c) { return c.isDigit() || c == u'-' || c == u'/' || c == u'.'; }

    // A text that cannot grow into a longer date: eight digits, or year,
    // month and day with two-digit month and day.
    bool isComplete(const QString& typed)
    {
        static const QRegularExpression kFull(QStringLiteral("^(\\d{8}|\\d{4}[-/.]\\d{2}[-/.]\\d{2})$"));
        return kFull.match(typed).hasMatch();
    }
}

DatePicker::DatePicker(QWidget* parent)
    : QDateEdit(parent)
{
    lineEdit()->installEventFilter(this);
}

std::optional<QDate> DatePicker::parseWholeDate(const QString& text)
{
    static const QRegularExpression kSeparated(QStringLiteral("^(\\d{4})([-/.])(\\d{1,2})\\2(\\d{1,2})$"));
    static const QRegularExpression kDigits(QStringLiteral("^(\\d{4})(\\d{2})(\\d{2})$"));
    const QString trimmed = text.trimmed();
    QRegularExpressionMatch match = kSeparated.match(trimmed);
    QDate date;
    if (match.hasMatch()) {
        date = QDate(match.captured(1).toInt(), match.captured(3).toInt(), match.captured(4).toInt());
    } else if ((match = kDigits.match(trimmed)).hasMatch()) {
        date = QDate(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt());
    }
    if (!date.isValid())
        return std::nullopt;
    return date;
}

bool DatePicker::takeWholeDate(const QString& text)
{
    const std::optional<QDate> date = parseWholeDate(text);
    if (!date || *date < minimumDate() || *date > maximumDate())
        return false;
    setDate(*date);
    showDate();
    return true;
}

void DatePicker::showTyped()
{
    // Shown as typed, past the section rules of the date edit: its
    // reactions to the edit's text and cursor stay quiet meanwhile.
    const QSignalBlocker blocker(lineEdit());
    lineEdit()->setText(m_typed);
    lineEdit()->setCursorPosition(int(m_typed.size()));
}

void DatePicker::showDate()
{
    const QSignalBlocker blocker(lineEdit());
    lineEdit()->setText(textFromDateTime(dateTime()));
}

void DatePicker::finishTyping()
{
    if (!m_typing)
        return;
    m_typing = false;
    const QString typed = m_typed;
    m_typed.clear();
    if (!takeWholeDate(typed))
        showDate();
}

QValidator::State DatePicker::validate(QString& input, int& pos) const
{
    if (m_typing)
        return QValidator::Intermediate;
    // A whole date pasted over the text, in any of the forms taken.
    if (input != textFromDateTime(dateTime())) {
        if (const std::optional<QDate> date = parseWholeDate(input)) {
            if (*date >= minimumDate() && *date <= maximumDate()) {
                input = date->toString(displayFormat());
                pos = int(input.size());
                return QValidator::Acceptable;
            }
        }
    }
    return QDateEdit::validate(input, pos);
}

void DatePicker::keyPressEvent(QKeyEvent* event)
{
    const QString text = event->text();
    const bool dateCharacter = text.size() == 1 && isDateCharacter(text.at(0))
        && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));

    if (m_typing) {
        if (dateCharacter) {
            m_typed += text;
            if (isComplete(m_typed))
                finishTyping();
            else
                showTyped();
            event->accept();
            return;
        }
        if (event->key() == Qt::Key_Backspace) {
            m_typed.chop(1);
            if (m_typed.isEmpty()) {
                m_typing = false;
                showDate();
            } else {
                showTyped();
            }
            event->accept();
            return;
        }
        if (event->key() == Qt::Key_Escape) {
            m_typing = false;
            m_typed.clear();
            showDate();
            event->accept();
            return;
        }
        // Any other key ends the typing first and then does what it does.
        finishTyping();
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            QDateEdit::keyPressEvent(event);
            lineEdit()->selectAll();
            return;
        }
    } else if (event->matches(QKeySequence::SelectAll)) {
        lineEdit()->selectAll();
        event->accept();
        return;
    } else if (event->matches(QKeySequence::Paste)) {
        if (takeWholeDate(QApplication::clipboard()->text())) {
            event->accept();
            return;
        }
    } else if (dateCharacter && text.at(0).isDigit() && lineEdit()->hasSelectedText()
        && lineEdit()->selectedText() == lineEdit()->text()) {
        // Typing over the whole text starts a date of its own.
        m_typing = true;
        m_typed = text;
        showTyped();
        event->accept();
        return;
    }
    QDateEdit::keyPressEvent(event);
}

void DatePicker::stepBy(int steps)
{
    finishTyping();
    QDateEdit::stepBy(steps);
}

void DatePicker::mousePressEvent(QMouseEvent* event)
{
    finishTyping();
    QDateEdit::mousePressEvent(event);
}

void DatePicker::focusOutEvent(QFocusEvent* event)
{
    finishTyping();
    QDateEdit::focusOutEvent(event);
}

bool DatePicker::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == lineEdit() && m_typing
        && (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick))
        finishTyping();
    return QDateEdit::eventFilter(watched, event);
}

} // namespace fee
