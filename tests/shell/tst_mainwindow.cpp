#include "AboutDlg.h"
#include "ExamApp.h"
#include "ExamPage.h"
#include "MainTabDlg.h"
#include "MessageBox.h"
#include "TabControl.h"
#include "TestSupport.h"
#include "TextPages.h"
#include "TextResource.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabBar>
#include <QTest>
#include <QTimer>

class TestMainWindow : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void captionAndTabs();
    void pagesAreChildrenOfTheTabControl();
    void prefaceShownAtStart();
    void tabSwitchingKeepsPages();
    void selectionOutsideTabsChangesNothing_data();
    void selectionOutsideTabsChangesNothing();
    void textsShowWhole();
    void aboutEntryOpensAboutBox();
    void aboutEntryAfterSeparator();
    void rightClickAnywhereOffersAbout_data();
    void rightClickAnywhereOffersAbout();
    void escapeOnAPageEndsTheMainWindow();
    void qtButtonsSpeakChinese();
    void cleanup();
};

void TestMainWindow::captionAndTabs()
{
    CMainTabDlg dlg;
    QVERIFY(dlg.windowTitle().startsWith(QStringLiteral("Calvreth ")));
    QVERIFY(dlg.windowTitle().endsWith(QStringLiteral("——江苏省Pellarin")));
    QVERIFY(dlg.windowTitle().size() > QStringLiteral("Calvreth ——江苏省Pellarin").size());
    QTabBar* bar = dlg.m_tab->TabBar();
    QCOMPARE(bar->count(), 3);
    QCOMPARE(bar->tabText(0), QStringLiteral("前言"));
    QCOMPARE(bar->tabText(1), QStringLiteral("软件使用说明"));
    QCOMPARE(bar->tabText(2), QStringLiteral("Pellarin"));
    QCOMPARE(dlg.m_tab->objectName(), QStringLiteral("1000"));
    QVERIFY(!dlg.windowIcon().isNull());
}

void TestMainWindow::pagesAreChildrenOfTheTabControl()
{
    CMainTabDlg dlg;
    for (QWidget* page :
         {static_cast<QWidget*>(dlg.m_pagePreface), static_cast<QWidget*>(dlg.m_pageUsage),
          static_cast<QWidget*>(dlg.m_pageExam)}) {
        QCOMPARE(page->parentWidget(), dlg.m_tab);
        QVERIFY(!page->isWindow());
        QCOMPARE(page->pos(), QPoint(8, 40));
    }
}

void TestMainWindow::prefaceShownAtStart()
{
    CMainTabDlg dlg;
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    QCOMPARE(dlg.m_tab->GetCurSel(), 0);
    QVERIFY(dlg.m_pagePreface->isVisible());
    QVERIFY(!dlg.m_pageUsage->isVisible());
    QVERIFY(!dlg.m_pageExam->isVisible());
}

void TestMainWindow::tabSwitchingKeepsPages()
{
    CMainTabDlg dlg;
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    const QPointer<QWidget> exam = dlg.m_pageExam;
    auto* usageEdit = dlg.m_pageUsage->findChild<QPlainTextEdit*>(QStringLiteral("1073"));
    QVERIFY(usageEdit);

    struct Step
    {
        int tab;
        QWidget* shown;
    };
    const Step steps[] = {
        {1, dlg.m_pageUsage}, {2, dlg.m_pageExam}, {0, dlg.m_pagePreface}, {1, dlg.m_pageUsage}};
    QTextCursor cursor = usageEdit->textCursor();
    cursor.setPosition(25);
    usageEdit->setTextCursor(cursor);
    for (const Step& step : steps) {
        QTabBar* bar = dlg.m_tab->TabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(step.tab).center());
        QCOMPARE(dlg.m_tab->GetCurSel(), step.tab);
        for (QWidget* page :
             {static_cast<QWidget*>(dlg.m_pagePreface), static_cast<QWidget*>(dlg.m_pageUsage),
              static_cast<QWidget*>(dlg.m_pageExam)})
            QCOMPARE(page->isVisible(), page == step.shown);
    }
    // The same page objects, with their state, after all the switching.
    QVERIFY(exam);
    QCOMPARE(exam.data(), static_cast<QWidget*>(dlg.m_pageExam));
    QCOMPARE(usageEdit->textCursor().position(), 25);
    QCOMPARE(usageEdit->toPlainText(), LoadTextResource(TextId::Usage, TextCap::Usage));
}

