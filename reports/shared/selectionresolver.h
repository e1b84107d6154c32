#pragma once

#include "core/officeentry.h"
#include "reports/shared/feeitemtree.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace fee {

// The one set of rules by which a run's offices and fee items are chosen,
// for the windows (ticks) and the command line (codes) alike: offices run in
// list order and fee items in tree order, each once, whatever order they
// were ticked or named in.

// The ticked entries of an office list; ticked[i] belongs to list[i].
QVector<Office> tickedOffices(const QVector<Office>& list, const QVector<bool>& ticked);

// The offices named by codes: {"all"} takes the whole list. Every code must
// stand in the list (compared as the list entry's code, the text before its
// first blank); otherwise *error names the first that does not and the
// result is empty.
QVector<Office> officesByCode(const QVector<Office>& list, const QStringList& codes, QString* error);

// The fee items named by codes: {"all"} takes every item of the tree. Codes
// unknown to the tree fail as above.
QStringList feeCodesByCode(const QVector<FeeCategory>& tree, const QStringList& codes, QString* error);

// The entry of a "选择全部" list (payment methods, payees) a command-line
// value chooses: "all" stands for "选择全部"; any other value must be one of
// names, exactly as the list shows it. Otherwise *error names the value
// ("<kind> <value> is not in <listName>") and the result is empty: a name
// the window could not offer would only give a silently empty report.
QString listEntryByName(
    const QStringList& names, const QString& value, const QString& kind, const QString& listName, QString* error);

// A comma-separated command-line value as codes: blanks around each code
// dropped, empty pieces skipped.
QStringList splitCodeList(const QString& text);

} // namespace fee
