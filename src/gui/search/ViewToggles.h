#pragma once

#include <QObject>
#include <QString>
#include <QVector>

class ActionManager;
class IniFile;
class QAction;
class QHeaderView;
class QWidget;

// The thirteen view commands: the input price, dollar and euro prices and
// the nine warehouses show or hide the grid column at a fixed position
// (whichever column the clerk dragged there), the last one the parameters
// group. Their states are kept in the configuration file. After them the
// change column's command, which shows or hides that column wherever it
// stands; its key is written only once it was on, so until the clerk turns
// it on the file stays as the thirteen leave it.
class ViewToggles : public QObject
{
    Q_OBJECT

public:
    ViewToggles(ActionManager& actions, QHeaderView* columns, QWidget* parameters);

    // A stored "1" checks the command and shows its target; anything else,
    // or no value at all, leaves it unchecked and hidden.
    void RestoreViewToggles(const IniFile& ini);
    void SaveViewToggles(IniFile& ini) const;

private:
    struct Toggle
    {
        QAction* action;
        QString key;
        int position;          // -1: the parameters group
        bool addition = false; // position is the column itself; saved once on
    };

    void add(QAction* action, const QString& key, int position, bool addition = false);
    // Every toggle's execute handler: the command has already flipped its
    // checked state; its target follows.
    void execute(const Toggle& toggle);

    QHeaderView* m_columns;
    QWidget* m_parameters;
    QVector<Toggle> m_toggles;
};
