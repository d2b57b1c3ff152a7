#include "TformWait.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>

namespace {

constexpr int kPermille = 1000;

} // namespace

TformWait::TformWait(QWidget* owner)
    : QWidget(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("formWait"));
    setWindowTitle(tr("Выполнение операции ..."));
    setFixedSize(246, 94);
    setCursor(Qt::WaitCursor);

    labelOperation = new QLabel(this);
    labelOperation->setObjectName(QStringLiteral("labelOperation"));
    labelOperation->move(8, 24);
    // Fixed, so a long message is clipped at the right edge instead of growing the window.
    labelOperation->setFixedSize(229, 13);
    QFont font(QStringLiteral("MS Sans Serif"), 8);
    font.setBold(true);
    labelOperation->setFont(font);

    progressBar = new QProgressBar(this);
    progressBar->setObjectName(QStringLiteral("progressBar"));
    progressBar->setGeometry(8, 45, 229, 6);
    progressBar->setRange(0, kPermille);
    progressBar->setTextVisible(false);
    progressBar->hide();
    m_sinceRefresh.start();
}

void TformWait::setMessage(const QString& message)
{
    labelOperation->setText(message);
    progressBar->hide();
}

void TformWait::setProgress(qint64 position, qint64 total)
{
    if (total <= 0) {
        progressBar->hide();
    } else {
        const qint64 clamped = qBound<qint64>(0, position, total);
        // In double: position times 1000 would overflow near the end of qint64.
        progressBar->setValue(int(double(clamped) / double(total) * kPermille));
        progressBar->show();
    }
    if (m_sinceRefresh.elapsed() >= kRefreshIntervalMs)
        refresh();
}

void TformWait::refresh()
{
    repaint();
    QCoreApplication::processEvents();
    m_sinceRefresh.restart();
}

void TformWait::centreOnOwner()
{
    if (QWidget* owner = parentWidget())
        move(owner->frameGeometry().center() - QRect(QPoint(), frameGeometry().size()).center());
}
