#pragma once

#include "framework/data/Exceptions.h"

#include <QByteArray>
#include <QString>

// The second-generation table engine: paged files, field definitions, the table file and its
// cursors. It shares the byte layouts of tables with the engine of TDbTable (namespace dbtable)
// and nothing else.
namespace dbdataset {

// A damaged table, a value that does not fit its field, a text the table cannot hold.
ORV_DECLARE_EXCEPTION(EDbfFileError, Exception)

// Table text is stored in the OEM code page. A character the code page cannot hold, and the
// NUL character, which would end the text, are refused with an EDbfFileError that names the
// character and the field; nothing is replaced silently.
QByteArray ToTableText(const QString& text, const QString& fieldName);
QString FromTableText(const QByteArray& bytes);

} // namespace dbdataset
