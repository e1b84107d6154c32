#include "workbook/workbook.h"

#include "core/failure.h"
#include "workbook/workbookfilecommit.h"
#include "workbook/workbookformattable.h"
#include "workbook/workbookreader.h"
#include "workbook/workbookwriter.h"

#include <QDir>
#include <QTemporaryFile>

namespace fee {

namespace {

    [[noreturn]] void fileFailure(const QString& fileName, const QString& reason)
    {
        throw Failure(
            kErrFile, QStringLiteral("无法保存文件 \"%1\": %2").arg(QDir::toNativeSeparators(fileName), reason));
    }

} // namespace

Workbook::Workbook()
    : m_formats(std::make_unique<WorkbookFormatTable>())
{
    addWorksheet();
}

Workbook::~Workbook() = default;

WorkbookSheet& Workbook::worksheet(int index)
{
    return const_cast<WorkbookSheet&>(static_cast<const Workbook*>(this)->worksheet(index));
}

const WorkbookSheet& Workbook::worksheet(int index) const
{
    if (index < 1 || index > worksheetCount())
        throw Failure(kErrWorkbook, QStringLiteral("工作表下标越界: %1").arg(index));
    return *m_sheets.at(index - 1);
}

WorkbookSheet* Workbook::worksheet(const QString& name)
{
    for (const auto& sheet : m_sheets)
        if (sheet->name() == name)
            return sheet.get();
    return nullptr;
}

WorkbookSheet& Workbook::addWorksheet(const QString& name)
{
    auto taken = [&](const QString& candidate) {
        for (const auto& sheet : m_sheets)
            if (sheet->name().compare(candidate, Qt::CaseInsensitive) == 0)
                return true;
        return false;
    };
    QString chosen = name;
    if (chosen.isEmpty()) {
        int n = worksheetCount() + 1;
        while (taken(QStringLiteral("Sheet%1").arg(n)))
            ++n;
        chosen = QStringLiteral("Sheet%1").arg(n);
    } else if (taken(chosen)) {
        throw Failure(kErrWorkbook, QStringLiteral("工作表名称已被使用: \"%1\"").arg(chosen));
    }
    m_sheets.push_back(std::make_unique<WorkbookSheet>(*m_formats, chosen));
    return *m_sheets.back();
}

void Workbook::load(const QString& fileName) { m_sheets = WorkbookReader::read(fileName, *m_formats); }

void Workbook::saveAs(const QString& pathWithoutExtension) const
{
    if (pathWithoutExtension.isEmpty())
        throw Failure(kErrFile, QStringLiteral("没有指定保存的文件名"));
    saveToFile(pathWithoutExtension + QLatin1String(kExtension));
}

void Workbook::saveToFile(const QString& fileName) const
{
    WorkbookFileCommit out(fileName);
    // The library writes to a file name of its own choosing; give it a private one.
    QTemporaryFile scratch(QDir::tempPath() + QStringLiteral("/fee-workbook-XXXXXX.xlsx"));
    if (!scratch.open())
        fileFailure(fileName, scratch.errorString());
    scratch.close();
    WorkbookWriter(*m_formats, m_sheets, m_charts).write(scratch.fileName());
    out.commitFrom(scratch.fileName());
}

} // namespace fee
