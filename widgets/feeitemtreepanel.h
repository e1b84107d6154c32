#pragma once

#include <QIcon>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>

class QCheckBox;
class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

namespace fee {

// The fee-item tree with a check box per node ("TreeView1"), its heading
// label and a select-all box. Category nodes carry the key "L" + category,
// item nodes "X" + item code; only ticked item nodes make the selection.
// Ticking a node ticks every node below it; ticking an item leaves its
// category as it is.
class FeeItemTreePanel : public QWidget {
    Q_OBJECT
public:
    struct Options {
        QString treeName = QStringLiteral("TreeView1");
        QString selectAllName = QStringLiteral("Check1");
        QString labelName;
        QString labelText = QStringLiteral("收费项目");
        // Unset: the style's folder and file icons.
        QIcon categoryIcon;
        QIcon itemIcon;
        // Asked before select-all changes the ticks; unset: always allowed.
        std::function<bool()> selectAllAllowed;
    };

    explicit FeeItemTreePanel(const Options& options, QWidget* parent = nullptr);

    QTreeWidget* tree() const { return m_tree; }
    QCheckBox* selectAllBox() const { return m_selectAll; }
    QLabel* label() const { return m_label; }

    void clear();
    // Adds a category node at the end (once per category text) and returns it.
    QTreeWidgetItem* addCategory(const QString& category);
    // Adds an item node under its category node (added first if missing).
    void addItem(const QString& category, const QString& code, const QString& text);
    // Shows every node; call after loading.
    void finishLoading();

    // The codes of the ticked item nodes, in node order.
    QStringList tickedCodes() const;
    // Ticks the item nodes with these codes (and nothing else changes).
    void tickCodes(const QStringList& codes);

private:
    void nodeChanged(QTreeWidgetItem* node, int column);
    void propagate(QTreeWidgetItem* node);
    void selectAll(bool ticked);

    Options m_options;
    QTreeWidget* m_tree;
    QCheckBox* m_selectAll;
    QLabel* m_label;
    bool m_propagating = false;
};

} // namespace fee
