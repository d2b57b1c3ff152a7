#pragma once

#include "core/storage/Tables.h"

#include <QGroupBox>

class QLabel;
class SettingsRecord;

// The read-only view of the settings record beside the search: date of the
// last price list update, the two exchange rates and the supplier's phone.
// It follows the record's changes at once.
class ParametersPanel : public QGroupBox
{
    Q_OBJECT

public:
    explicit ParametersPanel(SettingsRecord& settings, QWidget* parent = nullptr);

private:
    void refresh();
    QLabel* addValue(Tables::SettingsField column);

    SettingsRecord& m_settings;
    QLabel* m_priceDate;
    QLabel* m_rateUsd;
    QLabel* m_rateEuro;
    QLabel* m_suppPhone;
};
