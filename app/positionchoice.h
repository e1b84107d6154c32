#pragma once

#include "core/sessioninfo.h"

#include <QString>

namespace fee {

class DbResult;

// One position the employee may log in with: the ten session texts in the
// session's order, field 0 the job number as typed.
using PositionChoice = SessionInfo;

// The text without its leading and trailing blanks (other white space stays).
QString trimSpaces(const QString& text);

// The list entry of a position row: "财务部 会计(主要)" / "工程部 电工(兼职)".
QString positionEntryText(const QString& departmentName, const QString& positionName, bool mainPosition);

// The employee check and the position query of a job number (and password).
QString employeeCheckStatement(const QString& user, const QString& password);
QString positionStatement(const QString& user);

// The choice of the current row of a position result.
PositionChoice positionChoiceFromRow(const QString& user, const DbResult& row);

} // namespace fee
