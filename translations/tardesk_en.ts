<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ru">
<context>
    <name>ActionManager</name>
    <message>
        <source>Операции</source>
        <translation>Operations</translation>
    </message>
    <message>
        <source>Правка</source>
        <translation>Edit</translation>
    </message>
    <message>
        <source>Вид</source>
        <translation>View</translation>
    </message>
    <message>
        <source>Склад</source>
        <translation>Warehouse</translation>
    </message>
    <message>
        <source>Документы</source>
        <translation>Documents</translation>
    </message>
    <message>
        <source>Обновление</source>
        <translation>Update</translation>
    </message>
    <message>
        <source>Настройки</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>Выход</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>Отменить</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>Вырезать</source>
        <translation>Cut</translation>
    </message>
    <message>
        <source>Копировать</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>Вставить</source>
        <translation>Paste</translation>
    </message>
    <message>
        <source>Выделить всё</source>
        <translation>Select all</translation>
    </message>
    <message>
        <source>Удалить</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>Входная цена</source>
        <translation>Input price</translation>
    </message>
    <message>
        <source>Розница USD</source>
        <translation>Retail USD</translation>
    </message>
    <message>
        <source>Розница &amp;USD</source>
        <translation>Retail &amp;USD</translation>
    </message>
    <message>
        <source>Розница EUR</source>
        <translation>Retail EUR</translation>
    </message>
    <message>
        <source>Розница &amp;EUR</source>
        <translation>Retail &amp;EUR</translation>
    </message>
    <message>
        <source>Склад №%1</source>
        <translation>Warehouse %1</translation>
    </message>
    <message>
        <source>Склад №&amp;%1</source>
        <translation>Warehouse &amp;%1</translation>
    </message>
    <message>
        <source>Параметры</source>
        <translation>Parameters</translation>
    </message>
    <message>
        <source>Изменение цены</source>
        <translation>Price change</translation>
    </message>
    <message>
        <source>В заказ</source>
        <translation>Add to order</translation>
    </message>
    <message>
        <source>Заказ поставщику…</source>
        <translation>Supplier order…</translation>
    </message>
    <message>
        <source>Предложение клиенту…</source>
        <translation>Customer quote…</translation>
    </message>
    <message>
        <source>Копировать таблицу</source>
        <translation>Copy table</translation>
    </message>
    <message>
        <source>Изменения прайса…</source>
        <translation>Price list changes…</translation>
    </message>
    <message>
        <source>Язык</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>Найти по названию…</source>
        <translation>Find by name…</translation>
    </message>
</context>
<context>
    <name>ClientSession</name>
    <message>
        <source>Ошибка открытия файла:
</source>
        <translation>Error opening file:
</translation>
    </message>
    <message>
        <source>
Продолжение работы невозможно.</source>
        <translation>
The program cannot go on.</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>не указана строка подключения после --server</source>
        <translation>no connection string after --server</translation>
    </message>
    <message>
        <source>после --lang нужен язык: ru, uk или en</source>
        <translation>after --lang a language is needed: ru, uk or en</translation>
    </message>
    <message>
        <source>неверная командная строка</source>
        <translation>wrong command line</translation>
    </message>
    <message>
        <source>неизвестный параметр %1</source>
        <translation>unknown option %1</translation>
    </message>
    <message>
        <source>лишний аргумент %1</source>
        <translation>unexpected argument %1</translation>
    </message>
    <message>
        <source>не указана папка после --folder</source>
        <translation>no folder after --folder</translation>
    </message>
    <message>
        <source>Использование: tardesk [--folder ПАПКА]
Поиск запчастей по номеру в прайс-листе поставщика.

  --folder ПАПКА  папка с Tardesk.ini, Tardesk.mdb, import.txt и importg.txt;
                  без него это папка программы, а у установленной в /usr
                  копии ~/.local/share/Tardesk (создаётся при первом запуске)
  --server СТРОКА прайс-лист, настройки и заказ в базе PostgreSQL по этой
                  строке подключения libpq вместо [Server] Connection
                  в Tardesk.ini; пароль не указывается, он в ~/.pgpass
  --lang ЯЗЫК     язык окон на этот запуск: ru, uk или en, а не выбранный
                  в меню «Вид → Язык» или язык системы
  -h, --help      показать эту справку
  --version       показать название и версию программы
</source>
        <translation>Usage: tardesk [--folder FOLDER]
Looks up parts by number in the supplier&apos;s price list.

  --folder FOLDER the folder with Tardesk.ini, Tardesk.mdb, import.txt and
                  importg.txt; without it the program&apos;s folder, or for a copy
                  installed in /usr ~/.local/share/Tardesk (made on first start)
  --server STRING the price list, settings and order in the PostgreSQL database
                  of this libpq connection string instead of [Server] Connection
                  in Tardesk.ini; no password here, it belongs in ~/.pgpass
  --lang LANGUAGE the window language for this run: ru, uk or en, instead of
                  the one chosen in &quot;View → Language&quot; or the system&apos;s
  -h, --help      show this help
  --version       show the program&apos;s name and version
</translation>
    </message>
    <message>
        <source>Использование: tardesk-admin КОМАНДА ПАПКА [НОМЕР]
