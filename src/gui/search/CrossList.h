#pragma once

#include "core/search/TypeAhead.h"

#include <QElapsedTimer>
#include <QListWidget>

// The list of cross numbers. It reports every choice of a line, by mouse
// or keyboard, also when the chosen line was already the selected one, and
// selects lines by typing the beginning of their text.
class CrossList : public QListWidget
{
    Q_OBJECT

public:
    explicit CrossList(QWidget* parent = nullptr);

    void setLines(const QStringList& lines);
    QStringList lines() const;

signals:
    void lineChosen();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    void choose(int line);

    TypeAhead m_typeAhead;
    QElapsedTimer m_clock;
};
