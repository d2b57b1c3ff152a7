#include "MessageBoxes.h"

#include "core/errors/Error.h"

#include <QCoreApplication>
#include <QDebug>
#include <QMessageBox>
#include <QPushButton>

namespace {
MessageBoxes::Handler& handler()
{
    static MessageBoxes::Handler instance;
    return instance;
}

bool silenced = false;
} // namespace

QString MessageBoxes::applicationTitle()
{
    return QCoreApplication::translate("MessageBoxes", "Клиент Velmora");
}

void MessageBoxes::setHandler(Handler newHandler)
{
    handler() = std::move(newHandler);
}

void MessageBoxes::setSilenced(bool newSilenced)
{
    silenced = newSilenced;
}

QString MessageBoxes::withFullStop(const QString& message)
{
    if (!message.isEmpty() && message.back().unicode() > u'.')
        return message + QLatin1Char('.');
    return message;
}

void MessageBoxes::showError(QWidget* parent, const QString& message)
{
    show(parent, Shown{Kind::ApplicationError, applicationTitle(), withFullStop(message)});
}

void MessageBoxes::showException(QWidget* parent, const std::exception& error)
{
    showError(parent, Error::messageOf(error));
}

MessageBoxes::Answer MessageBoxes::confirm(QWidget* parent, const QString& question)
{
    return show(parent,
                Shown{Kind::Confirmation, QCoreApplication::translate("MessageBoxes", "Confirm"), question});
}

void MessageBoxes::information(QWidget* parent, const QString& text)
{
    show(parent, Shown{Kind::Information, QCoreApplication::translate("MessageBoxes", "Information"), text});
}

void MessageBoxes::errorDialog(QWidget* parent, const QString& text)
{
    show(parent, Shown{Kind::ErrorDialog, QCoreApplication::translate("MessageBoxes", "Error"), text});
}

MessageBoxes::Answer MessageBoxes::ask(QWidget* parent, const QString& question)
{
    return show(parent, Shown{Kind::Question, applicationTitle(), question});
}

MessageBoxes::Answer MessageBoxes::show(QWidget* parent, const Shown& shown)
{
    if (silenced) {
        qWarning().noquote() << shown.text;
        if (shown.kind == Kind::Confirmation)
            return Answer::Cancel;
        return shown.kind == Kind::Question ? Answer::No : Answer::Ok;
    }
    if (handler())
        return handler()(shown);

    QMessageBox box(parent);
    box.setWindowTitle(shown.caption);
    box.setText(shown.text);
    // The standard dialogs' captions as the clerk knows them, in Russian as in English.
    if (shown.kind == Kind::Confirmation) {
        box.setIcon(QMessageBox::Question);
        QPushButton* yes =
            box.addButton(QCoreApplication::translate("MessageBoxes", "&Yes"), QMessageBox::YesRole);
        QPushButton* no =
            box.addButton(QCoreApplication::translate("MessageBoxes", "&No"), QMessageBox::NoRole);
        QPushButton* cancel =
            box.addButton(QCoreApplication::translate("MessageBoxes", "Cancel"), QMessageBox::RejectRole);
        box.setDefaultButton(yes);
        box.setEscapeButton(cancel);
        box.exec();
        if (box.clickedButton() == yes)
            return Answer::Yes;
        return box.clickedButton() == no ? Answer::No : Answer::Cancel;
    }
    if (shown.kind == Kind::Question) {
        box.setIcon(QMessageBox::Question);
        QPushButton* yes =
            box.addButton(QCoreApplication::translate("MessageBoxes", "Да"), QMessageBox::YesRole);
        QPushButton* no =
            box.addButton(QCoreApplication::translate("MessageBoxes", "Нет"), QMessageBox::NoRole);
        box.setDefaultButton(no);
        box.setEscapeButton(no);
        box.exec();
        return box.clickedButton() == yes ? Answer::Yes : Answer::No;
    }
    box.setIcon(shown.kind == Kind::Information ? QMessageBox::Information : QMessageBox::Critical);
    QPushButton* ok =
        box.addButton(QCoreApplication::translate("MessageBoxes", "OK"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
    return Answer::Ok;
}
