#include "NotebookDlg.h"

#include "DialogIds.h"
#include "DialogTemplate.h"
#include "Marking.h"
#include "MessageBox.h"
#include "ReportList.h"
#include "Sections.h"
#include "StringTable.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTextBrowser>

#include <algorithm>

namespace {

using namespace Ids::Notebook;

// A blank of a passage, "__36__".
const QRegularExpression Blank(QStringLiteral("__(\\d+)__"));

// Text as HTML, its blanks underlined and the one of question `number` marked.
QString Inline(const QString& text, int number)
{
    QString html = text.toHtmlEscaped();
    html.replace(Blank, QStringLiteral("<u>&nbsp;&nbsp;\\1&nbsp;&nbsp;</u>"));
    const QString own = QStringLiteral("<u>&nbsp;&nbsp;%1&nbsp;&nbsp;</u>").arg(number);
    html.replace(
        own, QStringLiteral("<a name=\"blank\"></a><b style=\"color:#c00000\">%1</b>").arg(own));
    return html;
}

// A table of "| a | b |" rows as HTML, the first row its header; a cell "^"
// joins the cell above it.
QString TableHtml(const QList<QStringList>& rows, int number)
{
    QString html = QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\">");
    for (int r = 0; r < rows.size(); ++r) {
        html += QStringLiteral("<tr>");
        for (int c = 0; c < rows[r].size(); ++c) {
            if (rows[r][c] == QLatin1String("^"))
                continue;
            int span = 1;
            while (r + span < rows.size() && c < rows[r + span].size() &&
                   rows[r + span][c] == QLatin1String("^"))
                ++span;
            html += QStringLiteral("<%1 rowspan=\"%2\">%3</%1>")
                        .arg(r == 0 ? QStringLiteral("th") : QStringLiteral("td"))
                        .arg(span)
                        .arg(Inline(rows[r][c], number));
        }
        html += QStringLiteral("</tr>");
    }
    return html + QStringLiteral("</table>");
}

// A material's pieces as HTML: paragraphs, dialogue turns, and tables.
QString MaterialHtml(const QStringList& pieces, int number)
{
    QString html;
    QList<QStringList> table;
    for (const QString& piece : pieces) {
        if (piece.startsWith(QLatin1Char('|'))) {
            QStringList cells = piece.split(QLatin1Char('|'));
            cells.removeFirst();
            if (!cells.isEmpty() && cells.back().trimmed().isEmpty())
                cells.removeLast();
            for (QString& cell : cells)
                cell = cell.trimmed();
            table << cells;
            continue;
        }
        if (!table.isEmpty())
            html += TableHtml(table, number);
        table.clear();
        html += QStringLiteral("<p>%1</p>").arg(Inline(piece, number));
    }
    if (!table.isEmpty())
        html += TableHtml(table, number);
    return html;
}

QString Shown(const QString& answer)
{
    return answer.trimmed().isEmpty() ? QStringLiteral("（未作答）") : answer;
}

int NumberOf(const Notebook::Entry& entry)
{
    return Marking::QuestionNumber(entry.number).value_or(0);
}

} // namespace

CNotebookDlg::CNotebookDlg(const QString& name, const Notebook::Book& book, QWidget* parent)
    : QDialog(parent), m_strName(name), m_book(book)
{
    Ui::ApplyTemplate(this, Template);
    m_list = Ui::Control<QTableWidget>(this, IdList);
    Ui::SetupReportList(m_list, {{"试 卷", 16}, {"题号", 4}, {"部 分", 8}, {"错次", 4}},
                        Qt::AlignHCenter);
    Ui::FitReportListToBox(m_list);
    Ui::Control<QLabel>(this, IdTitle)->setText(m_strName + QStringLiteral("同学的错题本"));
    FillFilters();
    for (int id : {IdSection, IdPaper, IdScope, IdOrder})
        connect(Combo(id), &QComboBox::currentIndexChanged, this, &CNotebookDlg::OnFilterChange);
    connect(m_list, &QTableWidget::itemSelectionChanged, this, &CNotebookDlg::OnSelect);
    connect(Ui::Control<QPushButton>(this, IdSubmit), &QPushButton::clicked, this,
            &CNotebookDlg::OnSubmit);
    connect(Ui::Control<QLineEdit>(this, IdFill), &QLineEdit::returnPressed, this,
            &CNotebookDlg::OnSubmit);
    OnFilterChange();
}

QComboBox* CNotebookDlg::Combo(int id) const
{
    return Ui::Control<QComboBox>(this, id);
}

