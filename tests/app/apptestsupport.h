#pragma once

// Shared fixture of the shell tests: recorded message boxes and program ends,
// and a demo database made by the command-line tool.

#include "app/appresources.h"
#include "app/programexit.h"
#include "core/messages.h"

#include <QList>
#include <QProcess>
#include <QStringList>
#include <QtTest>

struct RecordedBoxes {
    QList<fee::BoxRequest> boxes;
    fee::BoxAnswer answer = fee::BoxAnswer::Ok;
    QList<int> ends;

    void install()
    {
        fee::setBoxHandler([this](const fee::BoxRequest& r) {
            boxes.append(r);
            return r.buttons == fee::BoxButtons::YesNo ? answer : fee::BoxAnswer::Ok;
        });
        fee::setProgramEndHandler([this](int code) { ends.append(code); });
    }
    void clear()
    {
        boxes.clear();
        ends.clear();
        answer = fee::BoxAnswer::Ok;
    }
    QStringList texts() const
    {
        QStringList t;
        for (const auto& b : boxes)
            t << b.text;
        return t;
    }
};

// Builds the demo database in dir; empty text when the tool failed.
inline QString makeDemoDatabase(const QString& dir)
{
    const QString path = dir + QStringLiteral("/demo.db");
    QProcess tool;
    tool.start(QStringLiteral(FEE_CLI_PATH), { QStringLiteral("demo-db"), path });
    if (!tool.waitForFinished(600000) || tool.exitStatus() != QProcess::NormalExit || tool.exitCode() != 0) {
        qWarning() << "demo-db failed:" << tool.readAllStandardError();
        return QString();
    }
    return path;
}
