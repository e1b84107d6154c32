#include "widgets/feeitemtreepanel.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace fee {

namespace {
    constexpr int kKeyRole = Qt::UserRole;
}

FeeItemTreePanel::FeeItemTreePanel(const Options& options, QWidget* parent)
    : QWidget(parent)
    , m_options(options)
    , m_tree(new QTreeWidget(this))
    , m_selectAll(new QCheckBox(QStringLiteral("全选"), this))
    , m_label(new QLabel(options.labelText, this))
{
    if (m_options.categoryIcon.isNull())
        m_options.categoryIcon = style()->standardIcon(QStyle::SP_DirIcon);
    if (m_options.itemIcon.isNull())
        m_options.itemIcon = style()->standardIcon(QStyle::SP_FileIcon);
    m_tree->setObjectName(options.treeName);
    m_selectAll->setObjectName(options.selectAllName);
    m_label->setObjectName(options.labelName);
    m_tree->setHeaderHidden(true);
    m_tree->setColumnCount(1);
    // Long item names with end dates scroll instead of being cut.
    m_tree->header()->setStretchLastSection(false);
    m_tree->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);

    auto* head = new QHBoxLayout;
    head->addWidget(m_label);
    head->addStretch(1);
    head->addWidget(m_selectAll);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(4);
    column->addLayout(head);
    column->addWidget(m_tree, 1);

    connect(m_selectAll, &QCheckBox::toggled, this, &FeeItemTreePanel::selectAll);
    connect(m_tree, &QTreeWidget::itemChanged, this, &FeeItemTreePanel::nodeChanged);
}

void FeeItemTreePanel::clear() { m_tree->clear(); }

QTreeWidgetItem* FeeItemTreePanel::addCategory(const QString& category)
{
    const QString key = QStringLiteral("L") + category;
    for (int i = 0; i < m_tree->topLevelItemCount(); ++i) {
        if (m_tree->topLevelItem(i)->data(0, kKeyRole).toString() == key)
            return m_tree->topLevelItem(i);
    }
    auto* node = new QTreeWidgetItem(m_tree, QStringList { category });
    node->setData(0, kKeyRole, key);
    node->setIcon(0, m_options.categoryIcon);
    node->setCheckState(0, Qt::Unchecked);
    return node;
}

void FeeItemTreePanel::addItem(const QString& category, const QString& code, const QString& text)
{
    QTreeWidgetItem* parent = addCategory(category);
    auto* node = new QTreeWidgetItem(parent, QStringList { text });
    node->setData(0, kKeyRole, QStringLiteral("X") + code);
    node->setIcon(0, m_options.itemIcon);
    node->setCheckState(0, Qt::Unchecked);
}

void FeeItemTreePanel::finishLoading() { m_tree->expandAll(); }

QStringList FeeItemTreePanel::tickedCodes() const
{
    // Only item nodes count: a category whose name starts with "X" is no item.
    QStringList codes;
    for (QTreeWidgetItemIterator it(m_tree); *it; ++it) {
        const QString key = (*it)->data(0, kKeyRole).toString();
        if (key.startsWith(QLatin1Char('X')) && (*it)->checkState(0) == Qt::Checked)
            codes.append(key.mid(1));
    }
    return codes;
}

void FeeItemTreePanel::tickCodes(const QStringList& codes)
{
    for (QTreeWidgetItemIterator it(m_tree); *it; ++it) {
        const QString key = (*it)->data(0, kKeyRole).toString();
        if (key.startsWith(QLatin1Char('X')) && codes.contains(key.mid(1)))
            (*it)->setCheckState(0, Qt::Checked);
    }
}

void FeeItemTreePanel::nodeChanged(QTreeWidgetItem* node, int column)
{
    if (column != 0 || m_propagating)
        return;
    m_propagating = true;
    propagate(node);
    m_propagating = false;
}

void FeeItemTreePanel::propagate(QTreeWidgetItem* node)
{
    const Qt::CheckState state = node->checkState(0);
    for (int i = 0; i < node->childCount(); ++i) {
        QTreeWidgetItem* child = node->child(i);
        child->setCheckState(0, state);
        propagate(child);
    }
}

void FeeItemTreePanel::selectAll(bool ticked)
{
    if (m_options.selectAllAllowed && !m_options.selectAllAllowed())
        return;
    const Qt::CheckState state = ticked ? Qt::Checked : Qt::Unchecked;
    m_propagating = true;
    for (QTreeWidgetItemIterator it(m_tree); *it; ++it)
        (*it)->setCheckState(0, state);
    m_propagating = false;
}

} // namespace fee
