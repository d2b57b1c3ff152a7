#include "core/config/IniFile.h"
#include "core/session/CommandLine.h"
#include "core/session/InterfaceLanguage.h"
#include "gui/search/PriceListModel.h"
#include "gui/shared/ActionManager.h"
#include "support/AdminRun.h"
#include "support/ClientFolder.h"
#include "support/WindowTest.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

// Which language the programs speak, and the windows in Ukrainian and
// English. Runs under uk_UA.UTF-8, so the system's language is Ukrainian.
class TestInterfaceLanguage : public WindowTest
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void languageOfSystem_data();
    void languageOfSystem();
    void choice_data();
    void choice();
    void windows_data();
    void windows();
    void menuSavesTheChoiceForTheNextStart();
    void scriptsReadRussianInEveryLanguage();

private:
    // As the client's start does: --lang, else the system's language.
    static void startWith(const QStringList& arguments);

    std::unique_ptr<ClientFolder> m_folder;
};

void TestInterfaceLanguage::init()
{
    m_folder = std::make_unique<ClientFolder>();
    m_folder->writeFile(
        "import.txt",
        "GROUPCODE;PARTNUMBER;SHORTPARTNUMBER;PARTNAME;CROSSNUMBER;PRICE\nG1;A-1;A1;Деталь;X1;10\n");
    m_folder->writeFile("importg.txt", "GROUPCODE;GROUPNAME;DISCOUNT\nG1;Фильтры;10\n");
    answerMessageBoxes();
}

void TestInterfaceLanguage::cleanup()
{
    stopAnsweringMessageBoxes();
    m_folder.reset();
    InterfaceLanguage::install(QStringLiteral("ru"));
}

void TestInterfaceLanguage::startWith(const QStringList& arguments)
{
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    CommandLine commandLine(CommandLine::Program::Client);
    QVERIFY(commandLine.parse(QStringList{"tardesk"} + arguments, outStream, errStream));
    InterfaceLanguage::install(InterfaceLanguage::choose(commandLine.language(), QString()));
}

void TestInterfaceLanguage::languageOfSystem_data()
{
    QTest::addColumn<QStringList>("languages");
    QTest::addColumn<QString>("chosen");
    QTest::newRow("ukrainian first") << QStringList{"uk-UA", "ru-RU", "en-US"} << "uk";
    QTest::newRow("russian first") << QStringList{"ru-RU", "uk-UA"} << "ru";
    QTest::newRow("english then ukrainian") << QStringList{"en-US", "uk"} << "uk";
    QTest::newRow("english only") << QStringList{"en-GB", "en"} << "ru";
    QTest::newRow("underscore spelling") << QStringList{"uk_UA"} << "uk";
    QTest::newRow("none") << QStringList() << "ru";
}

void TestInterfaceLanguage::languageOfSystem()
{
    QFETCH(QStringList, languages);
    QFETCH(QString, chosen);
    QCOMPARE(InterfaceLanguage::fromLanguages(languages), chosen);
}

void TestInterfaceLanguage::choice_data()
{
    QTest::addColumn<QString>("given");
    QTest::addColumn<QString>("saved");
    QTest::addColumn<QString>("chosen");
    QTest::newRow("--lang over the menu") << "en"
                                          << "ru"
                                          << "en";
    QTest::newRow("menu over the system") << ""
                                          << "en"
                                          << "en";
    QTest::newRow("system without a choice") << ""
                                             << ""
                                             << "uk";
    QTest::newRow("unknown saved value") << ""
                                         << "de"
                                         << "uk";
}

void TestInterfaceLanguage::choice()
{
    QFETCH(QString, given);
    QFETCH(QString, saved);
    QFETCH(QString, chosen);
    QCOMPARE(InterfaceLanguage::choose(given, saved), chosen);
}

void TestInterfaceLanguage::windows_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("menus");
    QTest::addColumn<QString>("confirmCaption");
    QTest::addColumn<QStringList>("confirmButtons");
    QTest::addColumn<QString>("updateQuestion");
    QTest::addColumn<QString>("updateReport");
    QTest::addColumn<QString>("partNumberTitle");
    QTest::addColumn<QString>("notFound");
    QTest::addColumn<QString>("errorCaption");
    QTest::addColumn<QString>("errorStart");

    QTest::newRow("ukrainian from the system")
        << QStringList() << QStringList{"Операції", "Редагування", "Вигляд", "Документи"} << "Підтвердження"
        << QStringList{"&Так", "&Ні", "Скасувати"} << "Бажаєте завантажити прайс-лист і знижки?"
        << "Нових позицій: 1"
        << "Код товару"
        << "не знайдено"
        << "Клієнт Velmora"
        << "Помилка відкриття файлу:\n";
    QTest::newRow("english from --lang")
        << QStringList{"--lang", "en"} << QStringList{"Operations", "Edit", "View", "Documents"} << "Confirm"
        << QStringList{"&Yes", "&No", "Cancel"} << "Do you want to load the price list and discounts?"
        << "New items: 1"
        << "Part number"
        << "not found"
        << "Velmora Client"
        << "Error opening file:\n";
    QTest::newRow("russian from --lang")
        << QStringList{"--lang=ru"} << QStringList{"Операции", "Правка", "Вид", "Документы"} << "Confirm"
        << QStringList{"&Yes", "&No", "Cancel"} << "Вы хотите загрузить прайс-лист и скидки?"
        << "Новых позиций: 1"
        << "Код товара"
        << "не найден"
        << "Клиент Velmora"
        << "Ошибка открытия файла:\n";
}

