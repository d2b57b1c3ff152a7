#include "core/session/CommandLine.h"
#include "core/session/ShopStorage.h"
#include "support/AdminRun.h"
#include "support/ClientFolder.h"
#include "support/DecimalSeparator.h"

#include <QCryptographicHash>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Names, sizes, times and contents of everything in the folder.
QByteArray folderState(const QString& folder)
{
    QByteArray state;
    for (const QFileInfo& info :
         QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot)) {
        QFile file(info.filePath());
        file.open(QIODevice::ReadOnly);
        state += info.fileName().toUtf8() + QByteArray::number(info.lastModified().toMSecsSinceEpoch()) +
                 QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
    }
    return state;
}

const QString kTitles = "Код товара\tНаименование\tВход\tРозница UAH\tРозница USD\tРозница EUR\tСкл №1\tСкл "
                        "№2\tСкл №3\tСкл №4\tСкл №5\tСкл №6\tСкл №7\tСкл №8\tСкл №9\n";

} // namespace

class TestAdminSearch : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void answers_data();
    void answers();
    void leavesFolderUntouched();
    void failures_data();
    void failures();

private:
    ClientFolder m_folder;
};

void TestAdminSearch::initTestCase()
{
    // The settings row made by init holds the rates 41.25 and 48.10.
    m_folder.exec("INSERT INTO GROUPS VALUES ('G5', 'Фильтры', 5), ('G0', 'Свечи', 0), ('G15', 'Ремни', 15)");
    m_folder.exec("INSERT INTO PRICE VALUES"
                  "('G5', 'OC-90', 'OC90', 'Фильтр масляный', 'K7', 99, 1, 0, NULL, 0, 0, 0, 0, 0, 12),"
                  "('g0', 'oc 901', 'oc901', 'Фильтр салона', 'K7', 80.5, 0, 0, 0, 0, 0, 0, 0, 0, 0),"
                  "('NONE', 'OC-92', 'OC92', 'Без группы', 'K7', 1, 0, 0, 0, 0, 0, 0, 0, 0, 0),"
                  "('G0', 'OC.95', 'OC95', 'Фильтр', 'A1', 5, 0, 0, 0, 0, 0, 0, 0, 0, 0),"
                  "('G0', 'ВАЗ-2110', 'ВАЗ2110', 'Свеча', NULL, 5, 0, 0, 0, 0, 0, 0, 0, 0, 0),"
                  "('G15', 'HALF-1', 'HALF1', 'Ремень', 'H1', 45.5, 0, 0, 0, 0, 0, 0, 0, 0, 0)");
}

void TestAdminSearch::answers_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("expected");
    const QString k7Rows = "oc 901\tФильтр салона\t" + regional("80.50\t80.50\t1.95\t1.67") +
                           "\t0\t0\t0\t0\t0\t0\t0\t0\t0\n" + "OC-90\tФильтр масляный\t" +
                           regional("94.05\t99.00\t2.40\t2.06") + "\t1\t0\t\t0\t0\t0\t0\t0\t12\n";
    const QString a1Rows =
        "OC.95\tФильтр\t" + regional("5.00\t5.00\t0.12\t0.10") + "\t0\t0\t0\t0\t0\t0\t0\t0\t0\n";
    // 45.50 less 15 % is 38.675.
    const QString h1Rows =
        "HALF-1\tРемень\t" + regional("38.68\t45.50\t1.10\t0.95") + "\t0\t0\t0\t0\t0\t0\t0\t0\t0\n";
    QTest::newRow("two cross numbers, the first one's rows") << "oc-9"
                                                             << "Ok\nA1\nK7\n\n" + kTitles + a1Rows;
    QTest::newRow("number beginning with a dash") << "-oc 90"
                                                  << "Ok\nK7\n\n" + kTitles + k7Rows;
    QTest::newRow("half a kopeck rounds up") << "half"
                                             << "Ok\nH1\n\n" + kTitles + h1Rows;
    // "ОС" in Cyrillic, as the Latin keys type it on a Russian layout.
    QTest::newRow("look-alike letters of the other alphabet") << "ос-90"
                                                              << "Ok\nK7\n\n" + kTitles + k7Rows;
    QTest::newRow("part without cross number") << "ваз"
                                               << "не найден\n";
    QTest::newRow("nothing left after normalising") << "-- / --"
                                                    << "не найден\n";
    QTest::newRow("no match") << "W712"
                              << "не найден\n";
}

void TestAdminSearch::answers()
{
    QFETCH(QString, number);
    QFETCH(QString, expected);
    const AdminRun result = AdminRun::of({"search", m_folder.path(), number});
    QCOMPARE(result.err, QString());
    QCOMPARE(result.status, 0);
    QCOMPARE(result.out, expected);
}

void TestAdminSearch::leavesFolderUntouched()
{
    const QByteArray before = folderState(m_folder.path());
    const AdminRun result = AdminRun::of({"search", m_folder.path(), "OC"});
    QCOMPARE(result.status, 0);
    QVERIFY(result.out.startsWith("Ok\n"));
    QCOMPARE(folderState(m_folder.path()), before);
}

void TestAdminSearch::failures_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message"); // the cause, within what standard error shows
    QTest::newRow("missing database") << "missing" << 1 << "Tardesk.mdb\": no such file";
    QTest::newRow("not a database") << "garbage" << 1 << "file is not a database";
    QTest::newRow("price table missing") << "noprice" << 1 << ClientFolder::noSuchTable("PRICE");
    QTest::newRow("number missing") << "usage" << 2 << CommandLine::usage(CommandLine::Program::Admin);
}

void TestAdminSearch::failures()
{
    QFETCH(QString, setup);
    QFETCH(int, status);
    QFETCH(QString, message);
    QTemporaryDir dir;
    std::unique_ptr<ClientFolder> withoutPrice;
    QStringList arguments{"search", dir.path(), "OC"};
    if (setup == "garbage") {
        QFile file(ShopStorage::databaseFileName(dir.path()));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(4096, 'x'));
    } else if (setup == "noprice") {
        withoutPrice = std::make_unique<ClientFolder>();
        withoutPrice->exec("DROP TABLE PRICE");
        arguments[1] = withoutPrice->path();
    } else if (setup == "usage") {
        arguments.removeLast();
    }
    const AdminRun result = AdminRun::of(arguments);
    QCOMPARE(result.status, status);
    QCOMPARE(result.out, QString());
    QVERIFY2(result.err.contains(message), qPrintable(result.err));
}

QTEST_GUILESS_MAIN(TestAdminSearch)
#include "TestAdminSearch.moc"
