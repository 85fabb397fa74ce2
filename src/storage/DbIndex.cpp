#include "storage/DbIndex.h"

#include "storage/DbfLayout.h"

#include <cstring>

namespace dbdataset {

using namespace dbindex;
using dbflayout::get16;
using dbflayout::put16;
using dbflayout::put32;

namespace {

constexpr int MaxFieldName = 255;
constexpr int FieldNameRead = 232;

} // namespace

TIndexFile::TIndexFile(const QString& fileName, int recreate, bool autoCreate, bool readOnly)
    : TPagedFile(fileName, recreate, autoCreate, readOnly), TIndexTree(TRules::Dataset) {
    SetRecordSize(PageSize);
    SetHeaderSize(PageSize);
    if (recreate == 1) {
        Clear();
        return;
    }
    const int length = get16(Header() + HdrKeyLength);
    if (length > MaxKeyLength)
        throw EDbfEngineError(QStringLiteral("The index file \"%1\" has keys of %2 bytes; at "
                                             "most %3 are supported.")
                                  .arg(fileName)
                                  .arg(length)
                                  .arg(MaxKeyLength));
    if (!ShapeIsSound(EntryBytes / (MaxKeyLength + 8)))
        Damaged();
    ResetRoot(RootPageNo(), false);
    BuildLevels();
}

void TIndexFile::Clear() {
    put32(Header() + HdrRoot, 1);
    put32(Header() + HdrHighest, 1);
    WriteHeader();
    SetRecordCount(1);
    // An empty leaf, written with its first key.
    ResetRoot(1, true);
    BuildLevels();
}

void TIndexFile::InitHeader(int keyOffset, int keyLength, const QString& fieldName) {
    if (keyLength < 1 || keyLength > MaxKeyLength)
        throw EDbfEngineError(
            QStringLiteral("Cannot create an index with keys of %1 bytes; at most %2 are "
                           "supported.")
                .arg(keyLength)
                .arg(MaxKeyLength));
    FillHeader(0);
    char* h = Header();
    put32(h + HdrRoot, 1);
    put32(h + HdrHighest, 1);
    h[HdrKeyType] = 'C';
    h[11] = 0x58;
    put16(h + HdrKeyLength, quint32(keyLength));
    put16(h + HdrKeysPerPage, quint32(EntryBytes / (keyLength + 8)));
    put16(h + HdrEntrySize, quint32(keyLength + 8));
    const QByteArray name = ToTableText(fieldName.toUpper(), fieldName).left(MaxFieldName);
    std::memcpy(h + FieldNameOffset, name.constData(), size_t(name.size()));
    WriteHeader();
    SetRecordCount(0);
    SetShape('C', keyLength);
    KeyOffset = keyOffset;
    KeyLength = keyLength;
    RootLevel()->LoadPage(1);
}

QString TIndexFile::KeyFieldName() const {
    const char* name = Header() + FieldNameOffset;
    return FromTableText(QByteArray(name, qsizetype(qstrnlen(name, FieldNameRead))));
}

void TIndexFile::Damaged() const {
    throw EDbfEngineError(QStringLiteral("The index file \"%1\" is damaged.").arg(Path()));
}

bool TIndexCursor::GotoRecord(int recNo, const char* record) {
    bool found = false;
    if (file_->KeyLength > 0) {
        const QByteArray key = file_->KeyOfRecord(record);
        file_->FindPath(recNo, key.constData(), &found);
    }
    if (!found)
        file_->LeafPage()->GotoEntry(-1);
    return found;
}

} // namespace dbdataset
