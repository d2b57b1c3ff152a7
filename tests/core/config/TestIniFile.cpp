#include "core/config/IniFile.h"
#include "core/errors/Error.h"
#include "core/text/CodePage.h"

#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

class TestIniFile : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void reading_data();
    void reading();
    void readBool_data();
    void readBool();
    void writingKeepsOrderAndCase();
    void savedLayout();
    void codePageRoundTrip();
    void encodings_data();
    void encodings();
    void absentFileIsEmpty();
    void saveKeepsModeAndFollowsSymlink();
    void failedSaveNamesTheFile();
    void namedPipeIsRefused();

private:
    QString write(const QByteArray& bytes);

    std::unique_ptr<QTemporaryDir> m_dir;
};

QString TestIniFile::write(const QByteArray& bytes)
{
    const QString path = m_dir->filePath(QStringLiteral("Tardesk.ini"));
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(bytes);
    return path;
}

void TestIniFile::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
}

void TestIniFile::reading_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");

    QTest::newRow("plain") << QByteArray("[PRICE]\r\nSearchNr0=ABC\r\n") << "PRICE"
                           << "SearchNr0"
                           << "ABC";
    QTest::newRow("small letters, blanks around =")
        << QByteArray("[price]\nsearchnr0 =  1k0129  \n") << "PRICE"
        << "SearchNr0"
        << "1k0129";
    QTest::newRow("carriage returns only") << QByteArray("[A]\rk=1\rj=2\r") << "a"
                                           << "J"
                                           << "2";
    QTest::newRow("missing key gives default") << QByteArray("[A]\nk=1\n") << "A"
                                               << "x"
                                               << "";
    QTest::newRow("missing section gives default") << QByteArray("[A]\nk=1\n") << "B"
                                                   << "k"
                                                   << "";
    QTest::newRow("comment skipped") << QByteArray("[A]\n;k=1\nk=2\n") << "A"
                                     << "k"
                                     << "2";
    QTest::newRow("line before first section skipped") << QByteArray("k=0\n[A]\n") << "A"
                                                       << "k"
                                                       << "";
    QTest::newRow("split at first =") << QByteArray("[A]\nk=a=b\n") << "A"
                                      << "k"
                                      << "a=b";
    QTest::newRow("first of duplicate keys") << QByteArray("[A]\nk=1\nk=2\n") << "A"
                                             << "k"
                                             << "1";
    QTest::newRow("NUL ends the text") << QByteArray("[A]\nk=1\0\nj=2\n", 13) << "A"
                                       << "j"
                                       << "";
    QTest::newRow("control characters trimmed") << QByteArray("\t[A] \x01\nk=\t5\x02\n") << "A"
                                                << "k"
                                                << "5";
    QTest::newRow("section name trimmed") << QByteArray("[  A  ]\nk=1\n") << "a"
                                          << "k"
                                          << "1";
    QTest::newRow("UTF-8 byte-order mark") << QByteArray("\xEF\xBB\xBF[A]\nk=ЖУК\n") << "A"
                                           << "k"
                                           << "ЖУК";
    QTest::newRow("code page 1251") << QByteArray("[A]\nk=\xC6\xD3\xCA\n") << "A"
                                    << "k"
                                    << "ЖУК";
    QTest::newRow("Cyrillic key ignoring case") << QByteArray("[Раздел]\nКлюч=1\n") << "РАЗДЕЛ"
                                                << "ключ"
                                                << "1";
}

void TestIniFile::reading()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    IniFile ini(write(content));
    QCOMPARE(ini.ReadString(section, key, QString()), expected);
}

void TestIniFile::readBool_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("expected");
    QTest::addColumn<bool>("isInteger"); // else the default comes back, whichever it is

    QTest::newRow("1") << "1" << true << true;
    QTest::newRow("0") << "0" << false << true;
    QTest::newRow("2") << "2" << true << true;
    QTest::newRow("word") << "yes" << false << false;
    QTest::newRow("empty") << "" << false << false;
    QTest::newRow("0x1") << "0x1" << true << true;
    QTest::newRow("$0") << "$0" << false << true;
    QTest::newRow("X10") << "X10" << true << true;
    QTest::newRow("negative") << "-1" << true << true;
    QTest::newRow("plus zero") << "+0" << false << true;
    QTest::newRow("FFFFFFFF is -1") << "$FFFFFFFF" << true << true;
    QTest::newRow("nine hex digits") << "$000000001" << false << false;
    QTest::newRow("int32 max") << "2147483647" << true << true;
    QTest::newRow("beyond int32") << "2147483648" << false << false;
    QTest::newRow("int32 min") << "-2147483648" << true << true;
    QTest::newRow("below int32") << "-2147483649" << false << false;
    QTest::newRow("trailing letter") << "1a" << false << false;
    QTest::newRow("sign alone") << "-" << false << false;
    QTest::newRow("hex prefix alone") << "0x" << false << false;
}

