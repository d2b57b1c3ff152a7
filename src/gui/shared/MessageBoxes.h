#pragma once

#include <QString>

#include <exception>
#include <functional>

class QWidget;

// Every message box of the program goes through here, so tests can answer
// them without a person at the screen.
class MessageBoxes
{
public:
    enum class Kind
    {
        ApplicationError,
        Confirmation,
        Information,
        ErrorDialog,
        Question
    };
    enum class Answer
    {
        Yes,
        No,
        Cancel,
        Ok
    };

    struct Shown
    {
        Kind kind;
        QString caption;
        QString text;
    };
    using Handler = std::function<Answer(const Shown&)>;

    static QString applicationTitle();

    // The application's error box: caption "Клиент Velmora", error icon,
    // "OK"; a full stop is appended after a character coded above ".".
    static void showError(QWidget* parent, const QString& message);
    // Shows what a command handler let escape.
    static void showException(QWidget* parent, const std::exception& error);
    // "Confirm" with "&Yes" (default), "&No" and "Cancel".
    static Answer confirm(QWidget* parent, const QString& question);
    // "Information" with "OK".
    static void information(QWidget* parent, const QString& text);
    // "Error" with "OK".
    static void errorDialog(QWidget* parent, const QString& text);
    // The application's own question: caption "Клиент Velmora", "Да" and
    // "Нет" (default, and the answer of Esc or closing it).
    static Answer ask(QWidget* parent, const QString& question);

    // Tests install a handler that answers instead of a real box; an empty
    // handler brings the real boxes back.
    static void setHandler(Handler handler);
    // Once the program is ending on a signal nobody is there to answer: no
    // box opens, its text goes to standard error, and a question gets the
    // answer that changes nothing (Cancel, or No).
    static void setSilenced(bool silenced);

    static QString withFullStop(const QString& message);

    // Runs a command's body and shows any error that leaves it.
    template <typename Body> static bool guard(QWidget* parent, Body&& body)
    {
        try {
            body();
            return true;
        } catch (const std::exception& error) {
            showException(parent, error);
        }
        return false;
    }

private:
    static Answer show(QWidget* parent, const Shown& shown);
};
