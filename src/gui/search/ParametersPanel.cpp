#include "ParametersPanel.h"

#include "core/storage/SettingsRecord.h"
#include "core/text/RegionalFormats.h"

#include <QGridLayout>
#include <QLabel>

namespace {
const QSize kPhoneSize(133, 57);
}

ParametersPanel::ParametersPanel(SettingsRecord& settings, QWidget* parent)
    : QGroupBox(tr(" Параметры "), parent), m_settings(settings)
{
    setObjectName(QStringLiteral("GroupBoxParameters"));
    m_priceDate = addValue(Tables::SettingsField::PRICE_DATE);
    m_rateUsd = addValue(Tables::SettingsField::RATE_USD);
    m_rateEuro = addValue(Tables::SettingsField::RATE_EURO);
    m_suppPhone = addValue(Tables::SettingsField::SUPP_PHONE);
    m_suppPhone->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_suppPhone->setWordWrap(true);
    m_suppPhone->setFixedSize(kPhoneSize);

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(8, 6, 8, 6);
    layout->setVerticalSpacing(4);
    layout->setColumnStretch(1, 1);
    int row = 0;
    for (auto [caption, value] :
         {std::pair{QT_TR_NOOP("Обновление"), m_priceDate}, std::pair{QT_TR_NOOP("Курс USD"), m_rateUsd},
          std::pair{QT_TR_NOOP("Курс EUR"), m_rateEuro}}) {
        layout->addWidget(new QLabel(tr(caption), this), row, 0);
        layout->addWidget(value, row++, 1, Qt::AlignRight);
    }
    layout->addWidget(new QLabel(tr("Телефон/Факс"), this), row++, 0, 1, 2);
    layout->addWidget(m_suppPhone, row++, 0, 1, 2, Qt::AlignLeft | Qt::AlignTop);
    layout->setRowStretch(row, 1);

    connect(&m_settings, &SettingsRecord::valuesChanged, this, &ParametersPanel::refresh);
    refresh();
}

QLabel* ParametersPanel::addValue(Tables::SettingsField column)
{
    auto* label = new QLabel(this);
    label->setObjectName(QLatin1String(Tables::settingsColumn(column).name));
    // The supplier's texts are shown as typed, never as markup.
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

void ParametersPanel::refresh()
{
    // A closed record has no values, so every field shows empty.
    m_priceDate->setText(
        RegionalFormats::formatDate(m_settings.dateValue(Tables::SettingsField::PRICE_DATE)));
    m_rateUsd->setText(RegionalFormats::formatMoney(m_settings.value(Tables::SettingsField::RATE_USD)));
    m_rateEuro->setText(RegionalFormats::formatMoney(m_settings.value(Tables::SettingsField::RATE_EURO)));
    m_suppPhone->setText(m_settings.value(Tables::SettingsField::SUPP_PHONE).toString());
}
