#pragma once

#include "core/officeentry.h"

#include <QString>
#include <QVector>
#include <QWidget>

class QCheckBox;
class QLabel;
class QListWidget;

namespace fee {

// An office list with a check box per entry ("List1") and a select-all box.
// Entries read "code name"; the code of a ticked entry is the text before
// its first blank.
class OfficeListPanel : public QWidget {
    Q_OBJECT
public:
    struct Options {
        QString listName = QStringLiteral("List1");
        QString selectAllName = QStringLiteral("Check2");
        QString labelName; // a label above the list; none when empty
        QString labelText;
        bool selectAllAbove = false; // the select-all box above the list rather than below it
        // The select-all box reads "取消" while ticked and "全选" while not,
        // and the list's current entry moves to the first one.
        bool captionFollowsTick = false;
    };

    explicit OfficeListPanel(const Options& options, QWidget* parent = nullptr);

    QListWidget* list() const { return m_list; }
    QCheckBox* selectAllBox() const { return m_selectAll; }
    QLabel* label() const { return m_label; }

    // Replaces the entries (all unticked), leaves no current entry and clears
    // the select-all box.
    void setOffices(const QVector<Office>& offices);
    int count() const;
    // Whether each entry is ticked, in list order (the report's selection
    // rules turn them into offices).
    QVector<bool> tickedFlags() const;

private:
    void selectAll(bool ticked);

    Options m_options;
    QListWidget* m_list;
    QCheckBox* m_selectAll;
    QLabel* m_label = nullptr;
};

} // namespace fee
