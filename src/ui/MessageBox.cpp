#include "MessageBox.h"

#include "AppMessage.h"

#include <QApplication>

namespace Ui {

QMessageBox::StandardButton MessageBox(QWidget* parent, const QString& text, const QString& caption,
                                       QMessageBox::StandardButtons buttons)
{
    const QMessageBox::Icon icon =
        buttons.testFlag(QMessageBox::Yes) ? QMessageBox::Question : QMessageBox::Information;
    QMessageBox box(icon, caption, text, buttons, parent);
    box.setTextFormat(Qt::PlainText);
    return static_cast<QMessageBox::StandardButton>(box.exec());
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

void AppMessageBox(const QString& text)
{
    MessageBox(QApplication::activeWindow(), text, QCoreApplication::applicationName());
}

void InstallAppMessageBox()
{
    AppMessage::SetHandler(&AppMessageBox);
}

} // namespace Ui
