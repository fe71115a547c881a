#include "MainTabDlg.h"

#include "AboutDlg.h"
#include "Catalogue.h"
#include "DialogIds.h"
#include "DialogTemplate.h"
#include "ExamPage.h"
#include "KeptExam.h"
#include "MessageBox.h"
#include "StringTable.h"
#include "TabControl.h"
#include "TextPages.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>

namespace {
constexpr int MainTemplate = Ids::Main::Template;
constexpr int TabControlId = Ids::Main::IdTab;
constexpr int AboutMenuString = 101;
} // namespace

CMainTabDlg::CMainTabDlg(QWidget* parent) : QDialog(parent), m_hIcon(QApplication::windowIcon())
{
    Ui::ApplyTemplate(this, MainTemplate);
    m_tab = Ui::Control<TabControl>(this, TabControlId);
    OnInitDialog();
}

bool CMainTabDlg::OnInitDialog()
{
    const QString aboutText = Ui::LoadString(AboutMenuString);
    if (!aboutText.isEmpty()) {
        auto* separator = new QAction(this);
        separator->setSeparator(true);
        addAction(separator);
        auto* about = new QAction(aboutText, this);
        connect(about, &QAction::triggered, this, [this] { OnSysCommand(AboutCommand); });
        addAction(about);
    }

    setWindowIcon(m_hIcon);

    m_tab->InsertItem(0, QStringLiteral("前言"));
    m_tab->InsertItem(1, QStringLiteral("软件使用说明"));
    m_tab->InsertItem(2, QStringLiteral("Pellarin"));
    connect(m_tab, &TabControl::SelChange, this, &CMainTabDlg::OnSelchangeTab);

    m_pagePreface = new CPrefacePage(m_tab);
    m_pageUsage = new CUsagePage(m_tab);
    m_pageExam = new CExamPage(m_tab);

    const QRect pageRect = m_tab->rect().adjusted(8, 40, -8, -8);
    for (QWidget* page : {static_cast<QWidget*>(m_pagePreface), static_cast<QWidget*>(m_pageUsage),
                          static_cast<QWidget*>(m_pageExam)})
        page->setGeometry(pageRect);

    m_pagePreface->show();
    m_pageExam->hide();
    m_pageUsage->hide();
    return true;
}

void CMainTabDlg::OnSelchangeTab()
{
    ShowPageOf(m_tab->GetCurSel());
}

void CMainTabDlg::ShowPageOf(int sel)
{
    switch (sel) {
    case 0:
        m_pagePreface->show();
        m_pageExam->hide();
        m_pageUsage->hide();
        break;
    case 1:
        m_pageUsage->show();
        m_pageExam->hide();
        m_pagePreface->hide();
        break;
    case 2:
        m_pageExam->show();
        m_pagePreface->hide();
        m_pageUsage->hide();
        break;
    default:
        break;
    }
}

QMenu* CMainTabDlg::CreateContextMenu()
{
    auto* menu = new QMenu(this);
    // A menu hides a separator it begins with unless told otherwise.
    menu->setSeparatorsCollapsible(false);
    menu->addActions(actions());
    return menu;
}

void CMainTabDlg::contextMenuEvent(QContextMenuEvent* event)
{
    if (actions().isEmpty()) {
        event->ignore();
        return;
    }
    QMenu* menu = CreateContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void CMainTabDlg::OfferKeptExam()
{
    using KeptExam::Found;
    const KeptExam::Loaded kept = KeptExam::Load();
    switch (kept.found) {
    case Found::Nothing:
    case Found::Failed:
        return;
    case Found::PaperGone:
        Ui::Prompt(this, Ui::LoadString(Ui::Str::KeptExamPaperGone).arg(kept.detail));
        KeptExam::Discard();
        return;
    case Found::Damaged:
        Ui::Prompt(this, Ui::LoadString(Ui::Str::KeptExamDamaged).arg(kept.detail));
        KeptExam::Discard();
        return;
    case Found::Usable:
        break;
    }
    const KeptExam::State& exam = kept.state;
    const QString question =
        Ui::LoadString(Ui::Str::ResumeKeptExam)
            .arg(exam.name, Catalogue::ListEntry(Catalogue::PositionOf(exam.paper)), exam.started,
                 QString::number(exam.minutesLeft));
    if (!Ui::Ask(this, question)) {
        KeptExam::Discard();
        return;
    }
    m_pageExam->Resume(exam);
    m_tab->SetCurSel(2);
    ShowPageOf(2);
}

void CMainTabDlg::reject()
{
    if (m_pageExam && m_pageExam->IsExamRunning()) {
        if (Ui::MessageBox(this, Ui::LoadString(Ui::Str::LeaveRunningExam),
                           QString::fromUtf8(Ui::PromptCaption), QMessageBox::Yes | QMessageBox::No,
                           QMessageBox::No) != QMessageBox::Yes)
            return;
        // Given up, as the student was told: the next start does not offer it.
        KeptExam::Discard();
    }
    QDialog::reject();
}

void CMainTabDlg::OnSysCommand(int id)
{
    if ((id & 0xFFF0) == AboutCommand) {
        CAboutDlg about(this);
        about.exec();
    }
}
