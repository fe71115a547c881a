#pragma once

#include "Notebook.h"

#include <QDateTime>
#include <QDialog>

#include <functional>

class QComboBox;
class QTableWidget;

// The mistakes notebook on screen: the list of a name's wrong answers, with
// its filters, and the selected question laid out to read (its passage or
// listening script, the question with its options, the answers given and the
// key, the explanation) and to answer again.
class CNotebookDlg : public QDialog
{
    Q_OBJECT
public:
    CNotebookDlg(const QString& name, const Notebook::Book& book, QWidget* parent = nullptr);

    // The list again after a filter changed.
    void OnFilterChange();
    // Shows the selected question.
    void OnSelect();
    // Marks and records the answer given to the selected question.
    void OnSubmit();

    // The entry on a row of the list, or -1.
    int EntryAt(int row) const { return m_shown.value(row, -1); }

    QString m_strName;
    Notebook::Book m_book;
    // When a practice answer is given; the clock unless set otherwise.
    std::function<QDateTime()> m_clock = &QDateTime::currentDateTime;

private:
    void FillFilters();
    void ShowEntry(int index);
    QComboBox* Combo(int id) const;

    QTableWidget* m_list = nullptr;
    QList<int> m_shown; // positions in m_book.entries, row by row
};

// Opens the notebook of `name` modally. A name without one has been told why
// (no name, no handed-in exam, no wrong answer); a failed read has been
// reported.
void OpenNotebook(QWidget* parent, const QString& name);
