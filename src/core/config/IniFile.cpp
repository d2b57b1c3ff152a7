#include "IniFile.h"

#include <algorithm>

#include "core/errors/Error.h"
#include "core/files/OpenRegularFile.h"
#include "core/text/CodePage.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace {

const QByteArray kUtf8Bom("\xEF\xBB\xBF");
const QByteArray kUtf16LEBom("\xFF\xFE");
const QByteArray kUtf16BEBom("\xFE\xFF");

bool hasLettersBeyondLatinAndCyrillic(QStringView text)
{
    for (const char32_t c : text.toUcs4()) {
        const QChar::Script script = QChar::script(c);
        if (QChar::isLetter(c) && script != QChar::Script_Latin && script != QChar::Script_Cyrillic)
            return true;
    }
    return false;
}

QStringConverter::Encoding utf16(IniFile::Encoding encoding)
{
    return encoding == IniFile::Encoding::Utf16LE ? QStringConverter::Utf16LE : QStringConverter::Utf16BE;
}

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Blanks and control characters, as the old configuration reader trimmed them.
QString trimmed(QStringView text)
{
    qsizetype begin = 0, end = text.size();
    while (begin < end && text[begin].unicode() <= ' ')
        ++begin;
    while (end > begin && text[end - 1].unicode() <= ' ')
        --end;
    return text.mid(begin, end - begin).toString();
}

int hexDigit(QChar ch)
{
    const char16_t c = ch.unicode();
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

QString IniFile::clientFileName(const QString& programDir)
{
    return QDir(programDir).filePath(QStringLiteral("Tardesk.ini"));
}

IniFile::IniFile(const QString& fileName) : m_fileName(fileName)
{
    QFile file(fileName);
    if (!file.exists())
        return;
    if (const QString why = openRegularFile(file); !why.isEmpty())
        throw Error(QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, why));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw Error(QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, file.errorString()));
    load(decode(bytes));
}

QString IniFile::decode(QByteArrayView bytes)
{
    if (bytes.startsWith(kUtf16LEBom) || bytes.startsWith(kUtf16BEBom)) {
        m_encoding = bytes.startsWith(kUtf16LEBom) ? Encoding::Utf16LE : Encoding::Utf16BE;
        QStringDecoder decoder(utf16(m_encoding), QStringConverter::Flag::Stateless);
        const QString text = decoder.decode(bytes.sliced(kUtf16LEBom.size()));
        // A NUL character ends the text; left() of -1 is the whole text.
        return text.left(text.indexOf(QChar(0)));
    }
    const qsizetype nul = bytes.indexOf('\0');
    if (nul >= 0)
        bytes = bytes.first(nul);
    if (bytes.startsWith(kUtf8Bom)) {
        m_byteOrderMark = true;
        bytes = bytes.sliced(kUtf8Bom.size());
    }
    if (CodePage::isValidUtf8(bytes)) {
        const QString text = CodePage::decode(CodePage::Utf8, bytes);
        if (m_byteOrderMark || !hasLettersBeyondLatinAndCyrillic(text)) {
            m_encoding = Encoding::Utf8;
            return text;
        }
    }
    m_encoding = Encoding::Windows1251;
    return CodePage::decode(CodePage::Windows1251, bytes);
}

void IniFile::load(const QString& content)
{
    Section* current = nullptr;
    qsizetype pos = 0;
    while (pos <= content.size()) {
        qsizetype end = pos;
        while (end < content.size() && content[end] != QLatin1Char('\r') && content[end] != QLatin1Char('\n'))
            ++end;
        const QString line = trimmed(QStringView(content).mid(pos, end - pos));
        if (end < content.size() && content[end] == QLatin1Char('\r') && end + 1 < content.size() &&
            content[end + 1] == QLatin1Char('\n'))
            ++end;
        pos = end + 1;

        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            m_sections.push_back(Section{trimmed(QStringView(line).mid(1, line.size() - 2)), {}});
            current = &m_sections.back();
            continue;
        }
        if (!current)
            continue;
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals < 0)
            current->entries.push_back(Entry{line, QString(), false});
        else
            current->entries.push_back(Entry{trimmed(QStringView(line).left(equals)),
                                             trimmed(QStringView(line).mid(equals + 1)), true});
    }
}

const IniFile::Section* IniFile::findSection(const QString& name) const
{
    for (const Section& section : m_sections)
        if (sameName(section.name, name))
            return &section;
    return nullptr;
}

IniFile::Section* IniFile::findSection(const QString& name)
{
    return const_cast<Section*>(static_cast<const IniFile*>(this)->findSection(name));
}

IniFile::Entry* IniFile::findEntry(Section& section, const QString& key)
{
    for (Entry& entry : section.entries)
        if (entry.hasValue && sameName(entry.key, key))
            return &entry;
    return nullptr;
}

QString IniFile::ReadString(const QString& section, const QString& key, const QString& defaultValue) const
{
    const Section* found = findSection(section);
    if (!found)
        return defaultValue;
    for (const Entry& entry : found->entries)
        if (entry.hasValue && sameName(entry.key, key))
            return entry.value;
    return defaultValue;
}

bool IniFile::hasKey(const QString& section, const QString& key) const
{
    const Section* found = findSection(section);
    return found && std::any_of(found->entries.begin(), found->entries.end(), [&key](const Entry& entry) {
               return entry.hasValue && sameName(entry.key, key);
           });
}

