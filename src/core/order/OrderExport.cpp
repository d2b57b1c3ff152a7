#include "OrderExport.h"

#include "core/errors/Error.h"
#include "core/order/OrderSheet.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>

#include <xlsxwriter.h>

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstring>

namespace {

QString suffixOf(const QString& fileName)
{
    return QFileInfo(fileName).suffix().toLower();
}

QString csvField(const QString& text)
{
    if (!text.contains(QLatin1Char(';')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    QString escaped = text;
    escaped.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

Error writeError(const QString& fileName, const QString& reason)
{
    return Error(QCoreApplication::translate("OrderExport", "Не удалось записать файл %1: %2")
                     .arg(QDir::toNativeSeparators(fileName), reason));
}

// libxlsxwriter prints numbers with the C library, which follows the locale:
// under a decimal-comma locale 80.5 went into the file as "80,5", which
// spreadsheets read as 80. This thread prints in the "C" numeric locale meanwhile.
class CNumericLocale
{
public:
    CNumericLocale() : m_locale(newlocale(LC_NUMERIC_MASK, "C", nullptr))
    {
        if (m_locale)
            m_previous = uselocale(m_locale);
    }
    ~CNumericLocale()
    {
        if (m_locale) {
            uselocale(m_previous);
            freelocale(m_locale);
        }
    }
    CNumericLocale(const CNumericLocale&) = delete;
    CNumericLocale& operator=(const CNumericLocale&) = delete;

private:
    locale_t m_locale;
    locale_t m_previous = nullptr;
};

} // namespace

bool OrderExport::isExportFileName(const QString& fileName)
{
    const QString suffix = suffixOf(fileName);
    return suffix == QLatin1String("xlsx") || suffix == QLatin1String("csv");
}

void OrderExport::save(const OrderSheet& sheet, const QString& fileName)
{
    if (suffixOf(fileName) == QLatin1String("csv"))
        saveCsv(sheet, fileName);
    else if (suffixOf(fileName) == QLatin1String("xlsx"))
        saveXlsx(sheet, fileName);
    else
        throw writeError(fileName, QCoreApplication::translate(
                                       "OrderExport", "имя файла должно оканчиваться на .xlsx или .csv"));
}

QByteArray OrderExport::csv(const OrderSheet& sheet)
{
    QString text;
    const auto addRow = [&text](const QStringList& fields) {
        QStringList quoted;
        for (const QString& field : fields)
            quoted << csvField(field);
        text += quoted.join(QLatin1Char(';')) + QLatin1String("\r\n");
    };
    addRow(sheet.titles());
    for (int row = 0; row < sheet.rowCount(); ++row) {
        QStringList fields;
        for (int column = 0; column < sheet.columnCount(); ++column)
            fields << sheet.text(row, column, QLatin1Char(','));
        addRow(fields);
    }
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

void OrderExport::saveCsv(const OrderSheet& sheet, const QString& fileName)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(csv(sheet)) < 0 || !file.commit())
        throw writeError(fileName, file.errorString());
}

void OrderExport::saveXlsx(const OrderSheet& sheet, const QString& fileName)
{
    // The library writes a path of its own choosing; a temporary file beside
    // the target is renamed over it only once complete.
    QTemporaryFile temporary(QFileInfo(fileName).absolutePath() + QStringLiteral("/.order-XXXXXX.xlsx"));
    if (!temporary.open())
        throw writeError(fileName, temporary.errorString());
    // Readable by others like any file the clerk saves, not private as a temporary file.
    temporary.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                             QFileDevice::ReadOther);
    const QByteArray path = QFile::encodeName(temporary.fileName());
    temporary.close();

    const CNumericLocale numbers;
    lxw_workbook* workbook = workbook_new(path.constData());
    if (!workbook)
        throw writeError(fileName, QCoreApplication::translate("OrderExport", "нет памяти"));
    lxw_worksheet* worksheet = workbook_add_worksheet(workbook, QStringLiteral("Заказ").toUtf8().constData());
    lxw_format* money = workbook_add_format(workbook);
    format_set_num_format(money, "0.00");
    lxw_format* bold = workbook_add_format(workbook);
    format_set_bold(bold);
    worksheet_set_column(worksheet, OrderSheet::PartNumber, OrderSheet::GroupCode, 16, nullptr);
    worksheet_set_column(worksheet, OrderSheet::PartName, OrderSheet::PartName, 40, nullptr);

    const QStringList titles = sheet.titles();
    for (int column = 0; column < titles.size(); ++column)
        worksheet_write_string(worksheet, 0, lxw_col_t(column), titles[column].toUtf8().constData(), bold);
    for (int row = 0; row < sheet.rowCount(); ++row) {
        const lxw_row_t at = lxw_row_t(row + 1);
        for (int column = 0; column < sheet.columnCount(); ++column) {
            const OrderSheet::Cell cell = sheet.cell(row, column);
            const lxw_col_t col = lxw_col_t(column);
            if (cell.kind == OrderSheet::Kind::Number)
                worksheet_write_number(worksheet, at, col, double(cell.value), nullptr);
            else if (cell.kind == OrderSheet::Kind::Money)
                worksheet_write_number(worksheet, at, col, double(cell.value) / 100, money);
            else if (!cell.text.isEmpty())
                worksheet_write_string(worksheet, at, col, cell.text.toUtf8().constData(), nullptr);
        }
    }
    const lxw_error status = workbook_close(workbook);
    if (status != LXW_NO_ERROR)
        throw writeError(fileName, QString::fromUtf8(lxw_strerror(status)));
    if (std::rename(path.constData(), QFile::encodeName(fileName).constData()) != 0)
        throw writeError(fileName, QString::fromLocal8Bit(std::strerror(errno)));
    // Renamed away: nothing is left for the temporary file to remove.
    temporary.setAutoRemove(false);
}
