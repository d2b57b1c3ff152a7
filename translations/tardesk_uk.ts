<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="uk" sourcelanguage="ru">
<context>
    <name>ActionManager</name>
    <message>
        <source>Операции</source>
        <translation>Операції</translation>
    </message>
    <message>
        <source>Правка</source>
        <translation>Редагування</translation>
    </message>
    <message>
        <source>Вид</source>
        <translation>Вигляд</translation>
    </message>
    <message>
        <source>Склад</source>
        <translation>Склад</translation>
    </message>
    <message>
        <source>Документы</source>
        <translation>Документи</translation>
    </message>
    <message>
        <source>Обновление</source>
        <translation>Оновлення</translation>
    </message>
    <message>
        <source>Настройки</source>
        <translation>Налаштування</translation>
    </message>
    <message>
        <source>Выход</source>
        <translation>Вихід</translation>
    </message>
    <message>
        <source>Отменить</source>
        <translation>Скасувати</translation>
    </message>
    <message>
        <source>Вырезать</source>
        <translation>Вирізати</translation>
    </message>
    <message>
        <source>Копировать</source>
        <translation>Копіювати</translation>
    </message>
    <message>
        <source>Вставить</source>
        <translation>Вставити</translation>
    </message>
    <message>
        <source>Выделить всё</source>
        <translation>Виділити все</translation>
    </message>
    <message>
        <source>Удалить</source>
        <translation>Видалити</translation>
    </message>
    <message>
        <source>Входная цена</source>
        <translation>Вхідна ціна</translation>
    </message>
    <message>
        <source>Розница USD</source>
        <translation>Роздріб USD</translation>
    </message>
    <message>
        <source>Розница &amp;USD</source>
        <translation>Роздріб &amp;USD</translation>
    </message>
    <message>
        <source>Розница EUR</source>
        <translation>Роздріб EUR</translation>
    </message>
    <message>
        <source>Розница &amp;EUR</source>
        <translation>Роздріб &amp;EUR</translation>
    </message>
    <message>
        <source>Склад №%1</source>
        <translation>Склад №%1</translation>
    </message>
    <message>
        <source>Склад №&amp;%1</source>
        <translation>Склад №&amp;%1</translation>
    </message>
    <message>
        <source>Параметры</source>
        <translation>Параметри</translation>
    </message>
    <message>
        <source>Изменение цены</source>
        <translation>Зміна ціни</translation>
    </message>
    <message>
        <source>В заказ</source>
        <translation>До замовлення</translation>
    </message>
    <message>
        <source>Заказ поставщику…</source>
        <translation>Замовлення постачальнику…</translation>
    </message>
    <message>
        <source>Предложение клиенту…</source>
        <translation>Пропозиція клієнту…</translation>
    </message>
    <message>
        <source>Копировать таблицу</source>
        <translation>Копіювати таблицю</translation>
    </message>
    <message>
        <source>Изменения прайса…</source>
        <translation>Зміни прайсу…</translation>
    </message>
    <message>
        <source>Язык</source>
        <translation>Мова</translation>
    </message>
    <message>
        <source>Найти по названию…</source>
        <translation>Знайти за назвою…</translation>
    </message>
</context>
<context>
    <name>ClientSession</name>
    <message>
        <source>Ошибка открытия файла:
</source>
        <translation>Помилка відкриття файлу:
</translation>
    </message>
    <message>
        <source>
Продолжение работы невозможно.</source>
        <translation>
Продовження роботи неможливе.</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>не указана строка подключения после --server</source>
        <translation>не вказано рядок підключення після --server</translation>
    </message>
    <message>
        <source>после --lang нужен язык: ru, uk или en</source>
        <translation>після --lang потрібна мова: ru, uk або en</translation>
    </message>
    <message>
        <source>неверная командная строка</source>
        <translation>неправильний командний рядок</translation>
    </message>
    <message>
        <source>неизвестный параметр %1</source>
        <translation>невідомий параметр %1</translation>
    </message>
    <message>
        <source>лишний аргумент %1</source>
        <translation>зайвий аргумент %1</translation>
    </message>
    <message>
        <source>не указана папка после --folder</source>
        <translation>не вказано теку після --folder</translation>
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
        <translation>Використання: tardesk [--folder ТЕКА]
Пошук запчастин за номером у прайс-листі постачальника.

  --folder ТЕКА   тека з Tardesk.ini, Tardesk.mdb, import.txt і importg.txt;
                  без нього це тека програми, а для встановленої в /usr
                  копії ~/.local/share/Tardesk (створюється при першому запуску)
  --server РЯДОК  прайс-лист, налаштування й замовлення в базі PostgreSQL за цим
                  рядком підключення libpq замість [Server] Connection
                  у Tardesk.ini; пароль не вказується, він у ~/.pgpass
  --lang МОВА     мова вікон на цей запуск: ru, uk або en, а не вибрана
                  в меню «Вигляд → Мова» чи мова системи
  -h, --help      показати цю довідку
  --version       показати назву й версію програми
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
        <translation>Використання: tardesk-admin КОМАНДА ТЕКА [НОМЕР]
