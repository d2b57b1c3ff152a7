#include "TFormSetup.h"

#include "core/storage/SettingsRecord.h"
#include "core/storage/Tables.h"
#include "gui/setup/RateValidator.h"
#include "gui/setup/SettingsFieldEdit.h"
#include "gui/shared/MessageBoxes.h"

#include <QAction>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QToolBar>

namespace {

constexpr int kGroupLeft = 12;
constexpr int kGroupWidth = 481;
constexpr int kLineTop = 22;
constexpr int kLineStep = 24;
constexpr int kLineHeight = 22;
constexpr int kLabelLeft = 12;
constexpr int kFieldWidth = 330;
constexpr int kFieldLeft = kGroupWidth - 12 - kFieldWidth;
constexpr int kIdWidth = 45;
constexpr int kRateWidth = 65;

// The freedesktop name, then its symbolic variant, then the style's own icon.
QIcon themedIcon(const QString& name, QStyle::StandardPixmap fallback, const QStyle* style)
{
    if (QIcon::hasThemeIcon(name))
        return QIcon::fromTheme(name);
    const QString symbolic = name + QStringLiteral("-symbolic");
    if (QIcon::hasThemeIcon(symbolic))
        return QIcon::fromTheme(symbolic);
    return style->standardIcon(fallback);
}

} // namespace

