#include "TFormMain.h"

#include "app/MessageBoxes.h"
#include "common/RegionalFormats.h"

#include <QAction>
#include <QCloseEvent>
#include <QMenuBar>

TFormMain::TFormMain(const QString& programDir, QWidget* parent) : QMainWindow(parent), m_session(programDir)
{
    setObjectName(QStringLiteral("FormMain"));
    setWindowTitle(QStringLiteral("Клиент Velmora - Tardesk"));
    resize(910, 634);

    actionExitProgramm = new QAction(QStringLiteral("Выход"), this);
    actionExitProgramm->setObjectName(QStringLiteral("actionExitProgramm"));
    connect(actionExitProgramm, &QAction::triggered, this, &TFormMain::actionExitProgrammExecute);
    menuBar()->addMenu(QStringLiteral("Операции"))->addAction(actionExitProgramm);

    FormCreate();
}

void TFormMain::FormCreate()
{
    Initialized = false;
    RegionalFormats::freeze();
    MessageBoxes::guard(this, [this] {
        m_session.openIniFile();
        m_session.openDatabase();
        Initialized = true;
    });
}

void TFormMain::actionExitProgrammExecute()
{
    m_session.settings().close();
    m_session.database().close();
    if (!close()) {
        // The configuration could not be saved and the window stays open:
        // give the clerk a working client back.
        MessageBoxes::guard(this, [this] { m_session.reopenDatabase(); });
    }
}

bool TFormMain::FormClose()
{
    return MessageBoxes::guard(this, [this] {
        if (IniFile* ini = m_session.iniFile())
            ini->UpdateFile();
    });
}

void TFormMain::closeEvent(QCloseEvent* event)
{
    if (Initialized && !FormClose()) {
        event->ignore();
        return;
    }
    event->accept();
}
