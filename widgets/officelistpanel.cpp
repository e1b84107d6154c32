#include "widgets/officelistpanel.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

namespace fee {

OfficeListPanel::OfficeListPanel(const Options& options, QWidget* parent)
    : QWidget(parent)
    , m_options(options)
    , m_list(new QListWidget(this))
    , m_selectAll(new QCheckBox(QStringLiteral("全选"), this))
{
    m_list->setObjectName(options.listName);
    m_selectAll->setObjectName(options.selectAllName);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(4);
    if (!options.labelName.isEmpty()) {
        m_label = new QLabel(options.labelText, this);
        m_label->setObjectName(options.labelName);
        column->addWidget(m_label);
    }
    if (options.selectAllAbove)
        column->addWidget(m_selectAll);
    column->addWidget(m_list, 1);
    if (!options.selectAllAbove)
        column->addWidget(m_selectAll);
    connect(m_selectAll, &QCheckBox::toggled, this, &OfficeListPanel::selectAll);
}

void OfficeListPanel::setOffices(const QVector<Office>& offices)
{
    m_list->clear();
    for (const Office& office : offices) {
        auto* entry = new QListWidgetItem(officeEntryText(office), m_list);
        entry->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        entry->setCheckState(Qt::Unchecked);
    }
    m_list->setCurrentRow(-1);
    m_selectAll->setText(QStringLiteral("全选"));
    m_selectAll->setChecked(false);
}

int OfficeListPanel::count() const { return m_list->count(); }

QVector<bool> OfficeListPanel::tickedFlags() const
{
    QVector<bool> flags;
    for (int i = 0; i < m_list->count(); ++i)
        flags.append(m_list->item(i)->checkState() == Qt::Checked);
    return flags;
}

void OfficeListPanel::selectAll(bool ticked)
{
    if (m_options.captionFollowsTick)
        m_selectAll->setText(ticked ? QStringLiteral("取消") : QStringLiteral("全选"));
    for (int i = 0; i < m_list->count(); ++i)
        m_list->item(i)->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
    if (m_options.captionFollowsTick && m_list->count() > 0)
        m_list->setCurrentRow(0);
}

} // namespace fee
