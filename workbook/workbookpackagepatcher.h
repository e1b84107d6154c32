#pragma once

#include <QString>

namespace fee {

class WorkbookSheet;
class WorkbookZip;

// The changes that put one sheet into an open .xlsx package: the sheet's own
// part written (new, or in place of the worksheet of the same name, whose own
// relationships go), the workbook's sheet list, print titles and
// relationships, the content types and (by appending) the styles adjusted.
// Nothing else of the package is touched.
class WorkbookPackagePatcher {
public:
    // fileName names the user's file in messages. Throws Failure.
    static void apply(WorkbookZip& zip, const QString& fileName, const WorkbookSheet& sheet);

    [[noreturn]] static void refuse(const QString& fileName, const QString& reason);
};

} // namespace fee
