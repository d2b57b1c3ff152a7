#include "CommandLine.h"

#include "core/session/InterfaceLanguage.h"
#include "core/session/Version.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

namespace {

QString programName(CommandLine::Program program)
{
    return program == CommandLine::Program::Client ? QStringLiteral("tardesk")
                                                   : QStringLiteral("tardesk-admin");
}

// The parser names an unknown option without its dashes.
QString spelled(const QString& option)
{
    return (option.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + option;
}

} // namespace

bool CommandLine::parse(const QStringList& given, QTextStream& out, QTextStream& err)
{
    // --server and --lang anywhere, also after the admin's command, whose own
    // arguments are otherwise left as they are.
    const QString serverOption = QStringLiteral("--server");
    const QString languageOption = QStringLiteral("--lang");
    QStringList arguments;
    QString fault;
    QString language;
    bool languageGiven = false;
    for (qsizetype i = 0; i < given.size(); ++i) {
        if (i > 0 && given[i] == serverOption) {
            if (i + 1 < given.size())
                m_server = given[++i];
            else
                fault = QCoreApplication::translate("CommandLine",
                                                    "не указана строка подключения после --server");
        } else if (i > 0 && given[i].startsWith(serverOption + QLatin1Char('='))) {
            m_server = given[i].mid(serverOption.size() + 1);
        } else if (i > 0 && given[i] == languageOption) {
            languageGiven = true;
            if (i + 1 < given.size())
                language = given[++i];
        } else if (i > 0 && given[i].startsWith(languageOption + QLatin1Char('='))) {
            languageGiven = true;
            language = given[i].mid(languageOption.size() + 1);
        } else {
            arguments << given[i];
        }
    }
    // The command line's own answers already speak the language.
    if (InterfaceLanguage::isKnown(language))
        m_language = language;
    InterfaceLanguage::install(InterfaceLanguage::choose(m_language, QString()));
    if (fault.isEmpty() && languageGiven && m_language.isEmpty())
        fault = QCoreApplication::translate("CommandLine", "после --lang нужен язык: ru, uk или en");

    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption versionOption(QStringLiteral("version"));
    const QCommandLineOption folderOption(QStringLiteral("folder"), QString(), QStringLiteral("folder"));
    QCommandLineParser parser;
    // Whatever follows the admin's command is its own: a part number may begin with a dash.
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    parser.addOption(help);
    parser.addOption(versionOption);
    if (m_program == Program::Client)
        parser.addOption(folderOption);

    if (fault.isEmpty() && !parser.parse(arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        fault = unknown.isEmpty() ? QCoreApplication::translate("CommandLine", "неверная командная строка")
                                  : QCoreApplication::translate("CommandLine", "неизвестный параметр %1")
                                        .arg(spelled(unknown.front()));
    } else if (fault.isEmpty() && m_program == Program::Client) {
        if (!parser.positionalArguments().isEmpty())
            fault = QCoreApplication::translate("CommandLine", "лишний аргумент %1")
                        .arg(parser.positionalArguments().front());
        else if (parser.isSet(folderOption) && parser.value(folderOption).isEmpty())
            fault = QCoreApplication::translate("CommandLine", "не указана папка после --folder");
    }
    if (!fault.isEmpty()) {
        err << programName(m_program) << QStringLiteral(": ") << fault << QLatin1Char('\n')
            << usage(m_program);
        m_exitCode = 2;
        return false;
    }
    if (parser.isSet(help) || parser.isSet(versionOption)) {
        out << (parser.isSet(help) ? usage(m_program) : version(m_program) + QLatin1Char('\n'));
        m_exitCode = 0;
        return false;
    }
    if (m_program == Program::Client && parser.isSet(folderOption))
        m_folder = QFileInfo(parser.value(folderOption)).absoluteFilePath();
    m_positional = parser.positionalArguments();
    return true;
}

QString CommandLine::usage(Program program)
{
    if (program == Program::Client)
        return QCoreApplication::translate(
            "CommandLine", "Использование: tardesk [--folder ПАПКА]\n"
                           "Поиск запчастей по номеру в прайс-листе поставщика.\n"
                           "\n"
                           "  --folder ПАПКА  папка с Tardesk.ini, Tardesk.mdb, import.txt и importg.txt;\n"
                           "                  без него это папка программы, а у установленной в /usr\n"
                           "                  копии ~/.local/share/Tardesk (создаётся при первом запуске)\n"
                           "  --server СТРОКА прайс-лист, настройки и заказ в базе PostgreSQL по этой\n"
                           "                  строке подключения libpq вместо [Server] Connection\n"
                           "                  в Tardesk.ini; пароль не указывается, он в ~/.pgpass\n"
                           "  --lang ЯЗЫК     язык окон на этот запуск: ru, uk или en, а не выбранный\n"
                           "                  в меню «Вид → Язык» или язык системы\n"
                           "  -h, --help      показать эту справку\n"
                           "  --version       показать название и версию программы\n");
    return QCoreApplication::translate(
        "CommandLine", "Использование: tardesk-admin КОМАНДА ПАПКА [НОМЕР]\n"
                       "Обслуживание папки программы Tardesk.\n"
                       "\n"
                       "  init ПАПКА           создать пустые Tardesk.mdb и Tardesk.ini\n"
                       "  init ПАПКА --server СТРОКА\n"
                       "                       перенести магазин из ПАПКИ (её Tardesk.mdb, если\n"
                       "                       есть) в пустую базу PostgreSQL в UTF8 и записать\n"
                       "                       строку подключения в Tardesk.ini ПАПКИ\n"
                       "  connect ПАПКА СТРОКА проверить, что в базе есть таблицы магазина, и\n"
                       "                       записать строку в Tardesk.ini ПАПКИ (ещё одно\n"
                       "                       рабочее место)\n"
                       "  search ПАПКА НОМЕР   найти номер, как клиент (только чтение)\n"
                       "  find ПАПКА СЛОВА...  найти позиции по началам слов названия, как окно\n"
                       "                       «Поиск по названию», все, без ограничения\n"
                       "  compact ПАПКА        сжать Tardesk.mdb (не для магазина на сервере)\n"
                       "  update ПАПКА         загрузить прайс-лист из import.txt и importg.txt\n"
                       "  changes ПАПКА        изменения прайса при последнем обновлении\n"
                       "  order ПАПКА add НОМЕР КОЛИЧЕСТВО [ГРУППА]\n"
                       "                       добавить позицию в заказ поставщику\n"
                       "  order ПАПКА remove НОМЕР [ГРУППА]\n"
                       "                       убрать позицию из заказа\n"
                       "  order ПАПКА clear    очистить заказ\n"
                       "  order ПАПКА list     показать заказ\n"
                       "  order ПАПКА export ФАЙЛ.xlsx|ФАЙЛ.csv\n"
                       "                       сохранить заказ в файл\n"
                       "  quote ПАПКА НОМЕР ФАЙЛ.pdf\n"
                       "                       предложение клиенту по найденному номеру в PDF\n"
                       "  --server СТРОКА      в любом месте: магазин в базе PostgreSQL по этой\n"
                       "                       строке подключения libpq, а не в Tardesk.mdb\n"
                       "                       и не по [Server] Connection в Tardesk.ini;\n"
                       "                       пароль не указывается, он в ~/.pgpass\n"
                       "  --lang ЯЗЫК          в любом месте: язык сообщений, ru, uk или en,\n"
                       "                       а не язык системы\n"
                       "  -h, --help           показать эту справку\n"
                       "  --version            показать название и версию программы\n");
}

QString CommandLine::version(Program program)
{
    return programName(program) + QLatin1Char(' ') + QStringLiteral(TARDESK_VERSION);
}

QStringList CommandLine::fromArgv(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}
