#include "framework/data/BlobStream.h"

TBlobStream::TBlobStream(TField* field, TBlobStreamMode mode, const QByteArray& content)
    : field_(field), mode_(mode) {
    setData(content);
    open(QIODevice::ReadWrite);
}