Обслуговування теки програми Tardesk.

  init ТЕКА            створити порожні Tardesk.mdb і Tardesk.ini
  init ТЕКА --server РЯДОК
                       перенести магазин із ТЕКИ (її Tardesk.mdb, якщо
                       є) у порожню базу PostgreSQL в UTF8 і записати
                       рядок підключення в Tardesk.ini ТЕКИ
  connect ТЕКА РЯДОК   перевірити, що в базі є таблиці магазину, і
                       записати рядок у Tardesk.ini ТЕКИ (ще одне
                       робоче місце)
  search ТЕКА НОМЕР    знайти номер, як клієнт (лише читання)
  find ТЕКА СЛОВА...   знайти позиції за початками слів назви, як вікно
                       «Пошук за назвою», усі, без обмеження
  compact ТЕКА         стиснути Tardesk.mdb (не для магазину на сервері)
  update ТЕКА          завантажити прайс-лист з import.txt і importg.txt
  changes ТЕКА         зміни прайсу під час останнього оновлення
  order ТЕКА add НОМЕР КІЛЬКІСТЬ [ГРУПА]
                       додати позицію до замовлення постачальнику
  order ТЕКА remove НОМЕР [ГРУПА]
                       прибрати позицію із замовлення
  order ТЕКА clear     очистити замовлення
  order ТЕКА list      показати замовлення
  order ТЕКА export ФАЙЛ.xlsx|ФАЙЛ.csv
                       зберегти замовлення у файл
  quote ТЕКА НОМЕР ФАЙЛ.pdf
                       пропозиція клієнту за знайденим номером у PDF
  --server РЯДОК       будь-де: магазин у базі PostgreSQL за цим
                       рядком підключення libpq, а не в Tardesk.mdb
                       і не за [Server] Connection у Tardesk.ini;
                       пароль не вказується, він у ~/.pgpass
  --lang МОВА          будь-де: мова повідомлень, ru, uk або en,
                       а не мова системи
  -h, --help           показати цю довідку
  --version            показати назву й версію програми
</translation>
    </message>
</context>
<context>
    <name>Database</name>
    <message>
        <source>%1. Папка программы недоступна для записи: %2</source>
        <translation>%1. Тека програми недоступна для запису: %2</translation>
    </message>
    <message>
        <source>%1. Файл недоступен для записи: %2</source>
        <translation>%1. Файл недоступний для запису: %2</translation>
    </message>
</context>
<context>
    <name>DatabaseCompactor</name>
    <message>
        <source>Не удалось удалить %1: %2</source>
        <translation>Не вдалося видалити %1: %2</translation>
    </message>
    <message>
        <source>Сжатие базы данных с паролем невозможно: файл базы данных не шифруется.</source>
        <translation>Стиснення бази даних з паролем неможливе: файл бази даних не шифрується.</translation>
    </message>
    <message>
        <source>Файл базы данных %1 не найден.</source>
        <translation>Файл бази даних %1 не знайдено.</translation>
    </message>
</context>
<context>
    <name>DatabaseLock</name>
    <message>
        <source>База данных открыта другой копией программы. Закройте её и повторите операцию.</source>
        <translation>База даних відкрита іншою копією програми. Закрийте її та повторіть операцію.</translation>
    </message>
    <message>
        <source>Не удалось открыть файл блокировки %1: это не обычный файл</source>
        <translation>Не вдалося відкрити файл блокування %1: це не звичайний файл</translation>
    </message>
    <message>
        <source>Не удалось заблокировать файл %1: %2</source>
        <translation>Не вдалося заблокувати файл %1: %2</translation>
    </message>
    <message>
        <source>Не удалось открыть файл блокировки %1: %2</source>
        <translation>Не вдалося відкрити файл блокування %1: %2</translation>
    </message>
</context>
<context>
    <name>DatabaseReplacement</name>
    <message>
        <source>Папка программы недоступна для записи: %1%2. Ничего не изменено.</source>
        <translation>Тека програми недоступна для запису: %1%2. Нічого не змінено.</translation>
    </message>
    <message>
        <source>Файл недоступен для записи: %1%2. Ничего не изменено.</source>
        <translation>Файл недоступний для запису: %1%2. Нічого не змінено.</translation>
    </message>
    <message>
        <source>Нет права записи в файл %1. Ничего не изменено.</source>
        <translation>Немає права запису у файл %1. Нічого не змінено.</translation>
    </message>
    <message>
        <source>Файл %1 занят: в него пишет другая программа. Закройте её и повторите операцию; ничего не изменено.</source>
        <translation>Файл %1 зайнятий: у нього пише інша програма. Закрийте її та повторіть операцію; нічого не змінено.</translation>
    </message>
    <message>
        <source>Файл %1 занят: его читает другая программа. Закройте её и повторите операцию; ничего не изменено.</source>
        <translation>Файл %1 зайнятий: його читає інша програма. Закрийте її та повторіть операцію; нічого не змінено.</translation>
    </message>
    <message>
        <source>Файл %1 изменён другой программой во время операции. Повторите операцию; ничего не изменено.</source>
        <translation>Файл %1 змінено іншою програмою під час операції. Повторіть операцію; нічого не змінено.</translation>
    </message>
</context>
<context>
    <name>Error</name>
    <message>
        <source>, раздел [%1]</source>
        <translation>, розділ [%1]</translation>
    </message>
    <message>
        <source>Файл %1, строка %2%3: %4</source>
        <translation>Файл %1, рядок %2%3: %4</translation>
    </message>
</context>
<context>
    <name>FindVerb</name>
    <message>
        <source>Поиск по названию недоступен: обновите прайс-лист (tardesk-admin update)</source>
        <translation>Пошук за назвою недоступний: оновіть прайс-лист (tardesk-admin update)</translation>
    </message>
    <message>
        <source>Индексирование названий позиций…</source>
        <translation>Індексування назв позицій…</translation>
    </message>
</context>
<context>
    <name>IniFile</name>
    <message>
        <source>Не удалось сохранить файл %1. Папка программы недоступна для записи: %2</source>
        <translation>Не вдалося зберегти файл %1. Тека програми недоступна для запису: %2</translation>
    </message>
