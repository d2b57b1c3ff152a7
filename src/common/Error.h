#pragma once

#include <QByteArray>
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

private:
    QString m_message;
    QByteArray m_utf8;
};
