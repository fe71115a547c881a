#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>

class QWidget;

// Every message box of the program goes through MessageBox, so that one place
// decides how a message looks and tests can answer it.
namespace Ui {

inline constexpr char PromptCaption[] = "温馨提示";

// `defaultButton` is the one Return presses (none given: the box's own choice).
QMessageBox::StandardButton
MessageBox(QWidget* parent, const QString& text, const QString& caption,
           QMessageBox::StandardButtons buttons = QMessageBox::Ok,
           QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);

// Answers message boxes instead of showing them: given the box's icon,
// caption, text and buttons, returns the button pressed. Tests install one;
// an empty hook shows the boxes again. Returns the previous hook.
using MessageBoxHook = std::function<QMessageBox::StandardButton(
    QMessageBox::Icon icon, const QString& caption, const QString& text,
    QMessageBox::StandardButtons buttons)>;
MessageBoxHook SetMessageBoxHook(MessageBoxHook hook);

// A message to the student: caption "温馨提示", an OK button.
void Prompt(QWidget* parent, const QString& text);

// A question to the student: caption "温馨提示", Yes and No; true for Yes.
bool Ask(QWidget* parent, const QString& text);

// The application's message box: the program's name as caption, an OK button.
void AppMessageBox(const QString& text);

// Routes the data store's messages to the application's message box.
void InstallAppMessageBox();

} // namespace Ui
