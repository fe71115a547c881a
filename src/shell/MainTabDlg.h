#pragma once

// The main window: a tab control with three pages, of which one is shown at a
// time. The pages are created once, as children of the tab control, and only
// hidden when another tab is chosen, so the exam page keeps its countdown and
// its entries while the preface or the usage instructions are read.
//
//   CMainTabDlg ── TabControl 1000 ─┬─ CPrefacePage (130)   tab 0 "前言"
//                                   ├─ CUsagePage   (134)   tab 1 "软件使用说明"
//                                   └─ CExamPage    (131)   tab 2 "Pellarin"
//
// The window's context menu holds the About entry (string 101) after a
// separator; choosing it opens the About box.
//
// While an exam runs, the window does not close without asking: Escape, the
// close box and the window manager's close all ask first; leaving it so gives
// the exam up.
//
// At start, an exam that was running when the program last ended without a
// hand-in is offered to be taken up again (OfferKeptExam).

#include <QDialog>
#include <QIcon>

class CExamPage;
class QMenu;
class CPrefacePage;
class CUsagePage;
class TabControl;

class CMainTabDlg : public QDialog
{
    Q_OBJECT
public:
    static constexpr int AboutCommand = 0x0010;

    explicit CMainTabDlg(QWidget* parent = nullptr);

    // Shows the page of the tab control's current selection.
    void OnSelchangeTab();
    // Shows the page of selection `sel` and hides the others; any value
    // outside 0..2 changes nothing.
    void ShowPageOf(int sel);
    // A window-menu command: the About entry opens the About box.
    void OnSysCommand(int id);
    // The window's context menu, made anew for each right-click.
    QMenu* CreateContextMenu();

    // Asks whether to continue the exam kept from the last run, if any:
    // continuing resumes it on the exam page, declining gives it up. A kept
    // exam that cannot be used is reported and given up.
    void OfferKeptExam();

    // Escape and every kind of close end here.
    void reject() override;

    CPrefacePage* m_pagePreface = nullptr;
    CExamPage* m_pageExam = nullptr;
    CUsagePage* m_pageUsage = nullptr;
    TabControl* m_tab = nullptr;
    QIcon m_hIcon;

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    bool OnInitDialog();
};
