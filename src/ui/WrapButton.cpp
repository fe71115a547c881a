#include "WrapButton.h"

#include <QStyleOptionButton>
#include <QStylePainter>
#include <QTextOption>

WrapButton::WrapButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {}

void WrapButton::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);

    QTextOption textOption(Qt::AlignCenter);
    textOption.setWrapMode(QTextOption::WrapAnywhere);
    const QRect area = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    // Blanks between the characters only space them out; each character
    // takes its own line when the button is narrow.
    QString shown = text();
    if (fontMetrics().horizontalAdvance(shown) > area.width())
        shown = shown.simplified().remove(QLatin1Char(' '));
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    painter.drawText(QRectF(area), shown, textOption);
}
