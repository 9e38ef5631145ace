#pragma once

// The captions and control texts of the program's windows (UTF-8), the same in every front end.

inline constexpr const char* kMainCaption = "Импорт справочника из KELVA в ЛАРМИС";

// The operator's instructions, one entry a line; several lines end with a blank of their own.
inline constexpr const char* kInstructions[] = {
    "Для импорта справочника товаров в ЛАРМИС из KELVA необходимо сформировать отчет по ",
    "остаткам товара на последнюю смену и сохранить отчет на дискетку с помощью ",
    "комбинации Ctrl+F. Если после сохранения прочитать дискетку окажется невозможным ",
    "(возможно, что и отформатировать ее уже не удастся), обратитесь в организацию KELVA, ",
    "возможно они смогут предложить другой способ импорта остатков товара.",
    "Не зная, в каком формате хранятся данные KELVA, другой способ импорта справочника",
    "невозможен.",
    "На дискетке должен быть создан файл PRINT.TXT. Основные данные, хранимые в нем -",
    "остатки товара и цены товара. Без знания цен товара испорт в ЛАРМИС невозможен.",
    "Наименования товаров системы KELVA хранятся в файле ARTICLE.TXT. Необходимо",
    "указать последнюю версию данного файла.",
    "ЛАРМИС не допускает наличие отрицательных остатков, поэтому для всех товаров с",
    "отрицательными остатками будет установлен остаток = 0.",
    "В ЛАРМИС сначала необходимо загрузить справочник товаров (меню Товары / Справочники /",
    "Товары), а после этого провести ускоренную инвентаризацию (меню Товары / ",
    "Инвернатицация). В окне инвентаризации следует нажать кнопку \"Загрузить\" и в окне",
    "открытия файла выбрать файл с расширением DBF (Приход.dbf).",
};

inline constexpr const char* kPrintLabel = "Укажите расположение файла PRINT.TXT:";
inline constexpr const char* kArticleLabel =
    "Укажите расположение файла ARTICLE.LST или ARTICLE.TXT:";
inline constexpr const char* kFolderLabel =
    "Укажите каталог для сохранения файлов \"Справочник.dbf\" и \"Приход.dbf\":";
inline constexpr const char* kPrefixLabel = "Укажите префикс для генератора штрих-кодов:";
inline constexpr const char* kStartValueLabel =
    "Укажите стартовое значение для генератора штрих-кодов:";
inline constexpr const char* kWriteIDCaption = "При экспорте в DBF сохранять идентификатор записи";
inline constexpr const char* kNdsLabel = "Значение НДС:";
// The generator's option beside the start value: generated barcodes as EAN-13.
inline constexpr const char* kEan13Caption = "Штрих-коды EAN-13";
inline constexpr const char* kImportButton = "Обработать";
inline constexpr const char* kShowResultsButton = "Показать результаты";
inline constexpr const char* kSaveButton = "Сохранить в DBF-формате";

inline constexpr const char* kViewerCaption = "Данные, полученные из KELVA";
inline constexpr const char* kViewerLabel = "Отредактируйте данные при необходимости!";
inline constexpr const char* kCloseButton = "Закрыть";
inline constexpr const char* kFindingsLabel = "Замечания перед загрузкой в ЛАРМИС:";

inline constexpr const char* kFileChooserTitle = "Список";
inline constexpr const char* kFileChooserFilter = "Все файлы (*.*)";
inline constexpr const char* kFolderChooserTitle = "Select Directory";