</context>
<context>
    <name>MessageBoxes</name>
    <message>
        <source>Клиент Velmora</source>
        <translation>Клієнт Velmora</translation>
    </message>
    <message>
        <source>Confirm</source>
        <translation>Підтвердження</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>Інформація</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Помилка</translation>
    </message>
    <message>
        <source>&amp;Yes</source>
        <translation>&amp;Так</translation>
    </message>
    <message>
        <source>&amp;No</source>
        <translation>&amp;Ні</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Скасувати</translation>
    </message>
    <message>
        <source>Да</source>
        <translation>Так</translation>
    </message>
    <message>
        <source>Нет</source>
        <translation>Ні</translation>
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
        <translation>Група</translation>
    </message>
    <message>
        <source>Наличие</source>
        <translation>Наявність</translation>
    </message>
</context>
<context>
    <name>NameSearchWindow</name>
    <message>
        <source>Поиск по названию</source>
        <translation>Пошук за назвою</translation>
    </message>
    <message>
        <source>Поиск по названию недоступен: обновите прайс-лист</source>
        <translation>Пошук за назвою недоступний: оновіть прайс-лист</translation>
    </message>
    <message>
        <source>Введите не менее двух букв или цифр</source>
        <translation>Введіть щонайменше дві літери або цифри</translation>
    </message>
    <message>
        <source>Показаны первые %1 из %2</source>
        <translation>Показано перші %1 з %2</translation>
    </message>
    <message>
        <source>Найдено: %1</source>
        <translation>Знайдено: %1</translation>
    </message>
    <message>
        <source>Построение указателя названий…</source>
        <translation>Побудова покажчика назв…</translation>
    </message>
    <message>
        <source>У позиции нет номера замены</source>
        <translation>Позиція не має номера заміни</translation>
    </message>
</context>
<context>
    <name>OpenRegularFile</name>
    <message>
        <source>это папка, а не файл</source>
        <translation>це тека, а не файл</translation>
    </message>
    <message>
        <source>это именованный канал, а не обычный файл</source>
        <translation>це іменований канал, а не звичайний файл</translation>
    </message>
    <message>
        <source>это устройство, а не обычный файл</source>
        <translation>це пристрій, а не звичайний файл</translation>
    </message>
    <message>
        <source>это не обычный файл</source>
        <translation>це не звичайний файл</translation>
    </message>
    <message>
        <source>Файл %1 не найден в папке %2</source>
        <translation>Файл %1 не знайдено в теці %2</translation>
    </message>
    <message>
        <source>Файл %1 не удаётся открыть: %2</source>
        <translation>Файл %1 не вдається відкрити: %2</translation>
    </message>
</context>
<context>
    <name>OrderExport</name>
    <message>
        <source>Не удалось записать файл %1: %2</source>
        <translation>Не вдалося записати файл %1: %2</translation>
    </message>
    <message>
        <source>имя файла должно оканчиваться на .xlsx или .csv</source>
        <translation>ім’я файлу має закінчуватися на .xlsx або .csv</translation>
    </message>
    <message>
        <source>нет памяти</source>
        <translation>немає пам’яті</translation>
    </message>
</context>
<context>
    <name>OrderMail</name>
    <message>
        <source>Не указан электронный адрес поставщика (Настройки)</source>
        <translation>Не вказано електронну адресу постачальника (Налаштування)</translation>
    </message>
    <message>
        <source>Заказ слишком длинный для письма (%1 знаков, можно до %2)</source>
        <translation>Замовлення задовге для листа (%1 знаків, можна до %2)</translation>
    </message>
</context>
<context>
    <name>OrderQuantity</name>
    <message>
        <source>недопустимо, можно от %1 до %2</source>
        <translation>неприпустима, можна від %1 до %2</translation>
    </message>
    <message>
        <source>Количество %1 </source>
        <translation>Кількість %1 </translation>
    </message>
    <message>
        <source>Позиция %1: количество %2 </source>
        <translation>Позиція %1: кількість %2 </translation>
    </message>
</context>
<context>
    <name>OrderSheet</name>
    <message>
        <source>Код товара</source>
        <translation>Код товару</translation>
    </message>
    <message>
        <source>Группа</source>
        <translation>Група</translation>
    </message>
    <message>
        <source>Наименование</source>
        <translation>Найменування</translation>
    </message>
    <message>
        <source>Кол-во</source>
        <translation>К-сть</translation>
    </message>
    <message>
        <source>Вход</source>
        <translation>Вхід</translation>
    </message>
    <message>
        <source>Сумма</source>
        <translation>Сума</translation>
    </message>
    <message>
        <source>Скл №%1</source>
        <translation>Скл №%1</translation>
    </message>
    <message>
        <source>снято</source>
        <translation>знято</translation>
    </message>
    <message>
        <source>Итого</source>
        <translation>Разом</translation>
    </message>
</context>
<context>
    <name>OrderVerb</name>
    <message>
        <source>Количество «%1» не целое число</source>
        <translation>Кількість «%1» не ціле число</translation>
    </message>
    <message>
        <source>Позиции %1 нет в прайс-листе</source>
        <translation>Позиції %1 немає в прайс-листі</translation>
    </message>
    <message>
        <source>Позиции %1 группы %2 нет в прайс-листе</source>
        <translation>Позиції %1 групи %2 немає в прайс-листі</translation>
    </message>
    <message>
        <source>Номер %1 есть в нескольких группах: %2; укажите код группы</source>
        <translation>Номер %1 є в кількох групах: %2; вкажіть код групи</translation>
    </message>
    <message>
        <source>Позиции %1 нет в заказе</source>
        <translation>Позиції %1 немає в замовленні</translation>
    </message>
    <message>
        <source>Номер %1 есть в заказе в нескольких группах: %2; укажите код группы</source>
        <translation>Номер %1 є в замовленні в кількох групах: %2; вкажіть код групи</translation>
    </message>
