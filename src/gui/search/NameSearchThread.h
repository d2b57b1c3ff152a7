#pragma once

#include "core/storage/NameIndex.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QThread>

#include <atomic>
#include <functional>
#include <memory>

class Storage;

// Finds parts by name on a thread and a connection of its own, so that the
// clerk's typing never waits for the storage. Only the latest question is
// answered: one overtaken by a later find() or by release() is dropped,
// asked or not.
class NameSearchThread : public QObject
{
    Q_OBJECT

public:
    struct Answer
    {
        enum class State
        {
            Found,
            NotBuilt, // the list has no name index yet
            Failed
        };
        State state = State::Found;
        NameIndex::Found found;
        QString error;
    };
    using Answered = std::function<void(const Answer&)>;

    // The shop in folder, opened on first use as a tool that only reads.
    explicit NameSearchThread(const QString& folder, QObject* parent = nullptr);
    ~NameSearchThread() override;

    // Looks query (NameWords::query's words) up, at most limit shown; an
    // empty query only tells whether the index is built. answered runs on
    // this object's thread.
    void find(const QStringList& query, qint64 limit, Answered answered);
    // Returns once the thread has let go of the storage, which the next
    // find() opens afresh: the list may be replaced meanwhile.
    void release();

private:
    // On the thread.
    Answer lookUp(const QStringList& query, qint64 limit);

    QString m_folder;
    QThread m_thread;
    QObject* m_worker;                  // lives on m_thread
    std::unique_ptr<Storage> m_storage; // touched on m_thread only
    std::atomic<quint64> m_latest{0};
};
