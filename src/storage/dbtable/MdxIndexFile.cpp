#include "storage/dbtable/MdxIndexFile.h"

#include <QFileInfo>
#include <algorithm>
#include <climits>

namespace dbtable {

TIndexFile::TIndexFile(const QString& path, TPagedMode mode)
    : TPagedFile(path, mode), header_(HeaderLength, '\0') {
    SetHeaderSize(0);
    SetRecordSize(PageSize);
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf('.');
    if (mode != TPagedMode::Create && dot >= 0 && name.mid(dot) == QLatin1String(".mdx"))
        complete_ = ReadAt(0, header_.data(), HeaderLength) == HeaderLength;
}

int TIndexFile::TagCount() const {
    return quint8(header_[28]) | (quint8(header_[29]) << 8);
}

IndexTag::IndexTag(TIndexFile* file, int headerBlock, int keyOffset, int keyLength)
    : TIndexTree(dbindex::TRules::Table), file_(file), headerBlock_(headerBlock),
      tagHeader_(TagHeaderLength, '\0') {
    if (headerBlock_ < 1)
        Damaged();
    file_->ReadAt(qint64(headerBlock_) * TIndexFile::PageSize, tagHeader_.data(), TagHeaderLength);
    if (!ShapeIsSound(dbindex::EntryBytes / (MaxKeyLength + 8)) || keyOffset < 0 || keyLength < 0 ||
        keyLength > HeaderKeyLength() || (!CharacterKeys() && keyLength < 8))
        Damaged();
    KeyOffset = keyOffset;
    KeyLength = keyLength;
    ResetRoot(RootPageNo(), false);
    BuildLevels();
}

int IndexTag::GetPhysicalRecNo() {
    const int stored = StoredRecNo();
    return stored > 0 ? stored - 1 : -1;
}

void IndexTag::SetPhysicalRecNo(int n) {
    RootLevel()->DescendFirst();
    while (StoredRecNo() != n + 1)
        if (!Next())
            break;
}

void IndexTag::Damaged() const {
    throw EBinaryDataSetError(QStringLiteral("The tag at block %1 of the index file \"%2\" is "
                                             "damaged.")
                                  .arg(headerBlock_)
                                  .arg(file_->Path()));
}

void IndexTag::WriteTreeHeader() {
    file_->WriteAt(qint64(headerBlock_) * TIndexFile::PageSize, tagHeader_.constData(),
                   TagHeaderLength);
}

void IndexTag::ReadPage(int n, char* page) {
    file_->ReadAt(qint64(n) * TIndexFile::PageSize, page, TIndexFile::PageSize);
}

void IndexTag::WritePage(int n, const char* page) {
    file_->WriteAt(qint64(n) * TIndexFile::PageSize, page, TIndexFile::PageSize);
}

namespace {

int pagesIn(qint64 fileSize) {
    return int(std::min<qint64>(fileSize / TIndexFile::PageSize - 1, INT_MAX));
}

} // namespace

int IndexTag::PagesInFile() const {
    return pagesIn(file_->Size());
}

int IndexTag::PagesInFileNow() {
    return pagesIn(file_->CurrentSize());
}

} // namespace dbtable
