// Writes one detail list of the receipts summary as CSV on standard output,
// for the independent oracle:
//   receipts_details_csv CONN FROM TO METHOD KEY KIND
// METHOD "all" takes every payment method; KEY is a summary row's hidden key
// ("01 21"), KIND its 汇总类别.

#include "core/csv.h"
#include "core/failure.h"
#include "core/grid/gridmodel.h"
#include "db/dbconnection.h"
#include "reports/receipts_summary/receiptscolumns.h"
#include "reports/receipts_summary/receiptsdetails.h"
#include "reports/shared/feeitemtree.h"
#include "reports/shared/runcontext.h"
#include "reports/shared/selectionlists.h"

#include <QCoreApplication>
#include <QDate>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 7) {
        std::fprintf(stderr, "usage: receipts_details_csv CONN FROM TO METHOD KEY KIND\n");
        return 2;
    }
    try {
        fee::DbConnection db;
        db.open(args.at(1));
        fee::ReceiptsSelection selection;
        selection.receipts = { QDate::fromString(args.at(2), Qt::ISODate), QDate::fromString(args.at(3), Qt::ISODate) };
        selection.paymentMethods = fee::loadPaymentMethods(db);
        selection.chosenMethod = args.at(4) == QStringLiteral("all") ? QString() : args.at(4);
        // The row's key from its hidden columns as the CSV shows them.
        const QString key = args.at(5);
        const qsizetype blank = key.indexOf(QLatin1Char(' '));
        const fee::RowKey row { key.left(blank), QString(), blank < 0 ? QString() : key.mid(blank + 1), QString(),
            args.at(6).toInt() };
        fee::GridModel detail;
        fee::layoutReceiptsDetailGrid(detail);
        fee::RunContext run(db);
        fee::fillReceiptsDetail(run, selection, row, detail);
        const QByteArray csv = fee::gridToCsv(detail);
        std::fwrite(csv.constData(), 1, size_t(csv.size()), stdout);
    } catch (const fee::Failure& f) {
        std::fprintf(stderr, "error %d: %s\n", f.number(), f.what());
        return 1;
    }
    return 0;
}
