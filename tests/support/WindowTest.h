#pragma once

#include "gui/main/TFormMain.h"
#include "gui/search/SearchBox.h"
#include "gui/shared/MessageBoxes.h"

#include <QAbstractItemModel>
#include <QLineEdit>
#include <QList>
#include <QStringList>
#include <QTest>

#include <deque>
#include <memory>

// What window tests share: every message box is recorded and answered
// (with the answers queued by answerNext(), else OK), and the main window is started on a shop's folder and
// driven as the clerk drives it.
class WindowTest : public QObject
{
protected:
    // In init(): from here on every box is recorded and answered.
    void answerMessageBoxes()
    {
        m_shown.clear();
        m_answers.clear();
        MessageBoxes::setHandler([this](const MessageBoxes::Shown& shown) {
            m_shown << shown;
            if (!m_answers.empty()) {
                const MessageBoxes::Answer answer = m_answers.front();
                m_answers.pop_front();
                return answer;
            }
            return MessageBoxes::Answer::Ok;
        });
    }
    // In cleanup().
    void stopAnsweringMessageBoxes() { MessageBoxes::setHandler({}); }
    void answerNext(MessageBoxes::Answer answer) { m_answers.push_back(answer); }
    // The texts of the boxes recorded so far, in the order shown.
    QStringList shownTexts() const
    {
        QStringList texts;
        for (const MessageBoxes::Shown& shown : m_shown)
            texts << shown.text;
        return texts;
    }

    // The main window on folder, shown and active; null when start-up failed.
    static std::unique_ptr<TFormMain> startWindow(const QString& folder)
    {
        auto window = std::make_unique<TFormMain>(folder);
        if (!window->isInitialized())
            return nullptr;
        window->show();
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window.get()))
            return nullptr;
        return window;
    }

    // Types text as key clicks; QTest spells only ASCII characters as keys.
    static void typeText(QWidget* widget, const QString& text)
    {
        for (QChar ch : text) {
            if (ch.unicode() < 0x80)
                QTest::keyClick(widget, char(ch.unicode()));
            else
                QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
        }
    }

    // Types a number into the search box and presses Enter.
    static void search(TFormMain& window, const QString& typed)
    {
        SearchBox* box = window.cbSearchNr;
        box->setFocus();
        box->lineEdit()->clear();
        typeText(box, typed);
        QTest::keyClick(box, Qt::Key_Return);
    }

    // The texts of one column of a model, top to bottom.
    static QStringList columnTexts(const QAbstractItemModel* model, int column)
    {
        QStringList texts;
        for (int row = 0; row < model->rowCount(); ++row)
            texts << model->index(row, column).data().toString();
        return texts;
    }

    QList<MessageBoxes::Shown> m_shown;

private:
    std::deque<MessageBoxes::Answer> m_answers;
};
