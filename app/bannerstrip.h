#pragma once

#include <QPixmap>
#include <QWidget>

namespace fee {

// The banner along the top of the main window (Picture1): the banner picture
// at its natural size, widened to the strip by repeating its middle slice and
// drawing its right end into the strip's right edge.
class BannerStrip : public QWidget {
    Q_OBJECT
public:
    explicit BannerStrip(QWidget* parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap m_picture;
};

} // namespace fee