Обслуживание папки программы Tardesk.

  init ПАПКА           создать пустые Tardesk.mdb и Tardesk.ini
  init ПАПКА --server СТРОКА
                       перенести магазин из ПАПКИ (её Tardesk.mdb, если
                       есть) в пустую базу PostgreSQL в UTF8 и записать
                       строку подключения в Tardesk.ini ПАПКИ
  connect ПАПКА СТРОКА проверить, что в базе есть таблицы магазина, и
                       записать строку в Tardesk.ini ПАПКИ (ещё одно
                       рабочее место)
  search ПАПКА НОМЕР   найти номер, как клиент (только чтение)
  find ПАПКА СЛОВА...  найти позиции по началам слов названия, как окно
                       «Поиск по названию», все, без ограничения
  compact ПАПКА        сжать Tardesk.mdb (не для магазина на сервере)
  update ПАПКА         загрузить прайс-лист из import.txt и importg.txt
  changes ПАПКА        изменения прайса при последнем обновлении
  order ПАПКА add НОМЕР КОЛИЧЕСТВО [ГРУППА]
                       добавить позицию в заказ поставщику
  order ПАПКА remove НОМЕР [ГРУППА]
                       убрать позицию из заказа
  order ПАПКА clear    очистить заказ
  order ПАПКА list     показать заказ
  order ПАПКА export ФАЙЛ.xlsx|ФАЙЛ.csv
                       сохранить заказ в файл
  quote ПАПКА НОМЕР ФАЙЛ.pdf
                       предложение клиенту по найденному номеру в PDF
  --server СТРОКА      в любом месте: магазин в базе PostgreSQL по этой
                       строке подключения libpq, а не в Tardesk.mdb
                       и не по [Server] Connection в Tardesk.ini;
                       пароль не указывается, он в ~/.pgpass
  --lang ЯЗЫК          в любом месте: язык сообщений, ru, uk или en,
                       а не язык системы
  -h, --help           показать эту справку
  --version            показать название и версию программы
</source>
        <translation>Usage: tardesk-admin COMMAND FOLDER [NUMBER]
Maintains a Tardesk program folder.

  init FOLDER          make an empty Tardesk.mdb and Tardesk.ini
  init FOLDER --server STRING
                       move the shop in FOLDER (its Tardesk.mdb, if
                       any) into an empty PostgreSQL database in UTF8 and
                       write the connection string into FOLDER&apos;s Tardesk.ini
  connect FOLDER STRING
                       check that the database holds the shop&apos;s tables and
                       write the string into FOLDER&apos;s Tardesk.ini (one
                       more workplace)
  search FOLDER NUMBER look a number up as the client does (read only)
  find FOLDER WORDS... find parts by the beginnings of the words of their
                       names, as the &quot;Search by name&quot; window does, all of them
  compact FOLDER       compact Tardesk.mdb (not for a shop on a server)
  update FOLDER        load the price list from import.txt and importg.txt
  changes FOLDER       the price changes of the last update
  order FOLDER add NUMBER QUANTITY [GROUP]
                       add an item to the supplier order
  order FOLDER remove NUMBER [GROUP]
                       take an item out of the order
  order FOLDER clear   clear the order
  order FOLDER list    show the order
  order FOLDER export FILE.xlsx|FILE.csv
                       save the order to a file
  quote FOLDER NUMBER FILE.pdf
                       a customer quote for the number found, in PDF
  --server STRING      anywhere: the shop in the PostgreSQL database of
                       this libpq connection string, not in Tardesk.mdb
                       nor by [Server] Connection in Tardesk.ini;
                       no password here, it belongs in ~/.pgpass
  --lang LANGUAGE      anywhere: the language of the messages, ru, uk or
                       en, instead of the system&apos;s
  -h, --help           show this help
  --version            show the program&apos;s name and version
</translation>
    </message>
</context>
<context>
    <name>Database</name>
    <message>
        <source>%1. Папка программы недоступна для записи: %2</source>
        <translation>%1. The program folder cannot be written: %2</translation>
    </message>
    <message>
        <source>%1. Файл недоступен для записи: %2</source>
        <translation>%1. The file cannot be written: %2</translation>
    </message>
</context>
<context>
    <name>DatabaseCompactor</name>
    <message>
        <source>Не удалось удалить %1: %2</source>
        <translation>Could not delete %1: %2</translation>
    </message>
    <message>
        <source>Сжатие базы данных с паролем невозможно: файл базы данных не шифруется.</source>
        <translation>A database with a password cannot be compacted: the database file is not encrypted.</translation>
    </message>
    <message>
        <source>Файл базы данных %1 не найден.</source>
        <translation>Database file %1 not found.</translation>
    </message>
</context>
<context>
    <name>DatabaseLock</name>
    <message>
        <source>База данных открыта другой копией программы. Закройте её и повторите операцию.</source>
        <translation>The database is open in another copy of the program. Close it and repeat the operation.</translation>
    </message>
    <message>
        <source>Не удалось открыть файл блокировки %1: это не обычный файл</source>
        <translation>Could not open lock file %1: it is not a regular file</translation>
    </message>
    <message>
        <source>Не удалось заблокировать файл %1: %2</source>
        <translation>Could not lock file %1: %2</translation>
    </message>
    <message>
        <source>Не удалось открыть файл блокировки %1: %2</source>
        <translation>Could not open lock file %1: %2</translation>
    </message>
