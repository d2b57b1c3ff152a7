#pragma once

#include "core/storage/Tables.h"

#include <QDialog>
#include <QStyle>

#include <vector>

class QAction;
class QGroupBox;
class SettingsFieldEdit;
class SettingsRecord;

// The settings dialog: edits the one settings record in place, so the main
// window follows every written field. It holds no data of its own; it is
// created hidden at start and kept for the whole run.
class TFormSetup : public QDialog
{
    Q_OBJECT

public:
    TFormSetup(SettingsRecord& settings, QWidget* parent);

    // The settings command: shows the dialog modally and waits until it is
    // closed; does nothing while it is visible.
    void showModalIfHidden();

    QAction* DataSetSetupEdit = nullptr;
    QAction* DataSetSetupPost = nullptr;
    QAction* DataSetSetupCancel = nullptr;

    void DataSetSetupEditExecute();
    void DataSetSetupPostExecute();
    void DataSetSetupCancelExecute();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QAction* addCommand(const QString& caption, const QString& iconName, QStyle::StandardPixmap fallback);
    QGroupBox* addGroup(const QString& title, int top, int height);
    SettingsFieldEdit* addField(QGroupBox* group, const QString& label, Tables::SettingsField column,
                                int line);
    SettingsFieldEdit* addRateField(QGroupBox* group, const QString& label, Tables::SettingsField column,
                                    int left);
    void updateCommands();

    SettingsRecord& m_settings;
    std::vector<SettingsFieldEdit*> m_fields;
};
