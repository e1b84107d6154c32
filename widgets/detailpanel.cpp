#include "widgets/detailpanel.h"

#include "widgets/gridview.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QToolButton>
#include <QVBoxLayout>

namespace fee {

DetailPanel::DetailPanel(const Options& options, GridModel* grid, QWidget* parent)
    : DraggableFrame(parent)
    , m_options(options)
    , m_export(new QPushButton(options.exportText, this))
    , m_view(new GridView(this))
{
    setObjectName(options.objectName);
    setDraggable(options.draggable);

    auto* head = new QHBoxLayout;
    head->setSpacing(6);
    if (!options.captionName.isEmpty()) {
        m_caption = new QLabel(options.captionText, this);
        m_caption->setObjectName(options.captionName);
        QFont bold = m_caption->font();
        bold.setBold(true);
        m_caption->setFont(bold);
        // Presses on the caption move the panel like presses on the panel itself.
        m_caption->setAttribute(Qt::WA_TransparentForMouseEvents);
        head->addWidget(m_caption, 1);
    } else {
        head->addStretch(1);
    }
    m_export->setObjectName(options.exportName);
    head->addWidget(m_export);
    if (options.closeText.isEmpty()) {
        auto* icon = new QToolButton(this);
        icon->setAutoRaise(true);
        icon->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
        icon->setToolTip(QStringLiteral("关闭"));
        m_close = icon;
    } else {
        m_close = new QPushButton(options.closeText, this);
    }
    m_close->setObjectName(options.closeName);
    head->addWidget(m_close);

    m_view->setObjectName(options.gridName);
    m_view->setGrid(grid);

    auto* column = new QVBoxLayout(this);
    const int titleSpace = options.title.isEmpty() ? 6 : fontMetrics().height() + 6;
    column->setContentsMargins(6, titleSpace, 6, 6);
    column->setSpacing(4);
    column->addLayout(head);
    column->addWidget(m_view, 1);
    if (!options.progressName.isEmpty()) {
        m_progress = new QProgressBar(this);
        m_progress->setObjectName(options.progressName);
        m_progress->hide();
        column->addWidget(m_progress);
    }
    hide();

    connect(m_export, &QPushButton::clicked, this, &DetailPanel::exportRequested);
    connect(m_close, &QAbstractButton::clicked, this, &DetailPanel::closeRequested);
}

void DetailPanel::paintEvent(QPaintEvent* event)
{
    DraggableFrame::paintEvent(event);
    if (m_options.title.isEmpty())
        return;
    QPainter painter(this);
    QFont bold = font();
    bold.setBold(true);
    painter.setFont(bold);
    painter.drawText(
        QRect(8, 2, width() - 16, fontMetrics().height() + 2), Qt::AlignLeft | Qt::AlignVCenter, m_options.title);
}

} // namespace fee