</context>
<context>
    <name>DatabaseReplacement</name>
    <message>
        <source>Папка программы недоступна для записи: %1%2. Ничего не изменено.</source>
        <translation>The program folder cannot be written: %1%2. Nothing was changed.</translation>
    </message>
    <message>
        <source>Файл недоступен для записи: %1%2. Ничего не изменено.</source>
        <translation>The file cannot be written: %1%2. Nothing was changed.</translation>
    </message>
    <message>
        <source>Нет права записи в файл %1. Ничего не изменено.</source>
        <translation>No permission to write file %1. Nothing was changed.</translation>
    </message>
    <message>
        <source>Файл %1 занят: в него пишет другая программа. Закройте её и повторите операцию; ничего не изменено.</source>
        <translation>File %1 is busy: another program is writing to it. Close it and repeat the operation; nothing was changed.</translation>
    </message>
    <message>
        <source>Файл %1 занят: его читает другая программа. Закройте её и повторите операцию; ничего не изменено.</source>
        <translation>File %1 is busy: another program is reading it. Close it and repeat the operation; nothing was changed.</translation>
    </message>
    <message>
        <source>Файл %1 изменён другой программой во время операции. Повторите операцию; ничего не изменено.</source>
        <translation>File %1 was changed by another program during the operation. Repeat the operation; nothing was changed.</translation>
    </message>
</context>
<context>
    <name>Error</name>
    <message>
        <source>, раздел [%1]</source>
        <translation>, section [%1]</translation>
    </message>
    <message>
        <source>Файл %1, строка %2%3: %4</source>
        <translation>File %1, line %2%3: %4</translation>
    </message>
</context>
<context>
    <name>FindVerb</name>
    <message>
        <source>Поиск по названию недоступен: обновите прайс-лист (tardesk-admin update)</source>
        <translation>Search by name is not available: update the price list (tardesk-admin update)</translation>
    </message>
    <message>
        <source>Индексирование названий позиций…</source>
        <translation>Indexing the part names…</translation>
    </message>
</context>
<context>
    <name>IniFile</name>
    <message>
        <source>Не удалось сохранить файл %1. Папка программы недоступна для записи: %2</source>
        <translation>Could not save file %1. The program folder cannot be written: %2</translation>
    </message>
</context>
<context>
    <name>MessageBoxes</name>
    <message>
        <source>Клиент Velmora</source>
        <translation>Velmora Client</translation>
    </message>
    <message>
        <source>Confirm</source>
        <translation>Confirm</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>Information</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>&amp;Yes</source>
        <translation>&amp;Yes</translation>
    </message>
    <message>
        <source>&amp;No</source>
        <translation>&amp;No</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Да</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>Нет</source>
        <translation>No</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>NameSearchModel</name>
    <message>
        <source>Группа</source>
        <translation>Group</translation>
    </message>
    <message>
        <source>Наличие</source>
        <translation>In stock</translation>
    </message>
</context>
<context>
    <name>NameSearchWindow</name>
    <message>
        <source>Поиск по названию</source>
        <translation>Search by name</translation>
    </message>
    <message>
        <source>Поиск по названию недоступен: обновите прайс-лист</source>
        <translation>Search by name is not available: update the price list</translation>
    </message>
    <message>
        <source>Введите не менее двух букв или цифр</source>
        <translation>Type at least two letters or digits</translation>
    </message>
    <message>
        <source>Показаны первые %1 из %2</source>
        <translation>Showing the first %1 of %2</translation>
    </message>
    <message>
        <source>Найдено: %1</source>
        <translation>Found: %1</translation>
    </message>
    <message>
        <source>Построение указателя названий…</source>
        <translation>Building the index of names…</translation>
    </message>
    <message>
        <source>У позиции нет номера замены</source>
        <translation>The part has no cross number</translation>
    </message>
</context>
<context>
    <name>OpenRegularFile</name>
    <message>
        <source>это папка, а не файл</source>
        <translation>it is a folder, not a file</translation>
    </message>
    <message>
        <source>это именованный канал, а не обычный файл</source>
        <translation>it is a named pipe, not a regular file</translation>
    </message>
    <message>
        <source>это устройство, а не обычный файл</source>
        <translation>it is a device, not a regular file</translation>
    </message>
    <message>
        <source>это не обычный файл</source>
        <translation>it is not a regular file</translation>
    </message>
    <message>
        <source>Файл %1 не найден в папке %2</source>
        <translation>File %1 not found in folder %2</translation>
    </message>
    <message>
        <source>Файл %1 не удаётся открыть: %2</source>
        <translation>File %1 cannot be opened: %2</translation>
    </message>
</context>
<context>
    <name>OrderExport</name>
    <message>
        <source>Не удалось записать файл %1: %2</source>
        <translation>Could not write file %1: %2</translation>
    </message>
    <message>
        <source>имя файла должно оканчиваться на .xlsx или .csv</source>
        <translation>the file name must end in .xlsx or .csv</translation>
    </message>
    <message>
        <source>нет памяти</source>
        <translation>out of memory</translation>
    </message>
</context>
<context>
    <name>OrderMail</name>
    <message>
        <source>Не указан электронный адрес поставщика (Настройки)</source>
        <translation>The supplier&apos;s e-mail address is not set (Settings)</translation>
    </message>
    <message>
        <source>Заказ слишком длинный для письма (%1 знаков, можно до %2)</source>
        <translation>The order is too long for a mail (%1 characters, at most %2)</translation>
    </message>
</context>
<context>
    <name>OrderQuantity</name>
    <message>
        <source>недопустимо, можно от %1 до %2</source>
        <translation>is not allowed, it may be %1 to %2</translation>
    </message>
    <message>
        <source>Количество %1 </source>
        <translation>Quantity %1 </translation>
    </message>
    <message>
        <source>Позиция %1: количество %2 </source>
        <translation>Item %1: quantity %2 </translation>
    </message>