void TestMainWindow::selectionOutsideTabsChangesNothing_data()
{
    QTest::addColumn<int>("selection");
    QTest::newRow("-1") << -1;
    QTest::newRow("3") << 3;
    QTest::newRow("large") << 1000;
}

void TestMainWindow::selectionOutsideTabsChangesNothing()
{
    QFETCH(int, selection);
    CMainTabDlg dlg;
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    dlg.ShowPageOf(2);
    dlg.ShowPageOf(selection);
    QVERIFY(dlg.m_pageExam->isVisible());
    QVERIFY(!dlg.m_pagePreface->isVisible());
    QVERIFY(!dlg.m_pageUsage->isVisible());
}

void TestMainWindow::textsShowWhole()
{
    CMainTabDlg dlg;
    auto* preface = dlg.m_pagePreface->findChild<QPlainTextEdit*>(QStringLiteral("1071"));
    auto* usage = dlg.m_pageUsage->findChild<QPlainTextEdit*>(QStringLiteral("1073"));
    QVERIFY(preface && usage);
    QVERIFY(preface->isReadOnly());
    QVERIFY(usage->isReadOnly());
    const QString prefaceText = LoadTextResource(TextId::Preface);
    const QString usageText = LoadTextResource(TextId::Usage);
    QCOMPARE(preface->toPlainText(), prefaceText);
    QCOMPARE(usage->toPlainText(), usageText);
    QVERIFY(usage->toPlainText()
                .trimmed()
                .section(QLatin1Char('\n'), -1)
                .startsWith(QStringLiteral("12.")));
    QCOMPARE(dlg.m_pagePreface->m_strPreface, prefaceText);

    // The usage box has no scroll bar: its whole text fits in the box.
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    dlg.ShowPageOf(1);
    QTest::qWait(20);
    QVERIFY(usage->document()->size().height() * usage->fontMetrics().lineSpacing() <=
            usage->viewport()->height());
}

void TestMainWindow::aboutEntryOpensAboutBox()
{
    CMainTabDlg dlg;
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    dlg.ShowPageOf(1);
    QAction* about = nullptr;
    for (QAction* action : dlg.actions()) {
        if (action->text() == QStringLiteral("关于 Ordwin(&A)..."))
            about = action;
    }
    QVERIFY(about);
    QString label, button;
    ModalAnswer answer([&](QWidget* window) {
        auto* box = qobject_cast<CAboutDlg*>(window);
        QVERIFY(box);
        for (QLabel* l : box->findChildren<QLabel*>())
            label += l->text();
        auto* ok = box->findChild<QPushButton*>(QStringLiteral("1"));
        QVERIFY(ok);
        button = ok->text();
        QTest::mouseClick(ok, Qt::LeftButton);
    });
    about->trigger();
    QVERIFY(answer.Seen().seen);
    QCOMPARE(answer.Seen().className, QStringLiteral("CAboutDlg"));
    QCOMPARE(answer.Seen().title, QStringLiteral("关于 Ordwin"));
    QVERIFY(label.contains(QStringLiteral("Ordwin 1.0 版")));
    QCOMPARE(button, QStringLiteral("确定"));
    // Back in the main window, unchanged.
    QVERIFY(dlg.isVisible());
    QVERIFY(dlg.m_pageUsage->isVisible());
    QVERIFY(!QApplication::activeModalWidget() || QApplication::activeModalWidget() == &dlg);
}

