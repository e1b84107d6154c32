// Opening the window and the selection panel: the lists it loads and the
// select-all and tree-check rules.
#include "reports/monthly/ui/monthlyreportwindow.h"

#include "common/failure.h"
#include "common/messages.h"
#include "common/sessioninfo.h"
#include "common/textformat.h"
#include "common/widgets/gridview.h"
#include "db/dbconnection.h"
#include "reports/monthly/ui/draggableframe.h"
#include "reports/shared/feeitemtree.h"
#include "reports/shared/officelist.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <QStatusBar>
#include <QStyle>
#include <QToolButton>
#include <QTreeWidget>

namespace fee {

namespace {
    constexpr int kKeyRole = Qt::UserRole;
    constexpr int kFirstYear = 1996;
    constexpr int kLastYear = 2079;

    QString titleFor(const QRadioButton* option) { return option->text() + QStringLiteral("费收缴率汇总表"); }
}

void MonthlyReportWindow::formLoad()
{
    const SessionInfo& session = sessionInfo();
    m_statusBar1->findChild<QLabel*>(QStringLiteral("StatusBar1_Panel2"))->setText(session.UserName);
    m_statusBar1->findChild<QLabel*>(QStringLiteral("StatusBar1_Panel4"))->setText(session.DepartmentName);
    m_statusBar1->findChild<QLabel*>(QStringLiteral("StatusBar1_Panel6"))->setText(session.PositionName);

    m_dtPicker1->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    m_dtPicker1->setDate(QDate::currentDate());

    fillYearMonthLists();

    m_label1.value(0)->setText(QStringLiteral("澄岳物业"));
    m_label19->setText(titleFor(m_option1));

    m_reportYear = QString::number(QDate::currentDate().year());
    MonthlyEngine::layoutSummaryGrid(m_summary, m_reportYear);

    m_detail.setRows(1);
    for (int col = 0; col < m_detail.cols(); ++col)
        m_detail.setFixedAlignment(col, AlignCenter);

    loadOfficeList();
    loadFeeItemTree();
}

void MonthlyReportWindow::fillYearMonthLists()
{
    const QDate today = QDate::currentDate();
    m_combo1->clear();
    for (int year = kFirstYear; year <= kLastYear; ++year)
        m_combo1->addItem(QString::number(year));
    m_combo1->setCurrentIndex(m_combo1->findText(QString::number(today.year())));
    m_combo2->clear();
    for (int month = 1; month <= 12; ++month)
        m_combo2->addItem(QStringLiteral("%1").arg(month, 2, 10, QLatin1Char('0')));
    m_combo2->setCurrentIndex(today.month() - 1);
}

void MonthlyReportWindow::loadOfficeList()
{
    m_list1->clear();
    try {
        fee::loadOffices(DbConnection::shared(), monthlyOfficeListStatement(m_option2->isChecked()),
            OfficeNames::OnOneLine, [this](const Office& office) {
                auto* entry = new QListWidgetItem(officeEntryText(office), m_list1);
                entry->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
                entry->setCheckState(Qt::Unchecked);
            });
    } catch (const Failure& failure) {
        ErrCodeBox(failure.number(), failure.description());
    }
    m_list1->setCurrentRow(-1);
    m_check2->setText(QStringLiteral("全选"));
    m_check2->setChecked(false);
}

void MonthlyReportWindow::loadFeeItemTree()
{
    m_treeView1->clear();
    const QIcon categoryIcon = style()->standardIcon(QStyle::SP_DirIcon);
    const QIcon itemIcon = style()->standardIcon(QStyle::SP_FileIcon);
    QHash<QString, QTreeWidgetItem*> categories;
    try {
        fee::loadFeeItemTree(DbConnection::shared(), FeeTreeQuery::AllItems,
            [&](const QString& category, const FeeItem& item, bool startsCategory) {
                const QString categoryKey = QStringLiteral("L") + category;
                QTreeWidgetItem* parent = categories.value(categoryKey);
                if (startsCategory && !parent) {
                    parent = new QTreeWidgetItem(m_treeView1, QStringList { category });
                    parent->setData(0, kKeyRole, categoryKey);
                    parent->setIcon(0, categoryIcon);
                    parent->setCheckState(0, Qt::Unchecked);
                    categories.insert(categoryKey, parent);
                }
                QString text = item.code + QLatin1Char(' ') + item.name;
                if (item.endDate.isValid())
                    text += QStringLiteral("【") + formatDate(item.endDate, QStringLiteral("yyyy-mm-dd"))
                        + QStringLiteral("】");
                auto* node = parent ? new QTreeWidgetItem(parent, QStringList { text })
                                    : new QTreeWidgetItem(m_treeView1, QStringList { text });
                node->setData(0, kKeyRole, QStringLiteral("X") + item.code);
                node->setIcon(0, itemIcon);
                node->setCheckState(0, Qt::Unchecked);
            });
    } catch (const Failure& failure) {
        ErrNumberBox(failure.number(), failure.description());
    }
    m_treeView1->expandAll();
}

void MonthlyReportWindow::optionClick(bool commercial)
{
    m_label19->setText(titleFor(commercial ? m_option2 : m_option1));
    m_summary.setRows(2);
    m_markedRow = 0;
    m_picture7->hide();
    m_btnB->hide();
    loadOfficeList();
}

void MonthlyReportWindow::check2Click(bool ticked)
{
    m_check2->setText(ticked ? QStringLiteral("取消") : QStringLiteral("全选"));
    for (int i = 0; i < m_list1->count(); ++i)
        m_list1->item(i)->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
    if (m_list1->count() > 0)
        m_list1->setCurrentRow(0);
}

void MonthlyReportWindow::check1Click(bool ticked)
{
    if (m_combo1->currentIndex() < 0)
        return;
    const Qt::CheckState state = ticked ? Qt::Checked : Qt::Unchecked;
    m_propagating = true;
    for (QTreeWidgetItemIterator it(m_treeView1); *it; ++it)
        (*it)->setCheckState(0, state);
    m_propagating = false;
}

void MonthlyReportWindow::treeNodeCheck(QTreeWidgetItem* node, int column)
{
    if (column != 0 || m_propagating)
        return;
    m_propagating = true;
    propagateNodeCheck(node);
    m_propagating = false;
}

void MonthlyReportWindow::propagateNodeCheck(QTreeWidgetItem* node)
{
    const Qt::CheckState state = node->checkState(0);
    for (int i = 0; i < node->childCount(); ++i) {
        QTreeWidgetItem* child = node->child(i);
        child->setCheckState(0, state);
        propagateNodeCheck(child);
    }
}

QVector<Office> MonthlyReportWindow::tickedOffices() const
{
    QVector<Office> offices;
    for (int i = 0; i < m_list1->count(); ++i) {
        const QListWidgetItem* entry = m_list1->item(i);
        if (entry->checkState() != Qt::Checked)
            continue;
        offices.append(officeFromEntryText(entry->text()));
    }
    return offices;
}

QStringList MonthlyReportWindow::tickedFeeCodes() const
{
    // Only item nodes count: a category whose name holds an "X" is no item.
    QStringList codes;
    for (QTreeWidgetItemIterator it(m_treeView1); *it; ++it) {
        const QString key = (*it)->data(0, kKeyRole).toString();
        if (key.startsWith(QLatin1Char('X')) && (*it)->checkState(0) == Qt::Checked)
            codes.append(key.mid(1));
    }
    return codes;
}

} // namespace fee
