#include "ViewToggles.h"

#include "core/config/IniFile.h"
#include "core/search/PriceGridColumns.h"
#include "core/search/ShownColumns.h"
#include "gui/shared/ActionManager.h"

#include <QAction>
#include <QHeaderView>

ViewToggles::ViewToggles(ActionManager& actions, QHeaderView* columns, QWidget* parameters)
    : QObject(&actions), m_columns(columns), m_parameters(parameters)
{
    add(actions.actionPriceVhodView, ShownColumns::vhodKey(), PriceGridColumns::Vhod);
    add(actions.ActionPriceUSView, ShownColumns::usdKey(), PriceGridColumns::PriceUsd);
    add(actions.ActionPriceEUView, ShownColumns::eurKey(), PriceGridColumns::PriceEur);
    for (int w = 0; w < Tables::kWarehouseCount; ++w)
        add(actions.actionPriceFieldWH[size_t(w)], ShownColumns::warehouseKey(w),
            PriceGridColumns::FirstWarehouse + w);
    add(actions.ActionParametersView, QStringLiteral("ShowParameters"), -1);
    add(actions.actionPriceChangeView, QStringLiteral("ShowChange"), PriceGridColumns::kChange, true);
    for (const Toggle& toggle : std::as_const(m_toggles))
        connect(toggle.action, &QAction::triggered, this, [this, toggle] { execute(toggle); });
}

void ViewToggles::add(QAction* action, const QString& key, int position, bool addition)
{
    m_toggles.append(Toggle{action, key, position, addition});
}

void ViewToggles::execute(const Toggle& toggle)
{
    const bool shown = toggle.action->isChecked();
    if (toggle.position < 0)
        m_parameters->setVisible(shown);
    else
        m_columns->setSectionHidden(
            toggle.addition ? toggle.position : m_columns->logicalIndex(toggle.position), !shown);
}

void ViewToggles::RestoreViewToggles(const IniFile& ini)
{
    // Set to the opposite and run the command, which flips it back and
    // brings its target along.
    for (const Toggle& toggle : std::as_const(m_toggles)) {
        toggle.action->setChecked(!ini.ReadBool(ShownColumns::section(), toggle.key, false));
        toggle.action->trigger();
    }
}

void ViewToggles::SaveViewToggles(IniFile& ini) const
{
    for (const Toggle& toggle : std::as_const(m_toggles))
        if (!toggle.addition || toggle.action->isChecked() || ini.hasKey(ShownColumns::section(), toggle.key))
            ini.WriteBool(ShownColumns::section(), toggle.key, toggle.action->isChecked());
}
