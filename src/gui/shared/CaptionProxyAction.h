#pragma once

#include <QAction>

// A menu item that shows its own caption for another command: choosing it
// runs that command, and it mirrors the command's checked, enabled and
// visible states, so both places always show the same.
class CaptionProxyAction : public QAction
{
    Q_OBJECT

public:
    CaptionProxyAction(QAction* command, const QString& caption, QObject* parent);

private:
    void mirror();

    QAction* m_command;
};