void TestMainWindow::aboutEntryAfterSeparator()
{
    CMainTabDlg dlg;
    const QList<QAction*> actions = dlg.actions();
    QCOMPARE(actions.size(), 2);
    QVERIFY(actions[0]->isSeparator());
    QCOMPARE(actions[1]->text(), QStringLiteral("关于 Ordwin(&A)..."));
    // Other window commands open nothing.
    dlg.OnSysCommand(0xF060);
    QVERIFY(!QApplication::activeModalWidget());
}

void TestMainWindow::rightClickAnywhereOffersAbout_data()
{
    QTest::addColumn<int>("page");
    QTest::newRow("tab strip") << -1;
    QTest::newRow("preface page") << 0;
    QTest::newRow("exam page") << 2;
}

// A right-click on the window (not inside a text box) pops up its menu; its
// About entry opens the About box.
void TestMainWindow::rightClickAnywhereOffersAbout()
{
    QFETCH(int, page);
    CMainTabDlg dlg;
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    QWidget* target = dlg.m_tab;
    QPoint pos(dlg.m_tab->width() - 20, 15);
    if (page >= 0) {
        dlg.ShowPageOf(page);
        target = page == 0 ? static_cast<QWidget*>(dlg.m_pagePreface)
                           : static_cast<QWidget*>(dlg.m_pageExam);
        pos = QPoint(target->width() - 3, target->height() - 3);
    }
    QStringList entries;
    bool aboutShown = false;
    QTimer::singleShot(0, this, [&] {
        // First the popup menu, then the About box its entry opens.
        QTRY_VERIFY(QApplication::activePopupWidget());
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu);
        for (QAction* action : menu->actions())
            entries << (action->isSeparator() ? QStringLiteral("-") : action->text());
        ModalAnswer* about = new ModalAnswer([&](QWidget* window) {
            aboutShown = qobject_cast<CAboutDlg*>(window) != nullptr;
            static_cast<QDialog*>(window)->accept();
        });
        connect(&dlg, &QObject::destroyed, [about] { delete about; });
        menu->actions().last()->trigger();
        menu->close();
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, pos, target->mapToGlobal(pos));
    QApplication::sendEvent(target->childAt(pos) ? target->childAt(pos) : target, &event);
    QTRY_VERIFY(aboutShown);
    QCOMPARE(entries, (QStringList{QStringLiteral("-"), QStringLiteral("关于 Ordwin(&A)...")}));
}

void TestMainWindow::escapeOnAPageEndsTheMainWindow()
{
    CMainTabDlg dlg;
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    auto* preface = dlg.m_pagePreface->findChild<QPlainTextEdit*>(QStringLiteral("1071"));
    QTest::keyClick(preface, Qt::Key_Escape);
    QVERIFY(!dlg.isVisible());
    QCOMPARE(dlg.result(), int(QDialog::Rejected));
    QVERIFY(!dlg.m_pagePreface->isHidden());
}

void TestMainWindow::qtButtonsSpeakChinese()
{
    QStringList buttons;
    ModalAnswer answer([&](QWidget* window) {
        auto* box = qobject_cast<QMessageBox*>(window);
        QVERIFY(box);
        for (QAbstractButton* b : box->buttons())
            buttons << b->text();
        PressMessageBoxButton(window, QMessageBox::Yes);
    });
    QVERIFY(Ui::Ask(nullptr, QStringLiteral("作文未提交，是否提交？")));
    buttons.sort();
    QCOMPARE(buttons.join(QLatin1Char(','))
                 .remove(QLatin1Char('&'))
                 .remove(QRegularExpression(QStringLiteral("\\(.\\)"))),
             QStringLiteral("否,是"));
}

void TestMainWindow::cleanup()
{
    QTRY_VERIFY(std::none_of(QApplication::topLevelWidgets().cbegin(),
                             QApplication::topLevelWidgets().cend(),
                             [](QWidget* w) { return w->isVisible(); }));
}

int main(int argc, char* argv[])
{
    CExamApp app(argc, argv);
    TestMainWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_mainwindow.moc"
