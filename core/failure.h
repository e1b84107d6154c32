#pragma once

#include <QString>
#include <exception>

namespace fee {

// A failure with the number and the description that the error boxes show.
// Database failures keep the provider's number and message; the program's own
// failures use the numbers below.
class Failure : public std::exception {
public:
    Failure(int number, QString description)
        : m_number(number)
        , m_description(std::move(description))
        , m_utf8(m_description.toUtf8())
    {
    }
    int number() const { return m_number; }
    const QString& description() const { return m_description; }
    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    int m_number;
    QString m_description;
    QByteArray m_utf8;
};

// Numbers of failures that do not come from the database.
constexpr int kErrInvalidArgument = 5; // an argument the operation cannot take (an empty list)
constexpr int kErrInvalidNull = 94; // a NULL where text (or another value) was expected
constexpr int kErrConnection = -2147467259; // the provider's generic "unspecified error"
constexpr int kErrFile = 75; // path or file access error
constexpr int kErrWorkbook = 1004; // the workbook component refused an operation
constexpr int kErrCancelled = 32755; // a dialog was cancelled
constexpr int kErrOperationCancelled = 3712; // a run was cancelled by the user (not an error to show)

inline bool isCancellation(const Failure& failure) { return failure.number() == kErrOperationCancelled; }

} // namespace fee