</context>
<context>
    <name>OrderSheet</name>
    <message>
        <source>Код товара</source>
        <translation>Part number</translation>
    </message>
    <message>
        <source>Группа</source>
        <translation>Group</translation>
    </message>
    <message>
        <source>Наименование</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Кол-во</source>
        <translation>Qty</translation>
    </message>
    <message>
        <source>Вход</source>
        <translation>Input</translation>
    </message>
    <message>
        <source>Сумма</source>
        <translation>Sum</translation>
    </message>
    <message>
        <source>Скл №%1</source>
        <translation>WH %1</translation>
    </message>
    <message>
        <source>снято</source>
        <translation>withdrawn</translation>
    </message>
    <message>
        <source>Итого</source>
        <translation>Total</translation>
    </message>
</context>
<context>
    <name>OrderVerb</name>
    <message>
        <source>Количество «%1» не целое число</source>
        <translation>Quantity &quot;%1&quot; is not a whole number</translation>
    </message>
    <message>
        <source>Позиции %1 нет в прайс-листе</source>
        <translation>Item %1 is not in the price list</translation>
    </message>
    <message>
        <source>Позиции %1 группы %2 нет в прайс-листе</source>
        <translation>Item %1 of group %2 is not in the price list</translation>
    </message>
    <message>
        <source>Номер %1 есть в нескольких группах: %2; укажите код группы</source>
        <translation>Number %1 is in several groups: %2; give the group code</translation>
    </message>
    <message>
        <source>Позиции %1 нет в заказе</source>
        <translation>Item %1 is not in the order</translation>
    </message>
    <message>
        <source>Номер %1 есть в заказе в нескольких группах: %2; укажите код группы</source>
        <translation>Number %1 is in the order in several groups: %2; give the group code</translation>
    </message>
</context>
<context>
    <name>OrderWindow</name>
    <message>
        <source>Заказ поставщику</source>
        <translation>Supplier order</translation>
    </message>
    <message>
        <source>Очистить</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>Сохранить…</source>
        <translation>Save…</translation>
    </message>
    <message>
        <source>Отправить поставщику</source>
        <translation>Send to supplier</translation>
    </message>
    <message>
        <source>%1: %2 шт., %3</source>
        <translation>%1: %2 pcs, %3</translation>
    </message>
    <message>
        <source>Очистить заказ?</source>
        <translation>Clear the order?</translation>
    </message>
    <message>
        <source>Сохранить заказ</source>
        <translation>Save order</translation>
    </message>
    <message>
        <source>Текст CSV, разделитель «;» (*.csv)</source>
        <translation>CSV text, separator &quot;;&quot; (*.csv)</translation>
    </message>
    <message>
        <source>Книга Excel (*.xlsx)</source>
        <translation>Excel workbook (*.xlsx)</translation>
    </message>
    <message>
        <source>Заказ %1</source>
        <translation>Order %1</translation>
    </message>
    <message>
        <source>Не удалось открыть почтовую программу</source>
        <translation>Could not open the mail program</translation>
    </message>
    <message>
        <source>.
Сохранить заказ в файл?</source>
        <translation>.
Save the order to a file?</translation>
    </message>
</context>
<context>
    <name>ParametersPanel</name>
    <message>
        <source> Параметры </source>
        <translation> Parameters </translation>
    </message>
    <message>
        <source>Обновление</source>
        <translation>Updated</translation>
    </message>
    <message>
        <source>Курс USD</source>
        <translation>USD rate</translation>
    </message>
    <message>
        <source>Курс EUR</source>
        <translation>EUR rate</translation>
    </message>
    <message>
        <source>Телефон/Факс</source>
        <translation>Phone/Fax</translation>
    </message>
</context>
<context>
    <name>PgConnection</name>
    <message>
        <source>Нет связи с сервером %1: %2</source>
        <translation>No connection to server %1: %2</translation>
    </message>
    <message>
        <source>Пароль в строке подключения не принимается: храните его в файле ~/.pgpass</source>
        <translation>A password in the connection string is not accepted: keep it in the file ~/.pgpass</translation>
    </message>
    <message>
        <source>соединение разорвано</source>
        <translation>connection lost</translation>
    </message>
    <message>
        <source>Сервер не отвечает: %1</source>
        <translation>The server does not answer: %1</translation>
    </message>
    <message>
        <source>Запрос к серверу %1 прерван</source>
        <translation>The request to server %1 was interrupted</translation>
    </message>
    <message>
        <source>Изменения не сохранены: транзакция отменена</source>
        <translation>Changes not saved: the transaction was rolled back</translation>
    </message>
</context>
<context>
    <name>PgNameIndex</name>
    <message>
        <source>Поиск по названию недоступен: обновите прайс-лист</source>
        <translation>Search by name is not available: update the price list</translation>
    </message>
    <message>
        <source>Построение указателя названий прервано</source>
        <translation>Building the index of names was interrupted</translation>
    </message>
</context>
<context>
    <name>PgOrderStorage</name>
    <message>
        <source>Строки уже нет в заказе: его изменили в другом окне</source>
        <translation>The line is no longer in the order: it was changed in another window</translation>
    </message>
    <message>
        <source>Позиция не добавлена в заказ</source>
        <translation>Item not added to the order</translation>
    </message>
    <message>
        <source>Количество не изменено</source>
        <translation>Quantity not changed</translation>
    </message>
    <message>
        <source>Строка не удалена из заказа</source>
        <translation>Line not removed from the order</translation>
    </message>
    <message>
        <source>Заказ не очищен</source>
        <translation>Order not cleared</translation>
    </message>
</context>
<context>
    <name>PgPriceCatalogue</name>
    <message>
        <source>Прайс-лист меняется: повторите поиск</source>
        <translation>The price list is changing: search again</translation>
    </message>