bool IniFile::parseInteger(const QString& text, qint32* value)
{
    qsizetype i = 0;
    const qsizetype size = text.size();
    while (i < size && text[i] == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < size && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    bool hex = false;
    if (i < size &&
        (text[i] == QLatin1Char('$') || text[i] == QLatin1Char('x') || text[i] == QLatin1Char('X'))) {
        hex = true;
        ++i;
    } else if (i + 1 < size && text[i] == QLatin1Char('0') &&
               (text[i + 1] == QLatin1Char('x') || text[i + 1] == QLatin1Char('X'))) {
        hex = true;
        i += 2;
    }
    if (i == size)
        return false;

    quint64 magnitude = 0;
    if (hex) {
        if (size - i > 8)
            return false;
        for (; i < size; ++i) {
            const int digit = hexDigit(text[i]);
            if (digit < 0)
                return false;
            magnitude = magnitude * 16 + quint64(digit);
        }
        // Eight hexadecimal digits are a 32-bit pattern: FFFFFFFF is -1.
        const auto pattern = static_cast<quint32>(magnitude);
        *value = static_cast<qint32>(negative ? quint32(0) - pattern : pattern);
        return true;
    }
    for (; i < size; ++i) {
        const char16_t c = text[i].unicode();
        if (c < '0' || c > '9')
            return false;
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > quint64(1) << 31)
            return false;
    }
    if (!negative && magnitude > quint64(INT32_MAX))
        return false;
    *value = negative ? static_cast<qint32>(-static_cast<qint64>(magnitude)) : static_cast<qint32>(magnitude);
    return true;
}

bool IniFile::ReadBool(const QString& section, const QString& key, bool defaultValue) const
{
    qint32 value = 0;
    if (!parseInteger(ReadString(section, key, QString()), &value))
        return defaultValue;
    return value != 0;
}

void IniFile::WriteString(const QString& section, const QString& key, const QString& value)
{
    Section* target = findSection(section);
    if (!target) {
        m_sections.push_back(Section{section, {}});
        target = &m_sections.back();
    }
    if (Entry* entry = findEntry(*target, key)) {
        entry->key = key;
        entry->value = value;
    } else {
        target->entries.push_back(Entry{key, value, true});
    }
}

void IniFile::WriteBool(const QString& section, const QString& key, bool value)
{
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

QString IniFile::text() const
{
    const QLatin1String lineEnd("\r\n");
    QString out;
    for (const Section& section : m_sections) {
        out += QLatin1Char('[') + section.name + QLatin1Char(']') + lineEnd;
        for (const Entry& entry : section.entries) {
            if (entry.hasValue)
                out += entry.key + QLatin1Char('=') + entry.value + lineEnd;
            else
                out += entry.key + lineEnd;
        }
        out += lineEnd;
    }
    return out;
}

QByteArray IniFile::encoded() const
{
    const QString content = text();
    switch (m_encoding) {
    case Encoding::Utf16LE:
    case Encoding::Utf16BE: {
        QStringEncoder encoder(utf16(m_encoding), QStringConverter::Flag::Stateless);
        return (m_encoding == Encoding::Utf16LE ? kUtf16LEBom : kUtf16BEBom) +
               QByteArray(encoder.encode(content));
    }
    case Encoding::Windows1251: {
        // A character 1251 lacks would turn into "?" for good; 1251 bytes the
        // next run takes for UTF-8 would change ("ВІ" is C2 B2, "²") once the
        // text that told them apart is gone.
        const QByteArray bytes = CodePage::encode(CodePage::Windows1251, content);
        const bool readAsUtf8 =
            CodePage::isValidUtf8(bytes) &&
            (m_byteOrderMark || !hasLettersBeyondLatinAndCyrillic(CodePage::decode(CodePage::Utf8, bytes)));
        if (CodePage::canEncode(CodePage::Windows1251, content) && !readAsUtf8)
            return (m_byteOrderMark ? kUtf8Bom : QByteArray()) + bytes;
        break;
    }
    case Encoding::Utf8:
        break;
    }
    // With the mark whenever the next run would not read it as UTF-8 without it.
    const bool mark = m_byteOrderMark || hasLettersBeyondLatinAndCyrillic(content);
    return (mark ? kUtf8Bom : QByteArray()) + content.toUtf8();
}

void IniFile::UpdateFile() const
{
    const QByteArray bytes = encoded();

    // Written beside the file and renamed over it, so a crash or a full disk
    // never leaves a truncated configuration behind. QSaveFile keeps the
    // file's permissions, writes through a symlink to its target, and falls
    // back to writing in place where no temporary file can be made.
    QSaveFile file(m_fileName);
    file.setDirectWriteFallback(true);
    const auto fail = [&] {
        // Rights the clerk lacks are said in the clerk's words; anything
        // else in the system's.
        const QFileInfo info(m_fileName);
        if (!QFileInfo(info.absolutePath()).isWritable() && (!info.exists() || !info.isWritable()))
            throw Error(QCoreApplication::translate("IniFile",
                                                    "Не удалось сохранить файл %1. Папка программы "
                                                    "недоступна для записи: %2")
                            .arg(QDir::toNativeSeparators(info.absoluteFilePath()),
                                 QDir::toNativeSeparators(info.absolutePath())));
        throw Error(QStringLiteral("Cannot create file \"%1\". %2").arg(m_fileName, file.errorString()));
    };
    if (!file.open(QIODevice::WriteOnly))
        fail();
    // The buffer goes to disk in flush(), and commit() would not see that
    // fail: on a full disk the clerk's file was replaced by a truncated one.
    if (file.write(bytes) != bytes.size() || !file.flush())
        fail();
    if (!file.commit())
        fail();
}
