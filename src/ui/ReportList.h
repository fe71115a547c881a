#pragma once

#include <QColor>
#include <QList>
#include <QStringList>

class QTableWidget;

// A list in report view: columns with captions and widths in average
// characters, grid lines, whole rows selected, read-only; its rows kept in
// ascending order of the text of their first column, as a list that sorts
// its items does.
namespace Ui {

struct ListColumn
{
    const char* caption;
    int widthChars;
};

void SetupReportList(QTableWidget* list, const QList<ListColumn>& columns, Qt::Alignment alignment);

// Sets the background colour of the list's cells.
void SetListColour(QTableWidget* list, const QColor& colour);

// Replaces the rows: each a list of cell texts, missing cells empty. Rows are
// placed by the text of their first cell; equal texts keep their order.
void FillReportList(QTableWidget* list, QList<QStringList> rows, Qt::Alignment alignment);

// Fits the list to its box: the columns share the box's width in the
// proportions they have (room kept for a vertical scroll bar), so none hides
// behind a horizontal one, and each row is one line of the dialog's font
// high, so the box shows as many rows as it can hold.
void FitReportListToBox(QTableWidget* list);

// The cell texts of the list, row by row (for checks).
QList<QStringList> ReportListRows(const QTableWidget* list);

} // namespace Ui