</context>
<context>
    <name>PgPriceListRebuild</name>
    <message>
        <source>Прайс-лист уже обновляется на другом рабочем месте; повторите после его конца</source>
        <translation>The price list is already being updated at another workplace; repeat when it has finished</translation>
    </message>
    <message>
        <source>Обновление прервано</source>
        <translation>Update interrupted</translation>
    </message>
</context>
<context>
    <name>PgSchema</name>
    <message>
        <source>База данных %1 в кодировке %2, а нужна UTF8</source>
        <translation>Database %1 is in encoding %2, but UTF8 is needed</translation>
    </message>
    <message>
        <source>В базе данных %1 уже есть таблицы: %2; ничего не изменено</source>
        <translation>Database %1 already has tables: %2; nothing was changed</translation>
    </message>
    <message>
        <source>В базе данных %1 нет таблиц магазина</source>
        <translation>Database %1 has no shop tables</translation>
    </message>
    <message>
        <source>Таблицы в базе данных %1 версии %2, а программа знает версию %3</source>
        <translation>The tables in database %1 are of version %2, but the program knows version %3</translation>
    </message>
    <message>
        <source>У роли %1 нет права обновлять прайс-лист в базе данных %2: обновление запускает администратор магазина; ничего не изменено</source>
        <translation>Role %1 may not update the price list in database %2: the shop&apos;s administrator runs the update; nothing was changed</translation>
    </message>
</context>
<context>
    <name>PgSettingsStorage</name>
    <message>
        <source>Настройки не сохранены</source>
        <translation>Settings not saved</translation>
    </message>
</context>
<context>
    <name>PgStorage</name>
    <message>
        <source>Поиск по названию недоступен: обновите прайс-лист. %1</source>
        <translation>Search by name is not available: update the price list. %1</translation>
    </message>
    <message>
        <source>Прайс-лист обновляется на другом рабочем месте; повторите после конца обновления</source>
        <translation>The price list is being updated at another workplace; repeat when the update has finished</translation>
    </message>
</context>
<context>
    <name>PriceChangeModel</name>
    <message>
        <source>подорожала</source>
        <translation>up</translation>
    </message>
    <message>
        <source>подешевела</source>
        <translation>down</translation>
    </message>
    <message>
        <source>новая</source>
        <translation>new</translation>
    </message>
    <message>
        <source>снята</source>
        <translation>withdrawn</translation>
    </message>
    <message>
        <source>Изменение</source>
        <translation>Change</translation>
    </message>
    <message>
        <source>Код товара</source>
        <translation>Part number</translation>
    </message>
    <message>
        <source>Наименование</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Код группы</source>
        <translation>Group code</translation>
    </message>
    <message>
        <source>Было</source>
        <translation>Was</translation>
    </message>
    <message>
        <source>Стало</source>
        <translation>Now</translation>
    </message>
    <message>
        <source>Изм. %</source>
        <translation>Chg. %</translation>
    </message>
</context>
<context>
    <name>PriceChangesWindow</name>
    <message>
        <source>Изменения прайса</source>
        <translation>Price list changes</translation>
    </message>
    <message>
        <source>Все</source>
        <translation>All</translation>
    </message>
    <message>
        <source>Показать:</source>
        <translation>Show:</translation>
    </message>
</context>
<context>
    <name>PriceGridColumns</name>
    <message>
        <source>нов.</source>
        <translation>new</translation>
    </message>
    <message>
        <source>Код товара</source>
        <translation>Part number</translation>
    </message>
    <message>
        <source>Наименование</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Вход</source>
        <translation>Input</translation>
    </message>
    <message>
        <source>Розница UAH</source>
        <translation>Retail UAH</translation>
    </message>
    <message>
        <source>Розница USD</source>
        <translation>Retail USD</translation>
    </message>
    <message>
        <source>Розница EUR</source>
        <translation>Retail EUR</translation>
    </message>
    <message>
        <source>Изм. %</source>
        <translation>Chg. %</translation>
    </message>
    <message>
        <source>Скл №%1</source>
        <translation>WH %1</translation>
    </message>
</context>
<context>
    <name>PriceListComparison</name>
    <message>
        <source>Не удалось сравнить прайс-листы во временном файле %1: %2</source>
        <translation>Could not compare the price lists in the temporary file %1: %2</translation>
    </message>
</context>
<context>
    <name>PriceListUpdate</name>
    <message>
        <source>Удаление старого прайса (1/7)</source>
        <translation>Deleting the old price list (1/7)</translation>
    </message>
    <message>
        <source>Удаление старого прайса (2/7)</source>
        <translation>Deleting the old price list (2/7)</translation>
    </message>
    <message>
        <source>Обновление прервано; прайс-лист не изменён.</source>
        <translation>Update interrupted; the price list was not changed.</translation>
    </message>
    <message>
        <source>Формирование нового прайса (3/7)</source>
        <translation>Building the new price list (3/7)</translation>
    </message>
    <message>
        <source>Формирование нового прайса (4/7)</source>
        <translation>Building the new price list (4/7)</translation>
    </message>
    <message>
        <source>Формирование списка групп (5/7)</source>
        <translation>Building the group list (5/7)</translation>
    </message>
    <message>
        <source>Формирование списка групп (6/7)</source>
        <translation>Building the group list (6/7)</translation>
    </message>
    <message>
        <source>Формирование списка групп (7/7)</source>
        <translation>Building the group list (7/7)</translation>
    </message>
    <message>
        <source>Файл %1 не содержит ни одной строки прайс-листа; прайс-лист не изменён</source>
        <translation>File %1 holds no price list line; the price list was not changed</translation>
    </message>
    <message>
        <source>пустой код группы GROUPCODE</source>
        <translation>empty group code GROUPCODE</translation>
    </message>
    <message>
        <source>код группы «%1» повторяется</source>
        <translation>group code &quot;%1&quot; repeats</translation>
    </message>
    <message>
        <source>Файл %1 не содержит ни одной строки списка групп; списки не изменены</source>
        <translation>File %1 holds no group list line; the lists were not changed</translation>
    </message>
    <message>
        <source>Новых позиций: %1</source>
        <translation>New items: %1</translation>
    </message>
    <message>
        <source>Новых позиций: %1, снято: %2, подорожало: %3, подешевело: %4</source>
        <translation>New items: %1, withdrawn: %2, up: %3, down: %4</translation>
    </message>
    <message>
        <source>, без цены: %1</source>
        <translation>, without price: %1</translation>
    </message>
    <message>
        <source>Позиций без номера замены: %1</source>
        <translation>Items without a cross number: %1</translation>
    </message>
    <message>
        <source>При загрузке изменено значений: %1 (слишком длинный текст обрезан, неподходящее число оставлено пустым).</source>
        <translation>Values changed while loading: %1 (too long a text was cut, an unfit number left empty).</translation>
    </message>
    <message>
        <source>
