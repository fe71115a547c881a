#pragma once

#include <QString>

class QWidget;

// Data exchange between a dialog's members and its controls, as each dialog's
// UpdateData does it: save == true copies control to member, false member to
// control.
namespace Ui {

inline constexpr char NotAnIntegerMessage[] = "请输入一个整数。";

// Text of an edit, a label or a combo box's edit field. Multi-line edits hold
// "\n" line breaks; the member holds "\r\n", as the text box of Windows gives
// them.
void ExchangeText(bool save, QWidget* control, QString& value);

// A whole number in an edit. On save, a text that is not a whole number in
// the range of int shows "请输入一个整数。", focuses the control and returns
// false, leaving the member unchanged.
bool ExchangeInt(bool save, QWidget* control, int& value);

// The whole number a text holds (blanks around it allowed), if it holds one
// that fits in int.
bool ParseInt(const QString& text, int& value);

} // namespace Ui
