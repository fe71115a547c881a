#pragma once

#include <QPushButton>
#include <QStringList>

// A push button whose caption wraps inside the button, character by
// character where the button is narrow: the tall, narrow buttons of the exam
// page stack their characters. text() stays the caption as given.
class WrapButton : public QPushButton
{
    Q_OBJECT
public:
    explicit WrapButton(const QString& text, QWidget* parent = nullptr);

    // The lines a caption takes in a button of that width.
    static QStringList Lines(const QString& text, const QFontMetrics& metrics, int width);

protected:
    void paintEvent(QPaintEvent* event) override;
};