TFormSetup::TFormSetup(SettingsRecord& settings, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_settings(settings)
{
    setObjectName(QStringLiteral("FormSetup"));
    setWindowTitle(tr("Настройка"));
    setFixedSize(507, 403);
    // The dialog's layout was drawn for an 8-point font.
    QFont small = font();
    small.setPointSize(8);
    setFont(small);

    auto* toolBar = new QToolBar(this);
    toolBar->setObjectName(QStringLiteral("ActionToolBarSetup"));
    toolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    toolBar->setIconSize(QSize(16, 16));
    toolBar->setGeometry(0, 0, width(), 40);
    DataSetSetupEdit = addCommand(tr("Изменить"), QStringLiteral("document-edit"), QStyle::SP_FileIcon);
    DataSetSetupPost =
        addCommand(tr("Сохранить"), QStringLiteral("document-save"), QStyle::SP_DialogSaveButton);
    DataSetSetupCancel =
        addCommand(tr("Отменить"), QStringLiteral("document-revert"), QStyle::SP_DialogResetButton);
    DataSetSetupEdit->setObjectName(QStringLiteral("DataSetSetupEdit"));
    DataSetSetupPost->setObjectName(QStringLiteral("DataSetSetupPost"));
    DataSetSetupCancel->setObjectName(QStringLiteral("DataSetSetupCancel"));
    for (QAction* action : {DataSetSetupEdit, DataSetSetupPost, DataSetSetupCancel}) {
        toolBar->addAction(action);
        // Wider only where the system font needs it, so a caption is never cut.
        QWidget* button = toolBar->widgetForAction(action);
        button->setMinimumSize(60, 36);
        button->setMaximumHeight(36);
    }
    connect(DataSetSetupEdit, &QAction::triggered, this, &TFormSetup::DataSetSetupEditExecute);
    connect(DataSetSetupPost, &QAction::triggered, this, &TFormSetup::DataSetSetupPostExecute);
    connect(DataSetSetupCancel, &QAction::triggered, this, &TFormSetup::DataSetSetupCancelExecute);

    QGroupBox* client = addGroup(tr(" Клиент "), 48, 129);
    addField(client, tr("Код"), Tables::SettingsField::CL_ID, 0)->setFixedWidth(kIdWidth);
    addField(client, tr("Наименование"), Tables::SettingsField::CL_NAME, 1);
    addField(client, tr("Адрес"), Tables::SettingsField::CL_ADDRESS, 2);
    addField(client, tr("Электронная почта"), Tables::SettingsField::CL_EMAIL, 3);

    QGroupBox* supplier = addGroup(tr(" Поставщик "), 185, 129);
    addField(supplier, tr("Наименование"), Tables::SettingsField::SUPP_NAME, 0);
    addField(supplier, tr("Адрес"), Tables::SettingsField::SUPP_ADRES, 1);
    addField(supplier, tr("Телефон/Факс"), Tables::SettingsField::SUPP_PHONE, 2);
    addField(supplier, tr("Электронная почта"), Tables::SettingsField::SUPP_EMAIL, 3);

    QGroupBox* program = addGroup(tr(" Программа "), 322, 57);
    addRateField(program, tr("Курс розницы в USD"), Tables::SettingsField::RATE_USD, kLabelLeft);
    addRateField(program, tr("Курс розницы в EUR"), Tables::SettingsField::RATE_EURO, 250);

    connect(&m_settings, &SettingsRecord::stateChanged, this, &TFormSetup::updateCommands);
    updateCommands();
}

QAction* TFormSetup::addCommand(const QString& caption, const QString& iconName,
                                QStyle::StandardPixmap fallback)
{
    return new QAction(themedIcon(iconName, fallback, style()), caption, this);
}

QGroupBox* TFormSetup::addGroup(const QString& title, int top, int height)
{
    auto* group = new QGroupBox(title, this);
    group->setGeometry(kGroupLeft, top, kGroupWidth, height);
    return group;
}

SettingsFieldEdit* TFormSetup::addField(QGroupBox* group, const QString& label, Tables::SettingsField column,
                                        int line)
{
    const int top = kLineTop + line * kLineStep;
    auto* caption = new QLabel(label, group);
    caption->setGeometry(kLabelLeft, top, kFieldLeft - kLabelLeft, kLineHeight);
    auto* field = new SettingsFieldEdit(m_settings, column, group);
    field->setGeometry(kFieldLeft, top, kFieldWidth, kLineHeight);
    field->setMaxLength(Tables::settingsColumn(column).length);
    m_fields.push_back(field);
    return field;
}

SettingsFieldEdit* TFormSetup::addRateField(QGroupBox* group, const QString& label,
                                            Tables::SettingsField column, int left)
{
    auto* caption = new QLabel(label, group);
    caption->setGeometry(left, kLineTop, 150, kLineHeight);
    auto* field = new SettingsFieldEdit(m_settings, column, group);
    field->setGeometry(left + 150, kLineTop, kRateWidth, kLineHeight);
    field->setValidator(new RateValidator(field));
    m_fields.push_back(field);
    return field;
}

void TFormSetup::updateCommands()
{
    // SQLite tables opened by the client are always editable.
    const bool open = m_settings.isOpen();
    DataSetSetupEdit->setEnabled(open && !m_settings.isEditing());
    DataSetSetupPost->setEnabled(open && m_settings.isEditing());
    DataSetSetupCancel->setEnabled(open && m_settings.isEditing());
}

void TFormSetup::showModalIfHidden()
{
    if (isVisible())
        return;
    exec();
}

void TFormSetup::DataSetSetupEditExecute()
{
    MessageBoxes::guard(this, [this] { m_settings.edit(); });
}

void TFormSetup::DataSetSetupPostExecute()
{
    // The toolbar does not take the focus, so the field being typed in is
    // written first; a refused text leaves the focus there and saves nothing.
    MessageBoxes::guard(this, [this] {
        for (SettingsFieldEdit* field : m_fields)
            field->writeToRecord();
        m_settings.post();
    });
}

void TFormSetup::DataSetSetupCancelExecute()
{
    MessageBoxes::guard(this, [this] { m_settings.cancel(); });
}

void TFormSetup::keyPressEvent(QKeyEvent* event)
{
    // The dialog has no Cancel button: only its close box closes it.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TFormSetup::showEvent(QShowEvent* event)
{
    if (QWidget* owner = parentWidget()) {
        QRect frame = frameGeometry();
        frame.moveCenter(owner->window()->frameGeometry().center());
        move(frame.topLeft());
    }
    QDialog::showEvent(event);
}
