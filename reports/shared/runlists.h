#pragma once

#include "core/officeentry.h"
#include "reports/shared/feeitemtree.h"
#include "reports/shared/officelist.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace fee {

class DbConnection;

// What the command line chooses a run's offices, fee items and payment
// methods from: the lists a report window loads when it opens.
struct RunLists {
    QVector<Office> offices;
    QVector<FeeCategory> feeTree;
    QStringList paymentMethods;
};

struct RunListsQuery {
    QString officeStatement;
    OfficeNames officeNames = OfficeNames::AsStored;
    FeeTreeQuery feeTree = FeeTreeQuery::AllItems;
    bool paymentMethods = false;
};

// Loads the lists with the windows' statements in as few requests as they
// allow: the office list, the payment methods and the fee-item tree's first
// statement together, then (for a tree by category) the items of every
// category together. Throws Failure.
RunLists loadRunLists(DbConnection& connection, const RunListsQuery& query);

} // namespace fee