</context>
<context>
    <name>OrderWindow</name>
    <message>
        <source>Заказ поставщику</source>
        <translation>Замовлення постачальнику</translation>
    </message>
    <message>
        <source>Очистить</source>
        <translation>Очистити</translation>
    </message>
    <message>
        <source>Сохранить…</source>
        <translation>Зберегти…</translation>
    </message>
    <message>
        <source>Отправить поставщику</source>
        <translation>Надіслати постачальнику</translation>
    </message>
    <message>
        <source>%1: %2 шт., %3</source>
        <translation>%1: %2 шт., %3</translation>
    </message>
    <message>
        <source>Очистить заказ?</source>
        <translation>Очистити замовлення?</translation>
    </message>
    <message>
        <source>Сохранить заказ</source>
        <translation>Зберегти замовлення</translation>
    </message>
    <message>
        <source>Текст CSV, разделитель «;» (*.csv)</source>
        <translation>Текст CSV, роздільник «;» (*.csv)</translation>
    </message>
    <message>
        <source>Книга Excel (*.xlsx)</source>
        <translation>Книга Excel (*.xlsx)</translation>
    </message>
    <message>
        <source>Заказ %1</source>
        <translation>Замовлення %1</translation>
    </message>
    <message>
        <source>Не удалось открыть почтовую программу</source>
        <translation>Не вдалося відкрити поштову програму</translation>
    </message>
    <message>
        <source>.
Сохранить заказ в файл?</source>
        <translation>.
Зберегти замовлення у файл?</translation>
    </message>
</context>
<context>
    <name>ParametersPanel</name>
    <message>
        <source> Параметры </source>
        <translation> Параметри </translation>
    </message>
    <message>
        <source>Обновление</source>
        <translation>Оновлення</translation>
    </message>
    <message>
        <source>Курс USD</source>
        <translation>Курс USD</translation>
    </message>
    <message>
        <source>Курс EUR</source>
        <translation>Курс EUR</translation>
    </message>
    <message>
        <source>Телефон/Факс</source>
        <translation>Телефон/Факс</translation>
    </message>
</context>
<context>
    <name>PgConnection</name>
    <message>
        <source>Нет связи с сервером %1: %2</source>
        <translation>Немає зв’язку із сервером %1: %2</translation>
    </message>
    <message>
        <source>Пароль в строке подключения не принимается: храните его в файле ~/.pgpass</source>
        <translation>Пароль у рядку підключення не приймається: зберігайте його у файлі ~/.pgpass</translation>
    </message>
    <message>
        <source>соединение разорвано</source>
        <translation>з’єднання розірвано</translation>
    </message>
    <message>
        <source>Сервер не отвечает: %1</source>
        <translation>Сервер не відповідає: %1</translation>
    </message>
    <message>
        <source>Запрос к серверу %1 прерван</source>
        <translation>Запит до сервера %1 перервано</translation>
    </message>
    <message>
        <source>Изменения не сохранены: транзакция отменена</source>
        <translation>Зміни не збережено: транзакцію скасовано</translation>
    </message>
</context>
<context>
    <name>PgNameIndex</name>
    <message>
        <source>Поиск по названию недоступен: обновите прайс-лист</source>
        <translation>Пошук за назвою недоступний: оновіть прайс-лист</translation>
    </message>
    <message>
        <source>Построение указателя названий прервано</source>
        <translation>Побудову покажчика назв перервано</translation>
    </message>
</context>
<context>
    <name>PgOrderStorage</name>
    <message>
        <source>Строки уже нет в заказе: его изменили в другом окне</source>
        <translation>Рядка вже немає в замовленні: його змінили в іншому вікні</translation>
    </message>
    <message>
        <source>Позиция не добавлена в заказ</source>
        <translation>Позицію не додано до замовлення</translation>
    </message>
    <message>
        <source>Количество не изменено</source>
        <translation>Кількість не змінено</translation>
    </message>
    <message>
        <source>Строка не удалена из заказа</source>
        <translation>Рядок не видалено із замовлення</translation>
    </message>
    <message>
        <source>Заказ не очищен</source>
        <translation>Замовлення не очищено</translation>
    </message>
</context>
<context>
    <name>PgPriceCatalogue</name>
    <message>
        <source>Прайс-лист меняется: повторите поиск</source>
        <translation>Прайс-лист змінюється: повторіть пошук</translation>
    </message>
</context>
<context>
    <name>PgPriceListRebuild</name>
    <message>
        <source>Прайс-лист уже обновляется на другом рабочем месте; повторите после его конца</source>
        <translation>Прайс-лист уже оновлюється на іншому робочому місці; повторіть після завершення</translation>
    </message>
    <message>
        <source>Обновление прервано</source>
        <translation>Оновлення перервано</translation>
    </message>
</context>
<context>
    <name>PgSchema</name>
    <message>
        <source>База данных %1 в кодировке %2, а нужна UTF8</source>
        <translation>База даних %1 у кодуванні %2, а потрібне UTF8</translation>
    </message>
    <message>
        <source>В базе данных %1 уже есть таблицы: %2; ничего не изменено</source>
        <translation>У базі даних %1 уже є таблиці: %2; нічого не змінено</translation>
    </message>
    <message>
        <source>В базе данных %1 нет таблиц магазина</source>
        <translation>У базі даних %1 немає таблиць магазину</translation>
    </message>
    <message>
        <source>Таблицы в базе данных %1 версии %2, а программа знает версию %3</source>
        <translation>Таблиці в базі даних %1 версії %2, а програма знає версію %3</translation>
    </message>
    <message>
        <source>У роли %1 нет права обновлять прайс-лист в базе данных %2: обновление запускает администратор магазина; ничего не изменено</source>
        <translation>Роль %1 не має права оновлювати прайс-лист у базі даних %2: оновлення запускає адміністратор магазину; нічого не змінено</translation>
    </message>
