#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

#include <exception>

// The one error type of the program: a message for the user, shown by the
// command handler that catches it.
class Error : public std::exception
{
public:
    explicit Error(const QString& message) : m_message(message), m_utf8(message.toUtf8()) {}

    const QString& message() const noexcept { return m_message; }
    const char* what() const noexcept override { return m_utf8.constData(); }

    // A problem found at a line of a file the program reads; section names
    // the part of the file the line belongs to, when that matters.
    static Error atLine(const QString& fileName, qint64 line, const QString& problem,
                        const QString& section = QString())
    {
        const QString where = section.isEmpty()
                                  ? QString()
                                  : QCoreApplication::translate("Error", ", раздел [%1]").arg(section);
        return Error(QCoreApplication::translate("Error", "Файл %1, строка %2%3: %4")
                         .arg(fileName)
                         .arg(line)
                         .arg(where, problem));
    }

    // The message of any error: ours, the engine's or the library's.
    // Ours whole: what() is a C string, which a NUL would cut.
    static QString messageOf(const std::exception& error)
    {
        if (const auto* own = dynamic_cast<const Error*>(&error))
            return own->message();
        return QString::fromUtf8(error.what());
    }

private:
    QString m_message;
    QByteArray m_utf8;
};
