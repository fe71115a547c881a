// The main window: its tabs and pages, the About entry of its menu, and the
// application's set-up of Qt's own Chinese texts.

#include "AboutDlg.h"
#include "ExamApp.h"
#include "ExamPage.h"
#include "MainTabDlg.h"
#include "TabControl.h"
#include "TestSupport.h"
#include "TextPages.h"
#include "TextResource.h"

#include <QAction>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTabBar>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

class TestMainWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void tabSwitching_data()
    {
        QTest::addColumn<QList<int>>("selections");
        QTest::addColumn<int>("shown");
        QTest::newRow("at start: the preface") << QList<int>{} << 0;
        QTest::newRow("usage") << QList<int>{1} << 1;
        QTest::newRow("exam, then preface") << QList<int>{2, 0} << 0;
        QTest::newRow("out of range keeps the page") << QList<int>{2, -1, 3, 1000} << 2;
    }

    // The three tabs and their texts; one page shown at a time, the pages only
    // hidden, never rebuilt, so the exam page keeps its state.
    void tabSwitching()
    {
        QFETCH(QList<int>, selections);
        QFETCH(int, shown);
        CMainTabDlg dlg;
        dlg.show();
        QVERIFY(dlg.windowTitle().startsWith(QStringLiteral("Calvreth ")));
        QVERIFY(dlg.windowTitle().endsWith(QStringLiteral("——江苏省Pellarin")));
        QTabBar* bar = dlg.m_tab->TabBar();
        QCOMPARE((QStringList{bar->tabText(0), bar->tabText(1), bar->tabText(2)}),
                 (QStringList{u"前言"_s, u"软件使用说明"_s, u"Pellarin"_s}));
        QCOMPARE(dlg.m_pagePreface->findChild<QPlainTextEdit*>()->toPlainText(),
                 LoadTextResource(TextId::Preface));
        QCOMPARE(dlg.m_pageUsage->findChild<QPlainTextEdit*>()->toPlainText(),
                 LoadTextResource(TextId::Usage, TextCap::Usage));
        const QPointer<QWidget> exam = dlg.m_pageExam;
        dlg.m_pageExam->m_strName = QStringLiteral("kept");
        for (int selection : selections)
            dlg.ShowPageOf(selection);
        const QList<QWidget*> pages{dlg.m_pagePreface, dlg.m_pageUsage, dlg.m_pageExam};
        for (int i = 0; i < pages.size(); ++i) {
            QCOMPARE(pages[i]->parentWidget(), dlg.m_tab);
            QCOMPARE(pages[i]->isVisible(), i == shown);
        }
        QCOMPARE(exam.data(), static_cast<QWidget*>(dlg.m_pageExam));
        QCOMPARE(dlg.m_pageExam->m_strName, QStringLiteral("kept"));
    }

    void aboutEntry()
    {
        CMainTabDlg dlg;
        dlg.show();
        const QList<QAction*> actions = dlg.actions();
        QCOMPARE(actions.size(), 2);
        QVERIFY(actions[0]->isSeparator());
        QCOMPARE(actions[1]->text(), QStringLiteral("关于 Ordwin(&A)..."));
        QString title;
        NextModal about([&](QDialog* box) {
            QVERIFY(qobject_cast<CAboutDlg*>(box));
            title = box->windowTitle();
            QTest::mouseClick(box->findChild<QPushButton*>(QStringLiteral("1")), Qt::LeftButton);
        });
        actions[1]->trigger();
        QVERIFY(about.Ran());
        QCOMPARE(title, QStringLiteral("关于 Ordwin"));
        QVERIFY(dlg.isVisible());
    }

    void qtButtonsSpeakChinese()
    {
        QMessageBox box;
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        QVERIFY(box.button(QMessageBox::Yes)->text().startsWith(QStringLiteral("是")));
        QVERIFY(box.button(QMessageBox::No)->text().startsWith(QStringLiteral("否")));
    }
};

int main(int argc, char* argv[])
{
    CExamApp app(argc, argv);
    TestMainWindow test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_mainwindow.moc"