</context>
<context>
    <name>PgSettingsStorage</name>
    <message>
        <source>Настройки не сохранены</source>
        <translation>Налаштування не збережено</translation>
    </message>
</context>
<context>
    <name>PgStorage</name>
    <message>
        <source>Поиск по названию недоступен: обновите прайс-лист. %1</source>
        <translation>Пошук за назвою недоступний: оновіть прайс-лист. %1</translation>
    </message>
    <message>
        <source>Прайс-лист обновляется на другом рабочем месте; повторите после конца обновления</source>
        <translation>Прайс-лист оновлюється на іншому робочому місці; повторіть після завершення оновлення</translation>
    </message>
</context>
<context>
    <name>PriceChangeModel</name>
    <message>
        <source>подорожала</source>
        <translation>подорожчала</translation>
    </message>
    <message>
        <source>подешевела</source>
        <translation>подешевшала</translation>
    </message>
    <message>
        <source>новая</source>
        <translation>нова</translation>
    </message>
    <message>
        <source>снята</source>
        <translation>знята</translation>
    </message>
    <message>
        <source>Изменение</source>
        <translation>Зміна</translation>
    </message>
    <message>
        <source>Код товара</source>
        <translation>Код товару</translation>
    </message>
    <message>
        <source>Наименование</source>
        <translation>Найменування</translation>
    </message>
    <message>
        <source>Код группы</source>
        <translation>Код групи</translation>
    </message>
    <message>
        <source>Было</source>
        <translation>Було</translation>
    </message>
    <message>
        <source>Стало</source>
        <translation>Стало</translation>
    </message>
    <message>
        <source>Изм. %</source>
        <translation>Зм. %</translation>
    </message>
</context>
<context>
    <name>PriceChangesWindow</name>
    <message>
        <source>Изменения прайса</source>
        <translation>Зміни прайсу</translation>
    </message>
    <message>
        <source>Все</source>
        <translation>Усі</translation>
    </message>
    <message>
        <source>Показать:</source>
        <translation>Показати:</translation>
    </message>
</context>
<context>
    <name>PriceGridColumns</name>
    <message>
        <source>нов.</source>
        <translation>нов.</translation>
    </message>
    <message>
        <source>Код товара</source>
        <translation>Код товару</translation>
    </message>
    <message>
        <source>Наименование</source>
        <translation>Найменування</translation>
    </message>
    <message>
        <source>Вход</source>
        <translation>Вхід</translation>
    </message>
    <message>
        <source>Розница UAH</source>
        <translation>Роздріб UAH</translation>
    </message>
    <message>
        <source>Розница USD</source>
        <translation>Роздріб USD</translation>
    </message>
    <message>
        <source>Розница EUR</source>
        <translation>Роздріб EUR</translation>
    </message>
    <message>
        <source>Изм. %</source>
        <translation>Зм. %</translation>
    </message>
    <message>
        <source>Скл №%1</source>
        <translation>Скл №%1</translation>
    </message>
</context>
<context>
    <name>PriceListComparison</name>
    <message>
        <source>Не удалось сравнить прайс-листы во временном файле %1: %2</source>
        <translation>Не вдалося порівняти прайс-листи в тимчасовому файлі %1: %2</translation>
    </message>
</context>
<context>
    <name>PriceListUpdate</name>
    <message>
        <source>Удаление старого прайса (1/7)</source>
        <translation>Видалення старого прайсу (1/7)</translation>
    </message>
    <message>
        <source>Удаление старого прайса (2/7)</source>
        <translation>Видалення старого прайсу (2/7)</translation>
    </message>
    <message>
        <source>Обновление прервано; прайс-лист не изменён.</source>
        <translation>Оновлення перервано; прайс-лист не змінено.</translation>
    </message>
    <message>
        <source>Формирование нового прайса (3/7)</source>
        <translation>Формування нового прайсу (3/7)</translation>
    </message>
    <message>
        <source>Формирование нового прайса (4/7)</source>
        <translation>Формування нового прайсу (4/7)</translation>
    </message>
    <message>
        <source>Формирование списка групп (5/7)</source>
        <translation>Формування списку груп (5/7)</translation>
    </message>
    <message>
        <source>Формирование списка групп (6/7)</source>
        <translation>Формування списку груп (6/7)</translation>
    </message>
    <message>
        <source>Формирование списка групп (7/7)</source>
        <translation>Формування списку груп (7/7)</translation>
    </message>
    <message>
        <source>Файл %1 не содержит ни одной строки прайс-листа; прайс-лист не изменён</source>
        <translation>Файл %1 не містить жодного рядка прайс-листа; прайс-лист не змінено</translation>
    </message>
    <message>
        <source>пустой код группы GROUPCODE</source>
        <translation>порожній код групи GROUPCODE</translation>
    </message>
    <message>
        <source>код группы «%1» повторяется</source>
        <translation>код групи «%1» повторюється</translation>
    </message>
    <message>
        <source>Файл %1 не содержит ни одной строки списка групп; списки не изменены</source>
        <translation>Файл %1 не містить жодного рядка списку груп; списки не змінено</translation>
    </message>
    <message>
        <source>Новых позиций: %1</source>
        <translation>Нових позицій: %1</translation>
    </message>
    <message>
        <source>Новых позиций: %1, снято: %2, подорожало: %3, подешевело: %4</source>
        <translation>Нових позицій: %1, знято: %2, подорожчало: %3, подешевшало: %4</translation>
    </message>
    <message>
        <source>, без цены: %1</source>
        <translation>, без ціни: %1</translation>
    </message>
    <message>
        <source>Позиций без номера замены: %1</source>
        <translation>Позицій без номера заміни: %1</translation>
    </message>
    <message>
        <source>При загрузке изменено значений: %1 (слишком длинный текст обрезан, неподходящее число оставлено пустым).</source>
        <translation>Під час завантаження змінено значень: %1 (задовгий текст обрізано, невідповідне число залишено порожнім).</translation>
    </message>
    <message>
        <source>
