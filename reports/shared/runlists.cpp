#include "reports/shared/runlists.h"

#include "db/dbconnection.h"

namespace fee {

RunLists loadRunLists(DbConnection& connection, const RunListsQuery& query)
{
    RunLists lists;
    // The tree's statement goes last: its result is read to the end before
    // the items of its categories are asked for on the same connection.
    QStringList statements { query.officeStatement };
    if (query.paymentMethods)
        statements.append(paymentMethodStatement());
    statements.append(feeTreeFirstStatement(query.feeTree));
    DbResult result = connection.queryBatch(statements);
    readOffices(result, query.officeNames, [&lists](const Office& office) { lists.offices.append(office); });
    if (query.paymentMethods) {
        result.nextResult();
        lists.paymentMethods = readPaymentMethods(result);
    }
    result.nextResult();
    readFeeItemTree(connection, query.feeTree, result, feeTreeBuilder(lists.feeTree));
    return lists;
}

} // namespace fee
