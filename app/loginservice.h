#pragma once

#include "app/positionchoice.h"

#include <QList>
#include <QString>

namespace fee {

class DbConnection;

// One current position of an employee: the text of its list entry and the
// session it logs in with.
struct LoginPosition {
    QString entryText; // "财务部 会计(主要)"
    PositionChoice choice;
};

// What the login's two statements found for a job number and password.
struct LoginCheck {
    bool employeeFound = false; // the job number with this password exists
    QList<LoginPosition> positions; // the employee's current positions, in statement order
};

// Runs the employee check and, when it finds the employee, the position
// query. No window is involved; failures (a statement the database rejects,
// a NULL in a position's column) throw Failure.
LoginCheck checkLogin(DbConnection& connection, const QString& user, const QString& password);

} // namespace fee
