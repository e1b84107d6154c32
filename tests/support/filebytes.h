#pragma once

// Whole files as bytes, for tests that check what was or was not written.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTest>

namespace fee::testing {

// The file's bytes; empty when it cannot be read.
inline QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Writes bytes as the whole file (the test fails when it cannot).
inline void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace fee::testing