void TestIniFile::readBool()
{
    QFETCH(QString, value);
    QFETCH(bool, expected);
    QFETCH(bool, isInteger);
    IniFile ini(write("[PRICE]\nShowEU=" + value.toUtf8() + "\n"));
    QCOMPARE(ini.ReadBool(QStringLiteral("PRICE"), QStringLiteral("ShowEU"), false), expected);
    QCOMPARE(ini.ReadBool(QStringLiteral("PRICE"), QStringLiteral("ShowEU"), true),
             isInteger ? expected : true);
}

void TestIniFile::writingKeepsOrderAndCase()
{
    IniFile ini(write("[price]\nsearchnr0=old\nShowUS=1\n"));
    ini.WriteString(QStringLiteral("PRICE"), QStringLiteral("SearchNr0"), QStringLiteral("NEW"));
    ini.WriteString(QStringLiteral("PRICE"), QStringLiteral("SearchNr1"), QStringLiteral("B"));
    ini.WriteBool(QStringLiteral("Other"), QStringLiteral("Flag"), true);
    QCOMPARE(ini.text(), QStringLiteral("[price]\r\nSearchNr0=NEW\r\nShowUS=1\r\nSearchNr1=B\r\n\r\n"
                                        "[Other]\r\nFlag=1\r\n\r\n"));
}

void TestIniFile::savedLayout()
{
    const QString path =
        write("; comment\n[PRICE]\nShowVhod=1\n\n; another\n[Extra]\nkey = value\nbare line\n");
    IniFile ini(path);
    ini.WriteBool(QStringLiteral("PRICE"), QStringLiteral("ShowUS"), false);
    ini.UpdateFile();
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(
        file.readAll(),
        QByteArray("[PRICE]\r\nShowVhod=1\r\nShowUS=0\r\n\r\n[Extra]\r\nkey=value\r\nbare line\r\n\r\n"));
}

void TestIniFile::codePageRoundTrip()
{
    // Written back in the code page it was read in, so the old installation keeps working.
    const QString path = write("[PRICE]\r\nSearchNr0=\xC2\xC0\xC7\r\n");
    {
        IniFile ini(path);
        QCOMPARE(ini.encoding(), IniFile::Encoding::Windows1251);
        ini.WriteString(QStringLiteral("PRICE"), QStringLiteral("SearchNr1"), QStringLiteral("ЇЄІ"));
        ini.UpdateFile();
    }
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(),
             QByteArray("[PRICE]\r\nSearchNr0=\xC2\xC0\xC7\r\nSearchNr1=\xAF\xAA\xB2\r\n\r\n"));
    IniFile again(path);
    QCOMPARE(again.ReadString(QStringLiteral("PRICE"), QStringLiteral("SearchNr1"), QString()),
             QStringLiteral("ЇЄІ"));

    // Once the value that was no UTF-8 is replaced, "ВІ" in 1251 is valid UTF-8 ("²").
    again.WriteString(QStringLiteral("PRICE"), QStringLiteral("SearchNr0"), QStringLiteral("ВІ"));
    again.WriteString(QStringLiteral("PRICE"), QStringLiteral("SearchNr1"), QStringLiteral("1"));
    again.UpdateFile();
    const IniFile third(path);
    QCOMPARE(third.ReadString(QStringLiteral("PRICE"), QStringLiteral("SearchNr0"), QString()),
             QStringLiteral("ВІ"));

    // A new or empty file is written as UTF-8.
    const QString fresh = write(QByteArray());
    IniFile empty(fresh);
    empty.WriteString(QStringLiteral("PRICE"), QStringLiteral("SearchNr0"), QStringLiteral("ВАЗ"));
    empty.UpdateFile();
    QFile written(fresh);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), QStringLiteral("[PRICE]\r\nSearchNr0=ВАЗ\r\n\r\n").toUtf8());
}

