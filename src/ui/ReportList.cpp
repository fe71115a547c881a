#include "ReportList.h"

#include "DialogTemplate.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QTableWidget>

#include <algorithm>

namespace Ui {

void SetupReportList(QTableWidget* list, const QList<ListColumn>& columns, Qt::Alignment alignment)
{
    list->setColumnCount(int(columns.size()));
    list->verticalHeader()->hide();
    list->setShowGrid(true);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setWordWrap(false);
    list->horizontalHeader()->setHighlightSections(false);
    // The average width of the font's letters, as the dialog units use it:
    // CJK fonts report a full-width average of their own.
    const int average = DialogBaseUnits(list->font()).cx;
    for (int c = 0; c < columns.size(); ++c) {
        auto* header = new QTableWidgetItem(QString::fromUtf8(columns[c].caption));
        header->setTextAlignment(alignment | Qt::AlignVCenter);
        list->setHorizontalHeaderItem(c, header);
        list->setColumnWidth(c, columns[c].widthChars * average);
    }
}

void SetListColour(QTableWidget* list, const QColor& colour)
{
    // The viewport paints the cells' background. A palette of its own on the
    // list would pass on to its header and scroll bars, whose pieces the
    // style keeps in the pixmap cache under the palette's key: every list
    // opened would add pieces that no later window uses.
    QWidget* viewport = list->viewport();
    QPalette palette = viewport->palette();
    palette.setColor(QPalette::Base, colour);
    palette.setColor(QPalette::AlternateBase, colour);
    viewport->setPalette(palette);
}

void FillReportList(QTableWidget* list, QList<QStringList> rows, Qt::Alignment alignment)
{
    std::stable_sort(rows.begin(), rows.end(), [](const QStringList& a, const QStringList& b) {
        return a.value(0) < b.value(0);
    });
    list->setRowCount(int(rows.size()));
    for (int r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < list->columnCount(); ++c) {
            auto* item = new QTableWidgetItem(rows[r].value(c));
            item->setTextAlignment(alignment | Qt::AlignVCenter);
            list->setItem(r, c, item);
        }
    }
}

void FitReportListToBox(QTableWidget* list)
{
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // A line of the dialog's font is its em (the substitute CJK fonts have
    // a taller line spacing), with a little room above and below.
    const int rowHeight = DialogBaseUnits(list->font()).cy + 6;
    QHeaderView* rows = list->verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setMinimumSectionSize(rowHeight);
    rows->setDefaultSectionSize(rowHeight);

    QHeaderView* header = list->horizontalHeader();
    const int available =
        list->maximumViewportSize().width() - list->verticalScrollBar()->sizeHint().width();
    const int total = header->length();
    if (available <= 0 || total <= 0)
        return;
    int used = 0;
    for (int c = 0; c < list->columnCount(); ++c) {
        const int width = c + 1 < list->columnCount()
                              ? int(qint64(list->columnWidth(c)) * available / total)
                              : available - used;
        list->setColumnWidth(c, width);
        used += width;
    }
    // Without a vertical scroll bar the last column takes its room.
    header->setStretchLastSection(true);
}

QList<QStringList> ReportListRows(const QTableWidget* list)
{
    QList<QStringList> rows;
    for (int r = 0; r < list->rowCount(); ++r) {
        QStringList row;
        for (int c = 0; c < list->columnCount(); ++c)
            row << (list->item(r, c) ? list->item(r, c)->text() : QString());
        rows << row;
    }
    return rows;
}

} // namespace Ui
