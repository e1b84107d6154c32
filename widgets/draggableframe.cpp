#include "widgets/draggableframe.h"

#include <QMouseEvent>

namespace fee {

DraggableFrame::DraggableFrame(QWidget* parent)
    : QFrame(parent)
{
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    setAutoFillBackground(true);
}

void DraggableFrame::mousePressEvent(QMouseEvent* event)
{
    if (m_draggable && event->button() == Qt::LeftButton) {
        m_dragging = true;
        m_pressPos = event->position().toPoint();
    }
    event->accept();
}

void DraggableFrame::mouseMoveEvent(QMouseEvent* event)
{
    // The pointer position is relative to the frame, so the offset from the
    // press position is how far the frame must follow.
    if (m_dragging)
        move(pos() + event->position().toPoint() - m_pressPos);
    event->accept();
}

void DraggableFrame::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_dragging = false;
    event->accept();
}

} // namespace fee