Примеры:</source>
        <translation>
Examples:</translation>
    </message>
    <message>
        <source>
%1, строка %2, %3: «%4»</source>
        <translation>
%1, line %2, %3: &quot;%4&quot;</translation>
    </message>
</context>
<context>
    <name>PriceListUpdateCommand</name>
    <message>
        <source>Вы хотите загрузить прайс-лист и скидки?</source>
        <translation>Do you want to load the price list and discounts?</translation>
    </message>
    <message>
        <source>Прайс-лист обновлён.
</source>
        <translation>The price list was updated.
</translation>
    </message>
</context>
<context>
    <name>ProgramFolder</name>
    <message>
        <source>Не удалось создать Tardesk.mdb и Tardesk.ini в папке данных:
</source>
        <translation>Could not make Tardesk.mdb and Tardesk.ini in the data folder:
</translation>
    </message>
    <message>
        <source>
Продолжение работы невозможно.</source>
        <translation>
The program cannot go on.</translation>
    </message>
</context>
<context>
    <name>Quote</name>
    <message>
        <source>&lt;h3&gt;Предложение от %1&lt;/h3&gt;&lt;p&gt;Номер: %2&lt;/p&gt;</source>
        <translation>&lt;h3&gt;Quote from %1&lt;/h3&gt;&lt;p&gt;Number: %2&lt;/p&gt;</translation>
    </message>
    <message>
        <source>Наличие</source>
        <translation>Stock</translation>
    </message>
    <message>
        <source>есть</source>
        <translation>in stock</translation>
    </message>
    <message>
        <source>под заказ</source>
        <translation>to order</translation>
    </message>
    <message>
        <source>Курс USD: %1. </source>
        <translation>USD rate: %1. </translation>
    </message>
    <message>
        <source>Курс EUR: %1. </source>
        <translation>EUR rate: %1. </translation>
    </message>
    <message>
        <source>Цены по прайс-листу от %1.&lt;/p&gt;</source>
        <translation>Prices as of the price list of %1.&lt;/p&gt;</translation>
    </message>
    <message>
        <source>Не удалось записать файл %1: %2</source>
        <translation>Could not write file %1: %2</translation>
    </message>
    <message>
        <source>Предложение </source>
        <translation>Quote </translation>
    </message>
</context>
<context>
    <name>ShopStorage</name>
    <message>
        <source>Не удалось создать папку %1</source>
        <translation>Could not make folder %1</translation>
    </message>
    <message>
        <source>Магазин в базе PostgreSQL: сжимать нечего, место освобождает сам сервер (autovacuum)</source>
        <translation>The shop is in a PostgreSQL database: nothing to compact, the server frees the space itself (autovacuum)</translation>
    </message>
</context>
<context>
    <name>SqliteNameIndex</name>
    <message>
        <source>Индекс названий повреждён: обновите прайс-лист</source>
        <translation>The index of names is damaged: update the price list</translation>
    </message>
    <message>
        <source>Названия позиций ещё не проиндексированы: обновите прайс-лист</source>
        <translation>The part names are not indexed yet: update the price list</translation>
    </message>
</context>
<context>
    <name>SqliteOrderStorage</name>
    <message>
        <source>Строки уже нет в заказе: его изменили в другом окне</source>
        <translation>The line is no longer in the order: it was changed in another window</translation>
    </message>
    <message>
        <source>Позиция не добавлена в заказ</source>
        <translation>Item not added to the order</translation>
    </message>
    <message>
        <source>Количество не изменено</source>
        <translation>Quantity not changed</translation>
    </message>
    <message>
        <source>Строка не удалена из заказа</source>
        <translation>Line not removed from the order</translation>
    </message>
    <message>
        <source>Заказ не очищен</source>
        <translation>Order not cleared</translation>
    </message>
</context>
<context>
    <name>SqliteSettingsStorage</name>
    <message>
        <source>Настройки не сохранены</source>
        <translation>Settings not saved</translation>
    </message>
</context>
<context>
    <name>SqliteStorage</name>
    <message>
        <source>Поиск по названию не подготовлен. %1</source>
        <translation>Search by name is not ready. %1</translation>
    </message>
