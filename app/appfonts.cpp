#include "app/appfonts.h"

#include <QApplication>
#include <QFont>

namespace fee {

void useApplicationFont()
{
    QFont font(QStringLiteral("宋体"));
    font.setPointSize(9);
    QApplication::setFont(font);
}

} // namespace fee
