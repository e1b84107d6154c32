#include "common/widgets/messageboxhandler.h"

#include "common/messages.h"

#include <QApplication>
#include <QMessageBox>

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
            return box.exec() == QMessageBox::Yes ? BoxAnswer::Yes : BoxAnswer::No;
        }
        box.setStandardButtons(QMessageBox::Ok);
        box.exec();
        return BoxAnswer::Ok;
    });
}

} // namespace fee
