#pragma once

#include <QString>

namespace fee {

class WorkbookSheet;

// Writes one sheet into an existing .xlsx workbook without disturbing the
// rest of it: the user's other sheets, their pictures, charts, print setup
// and every other part stay byte for byte as they were. Only the sheet's own
// part, the workbook's sheet list and print titles, its relationships, the
// content types and (by appending) the styles change.
class WorkbookPatch {
public:
    // Replaces the worksheet named exactly like `sheet` (its old cells,
    // formats and its own drawings, comments and tables go), or appends the
    // sheet after the last one. The file is rewritten through a temporary
    // file: on any failure it stays untouched. Throws Failure(kErrFile) for a
    // file that is no .xlsx package (a legacy .xls is refused by name), and
    // Failure(kErrWorkbook) for a name another kind of sheet holds.
    static void putSheet(const QString& fileName, const WorkbookSheet& sheet);

    // Creates a workbook file holding only this sheet (a file of that name is
    // replaced whole, through a temporary file). Throws Failure.
    static void createWithSheet(const QString& fileName, const WorkbookSheet& sheet);

    // Throws Failure(kErrFile) unless the file starts like a zip package;
    // a legacy binary workbook (or an encrypted one) gets its own message.
    static void checkPackageSignature(const QString& fileName);
};

} // namespace fee
