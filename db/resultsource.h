#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

namespace fee {

// Where the rows of a result come from: a statement being stepped on a
// database, or rows already read into memory. Forward only; one row at a
// time. The reads take a field index the caller has checked.
class ResultSource {
public:
    virtual ~ResultSource();

    virtual QStringList fieldNames() const = 0;
    // Moves to the next row; false once the rows are used up. Throws Failure.
    virtual bool fetch() = 0;
    virtual bool isNull(int field) const = 0;
    // The current row's value; an invalid QVariant for NULL.
    virtual QVariant value(int field) const = 0;
    // The value as text, "" for NULL; dates as ISO text.
    virtual QString text(int field) const { return valueText(value(field)); }

    // Dates and times read the same on both databases: "YYYY-MM-DD" at
    // midnight, "YYYY-MM-DD HH:MM:SS" otherwise.
    static QString valueText(const QVariant& value);
};

} // namespace fee
