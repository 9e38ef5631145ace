#pragma once

#include <string>

class IRunHost;
class TGoodsTable;

struct TExportInputs {
    std::string Folder;    // the output folder text as typed
    bool WriteID = false;  // the "write the record identifier" box, read once at the start
};

// The folder text with the path delimiter (kPathDelimiter) appended unless it already ends in a
// delimiter or in "\" (on POSIX a trailing "\" becomes "/"); an empty text gives the delimiter.
std::string ExportFolderPath(const std::string& folder);

// The goods export: writes "Справочник.dbf" and "Приходы.dbf" into the folder and reports
// "Данные сохранены!". Failures are thrown (ED, the file-creation error, or std::runtime_error
// "Нет данных для сохранения в BDF!"); clean-up runs on every way out.
void ExportGoods(const TExportInputs& inputs, TGoodsTable& goods, IRunHost& host);