Примеры:</source>
        <translation>
Приклади:</translation>
    </message>
    <message>
        <source>
%1, строка %2, %3: «%4»</source>
        <translation>
%1, рядок %2, %3: «%4»</translation>
    </message>
</context>
<context>
    <name>PriceListUpdateCommand</name>
    <message>
        <source>Вы хотите загрузить прайс-лист и скидки?</source>
        <translation>Бажаєте завантажити прайс-лист і знижки?</translation>
    </message>
    <message>
        <source>Прайс-лист обновлён.
</source>
        <translation>Прайс-лист оновлено.
</translation>
    </message>
</context>
<context>
    <name>ProgramFolder</name>
    <message>
        <source>Не удалось создать Tardesk.mdb и Tardesk.ini в папке данных:
</source>
        <translation>Не вдалося створити Tardesk.mdb і Tardesk.ini в теці даних:
</translation>
    </message>
    <message>
        <source>
Продолжение работы невозможно.</source>
        <translation>
Продовження роботи неможливе.</translation>
    </message>
</context>
<context>
    <name>Quote</name>
    <message>
        <source>&lt;h3&gt;Предложение от %1&lt;/h3&gt;&lt;p&gt;Номер: %2&lt;/p&gt;</source>
        <translation>&lt;h3&gt;Пропозиція від %1&lt;/h3&gt;&lt;p&gt;Номер: %2&lt;/p&gt;</translation>
    </message>
    <message>
        <source>Наличие</source>
        <translation>Наявність</translation>
    </message>
    <message>
        <source>есть</source>
        <translation>є</translation>
    </message>
    <message>
        <source>под заказ</source>
        <translation>під замовлення</translation>
    </message>
    <message>
        <source>Курс USD: %1. </source>
        <translation>Курс USD: %1. </translation>
    </message>
    <message>
        <source>Курс EUR: %1. </source>
        <translation>Курс EUR: %1. </translation>
    </message>
    <message>
        <source>Цены по прайс-листу от %1.&lt;/p&gt;</source>
        <translation>Ціни за прайс-листом від %1.&lt;/p&gt;</translation>
    </message>
    <message>
        <source>Не удалось записать файл %1: %2</source>
        <translation>Не вдалося записати файл %1: %2</translation>
    </message>
    <message>
        <source>Предложение </source>
        <translation>Пропозиція </translation>
    </message>
</context>
<context>
    <name>ShopStorage</name>
    <message>
        <source>Не удалось создать папку %1</source>
        <translation>Не вдалося створити теку %1</translation>
    </message>
    <message>
        <source>Магазин в базе PostgreSQL: сжимать нечего, место освобождает сам сервер (autovacuum)</source>
        <translation>Магазин у базі PostgreSQL: стискати нічого, місце звільняє сам сервер (autovacuum)</translation>
    </message>
</context>
<context>
    <name>SqliteNameIndex</name>
    <message>
        <source>Индекс названий повреждён: обновите прайс-лист</source>
        <translation>Покажчик назв пошкоджено: оновіть прайс-лист</translation>
    </message>
    <message>
        <source>Названия позиций ещё не проиндексированы: обновите прайс-лист</source>
        <translation>Назви позицій ще не проіндексовано: оновіть прайс-лист</translation>
    </message>
</context>
<context>
    <name>SqliteOrderStorage</name>
    <message>
        <source>Строки уже нет в заказе: его изменили в другом окне</source>
        <translation>Рядка вже немає в замовленні: його змінили в іншому вікні</translation>
    </message>
    <message>
        <source>Позиция не добавлена в заказ</source>
        <translation>Позицію не додано до замовлення</translation>
    </message>
    <message>
        <source>Количество не изменено</source>
        <translation>Кількість не змінено</translation>
    </message>
    <message>
        <source>Строка не удалена из заказа</source>
        <translation>Рядок не видалено із замовлення</translation>
    </message>
    <message>
        <source>Заказ не очищен</source>
        <translation>Замовлення не очищено</translation>
    </message>
</context>
<context>
    <name>SqliteSettingsStorage</name>
    <message>
        <source>Настройки не сохранены</source>
        <translation>Налаштування не збережено</translation>
    </message>
</context>
<context>
    <name>SqliteStorage</name>
    <message>
        <source>Поиск по названию не подготовлен. %1</source>
        <translation>Пошук за назвою не підготовлено. %1</translation>
    </message>