</context>
<context>
    <name>SupplierFileReader</name>
    <message>
        <source>файл пуст: нет строки с именами столбцов</source>
        <translation>the file is empty: no line with the column names</translation>
    </message>
    <message>
        <source>незакрытые кавычки</source>
        <translation>unclosed quotes</translation>
    </message>
    <message>
        <source>в строке заголовка больше %1 столбцов (через «%2»), а в таблице их не бывает больше %1</source>
        <translation>the header line has more than %1 columns (separated by &quot;%2&quot;), but a table never has more than %1</translation>
    </message>
    <message>
        <source>столбец «%1» указан дважды</source>
        <translation>column &quot;%1&quot; is given twice</translation>
    </message>
    <message>
        <source>нет ни одного известного имени столбца; ожидаются: %1</source>
        <translation>no known column name; expected: %1</translation>
    </message>
    <message>
        <source>неизвестный столбец «%1»; в таблице есть: %2</source>
        <translation>unknown column &quot;%1&quot;; the table has: %2</translation>
    </message>
    <message>
        <source>текст похож на UTF-16 без метки порядка байтов (BOM); сохраните файл в UTF-8 или в UTF-16 с меткой</source>
        <translation>the text looks like UTF-16 without a byte order mark (BOM); save the file in UTF-8 or in UTF-16 with the mark</translation>
    </message>
    <message>
        <source>нулевой байт в тексте: файл повреждён или это не текстовый файл</source>
        <translation>a zero byte in the text: the file is damaged or not a text file</translation>
    </message>
    <message>
        <source>текст не в UTF-8, хотя выше в файле был текст в UTF-8; сохраните файл целиком в одной кодировке (UTF-8 или Windows-1251)</source>
        <translation>the text is not in UTF-8, though the file had UTF-8 text above; save the whole file in one encoding (UTF-8 or Windows-1251)</translation>
    </message>
    <message>
        <source>текст не в кодировке UTF-8, указанной для файла</source>
        <translation>the text is not in UTF-8, the encoding given for the file</translation>
    </message>
    <message>
        <source>значений больше (%1), чем столбцов (%2), а десятичный знак «%3» совпадает с разделителем полей: число с дробной частью должно быть в кавычках</source>
        <translation>more values (%1) than columns (%2), and the decimal sign &quot;%3&quot; is the field separator: a number with a fraction must be in quotes</translation>
    </message>
    <message>
        <source>лишнее значение «%1» после последнего столбца</source>
        <translation>extra value &quot;%1&quot; after the last column</translation>
    </message>
</context>
<context>
    <name>TFormMain</name>
    <message>
        <source>Клиент Velmora - Tardesk</source>
        <translation>Velmora Client - Tardesk</translation>
    </message>
    <message>
        <source>В заказе: %1 — %2 шт.</source>
        <translation>In the order: %1 — %2 pcs.</translation>
    </message>
    <message>
        <source>Предложение клиенту</source>
        <translation>Customer quote</translation>
    </message>
    <message>
        <source>Язык окон сменится при следующем запуске программы.</source>
        <translation>The window language will change at the next start of the program.</translation>
    </message>
    <message>
        <source> Поиск </source>
        <translation> Search </translation>
    </message>
    <message>
        <source>Код товара</source>
        <translation>Part number</translation>
    </message>
    <message>
        <source>Варианты заменяемости</source>
        <translation>Interchangeable groups</translation>
    </message>
    <message>
        <source> Прайс-лист (с заменами)</source>
        <translation> Price list (with substitutes)</translation>
    </message>
    <message>
        <source>Запуск прерван.</source>
        <translation>Start interrupted.</translation>
    </message>
    <message>
        <source>Ожидание обновления базы ...</source>
        <translation>Waiting for the database update ...</translation>
    </message>
    <message>
        <source>не найден</source>
        <translation>not found</translation>
    </message>
    <message>
        <source>Имеется несколько замен</source>
        <translation>There are several substitutes</translation>
    </message>
    <message>
        <source>Закрыть программу без сохранения настроек?</source>
        <translation>Close the program without saving the settings?</translation>
    </message>
    <message>
        <source>Идёт обновление прайс-листа. Прервать его и выйти?</source>
        <translation>The price list is being updated. Interrupt it and exit?</translation>
    </message>
</context>
<context>
    <name>TFormSetup</name>
    <message>
        <source>Настройка</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>Изменить</source>
        <translation>Edit</translation>
    </message>
    <message>
        <source>Сохранить</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Отменить</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source> Клиент </source>
        <translation> Client </translation>
    </message>
    <message>
        <source>Код</source>
        <translation>Code</translation>
    </message>
    <message>
        <source>Наименование</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Адрес</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>Электронная почта</source>
        <translation>E-mail</translation>
    </message>
    <message>
        <source> Поставщик </source>
        <translation> Supplier </translation>
    </message>
    <message>
        <source>Телефон/Факс</source>
        <translation>Phone/Fax</translation>
    </message>
    <message>
        <source> Программа </source>
        <translation> Program </translation>
    </message>
    <message>
        <source>Курс розницы в USD</source>
        <translation>Retail rate in USD</translation>
    </message>
    <message>
        <source>Курс розницы в EUR</source>
        <translation>Retail rate in EUR</translation>
    </message>
</context>
<context>
    <name>Tables</name>
    <message>
        <source>Код</source>
        <translation>Code</translation>
    </message>
    <message>
        <source>Клиент</source>
        <translation>Client</translation>
    </message>
    <message>
        <source>Адрес</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>Электронный адрес</source>
        <translation>E-mail address</translation>
    </message>
    <message>
        <source>Поставщик</source>
        <translation>Supplier</translation>
    </message>
    <message>
        <source>Телефоны</source>
        <translation>Phones</translation>
    </message>
    <message>
        <source>Курс USD</source>
        <translation>USD rate</translation>
    </message>
    <message>
        <source>Курс EUR</source>
        <translation>EUR rate</translation>
    </message>
    <message>
        <source>Дата обновления</source>
        <translation>Update date</translation>
    </message>
