#pragma once

#include <QFrame>
#include <QPoint>

namespace fee {

// A floating panel the user moves by pressing the mouse on its free surface
// and dragging; releasing the button ends the move.
class DraggableFrame : public QFrame {
    Q_OBJECT
public:
    explicit DraggableFrame(QWidget* parent = nullptr);

    // A frame that does not move keeps its place whatever the mouse does.
    void setDraggable(bool draggable) { m_draggable = draggable; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_draggable = true;
    bool m_dragging = false;
    QPoint m_pressPos; // in the frame's own coordinates
};

} // namespace fee
