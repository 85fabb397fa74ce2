#pragma once

#include "framework/data/Exceptions.h"

#include <QByteArray>
#include <QString>
#include <exception>
#include <functional>

class QObject;
class TDataSet;
class TField;

// The states of a dataset. The temporary ones (calculated fields, filter, new value) last only
// while the dataset fills a buffer or asks its filter.
enum TDataSetState {
    dsInactive,
    dsBrowse,
    dsEdit,
    dsInsert,
    dsSetKey,
    dsCalcFields,
    dsFilter,
    dsNewValue,
    dsOldValue,
    dsCurValue,
    dsBlockRead,
    dsInternalCalc,
    dsOpening,
};

inline bool IsEditState(TDataSetState s) {
    return s == dsEdit || s == dsInsert || s == dsSetKey;
}

// The data types of fields and field definitions, in their fixed order: stored files and
// the engines translate type letters to these values.
enum TFieldType {
    ftUnknown,
    ftString,
    ftSmallint,
    ftInteger,
    ftWord,
    ftBoolean,
    ftFloat,
    ftCurrency,
    ftBCD,
    ftDate,
    ftTime,
    ftDateTime,
    ftBytes,
    ftVarBytes,
    ftAutoInc,
    ftBlob,
    ftMemo,
    ftGraphic,
    ftFmtMemo,
    ftParadoxOle,
    ftDBaseOle,
    ftTypedBinary,
    ftCursor,
};

// Readable name of a field type, for error texts.
QString FieldTypeName(TFieldType type);

enum TFieldKind { fkData, fkCalculated, fkLookup, fkInternalCalc };

// What a record fetch asks for and what it answers.
enum TGetMode { gmCurrent, gmNext, gmPrior };
enum TGetResult { grOK, grBOF, grEOF, grError };

// Where a buffered record stands: a stored record, the place before the first or after the
// last record (new records on an empty set or appended), or a record being inserted.
enum TBookmarkFlag { bfCurrent, bfBOF, bfEOF, bfInserted };

enum TBlobStreamMode { bmRead, bmWrite, bmReadWrite };

enum TDataAction { daFail, daAbort, daRetry };

enum TLocateOption { loCaseInsensitive = 1, loPartialKey = 2 };
using TLocateOptions = unsigned;

// What a dataset tells its data sources and, through them, the bound controls.
enum TDataEvent {
    deFieldChange,
    deRecordChange,
    deDataSetChange,
    deDataSetScroll,
    deLayoutChange,
    deUpdateRecord,
    deUpdateState,
    deCheckBrowseMode,
    dePropertyChange,
    deFieldListChange,
    deFocusControl,
};

// Resynchronisation: exact demands that the current record still exists ("Record not
// found" otherwise); center puts it in the middle of the buffered records.
enum TResyncOption { rmExact = 1, rmCenter = 2 };
using TResyncMode = unsigned;

// A record buffer as the dataset subclass lays it out.
using TRecordBuffer = char*;

// A bookmark: the bytes a subclass stores for a record. Empty means none.
struct TBookmark {
    QByteArray Data;
    bool IsNull() const { return Data.isEmpty(); }
    bool operator==(const TBookmark& other) const { return Data == other.Data; }
};

// Errors of datasets, fields and data sources.
ORV_DECLARE_EXCEPTION(EDatabaseError, Exception)

using TDataSetNotifyEvent = std::function<void(TDataSet* dataSet)>;
using TFilterRecordEvent = std::function<void(TDataSet* dataSet, bool& accept)>;
using TDataSetErrorEvent =
    std::function<void(TDataSet* dataSet, const std::exception& e, TDataAction& action)>;
// A character typed into a data-aware control; a handler sets key to 0 to swallow it.
using TKeyPressEvent = std::function<void(QObject* sender, QChar& key)>;

// The dataset layer's message texts.
namespace DbText {
inline const char* const RecordNotFound = "Record not found";
inline const char* const DataSetOpen = "Cannot perform this operation on an open dataset";
inline const char* const DataSetClosed = "Cannot perform this operation on a closed dataset";
inline const char* const NotEditing = "Dataset not in edit or insert mode";
inline const char* const DataSetReadOnly = "Cannot modify a read-only dataset";
inline const char* const DataSetEmpty = "Cannot perform this operation on an empty dataset";
inline const char* const DeleteRecordQuestion = "Delete record?";
} // namespace DbText

[[noreturn]] void DatabaseError(const QString& message);
