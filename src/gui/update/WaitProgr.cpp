#include "WaitProgr.h"

#include "core/errors/Error.h"
#include "gui/update/TformWait.h"

#include <QPointer>
#include <QWidget>

namespace {

QPointer<QWidget> owner;

} // namespace

namespace WaitProgr {

void setOwner(QWidget* mainWindow)
{
    owner = mainWindow;
}

TformWait* waitForm()
{
    if (!owner)
        return nullptr;
    return owner->findChild<TformWait*>(QStringLiteral("formWait"), Qt::FindDirectChildrenOnly);
}

void ShowWaitForm(const QString& message)
{
    TformWait* form = waitForm();
    if (!form) {
        if (!owner)
            throw Error(QStringLiteral("The progress window has no owner"));
        form = new TformWait(owner);
        form->show();
        // After show, when the frame's size is known.
        form->centreOnOwner();
    }
    form->setMessage(message);
    form->refresh();
}

void SetWaitMessage(const QString& message)
{
    if (TformWait* form = waitForm()) {
        form->setMessage(message);
        form->refresh();
    }
}

void HideWaitForm()
{
    TformWait* form = waitForm();
    if (!form)
        return;
    form->unsetCursor();
    form->repaint();
    form->hide();
    // Destroyed at once, not later, so the next ShowWaitForm makes a new one.
    delete form;
}

} // namespace WaitProgr
