#pragma once

#include "framework/data/DataSetTypes.h"

#include <QBuffer>

// The memory stream through which a blob field reads or writes its whole value. A dataset
// subclass creates one per request (holding the value it read, at position 0); a field that
// writes puts the new value at position 0 and then calls Commit, which stores what was
// written and may raise. Errors cannot leave a destructor, so a stream stores nothing there.
class TBlobStream : public QBuffer {
public:
    TBlobStream(TField* field, TBlobStreamMode mode, const QByteArray& content = QByteArray());

    TField* Field() const { return field_; }
    TBlobStreamMode Mode() const { return mode_; }
    // What was written: from position 0 up to the current position, older bytes behind it
    // dropped.
    QByteArray Written() const { return data().left(pos()); }
    // Stores Written() as the field's new value. The default keeps it in memory only.
    virtual void Commit() {}
    // Whether Commit told the dataset that the field changed (which marks the record
    // modified, so that moving off it posts the value instead of dropping it).
    bool ChangeReported() const { return changeReported_; }

protected:
    // For a Commit that stored the value: the field changed.
    void ReportChange();

private:
    TField* field_;
    TBlobStreamMode mode_;
    bool changeReported_ = false;
};
