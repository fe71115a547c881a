#include "CrtRandom.h"

#include <QTest>

class TestCrtRandom : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void defaultSeedSequence();
    void reseedRestarts();
};

// The well-known first values of the Microsoft C runtime's rand() after
// srand(1) (also its state without srand).
void TestCrtRandom::defaultSeedSequence()
{
    CrtRandom random;
    const int expected[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464};
    for (int value : expected)
        QCOMPARE(random.Next(), value);
}

void TestCrtRandom::reseedRestarts()
{
    CrtRandom random(12345);
    const int first = random.Next();
    const int second = random.Next();
    random.Seed(12345);
    QCOMPARE(random.Next(), first);
    QCOMPARE(random.Next(), second);
    random.Seed(1);
    QCOMPARE(random.Next(), 41);
}

QTEST_APPLESS_MAIN(TestCrtRandom)
#include "tst_crtrandom.moc"
