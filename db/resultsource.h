#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

namespace fee {

// Where the rows of a result come from: a statement being stepped on a
// database, or rows already read into memory. Forward only; one row at a
// time. The reads take a field index the caller has checked.
//
// A source made from several statements sent together holds one result set
// per statement, read in the statements' order: the first is current when
// the source is made, nextResultSet() moves on.
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

    // Whether a statement after the current one has a result set to come.
    virtual bool hasMoreResultSets() const { return false; }
    // Leaves what is left of the current result set and makes the next
    // statement's current; false when there is none. Throws that statement's
    // failure.
    virtual bool nextResultSet() { return false; }

    // Dates and times read the same on both databases: "YYYY-MM-DD" at
    // midnight, "YYYY-MM-DD HH:MM:SS" otherwise.
    static QString valueText(const QVariant& value);
};

} // namespace fee
