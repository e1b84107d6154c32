#include "widgets/messageboxhandler.h"

#include "core/messages.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace fee {

void installMessageBoxHandler()
{
    setBoxHandler([](const BoxRequest& request) {
        QMessageBox box(QApplication::activeWindow());
        box.setWindowTitle(request.title.isEmpty() ? programTitle() : request.title);
        box.setText(request.text);
        switch (request.icon) {
        case BoxIcon::None:
            box.setIcon(QMessageBox::NoIcon);
            break;
        case BoxIcon::Information:
            box.setIcon(QMessageBox::Information);
            break;
        case BoxIcon::Question:
            box.setIcon(QMessageBox::Question);
            break;
        }
        if (request.buttons == BoxButtons::YesNo) {
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box.setDefaultButton(QMessageBox::Yes);
            box.button(QMessageBox::Yes)->setText(QStringLiteral("是(&Y)"));
            box.button(QMessageBox::No)->setText(QStringLiteral("否(&N)"));
            return box.exec() == QMessageBox::Yes ? BoxAnswer::Yes : BoxAnswer::No;
        }
        box.setStandardButtons(QMessageBox::Ok);
        box.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
        box.exec();
        return BoxAnswer::Ok;
    });
}

} // namespace fee
