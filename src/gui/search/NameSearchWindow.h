#pragma once

#include "core/storage/PriceRow.h"
#include "gui/search/NameSearchThread.h"

#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <functional>

class ClientSession;
class NameSearchModel;
class QLabel;
class QLineEdit;
class QProgressBar;
class QTableView;

// "Поиск по названию": the parts whose names hold the typed words, found
// while the clerk types. Enter or a double click on a part asks for it in
// the main window. A list made before names were indexed gets its index
// here, in the embedded file. A window of its own rather than a dialog, so
// that the main window comes in front of it when it shows the part.
class NameSearchWindow : public QWidget
{
    Q_OBJECT

public:
    static constexpr qint64 kShownLimit = 1000;
    static constexpr int kTypingPauseMs = 150;

    // setBusy: true before the index is built on session's storage, false
    // after, as around an update.
    NameSearchWindow(ClientSession& session, std::function<void(bool)> setBusy, QWidget* parent);

    // Shows the window with its field ready for typing.
    void showWindow();
    // While the list is replaced the field is off and the window lets go of
    // the list; afterwards it searches again.
    void setUpdating(bool updating);
    // Another program put a new list in place.
    void listChanged();
    bool isBuilding() const { return m_building; }
    // A build under way stops at its next step; the list stays unindexed.
    void stopBuilding() { m_stopBuilding = true; }

signals:
    void partChosen(const PriceRow& part);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void search();
    void enterPressed();
    void showAnswer(const QStringList& query, const NameSearchThread::Answer& answer);
    void buildIndex();
    void buildProgress(qint64 done, qint64 total);
    void choose(const QModelIndex& index);

    ClientSession& m_session;
    std::function<void(bool)> m_setBusy;
    NameSearchThread* m_thread;
    NameSearchModel* m_model;
    QLineEdit* m_field;
    QTableView* m_table;
    QLabel* m_status;
    QProgressBar* m_progress;
    QTimer m_typingPause;
    QStringList m_shownQuery; // the words the table shows the parts of
    bool m_updating = false;
    bool m_building = false;
    bool m_stopBuilding = false;
    bool m_buildTried = false; // once per showing: a refusal is not asked again on every key
    QString m_buildError;
};