void CNotebookDlg::FillFilters()
{
    QComboBox* sections = Combo(IdSection);
    sections->addItem(QStringLiteral("全部"), -1);
    for (int s = 0; s < Sections::Essay; ++s)
        sections->addItem(QString::fromUtf8(Sections::Table[s].name), s);
    sections->setCurrentIndex(0);

    QComboBox* paper = Combo(IdPaper);
    paper->addItem(QStringLiteral("全部"), QString());
    for (const QString& name : Notebook::Papers(m_book))
        paper->addItem(Notebook::ShownPaper(name), name);
    paper->setCurrentIndex(0);
    Combo(IdScope)->setCurrentIndex(0);
    Combo(IdOrder)->setCurrentIndex(0);
}

void CNotebookDlg::OnFilterChange()
{
    const int selected = EntryAt(m_list->currentRow());
    Notebook::Filter filter;
    filter.section = Combo(IdSection)->currentData().toInt();
    filter.paper = Combo(IdPaper)->currentData().toString();
    filter.state =
        Combo(IdScope)->currentIndex() == 1 ? Notebook::State::Mastered : Notebook::State::Active;
    filter.order = static_cast<Notebook::Order>(std::max(0, Combo(IdOrder)->currentIndex()));
    const int previousRow = m_list->currentRow();
    m_shown = Notebook::Select(m_book, filter);

    m_list->setUpdatesEnabled(false);
    {
        const QSignalBlocker quiet(m_list);
        m_list->clearContents();
        m_list->setRowCount(int(m_shown.size()));
        for (int r = 0; r < m_shown.size(); ++r) {
            const Notebook::Entry& entry = m_book.entries[m_shown[r]];
            const QStringList cells{
                Notebook::ShownPaper(entry.paper), QString::number(NumberOf(entry)),
                entry.section < 0 ? QString()
                                  : QString::fromUtf8(Sections::Table[entry.section].name),
                QString::number(entry.misses.size())};
            for (int c = 0; c < cells.size(); ++c) {
                auto* item = new QTableWidgetItem(cells[c]);
                item->setTextAlignment(Qt::AlignCenter);
                m_list->setItem(r, c, item);
            }
        }
    }
    m_list->setUpdatesEnabled(true);
    Ui::Control<QLabel>(this, IdCount)
        ->setText(Ui::LoadString(Ui::Str::NotebookCount).arg(m_shown.size()));

    // The same question stays selected while it is listed; else the one now
    // in its row.
    int row = int(m_shown.indexOf(selected));
    if (row < 0)
        row = std::min(std::max(previousRow, 0), int(m_shown.size()) - 1);
    if (row >= 0) {
        const QSignalBlocker quiet(m_list); // shown once, below
        m_list->selectRow(row);
    }
    OnSelect();
}

void CNotebookDlg::OnSelect()
{
    const int index = EntryAt(m_list->currentRow());
    Ui::Control<QLabel>(this, IdResult)->clear();
    ShowEntry(index);
}

