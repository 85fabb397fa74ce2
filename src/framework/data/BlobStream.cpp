#include "framework/data/BlobStream.h"

#include "framework/data/DataSet.h"
#include "framework/data/Field.h"

TBlobStream::TBlobStream(TField* field, TBlobStreamMode mode, const QByteArray& content)
    : field_(field), mode_(mode) {
    setData(content);
    open(QIODevice::ReadWrite);
}

void TBlobStream::ReportChange() {
    changeReported_ = true;
    if (field_ && field_->DataSet())
        field_->DataSet()->DataEvent(deFieldChange, field_);
}
