#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

// The command line of both programs, read before any window exists so that
// --help and --version work without a display. A wrong command line shows the
// usage on the error stream and ends the program with status 2. Parsing
// installs the language of --lang, or else the system's.
class CommandLine
{
public:
    enum class Program
    {
        Client,
        Admin
    };

    explicit CommandLine(Program program) : m_program(program) {}

    // arguments start with the program file. False when the program ends here:
    // exitCode() is then 0 after --help or --version (answered on out) and 2
    // after a wrong command line.
    bool parse(const QStringList& arguments, QTextStream& out, QTextStream& err);
    int exitCode() const { return m_exitCode; }

    // The client's --folder as an absolute path; empty when not given.
    const QString& folder() const { return m_folder; }
    // The admin's command and its arguments.
    const QStringList& positionalArguments() const { return m_positional; }
    // --server's libpq connection string, given anywhere on the command
    // line; empty when not given.
    const QString& server() const { return m_server; }
    // --lang's "ru", "uk" or "en", given anywhere; empty when not given.
    const QString& language() const { return m_language; }

    static QString usage(Program program);
    // The program's name and version, "tardesk 1.0.0".
    static QString version(Program program);
    // The arguments as Qt decodes them, for reading them before an application object exists.
    static QStringList fromArgv(int argc, char* argv[]);

private:
    Program m_program;
    int m_exitCode = 0;
    QString m_folder;
    QStringList m_positional;
    QString m_server;
    QString m_language;
};