void TestInterfaceLanguage::windows()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, menus);
    QFETCH(QString, confirmCaption);
    QFETCH(QStringList, confirmButtons);
    QFETCH(QString, updateQuestion);
    QFETCH(QString, updateReport);
    QFETCH(QString, partNumberTitle);
    QFETCH(QString, notFound);
    QFETCH(QString, errorCaption);
    QFETCH(QString, errorStart);

    startWith(arguments);
    std::unique_ptr<TFormMain> form = startWindow(m_folder->path());
    QVERIFY(form);

    QStringList titles;
    for (QAction* menu : form->ActionMainMenuBar1->actions())
        titles << menu->text();
    QCOMPARE(titles, menus);
    // The language submenu ends "Вид", each language named in its own words.
    const QMenu* view = form->ActionMainMenuBar1->actions()[2]->menu();
    const QMenu* languages = view->actions().last()->menu();
    QVERIFY(languages);
    QStringList names;
    for (QAction* language : languages->actions())
        names << language->text();
    QCOMPARE(names, (QStringList{"Русский", "Українська", "English"}));

    answerNext(MessageBoxes::Answer::Yes);
    form->actions().actionUpdatePrice->trigger();
    QCOMPARE(m_shown.size(), 2);
    QCOMPARE(m_shown[0].caption, confirmCaption);
    QCOMPARE(m_shown[0].text, updateQuestion);
    QCOMPARE(m_shown[1].text, updateReport);

    search(*form, "A-1");
    QCOMPARE(form->ADODataSetPartsPrice->headerData(0, Qt::Horizontal).toString(), partNumberTitle);
    search(*form, "ZZZ");
    QCOMPARE(form->lbFound->text(), notFound);

    // The standard dialog itself, with its own buttons.
    stopAnsweringMessageBoxes();
    QStringList buttons;
    QString shownCaption;
    QTimer::singleShot(0, form.get(), [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box);
        shownCaption = box->windowTitle();
        for (QAbstractButton* button : box->buttons())
            buttons << button->text();
        box->reject();
    });
    MessageBoxes::confirm(form.get(), updateQuestion);
    QCOMPARE(shownCaption, confirmCaption);
    // In the order the style lays them out.
    buttons.sort();
    confirmButtons.sort();
    QCOMPARE(buttons, confirmButtons);
    answerMessageBoxes();

    form.reset();
    QTemporaryDir empty;
    QVERIFY(!startWindow(empty.path()));
    QCOMPARE(m_shown.size(), 1);
    QCOMPARE(m_shown[0].caption, errorCaption);
    QVERIFY2(m_shown[0].text.startsWith(errorStart), qPrintable(m_shown[0].text));
}

void TestInterfaceLanguage::menuSavesTheChoiceForTheNextStart()
{
    startWith({});
    std::unique_ptr<TFormMain> form = startWindow(m_folder->path());
    QVERIFY(form);
    QVERIFY(form->actions().actionLanguage[1]->isChecked());
    QCOMPARE(InterfaceLanguage::savedInFolder(m_folder->path()), QString());

    form->actions().actionLanguage[2]->trigger();
    QVERIFY(form->actions().actionLanguage[2]->isChecked());
    QCOMPARE(shownTexts(), QStringList{"Мова вікон зміниться під час наступного запуску програми."});
    QCOMPARE(InterfaceLanguage::savedInFolder(m_folder->path()), QStringLiteral("en"));
    QCOMPARE(IniFile(m_folder->iniFileName()).ReadString("Main", "Language", QString()),
             QStringLiteral("en"));
    // Only the next start speaks it.
    QCOMPARE(form->actions().actionUpdatePrice->text(), QStringLiteral("Оновлення"));
}

void TestInterfaceLanguage::scriptsReadRussianInEveryLanguage()
{
    const QString folder = m_folder->path();
    AdminRun update = AdminRun::of({"--lang", "en", "update", folder});
    QCOMPARE(update.status, 0);
    QVERIFY2(update.err.contains("New items: 1"), qPrintable(update.err));

    const AdminRun found = AdminRun::of({"search", folder, "A-1", "--lang", "en"});
    QCOMPARE(found.status, 0);
    QVERIFY2(found.out.startsWith("Ok\nX1\n\nКод товара\tНаименование\tВход\tРозница UAH"),
             qPrintable(found.out));
    QCOMPARE(AdminRun::of({"--lang=en", "search", folder, "ZZZ"}).out, QStringLiteral("не найден\n"));
    m_folder->writeFile(
        "import.txt",
        "GROUPCODE;PARTNUMBER;SHORTPARTNUMBER;PARTNAME;CROSSNUMBER;PRICE\nG1;A-1;A1;Деталь;X1;12\n");
    QCOMPARE(AdminRun::of({"--lang", "en", "update", folder}).status, 0);
    QCOMPARE(AdminRun::of({"--lang=en", "changes", folder}).out.section('\t', 0, 0), QStringLiteral("up"));

    // What people read follows the language: here the system's.
    const AdminRun wrong = AdminRun::of({"order", folder, "add", "A-1", "x"});
    QCOMPARE(wrong.status, 1);
    QCOMPARE(wrong.err, QStringLiteral("Кількість «x» не ціле число\n"));
}

QTEST_MAIN(TestInterfaceLanguage)
#include "TestInterfaceLanguage.moc"
