#pragma once

#include "core/grid/gridmodel.h"
#include "db/dbconnection.h"
#include "reports/daily/dailyengine.h"
#include "reports/daily/dailygrid.h"
#include "reports/daily/ui/dailyreportwindow.h"
#include "reports/shared/runcontext.h"
#include "tests/support/windowtest.h"

#include <QComboBox>
#include <QDateEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

// Driving the daily window by its controls' names, as a user would.
namespace dailywindow {

using fee::testing::child;

inline void chooseOffice(fee::DailyReportWindow* window, const QString& code)
{
    auto* offices = child<QComboBox>(window, "Combo1");
    for (int i = 0; i < offices->count(); ++i) {
        if (offices->itemText(i).startsWith(code + QLatin1Char(' ')))
            offices->setCurrentIndex(i);
    }
}

inline void setDates(fee::DailyReportWindow* window, const QDate& start, const QDate& end)
{
    child<QDateEdit>(window, "DTPicker1")->setDate(start);
    child<QDateEdit>(window, "DTPicker2")->setDate(end);
}

inline void tickAllFeeItems(fee::DailyReportWindow* window)
{
    for (QTreeWidgetItemIterator it(child<QTreeWidget>(window, "TreeView1")); *it; ++it)
        (*it)->setCheckState(0, Qt::Checked);
}

inline void press(fee::DailyReportWindow* window, fee::DailyReportWindow::Command command)
{
    child<QPushButton>(window, QStringLiteral("Command1_%1").arg(int(command)).toUtf8().constData())->click();
}

// Every text of the grid, row by row.
inline QVector<QStringList> gridTexts(const fee::GridModel& grid)
{
    QVector<QStringList> rows;
    for (int r = 0; r < grid.rows(); ++r) {
        QStringList row;
        for (int c = 0; c < grid.cols(); ++c)
            row << grid.text(r, c);
        rows << row;
    }
    return rows;
}

// The grid the engine fills for the selection on this thread.
inline QVector<QStringList> engineRows(const QString& connectionString, const fee::DailySelection& selection)
{
    fee::GridModel grid;
    fee::DbConnection connection;
    connection.open(connectionString);
    fee::RunContext run(connection);
    fee::DailyEngine(run, selection).fill(grid);
    return gridTexts(grid);
}

} // namespace dailywindow
