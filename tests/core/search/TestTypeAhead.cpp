#include "core/search/TypeAhead.h"

#include <QTest>

class TestTypeAhead : public QObject
{
    Q_OBJECT

private slots:
    void selects_data();
    void selects();
};

namespace {
const QStringList kLines{"X00012", "x00020", "Y1", "АБ7", "ab"};
} // namespace

// keys: a character, or "<" for Backspace; times: when each key comes, in ms.
void TestTypeAhead::selects_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QList<qint64>>("times");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QList<int>>("selected");

    QTest::newRow("quick keys form a prefix")
        << "X000" << QList<qint64>{0, 100, 200, 300} << kLines << QList<int>{0, 0, 0, 0};
    QTest::newRow("prefix ignores case, first match wins")
        << "x0002" << QList<qint64>{0, 10, 20, 30, 40} << kLines << QList<int>{0, 0, 0, 0, 1};
    QTest::newRow("a pause of half a second starts anew")
        << "XY" << QList<qint64>{0, 500} << kLines << QList<int>{0, 2};
    QTest::newRow("just under half a second keeps the prefix")
        << "XY" << QList<qint64>{0, 499} << kLines << QList<int>{0, -1};
    QTest::newRow("no match selects nothing") << "Q" << QList<qint64>{0} << kLines << QList<int>{-1};
    QTest::newRow("cyrillic ignoring case") << "аб" << QList<qint64>{0, 10} << kLines << QList<int>{3, 3};
    QTest::newRow("backspace shortens the prefix")
        << "x0002<" << QList<qint64>{0, 10, 20, 30, 40, 50} << kLines << QList<int>{0, 0, 0, 0, 1, 0};
    QTest::newRow("emptied prefix selects line 0")
        << "Y<" << QList<qint64>{0, 10} << kLines << QList<int>{2, 0};
    QTest::newRow("backspace after a pause selects line 0")
        << "Y<" << QList<qint64>{0, 900} << kLines << QList<int>{2, 0};
    QTest::newRow("backspace in an empty list selects nothing")
        << "<" << QList<qint64>{0} << QStringList() << QList<int>{-1};
    QTest::newRow("first key at clock zero") << "ab" << QList<qint64>{0, 0} << kLines << QList<int>{4, 4};
}

void TestTypeAhead::selects()
{
    QFETCH(QString, keys);
    QFETCH(QList<qint64>, times);
    QFETCH(QStringList, lines);
    QFETCH(QList<int>, selected);

    TypeAhead typeAhead;
    QList<int> actual;
    for (int i = 0; i < keys.size(); ++i)
        actual << (keys[i] == QLatin1Char('<') ? typeAhead.backspace(times[i], lines)
                                               : typeAhead.typed(keys[i], times[i], lines));
    QCOMPARE(actual, selected);
}

QTEST_GUILESS_MAIN(TestTypeAhead)
#include "TestTypeAhead.moc"
