#include "Exchange.h"

#include "MessageBox.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <limits>

namespace Ui {

void ExchangeText(bool save, QWidget* control, QString& value)
{
    if (auto* line = qobject_cast<QLineEdit*>(control)) {
        if (save)
            value = line->text();
        else
            line->setText(value);
    } else if (auto* edit = qobject_cast<QPlainTextEdit*>(control)) {
        if (save) {
            value = edit->toPlainText();
            value.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
        } else {
            QString text = value;
            text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
            edit->setPlainText(text);
        }
    } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
        if (save)
            value = combo->currentText();
        else if (combo->isEditable())
            combo->setEditText(value);
        else
            combo->setCurrentIndex(combo->findText(value));
    } else if (auto* label = qobject_cast<QLabel*>(control)) {
        if (save)
            value = label->text();
        else
            label->setText(value);
    }
}

bool ParseInt(const QString& text, int& value)
{
    const QString trimmed = text.trimmed();
    qsizetype pos = 0;
    bool negative = false;
    if (pos < trimmed.size() &&
        (trimmed[pos] == QLatin1Char('-') || trimmed[pos] == QLatin1Char('+')))
        negative = trimmed[pos++] == QLatin1Char('-');
    if (pos == trimmed.size())
        return false;
    long long number = 0;
    for (; pos < trimmed.size(); ++pos) {
        const char16_t c = trimmed[pos].unicode();
        if (c < u'0' || c > u'9')
            return false;
        number = number * 10 + (c - u'0');
        if (number > static_cast<long long>(std::numeric_limits<int>::max()) + 1)
            return false;
    }
    if (negative)
        number = -number;
    if (number < std::numeric_limits<int>::min() || number > std::numeric_limits<int>::max())
        return false;
    value = static_cast<int>(number);
    return true;
}

bool ExchangeInt(bool save, QWidget* control, int& value)
{
    if (!save) {
        QString text = QString::number(value);
        ExchangeText(false, control, text);
        return true;
    }
    QString text;
    ExchangeText(true, control, text);
    int parsed = 0;
    if (!ParseInt(text, parsed)) {
        AppMessageBox(QString::fromUtf8(NotAnIntegerMessage));
        control->setFocus();
        return false;
    }
    value = parsed;
    return true;
}

} // namespace Ui
