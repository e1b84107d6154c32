#pragma once

#include <QString>

// A small fee database for the receipts summary (plain text columns, so the
// SQL Server stand-in can serve it too). Offices: 01 甲区 (receipts, the
// three ledgers, an internal exchange, a receipt without office, a line at
// 10:00 on 2026-03-31), 02 乙区 (receipts only), 03 丙区 (no money), 04 丁区
// (an exchange recorded without the replacement's book: no receipt line
// counts), 06 己区 (a replacement without book: likewise), 05 commercial.
// Department D1 is 01's. Items: 01 物业管理费 and 02 公共能耗 (A类物业), 11
// 车位管理费 (B类车位), 21 and 22 both named 押金 (C类其他), 99 ended.
// Returns an error text, empty on success.
QString createReceiptsFixture(const QString& path);

inline QString receiptsFixtureConnection(const QString& path)
{
    return QStringLiteral("Provider=SQLite;Data Source=") + path;
}
