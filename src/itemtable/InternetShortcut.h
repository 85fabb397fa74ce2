#pragma once

#include <QString>

class TDataSet;

// Internet shortcut files (".url"): an INI file whose section "InternetShortcut" names an
// address under the key "URL".

// The address a shortcut file holds; empty when it holds none.
QString InternetShortcutURL(const QString& path);

// A shortcut as a record of the item table `table` (a new record, or the current one edited):
// the caption is the file's name without ".url", cut after 30 characters, followed by " ...",
// the description the whole name, the file the address; the record is posted. A shortcut
// without an address changes nothing and gives false.
bool ImportInternetShortcut(TDataSet& table, const QString& path, bool asNewRecord);
