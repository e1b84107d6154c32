#pragma once

#include <QString>
#include <functional>

namespace fee {

enum class BoxIcon { None, Information, Question };
enum class BoxButtons { Ok, YesNo };
enum class BoxAnswer { Ok, Yes, No };

struct BoxRequest {
    QString text;
    QString title;
    BoxIcon icon = BoxIcon::Information;
    BoxButtons buttons = BoxButtons::Ok;
};

// Every message box of the program goes through this one seam. The program
// installs a handler that shows a modal box; tests install one that records
// the request and answers. Without a handler the text goes to standard error
// and the answer is Ok / Yes. Passwords are masked before either sees the
// text (core/secretmask.h).
using BoxHandler = std::function<BoxAnswer(const BoxRequest&)>;
void setBoxHandler(BoxHandler handler);
BoxAnswer showBox(const BoxRequest& request);

// The usual title of the program's own messages.
inline const char* const kSystemTitle = "系统提示";

// The executable's file name without its extension (the title of ErrPlainBox
// and of boxes that name no title).
QString programTitle();

// A message with the information icon and an OK button.
void msgBox(
    const QString& text, const QString& title = QString::fromUtf8(kSystemTitle), BoxIcon icon = BoxIcon::Information);

// The four error box styles.
QString errCodeText(int number, const QString& description);
QString errNumberText(int number, const QString& description);
QString errPlainText(int number, const QString& description, const QString& separator);
QString errInfoText(const QString& description);
void ErrCodeBox(int number, const QString& description);
void ErrNumberBox(int number, const QString& description);
void ErrPlainBox(int number, const QString& description, const QString& separator);
void ErrInfoBox(const QString& description);

} // namespace fee
