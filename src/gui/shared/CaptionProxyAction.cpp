#include "CaptionProxyAction.h"

CaptionProxyAction::CaptionProxyAction(QAction* command, const QString& caption, QObject* parent)
    : QAction(caption, parent), m_command(command)
{
    setObjectName(command->objectName() + QStringLiteral("Menu"));
    setCheckable(command->isCheckable());
    setIcon(command->icon());
    mirror();
    connect(command, &QAction::changed, this, &CaptionProxyAction::mirror);
    connect(this, &QAction::triggered, this, [this] {
        m_command->trigger();
        // Choosing this item toggled its own check mark; the command decides.
        mirror();
    });
}

void CaptionProxyAction::mirror()
{
    setChecked(m_command->isChecked());
    setEnabled(m_command->isEnabled());
    setVisible(m_command->isVisible());
}
