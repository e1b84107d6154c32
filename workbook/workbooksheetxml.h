#pragma once

#include <QByteArray>
#include <QHash>
#include <QVector>

namespace fee {

class WorkbookSheet;

// The worksheet part of one in-memory sheet, for putting into an existing
// package: texts are written inline, so the package's shared strings stay as
// they are, and cell formats are the package's own style indexes.
class WorkbookSheetXml {
public:
    // The sheet's format indexes (cells, rows, columns), each once, 0 left out.
    static QVector<int> usedFormats(const WorkbookSheet& sheet);
    // styleOf maps each used format index to the package's cell style index.
    static QByteArray write(const WorkbookSheet& sheet, const QHash<int, int>& styleOf);
    // The width the file stores for a width in characters (7-pixel digits, 5 pixels of padding).
    static double storedWidth(double characters);
};

} // namespace fee
