#include "core/errors/Error.h"
#include "gui/update/TformWait.h"
#include "gui/update/WaitProgr.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QProgressBar>
#include <QTest>
#include <QTimer>

class TestWaitProgr : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void withoutWindowNothingHappens();
    void showCreatesOneWindowFoundByName();
    void longMessageIsClippedNotGrown();
    void changesLetPendingMessagesRun();
    void hideRemovesAndNextShowCreatesAgain();
    void progressShowsShareOfFile_data();
    void progressShowsShareOfFile();

private:
    std::unique_ptr<QMainWindow> m_owner;
};

void TestWaitProgr::init()
{
    m_owner = std::make_unique<QMainWindow>();
    m_owner->setGeometry(100, 80, 910, 634);
    m_owner->show();
    WaitProgr::setOwner(m_owner.get());
}

void TestWaitProgr::cleanup()
{
    m_owner.reset();
    QCOMPARE(WaitProgr::waitForm(), nullptr);
}

void TestWaitProgr::withoutWindowNothingHappens()
{
    WaitProgr::SetWaitMessage(QStringLiteral("Удаление старого прайса (2/7)"));
    WaitProgr::HideWaitForm();
    WaitProgr::HideWaitForm();
    QVERIFY(m_owner->findChildren<QWidget*>(QStringLiteral("formWait")).isEmpty());

    WaitProgr::ShowWaitForm(QStringLiteral("Удаление старого прайса (1/7)"));
    WaitProgr::HideWaitForm();
    WaitProgr::HideWaitForm();
    QVERIFY(m_owner->findChildren<QWidget*>(QStringLiteral("formWait")).isEmpty());

    // Without a registered main window there is nothing to find or change.
    WaitProgr::setOwner(nullptr);
    WaitProgr::SetWaitMessage(QStringLiteral("Удаление старого прайса (2/7)"));
    WaitProgr::HideWaitForm();
    QVERIFY_THROWS_EXCEPTION(Error, WaitProgr::ShowWaitForm(QStringLiteral("Удаление старого прайса (1/7)")));
    QVERIFY(QApplication::topLevelWidgets().contains(m_owner.get()));
    QCOMPARE(QApplication::topLevelWidgets().size(), 1);
}

void TestWaitProgr::showCreatesOneWindowFoundByName()
{
    WaitProgr::ShowWaitForm(QStringLiteral("Удаление старого прайса (1/7)"));
    WaitProgr::ShowWaitForm(QStringLiteral("Формирование нового прайса (3/7)"));
    const auto forms = m_owner->findChildren<TformWait*>(QStringLiteral("formWait"));
    QCOMPARE(forms.size(), 1);
    TformWait* form = forms.front();
    QCOMPARE(WaitProgr::waitForm(), form);
    QVERIFY(form->isVisible());
    QVERIFY(!form->isModal());
    QCOMPARE(form->windowTitle(), QStringLiteral("Выполнение операции ..."));
    const Qt::WindowFlags flags = form->windowFlags();
    QVERIFY(flags & Qt::WindowStaysOnTopHint);
    QVERIFY(flags & Qt::CustomizeWindowHint);
    QVERIFY(!(flags & (Qt::WindowCloseButtonHint | Qt::WindowMinMaxButtonsHint | Qt::WindowSystemMenuHint)));
    QCOMPARE(form->cursor().shape(), Qt::WaitCursor);
    QCOMPARE(form->findChild<QLabel*>(QStringLiteral("labelOperation"))->text(),
             QStringLiteral("Формирование нового прайса (3/7)"));
    QVERIFY(form->labelOperation->font().bold());
    QCOMPARE(form->frameGeometry().center(), m_owner->frameGeometry().center());
}

void TestWaitProgr::longMessageIsClippedNotGrown()
{
    WaitProgr::ShowWaitForm(QStringLiteral("Короткое"));
    WaitProgr::SetWaitMessage(QString(200, QLatin1Char('W')));
    TformWait* form = WaitProgr::waitForm();
    QCOMPARE(form->size(), QSize(246, 94));
    QCOMPARE(form->labelOperation->geometry(), QRect(8, 24, 229, 13));
    QCOMPARE(form->labelOperation->text(), QString(200, QLatin1Char('W')));
}

void TestWaitProgr::changesLetPendingMessagesRun()
{
    int ran = 0;
    QTimer::singleShot(0, this, [&ran] { ++ran; });
    WaitProgr::ShowWaitForm(QStringLiteral("Формирование списка групп (5/7)"));
    QCOMPARE(ran, 1);
    QTimer::singleShot(0, this, [&ran] { ++ran; });
    WaitProgr::SetWaitMessage(QStringLiteral("Формирование списка групп (6/7)"));
    QCOMPARE(ran, 2);
}

void TestWaitProgr::hideRemovesAndNextShowCreatesAgain()
{
    WaitProgr::ShowWaitForm(QStringLiteral("Формирование списка групп (7/7)"));
    QPointer<TformWait> first = WaitProgr::waitForm();
    WaitProgr::HideWaitForm();
    QVERIFY(first.isNull());
    QCOMPARE(WaitProgr::waitForm(), nullptr);
    WaitProgr::SetWaitMessage(QStringLiteral("ignored"));
    QCOMPARE(WaitProgr::waitForm(), nullptr);

    WaitProgr::ShowWaitForm(QStringLiteral("Удаление старого прайса (1/7)"));
    QVERIFY(WaitProgr::waitForm());
    QCOMPARE(WaitProgr::waitForm()->labelOperation->text(), QStringLiteral("Удаление старого прайса (1/7)"));
}

void TestWaitProgr::progressShowsShareOfFile_data()
{
    QTest::addColumn<qint64>("position");
    QTest::addColumn<qint64>("total");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<int>("permille");
    QTest::newRow("start") << qint64(0) << qint64(120) << true << 0;
    QTest::newRow("a third") << qint64(40) << qint64(120) << true << 333;
    QTest::newRow("end") << qint64(120) << qint64(120) << true << 1000;
    QTest::newRow("past the end") << qint64(130) << qint64(120) << true << 1000;
    QTest::newRow("beyond 32 bits") << qint64(3) << qint64(1) << true << 1000;
    QTest::newRow("huge file") << qint64(1) << std::numeric_limits<qint64>::max() << true << 0;
    QTest::newRow("half of a huge file")
        << std::numeric_limits<qint64>::max() / 2 << std::numeric_limits<qint64>::max() << true << 500;
    QTest::newRow("unknown size") << qint64(10) << qint64(0) << false << 0;
}

void TestWaitProgr::progressShowsShareOfFile()
{
    QFETCH(qint64, position);
    QFETCH(qint64, total);
    QFETCH(bool, shown);
    QFETCH(int, permille);
    WaitProgr::ShowWaitForm(QStringLiteral("Формирование нового прайса (4/7)"));
    TformWait* form = WaitProgr::waitForm();
    QVERIFY(form->progressBar->isHidden());

    form->setProgress(position, total);
    QCOMPARE(form->progressBar->isVisible(), shown);
    if (shown)
        QCOMPARE(form->progressBar->value(), permille);
    QCOMPARE(form->size(), QSize(246, 94));

    // The bar belongs to the stage that reported it.
    WaitProgr::SetWaitMessage(QStringLiteral("Формирование списка групп (5/7)"));
    QVERIFY(form->progressBar->isHidden());
}

QTEST_MAIN(TestWaitProgr)
#include "TestWaitProgr.moc"