</context>
<context>
    <name>TextFileScanner</name>
    <message>
        <source>Файл %1 не удаётся прочитать: %2</source>
        <translation>File %1 cannot be read: %2</translation>
    </message>
    <message>
        <source>файл UTF-16 обрывается на половине знака</source>
        <translation>the UTF-16 file breaks off in the middle of a character</translation>
    </message>
    <message>
        <source>неверный текст UTF-16: половина суррогатной пары без второй половины</source>
        <translation>invalid UTF-16 text: half of a surrogate pair without the other half</translation>
    </message>
    <message>
        <source>запись длиннее 16 МБ: в ней значение в кавычках такой длины</source>
        <translation>a record longer than 16 MB: it holds a quoted value that long</translation>
    </message>
    <message>
        <source>незакрытые кавычки</source>
        <translation>unclosed quotes</translation>
    </message>
    <message>
        <source>в строке больше %1 значений, а столбцов в таблице не бывает больше %1</source>
        <translation>the line has more than %1 values, but a table never has more than %1 columns</translation>
    </message>
    <message>
        <source>строка длиннее 16 МБ: это не текстовый файл</source>
        <translation>a line longer than 16 MB: this is not a text file</translation>
    </message>
</context>
<context>
    <name>TextSchema</name>
    <message>
        <source>разделитель в «%1» должен быть одним латинским знаком, не кавычкой</source>
        <translation>the separator in &quot;%1&quot; must be one Latin character, not a quote</translation>
    </message>
    <message>
        <source>неизвестный формат «%1» (допустимы CSVDelimited, TabDelimited, Delimited(x) и FixedLength)</source>
        <translation>unknown format &quot;%1&quot; (allowed are CSVDelimited, TabDelimited, Delimited(x) and FixedLength)</translation>
    </message>
    <message>
        <source>неизвестная кодировка «%1» (допустимы ANSI, OEM, Unicode, 1251, 866, 65001)</source>
        <translation>unknown encoding &quot;%1&quot; (allowed are ANSI, OEM, Unicode, 1251, 866, 65001)</translation>
    </message>
    <message>
        <source>%1 должно быть True или False, а не «%2»</source>
        <translation>%1 must be True or False, not &quot;%2&quot;</translation>
    </message>
    <message>
        <source>незакрытые кавычки в имени столбца</source>
        <translation>unclosed quotes in a column name</translation>
    </message>
    <message>
        <source>у столбца %1 не указано имя</source>
        <translation>column %1 has no name</translation>
    </message>
    <message>
        <source>у столбца «%1» неверная ширина</source>
        <translation>column &quot;%1&quot; has a wrong width</translation>
    </message>
    <message>
        <source>ключ %1: столбцы нумеруются с Col1</source>
        <translation>key %1: columns are numbered from Col1</translation>
    </message>
    <message>
        <source>ключ %1: номер столбца пишется без нулей впереди</source>
        <translation>key %1: a column number is written without leading zeros</translation>
    </message>
    <message>
        <source>ключ %1: столбцов в таблице не бывает больше %2</source>
        <translation>key %1: a table never has more than %2 columns</translation>
    </message>
    <message>
        <source>Файл %1 длиннее 1 МБ: это не описание файлов</source>
        <translation>File %1 is longer than 1 MB: it is not a file description</translation>
    </message>
    <message>
        <source>Файл %1 не удаётся прочитать: %2</source>
        <translation>File %1 cannot be read: %2</translation>
    </message>
    <message>
        <source>TextDelimiter «%1» совпадает с разделителем полей</source>
        <translation>TextDelimiter &quot;%1&quot; is the field separator</translation>
    </message>
    <message>
        <source>%1 должен быть одним латинским знаком или none</source>
        <translation>%1 must be one Latin character or none</translation>
    </message>
    <message>
        <source>DecimalSymbol должен быть одним латинским знаком</source>
        <translation>DecimalSymbol must be one Latin character</translation>
    </message>
    <message>
        <source>ключ %1: столбец %2 уже задан в строке %3</source>
        <translation>key %1: column %2 is already given on line %3</translation>
    </message>
    <message>
        <source>ключ Col%1: пропущен столбец Col%2</source>
        <translation>key Col%1: column Col%2 is missing</translation>
    </message>
    <message>
        <source>у столбца «%1» не указана ширина (Width), а формат FixedLength</source>
        <translation>column &quot;%1&quot; has no width (Width), and the format is FixedLength</translation>
    </message>
    <message>
        <source>для формата FixedLength нужны столбцы Col1, Col2, … с шириной</source>
        <translation>the FixedLength format needs columns Col1, Col2, … with a width</translation>
    </message>
    <message>
        <source>без строки заголовка (ColNameHeader=False) нужны имена столбцов Col1, Col2, …</source>
        <translation>without a header line (ColNameHeader=False) the column names Col1, Col2, … are needed</translation>
    </message>
    <message>
        <source>без строки заголовка (ColNameHeader=False) нужен ключ Format: разделитель не из чего узнать</source>
        <translation>without a header line (ColNameHeader=False) the key Format is needed: nothing else tells the separator</translation>
    </message>
</context>
<context>
    <name>TformWait</name>
    <message>
        <source>Выполнение операции ...</source>
        <translation>Operation in progress ...</translation>
    </message>
</context>
</TS>
