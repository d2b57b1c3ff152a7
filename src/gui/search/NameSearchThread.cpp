#include "NameSearchThread.h"

#include "core/errors/Error.h"
#include "core/session/ShopStorage.h"
#include "core/storage/Storage.h"

#include <memory>

NameSearchThread::NameSearchThread(const QString& folder, QObject* parent)
    : QObject(parent), m_folder(folder), m_worker(new QObject)
{
    m_thread.setObjectName(QStringLiteral("NameSearch"));
    m_worker->moveToThread(&m_thread);
    m_thread.start();
}

NameSearchThread::~NameSearchThread()
{
    release();
    m_thread.quit();
    m_thread.wait();
    delete m_worker;
}

void NameSearchThread::find(const QStringList& query, qint64 limit, Answered answered)
{
    const quint64 question = ++m_latest;
    QMetaObject::invokeMethod(
        m_worker,
        [this, question, query, limit, answered = std::move(answered)] {
            // Typing faster than the storage answers: only the last text counts.
            if (question != m_latest)
                return;
            auto answer = std::make_shared<Answer>(lookUp(query, limit));
            QMetaObject::invokeMethod(
                this,
                [this, question, answer, answered] {
                    if (question == m_latest)
                        answered(*answer);
                },
                Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

void NameSearchThread::release()
{
    ++m_latest;
    QMetaObject::invokeMethod(
        m_worker, [this] { m_storage.reset(); }, Qt::BlockingQueuedConnection);
}

NameSearchThread::Answer NameSearchThread::lookUp(const QStringList& query, qint64 limit)
{
    Answer answer;
    try {
        if (!m_storage)
            m_storage = ShopStorage::open(m_folder, ShopStorage::Access::Read);
        NameIndex& names = m_storage->names();
        if (!names.isBuilt())
            answer.state = Answer::State::NotBuilt;
        else if (!query.isEmpty())
            answer.found = names.find(query, limit);
    } catch (const std::exception& error) {
        answer.state = Answer::State::Failed;
        answer.error = Error::messageOf(error);
        // Opened afresh next time, in case the connection itself went bad.
        m_storage.reset();
    }
    return answer;
}
