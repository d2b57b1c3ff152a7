#pragma once

#include <QString>

class QWidget;
class TformWait;

// The progress operations of long commands. The one window belongs to the
// main window, registered once with setOwner, and is found again among its
// children by the name "formWait".
namespace WaitProgr {

void setOwner(QWidget* mainWindow);

// Shows the window with message, creating it if needed, and lets pending
// messages run so the change is visible before the caller's next slow step.
void ShowWaitForm(const QString& message);
// Changes the message of the window if it exists; otherwise does nothing.
void SetWaitMessage(const QString& message);
// Removes the window if it exists; otherwise does nothing.
void HideWaitForm();

// The window while it exists, for connecting a progress reporter.
TformWait* waitForm();

} // namespace WaitProgr
