#include "WrapButton.h"

#include <QStyleOptionButton>
#include <QStylePainter>

WrapButton::WrapButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {}

QStringList WrapButton::Lines(const QString& text, const QFontMetrics& metrics, int width)
{
    // The blanks of a caption only space its characters out; wrapped, each
    // line holds as many characters as fit the button's width.
    const QString characters = QString(text).remove(QLatin1Char(' '));
    if (metrics.horizontalAdvance(text) <= width || characters.isEmpty())
        return {text};
    const int advance = std::max(1, metrics.horizontalAdvance(QStringLiteral("中")));
    const int perLine = std::max(1, (width - advance / 2) / advance);
    QStringList lines;
    for (qsizetype at = 0; at < characters.size(); at += perLine)
        lines << characters.mid(at, perLine);
    return lines;
}

void WrapButton::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);

    const QRect area = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    const QStringList lines = Lines(text(), fontMetrics(), area.width());
    // Lines as close as the characters' own height allows, so a tall caption
    // fits the button as it does in 宋体.
    const int lineHeight =
        std::min(fontMetrics().height(),
                 std::max(fontInfo().pixelSize(), area.height() / int(lines.size())));
    const int top = area.top() + (area.height() - lineHeight * int(lines.size())) / 2;
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    for (int i = 0; i < lines.size(); ++i)
        painter.drawText(QRect(area.left(), top + i * lineHeight, area.width(), lineHeight),
                         Qt::AlignCenter, lines[i]);
}
