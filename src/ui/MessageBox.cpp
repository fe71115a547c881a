#include "MessageBox.h"

#include "AppMessage.h"

#include <QApplication>

#include <utility>

namespace Ui {

namespace {
MessageBoxHook& Hook()
{
    static MessageBoxHook hook;
    return hook;
}

QMessageBox::StandardButton Run(QMessageBox::Icon icon, QWidget* parent, const QString& text,
                                const QString& caption, QMessageBox::StandardButtons buttons,
                                QMessageBox::StandardButton defaultButton = QMessageBox::NoButton)
{
    if (const MessageBoxHook& hook = Hook())
        return hook(icon, caption, text, buttons);
    QMessageBox box(icon, caption, text, buttons, parent);
    box.setTextFormat(Qt::PlainText);
    if (defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(defaultButton);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}
} // namespace

MessageBoxHook SetMessageBoxHook(MessageBoxHook hook)
{
    return std::exchange(Hook(), std::move(hook));
}

QMessageBox::StandardButton MessageBox(QWidget* parent, const QString& text, const QString& caption,
                                       QMessageBox::StandardButtons buttons,
                                       QMessageBox::StandardButton defaultButton)
{
    return Run(QMessageBox::NoIcon, parent, text, caption, buttons, defaultButton);
}

void Prompt(QWidget* parent, const QString& text)
{
    MessageBox(parent, text, QString::fromUtf8(PromptCaption));
}

bool Ask(QWidget* parent, const QString& text)
{
    return MessageBox(parent, text, QString::fromUtf8(PromptCaption),
                      QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

// The application's own message box carries the warning sign.
void AppMessageBox(const QString& text)
{
    Run(QMessageBox::Warning, QApplication::activeWindow(), text,
        QCoreApplication::applicationName(), QMessageBox::Ok);
}

void InstallAppMessageBox()
{
    AppMessage::SetHandler(&AppMessageBox);
}

} // namespace Ui
