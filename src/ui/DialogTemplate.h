#pragma once

#include <QFont>
#include <QRect>
#include <QString>
#include <QWidget>

class QDialog;

// Dialog templates: each window's caption, font, size and controls, in
// dialog units, written in res/dialogs/<id>.json and compiled into the
// program by the build (DialogTemplates.h). Positions convert to pixels
// the way Windows converts them: x * cx / 4 and y * cy / 8, where cx is the
// average character width and cy the character height of the dialog's font.
//
// Every control with an id carries it as its objectName, so code and tests
// find it by id.
namespace Ui {

struct BaseUnits
{
    int cx = 0;
    int cy = 0;
};

BaseUnits DialogBaseUnits(const QFont& font);
QRect MapDialogRect(const BaseUnits& units, const QRect& dialogUnits);

// The font a template names, 宋体 resolving to an installed CJK serif font.
QFont DialogFont(const QString& face, int points);

// Builds template `id` into the dialog: caption, font, fixed size and every
// control. A template that is missing is reported through the application's
// message box, and the function returns false.
bool ApplyTemplate(QDialog* dialog, int id);

// The control with that id among the widget's descendants, or nullptr.
QWidget* FindControl(const QWidget* parent, int id);

template <class T> T* Control(const QWidget* parent, int id)
{
    return qobject_cast<T*>(FindControl(parent, id));
}

} // namespace Ui