void TestIniFile::encodings_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("read");    // SearchNr0 as read
    QTest::addColumn<QString>("written"); // SearchNr1, added
    QTest::addColumn<QByteArray>("saved");

    const auto utf16 = [](QStringConverter::Encoding encoding, const QString& text) {
        return QByteArray(QStringEncoder(encoding, QStringConverter::Flag::WriteBom).encode(text));
    };
    const QString one = "[PRICE]\r\nSearchNr0=ЖУК\r\n";
    const QString two = "[PRICE]\r\nSearchNr0=ЖУК\r\nSearchNr1=ВАЗ\r\n\r\n";
    QTest::newRow("UTF-16LE") << utf16(QStringConverter::Utf16LE, one) << "ЖУК"
                              << "ВАЗ" << utf16(QStringConverter::Utf16LE, two);
    QTest::newRow("UTF-16BE") << utf16(QStringConverter::Utf16BE, one) << "ЖУК"
                              << "ВАЗ" << utf16(QStringConverter::Utf16BE, two);
    QTest::newRow("UTF-16 ends at a NUL character")
        << utf16(QStringConverter::Utf16LE, one + QChar(0) + "SearchNr7=X\r\n") << "ЖУК"
        << "ВАЗ" << utf16(QStringConverter::Utf16LE, two);
    QTest::newRow("1251 whose bytes form UTF-8") << QByteArray("[PRICE]\r\nSearchNr0=\xCF\xB2\r\n") << "ПІ"
                                                 << "ВАЗ"
                                                 << QByteArray("[PRICE]\r\nSearchNr0=\xCF\xB2\r\n"
                                                               "SearchNr1=\xC2\xC0\xC7\r\n\r\n");
    QTest::newRow("UTF-8 stays UTF-8") << one.toUtf8() << "ЖУК"
                                       << "ВАЗ" << two.toUtf8();
    QTest::newRow("1251 gains a Latin letter it lacks")
        << QByteArray("[PRICE]\r\nSearchNr0=\xC6\xD3\xCA\r\n") << "ЖУК"
        << "ÄÖ" << QString("[PRICE]\r\nSearchNr0=ЖУК\r\nSearchNr1=ÄÖ\r\n\r\n").toUtf8();
    QTest::newRow("1251 gains a Greek letter")
        << QByteArray("[PRICE]\r\nSearchNr0=\xC6\xD3\xCA\r\n") << "ЖУК"
        << "ΩΣ"
        << "\xEF\xBB\xBF" + QString("[PRICE]\r\nSearchNr0=ЖУК\r\nSearchNr1=ΩΣ\r\n\r\n").toUtf8();
    QTest::newRow("UTF-8 gains a Greek letter")
        << one.toUtf8() << "ЖУК"
        << "Ω"
        << "\xEF\xBB\xBF" + QString("[PRICE]\r\nSearchNr0=ЖУК\r\nSearchNr1=Ω\r\n\r\n").toUtf8();
}

void TestIniFile::encodings()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, read);
    QFETCH(QString, written);
    QFETCH(QByteArray, saved);
    const QString path = write(file);
    {
        IniFile ini(path);
        QCOMPARE(ini.ReadString(QStringLiteral("PRICE"), QStringLiteral("SearchNr0"), QString()), read);
        ini.WriteString(QStringLiteral("PRICE"), QStringLiteral("SearchNr1"), written);
        ini.UpdateFile();
    }
    QFile result(path);
    QVERIFY(result.open(QIODevice::ReadOnly));
    QCOMPARE(result.readAll(), saved);
    // The next run reads what this one wrote.
    IniFile again(path);
    QCOMPARE(again.ReadString(QStringLiteral("PRICE"), QStringLiteral("SearchNr0"), QString()), read);
    QCOMPARE(again.ReadString(QStringLiteral("PRICE"), QStringLiteral("SearchNr1"), QString()), written);
}

void TestIniFile::absentFileIsEmpty()
{
    IniFile ini(m_dir->filePath(QStringLiteral("none.ini")));
    QCOMPARE(ini.text(), QString());
    QCOMPARE(ini.ReadBool(QStringLiteral("PRICE"), QStringLiteral("ShowEU"), false), false);
}

void TestIniFile::saveKeepsModeAndFollowsSymlink()
{
    const QString target = write("[PRICE]\n");
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    const QString link = m_dir->filePath(QStringLiteral("link.ini"));
    QVERIFY(QFile::link(target, link));

    IniFile ini(link);
    ini.WriteBool(QStringLiteral("PRICE"), QStringLiteral("ShowEU"), true);
    ini.UpdateFile();

    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(QFileInfo(target).permissions() & 0x0FFF, QFile::ReadUser | QFile::WriteUser | QFile::ReadGroup);
    QCOMPARE(IniFile(target).ReadString(QStringLiteral("PRICE"), QStringLiteral("ShowEU"), QString()),
             QStringLiteral("1"));
}

void TestIniFile::failedSaveNamesTheFile()
{
    const QString path = write("[PRICE]\n");
    IniFile ini(path);
    // A folder in the file's place cannot be replaced, even by root.
    QVERIFY(QFile::remove(path));
    QVERIFY(QDir().mkdir(path));
    QDir(path).mkdir(QStringLiteral("inside"));
    try {
        ini.UpdateFile();
        QFAIL("saving over a folder succeeded");
    } catch (const Error& error) {
        QVERIFY2(error.message().startsWith(QStringLiteral("Cannot create file \"") + path +
                                            QStringLiteral("\". ")),
                 qPrintable(error.message()));
    }
    try {
        IniFile unreadable(path);
        QFAIL("reading a folder succeeded");
    } catch (const Error& error) {
        QVERIFY(error.message().startsWith(QStringLiteral("Cannot open file \"") + path +
                                           QStringLiteral("\". ")));
    }
}

void TestIniFile::namedPipeIsRefused()
{
    // Opening a pipe nobody writes would block start-up for good (a hang
    // shows as the test's timeout).
    const QString path = m_dir->filePath(QStringLiteral("Tardesk.ini"));
    QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    try {
        IniFile ini(path);
        QFAIL("a named pipe was read");
    } catch (const Error& error) {
        QCOMPARE(error.message(), QStringLiteral("Cannot open file \"") + path +
                                      QStringLiteral("\". это именованный канал, а не обычный файл"));
    }
}

QTEST_GUILESS_MAIN(TestIniFile)
#include "TestIniFile.moc"