</context>
<context>
    <name>SupplierFileReader</name>
    <message>
        <source>файл пуст: нет строки с именами столбцов</source>
        <translation>файл порожній: немає рядка з іменами стовпців</translation>
    </message>
    <message>
        <source>незакрытые кавычки</source>
        <translation>незакриті лапки</translation>
    </message>
    <message>
        <source>в строке заголовка больше %1 столбцов (через «%2»), а в таблице их не бывает больше %1</source>
        <translation>у рядку заголовка більше %1 стовпців (через «%2»), а в таблиці їх не буває більше %1</translation>
    </message>
    <message>
        <source>столбец «%1» указан дважды</source>
        <translation>стовпець «%1» вказано двічі</translation>
    </message>
    <message>
        <source>нет ни одного известного имени столбца; ожидаются: %1</source>
        <translation>немає жодного відомого імені стовпця; очікуються: %1</translation>
    </message>
    <message>
        <source>неизвестный столбец «%1»; в таблице есть: %2</source>
        <translation>невідомий стовпець «%1»; у таблиці є: %2</translation>
    </message>
    <message>
        <source>текст похож на UTF-16 без метки порядка байтов (BOM); сохраните файл в UTF-8 или в UTF-16 с меткой</source>
        <translation>текст схожий на UTF-16 без мітки порядку байтів (BOM); збережіть файл в UTF-8 або в UTF-16 з міткою</translation>
    </message>
    <message>
        <source>нулевой байт в тексте: файл повреждён или это не текстовый файл</source>
        <translation>нульовий байт у тексті: файл пошкоджено або це не текстовий файл</translation>
    </message>
    <message>
        <source>текст не в UTF-8, хотя выше в файле был текст в UTF-8; сохраните файл целиком в одной кодировке (UTF-8 или Windows-1251)</source>
        <translation>текст не в UTF-8, хоча вище у файлі був текст в UTF-8; збережіть увесь файл в одному кодуванні (UTF-8 або Windows-1251)</translation>
    </message>
    <message>
        <source>текст не в кодировке UTF-8, указанной для файла</source>
        <translation>текст не в кодуванні UTF-8, вказаному для файлу</translation>
    </message>
    <message>
        <source>значений больше (%1), чем столбцов (%2), а десятичный знак «%3» совпадает с разделителем полей: число с дробной частью должно быть в кавычках</source>
        <translation>значень більше (%1), ніж стовпців (%2), а десятковий знак «%3» збігається з роздільником полів: число з дробовою частиною має бути в лапках</translation>
    </message>
    <message>
        <source>лишнее значение «%1» после последнего столбца</source>
        <translation>зайве значення «%1» після останнього стовпця</translation>
    </message>
</context>
<context>
    <name>TFormMain</name>
    <message>
        <source>Клиент Velmora - Tardesk</source>
        <translation>Клієнт Velmora - Tardesk</translation>
    </message>
    <message>
        <source>В заказе: %1 — %2 шт.</source>
        <translation>У замовленні: %1 — %2 шт.</translation>
    </message>
    <message>
        <source>Предложение клиенту</source>
        <translation>Пропозиція клієнту</translation>
    </message>
    <message>
        <source>Язык окон сменится при следующем запуске программы.</source>
        <translation>Мова вікон зміниться під час наступного запуску програми.</translation>
    </message>
    <message>
        <source> Поиск </source>
        <translation> Пошук </translation>
    </message>
    <message>
        <source>Код товара</source>
        <translation>Код товару</translation>
    </message>
    <message>
        <source>Варианты заменяемости</source>
        <translation>Варіанти замінності</translation>
    </message>
    <message>
        <source> Прайс-лист (с заменами)</source>
        <translation> Прайс-лист (із замінами)</translation>
    </message>
    <message>
        <source>Запуск прерван.</source>
        <translation>Запуск перервано.</translation>
    </message>
    <message>
        <source>Ожидание обновления базы ...</source>
        <translation>Очікування оновлення бази ...</translation>
    </message>
    <message>
        <source>не найден</source>
        <translation>не знайдено</translation>
    </message>
    <message>
        <source>Имеется несколько замен</source>
        <translation>Є кілька замін</translation>
    </message>
    <message>
        <source>Закрыть программу без сохранения настроек?</source>
        <translation>Закрити програму без збереження налаштувань?</translation>
    </message>
    <message>
        <source>Идёт обновление прайс-листа. Прервать его и выйти?</source>
        <translation>Триває оновлення прайс-листа. Перервати його та вийти?</translation>
    </message>
</context>
<context>
    <name>TFormSetup</name>
    <message>
        <source>Настройка</source>
        <translation>Налаштування</translation>
    </message>
    <message>
        <source>Изменить</source>
        <translation>Змінити</translation>
    </message>
    <message>
        <source>Сохранить</source>
        <translation>Зберегти</translation>
    </message>
    <message>
        <source>Отменить</source>
        <translation>Скасувати</translation>
    </message>
    <message>
        <source> Клиент </source>
        <translation> Клієнт </translation>
    </message>
    <message>
        <source>Код</source>
        <translation>Код</translation>
    </message>
    <message>
        <source>Наименование</source>
        <translation>Найменування</translation>
    </message>
    <message>
        <source>Адрес</source>
        <translation>Адреса</translation>
    </message>
    <message>
        <source>Электронная почта</source>
        <translation>Електронна пошта</translation>
    </message>
    <message>
        <source> Поставщик </source>
        <translation> Постачальник </translation>
    </message>
    <message>
        <source>Телефон/Факс</source>
        <translation>Телефон/Факс</translation>
    </message>
    <message>
        <source> Программа </source>
        <translation> Програма </translation>
    </message>
    <message>
        <source>Курс розницы в USD</source>
        <translation>Курс роздрібу в USD</translation>
    </message>
    <message>
        <source>Курс розницы в EUR</source>
        <translation>Курс роздрібу в EUR</translation>
    </message>
</context>
<context>
    <name>Tables</name>
    <message>
        <source>Код</source>
        <translation>Код</translation>
    </message>
    <message>
        <source>Клиент</source>
        <translation>Клієнт</translation>
    </message>
    <message>
        <source>Адрес</source>
        <translation>Адреса</translation>
    </message>
    <message>
        <source>Электронный адрес</source>
        <translation>Електронна адреса</translation>
    </message>
    <message>
        <source>Поставщик</source>
        <translation>Постачальник</translation>
    </message>
    <message>
        <source>Телефоны</source>
        <translation>Телефони</translation>
    </message>
    <message>
        <source>Курс USD</source>
        <translation>Курс USD</translation>
    </message>
    <message>
        <source>Курс EUR</source>
        <translation>Курс EUR</translation>
    </message>
    <message>
        <source>Дата обновления</source>
        <translation>Дата оновлення</translation>
    </message>
