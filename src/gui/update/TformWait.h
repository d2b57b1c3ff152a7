#pragma once

#include <QElapsedTimer>
#include <QWidget>

class QLabel;
class QProgressBar;

// The small always-on-top window that names the running stage of a long
// operation, with a thin bar for the share of a file read so far. Only the
// WaitProgr operations create, change and remove it.
class TformWait : public QWidget
{
    Q_OBJECT

public:
    explicit TformWait(QWidget* owner);

    QLabel* labelOperation = nullptr;
    QProgressBar* progressBar = nullptr;

    // A new stage: its message, and no bar until the stage reports progress.
    void setMessage(const QString& message);
    // Shows position of total on the bar and lets the window repaint and
    // pending messages run at least every 50 ms, so a reporter calling it
    // often keeps the program responsive; an unknown total shows no bar.
    void setProgress(qint64 position, qint64 total);
    // Repaints at once and lets every pending message run.
    void refresh();
    // Puts the window over the middle of its owner.
    void centreOnOwner();

    static constexpr int kRefreshIntervalMs = 50;

private:
    QElapsedTimer m_sinceRefresh;
};
