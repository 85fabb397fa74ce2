#pragma once

#include "framework/data/Exceptions.h"

#include <QString>

// Errors of the table engine: a damaged or unsupported table, and a value too long for its
// field. Stream failures of the files come as EInOutError.
ORV_DECLARE_EXCEPTION(EBinaryDataSetError, Exception)
ORV_DECLARE_EXCEPTION(EFieldToLongError, Exception)

namespace dbtable {

// How a paged file is opened: for reading, everybody else may read and write; for reading
// and writing; or made anew (an existing file is emptied).
enum class TPagedMode { Read, ReadWrite, Create };

// The value kinds of table fields as the dataset sees them. Values in record buffers:
// String NUL-terminated bytes; Smallint int16_t; Integer int32_t; Boolean int16_t (1 true,
// 0 false); Float and Currency double; Date int32_t day number (1 January of year 1 is day 1).
// Other stands for every dataset type the table file cannot hold.
enum class TDbfType {
    Unknown,
    String,
    Smallint,
    Integer,
    Boolean,
    Float,
    Currency,
    Date,
    Memo,
    Other
};

// One field definition as the dataset makes it from a table, or hands over to create one.
struct TDbfFieldDef {
    QString Name; // as stored, case kept
    TDbfType Type = TDbfType::Unknown;
    int Size = 0; // the length for strings, 0 for every other type
    bool Required = false;
};

// Where a field lies in the record image. The deletion byte is offset 0.
struct TMyFieldInfo {
    QString Name; // lowercased
    char Letter = 'C';
    int Length = 0;
    int Decimals = 0;
    int Offset = 0;
};

} // namespace dbtable