</context>
<context>
    <name>TextFileScanner</name>
    <message>
        <source>Файл %1 не удаётся прочитать: %2</source>
        <translation>Файл %1 не вдається прочитати: %2</translation>
    </message>
    <message>
        <source>файл UTF-16 обрывается на половине знака</source>
        <translation>файл UTF-16 обривається на половині знака</translation>
    </message>
    <message>
        <source>неверный текст UTF-16: половина суррогатной пары без второй половины</source>
        <translation>неправильний текст UTF-16: половина сурогатної пари без другої половини</translation>
    </message>
    <message>
        <source>запись длиннее 16 МБ: в ней значение в кавычках такой длины</source>
        <translation>запис довший за 16 МБ: у ньому значення в лапках такої довжини</translation>
    </message>
    <message>
        <source>незакрытые кавычки</source>
        <translation>незакриті лапки</translation>
    </message>
    <message>
        <source>в строке больше %1 значений, а столбцов в таблице не бывает больше %1</source>
        <translation>у рядку більше %1 значень, а стовпців у таблиці не буває більше %1</translation>
    </message>
    <message>
        <source>строка длиннее 16 МБ: это не текстовый файл</source>
        <translation>рядок довший за 16 МБ: це не текстовий файл</translation>
    </message>
</context>
<context>
    <name>TextSchema</name>
    <message>
        <source>разделитель в «%1» должен быть одним латинским знаком, не кавычкой</source>
        <translation>роздільник у «%1» має бути одним латинським знаком, не лапкою</translation>
    </message>
    <message>
        <source>неизвестный формат «%1» (допустимы CSVDelimited, TabDelimited, Delimited(x) и FixedLength)</source>
        <translation>невідомий формат «%1» (допустимі CSVDelimited, TabDelimited, Delimited(x) і FixedLength)</translation>
    </message>
    <message>
        <source>неизвестная кодировка «%1» (допустимы ANSI, OEM, Unicode, 1251, 866, 65001)</source>
        <translation>невідоме кодування «%1» (допустимі ANSI, OEM, Unicode, 1251, 866, 65001)</translation>
    </message>
    <message>
        <source>%1 должно быть True или False, а не «%2»</source>
        <translation>%1 має бути True або False, а не «%2»</translation>
    </message>
    <message>
        <source>незакрытые кавычки в имени столбца</source>
        <translation>незакриті лапки в імені стовпця</translation>
    </message>
    <message>
        <source>у столбца %1 не указано имя</source>
        <translation>у стовпця %1 не вказано ім’я</translation>
    </message>
    <message>
        <source>у столбца «%1» неверная ширина</source>
        <translation>у стовпця «%1» неправильна ширина</translation>
    </message>
    <message>
        <source>ключ %1: столбцы нумеруются с Col1</source>
        <translation>ключ %1: стовпці нумеруються з Col1</translation>
    </message>
    <message>
        <source>ключ %1: номер столбца пишется без нулей впереди</source>
        <translation>ключ %1: номер стовпця пишеться без нулів попереду</translation>
    </message>
    <message>
        <source>ключ %1: столбцов в таблице не бывает больше %2</source>
        <translation>ключ %1: стовпців у таблиці не буває більше %2</translation>
    </message>
    <message>
        <source>Файл %1 длиннее 1 МБ: это не описание файлов</source>
        <translation>Файл %1 довший за 1 МБ: це не опис файлів</translation>
    </message>
    <message>
        <source>Файл %1 не удаётся прочитать: %2</source>
        <translation>Файл %1 не вдається прочитати: %2</translation>
    </message>
    <message>
        <source>TextDelimiter «%1» совпадает с разделителем полей</source>
        <translation>TextDelimiter «%1» збігається з роздільником полів</translation>
    </message>
    <message>
        <source>%1 должен быть одним латинским знаком или none</source>
        <translation>%1 має бути одним латинським знаком або none</translation>
    </message>
    <message>
        <source>DecimalSymbol должен быть одним латинским знаком</source>
        <translation>DecimalSymbol має бути одним латинським знаком</translation>
    </message>
    <message>
        <source>ключ %1: столбец %2 уже задан в строке %3</source>
        <translation>ключ %1: стовпець %2 уже задано в рядку %3</translation>
    </message>
    <message>
        <source>ключ Col%1: пропущен столбец Col%2</source>
        <translation>ключ Col%1: пропущено стовпець Col%2</translation>
    </message>
    <message>
        <source>у столбца «%1» не указана ширина (Width), а формат FixedLength</source>
        <translation>у стовпця «%1» не вказано ширину (Width), а формат FixedLength</translation>
    </message>
    <message>
        <source>для формата FixedLength нужны столбцы Col1, Col2, … с шириной</source>
        <translation>для формату FixedLength потрібні стовпці Col1, Col2, … із шириною</translation>
    </message>
    <message>
        <source>без строки заголовка (ColNameHeader=False) нужны имена столбцов Col1, Col2, …</source>
        <translation>без рядка заголовка (ColNameHeader=False) потрібні імена стовпців Col1, Col2, …</translation>
    </message>
    <message>
        <source>без строки заголовка (ColNameHeader=False) нужен ключ Format: разделитель не из чего узнать</source>
        <translation>без рядка заголовка (ColNameHeader=False) потрібен ключ Format: роздільник ні з чого дізнатися</translation>
    </message>
</context>
<context>
    <name>TformWait</name>
    <message>
        <source>Выполнение операции ...</source>
        <translation>Виконання операції ...</translation>
    </message>
</context>
</TS>
