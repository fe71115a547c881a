#include "AppMessage.h"
#include "DialogIds.h"
#include "DialogTemplate.h"
#include "Exchange.h"
#include "MessageBox.h"
#include "TestSupport.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

class TestUi : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void mapDialogRect()
    {
        // The classic 宋体 9 pt base units, 6 x 12; a page at 8 x 16; rounded
        // like MulDiv: 5 * 7 / 4 = 8.75 -> 9, 3 * 7 / 8 = 2.625 -> 3.
        QCOMPARE(Ui::MapDialogRect({6, 12}, QRect(178, 7, 50, 14)), QRect(267, 11, 75, 21));
        QCOMPARE(Ui::MapDialogRect({8, 16}, QRect(0, 0, 427, 297)), QRect(0, 0, 854, 594));
        QCOMPARE(Ui::MapDialogRect({7, 7}, QRect(5, 3, 1, 1)), QRect(9, 3, 2, 1));
    }

    void everyTemplateHoldsItsControls_data()
    {
        QTest::addColumn<int>("dialog");
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("className");
        for (const Ids::Control& control : Ids::Controls)
            QTest::addRow("%d/%d", control.dialog, control.id)
                << control.dialog << control.id << QString::fromLatin1(control.className);
    }

    // Every control the program looks up by id is built, with the class it is
    // used as, and placed inside its window.
    void everyTemplateHoldsItsControls()
    {
        QFETCH(int, dialog);
        QFETCH(int, id);
        QFETCH(QString, className);
        QDialog window;
        AppMessages messages;
        QVERIFY(Ui::ApplyTemplate(&window, dialog));
        QCOMPARE(messages.texts, QStringList());
        QWidget* control = Ui::FindControl(&window, id);
        QVERIFY(control);
        QVERIFY2(control->inherits(qPrintable(className)), control->metaObject()->className());
        QVERIFY(QRect(QPoint(), window.size()).contains(control->geometry()));
    }

    void brokenTemplateIsReported()
    {
        QDialog dialog;
        AppMessages messages;
        QVERIFY(!Ui::ApplyTemplate(&dialog, 4242));
        QCOMPARE(messages.texts.size(), 1);
        QVERIFY(messages.texts.front().contains(QStringLiteral("4242")));
    }

    void parseInt_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("value");
        QTest::newRow("plain") << QStringLiteral("120") << true << 120;
        QTest::newRow("negative") << QStringLiteral("-5") << true << -5;
        QTest::newRow("int max") << QStringLiteral("2147483647") << true << 2147483647;
        QTest::newRow("empty") << QString() << false << 0;
        QTest::newRow("letters") << QStringLiteral("abc") << false << 0;
        QTest::newRow("trailing letters") << QStringLiteral("12a") << false << 0;
        QTest::newRow("fraction") << QStringLiteral("1.5") << false << 0;
        QTest::newRow("too large") << QStringLiteral("2147483648") << false << 0;
        QTest::newRow("full-width digits") << QStringLiteral("１２０") << false << 0;
    }

    void parseInt()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(int, value);
        int parsed = 4711;
        QCOMPARE(Ui::ParseInt(text, parsed), ok);
        QCOMPARE(parsed, ok ? value : 4711);
    }

    void exchangeIntRejectsAndKeepsValue()
    {
        QLineEdit edit;
        edit.setText(QStringLiteral("abc"));
        int minutes = 120;
        {
            MessageBoxes boxes;
            QVERIFY(!Ui::ExchangeInt(true, &edit, minutes));
            QCOMPARE(boxes.Texts(), QStringList{QStringLiteral("请输入一个整数。")});
            QCOMPARE(boxes.Titles(), QStringList{QCoreApplication::applicationName()});
        }
        QCOMPARE(minutes, 120);
        edit.setText(QStringLiteral(" 45"));
        QVERIFY(Ui::ExchangeInt(true, &edit, minutes));
        QCOMPARE(minutes, 45);
        minutes = 7;
        QVERIFY(Ui::ExchangeInt(false, &edit, minutes));
        QCOMPARE(edit.text(), QStringLiteral("7"));
    }

    void exchangeTextLineBreaks()
    {
        QPlainTextEdit edit;
        QString member = QStringLiteral("Dear Tom,\r\nI am fine.\r\n");
        Ui::ExchangeText(false, &edit, member);
        QCOMPARE(edit.toPlainText(), QStringLiteral("Dear Tom,\nI am fine.\n"));
        edit.setPlainText(QStringLiteral("line one\nline two"));
        Ui::ExchangeText(true, &edit, member);
        QCOMPARE(member, QStringLiteral("line one\r\nline two"));
    }

    void messageCaptions()
    {
        MessageBoxes boxes(QMessageBox::No);
        Ui::Prompt(nullptr, QStringLiteral("a"));
        QVERIFY(!Ui::Ask(nullptr, QStringLiteral("b")));
        boxes.SetButton(QMessageBox::Yes);
        QVERIFY(Ui::Ask(nullptr, QStringLiteral("c")));
        Ui::InstallAppMessageBox();
        AppMessage::Show(QStringLiteral("d"));
        AppMessage::SetHandler({});
        QCOMPARE(boxes.Texts().join(QString()), QStringLiteral("abcd"));
        const QString prompt = QStringLiteral("温馨提示");
        QCOMPARE(boxes.Titles(),
                 (QStringList{prompt, prompt, prompt, QCoreApplication::applicationName()}));
    }
};

QTEST_MAIN(TestUi)
#include "tst_ui.moc"