void CNotebookDlg::ShowEntry(int index)
{
    auto* material = Ui::Control<QTextBrowser>(this, IdMaterial);
    auto* question = Ui::Control<QTextBrowser>(this, IdQuestion);
    auto* explanation = Ui::Control<QTextBrowser>(this, IdExplanation);
    auto* materialTitle = Ui::Control<QLabel>(this, IdMaterialTitle);
    auto* answers = Ui::Control<QLabel>(this, IdAnswers);
    auto* choice = Combo(IdChoice);
    auto* fill = Ui::Control<QLineEdit>(this, IdFill);
    fill->clear();
    choice->setCurrentIndex(-1);
    const bool any = index >= 0;
    for (QWidget* control : {static_cast<QWidget*>(choice), static_cast<QWidget*>(fill),
                             static_cast<QWidget*>(Ui::Control<QPushButton>(this, IdSubmit))})
        control->setEnabled(any);
    if (!any) {
        for (QTextBrowser* browser : {material, question, explanation})
            browser->clear();
        materialTitle->setText(QStringLiteral("材料"));
        answers->clear();
        return;
    }
    const Notebook::Entry& entry = m_book.entries[index];
    const int number = NumberOf(entry);

    QStringList given;
    for (const Notebook::Miss& miss : entry.misses)
        given << QStringLiteral("%1（%2）").arg(Shown(miss.answer), miss.time.left(10));
    answers->setText(
        Ui::LoadString(Ui::Str::NotebookAnswers).arg(given.join(QStringLiteral("；")), entry.key));

    const std::optional<Notebook::Question> text =
        entry.hasText ? Notebook::ReadQuestion(entry.paper, entry.number) : std::nullopt;
    QString letters;
    if (text) {
        for (const QString& option : text->options)
            letters += option.front();
        materialTitle->setText(text->materialKind.isEmpty()
                                   ? QStringLiteral("材料")
                                   : text->materialKind + QLatin1Char(' ') + text->materialTitle);
        material->setHtml(text->material.isEmpty()
                              ? Ui::LoadString(Ui::Str::NotebookNoMaterial).toHtmlEscaped()
                              : MaterialHtml(text->material, number));
        material->scrollToAnchor(QStringLiteral("blank"));
        // A blank of a table has no stem: its row stands in (a blank of a
        // passage is marked in the passage, shown beside it).
        QString stem = text->stem;
        const QString blank = QStringLiteral("__%1__").arg(number);
        for (const QString& piece : text->material) {
            if (stem.isEmpty() && piece.startsWith(QLatin1Char('|')) && piece.contains(blank)) {
                QStringList cells = piece.split(QLatin1Char('|'));
                for (QString& cell : cells)
                    cell = cell.trimmed();
                cells.removeAll(QString());
                cells.removeAll(QStringLiteral("^"));
                stem = cells.join(QStringLiteral(" | "));
            }
        }
        QString html = QStringLiteral("<p><b>%1.</b> %2</p>")
                           .arg(number)
                           .arg(Inline(stem.isEmpty() ? blank : stem, number));
        QStringList options;
        for (const QString& option : text->options)
            options << option.toHtmlEscaped();
        question->setHtml(html +
                          QStringLiteral("<p>%1</p>").arg(options.join(QStringLiteral("<br>"))));
        explanation->setPlainText(text->explanation);
    } else {
        // The paper's questions are not in the database: what the card kept.
        materialTitle->setText(QStringLiteral("材料"));
        material->clear();
        question->setHtml(QStringLiteral("<p><b>%1 %2.</b></p><p>%3</p>")
                              .arg(Notebook::ShownPaper(entry.paper).toHtmlEscaped())
                              .arg(number)
                              .arg(Ui::LoadString(Ui::Str::NotebookNoQuestion).toHtmlEscaped()));
        explanation->clear();
    }
    if (letters.isEmpty() && number >= 1 && number <= 70)
        letters = number <= 20 ? QStringLiteral("ABC") : QStringLiteral("ABCD");
    choice->clear();
    for (QChar letter : letters)
        choice->addItem(QString(letter));
    choice->setCurrentIndex(-1);
    choice->setVisible(!letters.isEmpty());
    fill->setVisible(letters.isEmpty());
}

void CNotebookDlg::OnSubmit()
{
    const int index = EntryAt(m_list->currentRow());
    if (index < 0)
        return;
    auto* choice = Combo(IdChoice);
    const QString answer = choice->isVisibleTo(this) ? choice->currentText()
                                                     : Ui::Control<QLineEdit>(this, IdFill)->text();
    if (answer.isEmpty()) {
        Ui::Prompt(this, Ui::LoadString(Ui::Str::PracticeNoAnswer));
        return;
    }
    Notebook::Entry& entry = m_book.entries[index];
    const Notebook::State before = Notebook::StateOf(entry);
    const Notebook::Practised outcome = Notebook::Practise(m_strName, entry, answer, m_clock());
    if (!outcome.recorded) {
        Ui::Prompt(this, Ui::LoadString(Ui::Str::PracticeNotRecorded));
        return;
    }
    const Notebook::State after = Notebook::StateOf(entry);
    QString result;
    if (!outcome.right)
        result = Ui::LoadString(Ui::Str::PracticeWrong).arg(entry.key);
    else if (after == Notebook::State::Active)
        result = Ui::LoadString(Ui::Str::PracticeRightOnce);
    else
        result = Ui::LoadString(before == Notebook::State::Active ? Ui::Str::PracticeMastered
                                                                  : Ui::Str::PracticeRightAgain);
    // A question that changed state leaves the list it was shown in.
    if (after != before)
        OnFilterChange();
    Ui::Control<QLabel>(this, IdResult)->setText(result);
}

void OpenNotebook(QWidget* parent, const QString& name)
{
    if (name.trimmed().isEmpty()) {
        Ui::Prompt(parent, Ui::LoadString(Ui::Str::NotebookNoName));
        return;
    }
    const Notebook::Book book = Notebook::Read(name);
    if (book.result != ExamDb::Result::Done)
        return;
    if (book.exams == 0) {
        Ui::Prompt(parent, Ui::LoadString(Ui::Str::NotebookNoHistory).arg(name));
        return;
    }
    if (book.entries.isEmpty()) {
        Ui::Prompt(parent, Ui::LoadString(Ui::Str::NotebookNoMistakes).arg(name).arg(book.exams));
        return;
    }
    CNotebookDlg dialog(name, book, parent);
    dialog.exec();
}
