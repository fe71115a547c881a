#pragma once

#include <QPushButton>

// A push button whose caption wraps inside the button, character by
// character where the button is narrow: the tall, narrow buttons of the exam
// page stack their characters. text() stays the caption as given.
class WrapButton : public QPushButton
{
    Q_OBJECT
public:
    explicit WrapButton(const QString& text, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};
