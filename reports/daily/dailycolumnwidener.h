#pragma once

#include <QHash>
#include <QString>
#include <QVector>

namespace fee {

class GridModel;

// Widens the columns of a grid to the texts of one row: a column narrower
// than a text's width + 90 twips becomes that wide; columns never narrow.
// Each distinct text is measured once per widener (the grid's font does not
// change during a run), so keep one widener for a whole run.
class DailyColumnWidener {
public:
    void widenToRow(GridModel& grid, int row);

private:
    int width(const GridModel& grid, const QString& text);
    QHash<QString, int> m_widths;
    QVector<QString> m_lastTexts; // per column, the text last fitted: rows often repeat it
};

} // namespace fee
