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
        ErrorDialog
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

    static const QString& applicationTitle();

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

    // Tests install a handler that answers instead of a real box; an empty
    // handler brings the real boxes back.
    static void setHandler(Handler handler);

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
