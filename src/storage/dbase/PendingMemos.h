#pragma once

#include "framework/data/DataSetTypes.h"

#include <QByteArray>
#include <QVarLengthArray>
#include <algorithm>
#include <map>

// Memo texts given to records and not yet in the memo file, by record buffer and field index.
// They reach the file when the record is posted, so that cancelling the record discards them.
class TPendingMemos {
public:
    void Put(TRecordBuffer buffer, int field, const QByteArray& text) {
        memos_[buffer][field] = text;
    }
    // The text given to a buffer's field; none when the field keeps the file's memo.
    const QByteArray* Find(TRecordBuffer buffer, int field) const {
        const auto it = memos_.find(buffer);
        if (it == memos_.end())
            return nullptr;
        const auto memo = it->second.find(field);
        return memo == it->second.end() ? nullptr : &memo->second;
    }
    void Forget(TRecordBuffer buffer) { memos_.erase(buffer); }
    void Clear() { memos_.clear(); }

    // Hands each text of a buffer to `store(field, text)`, then `post()` writes the record;
    // the texts are forgotten once both are done. When either fails (a full disk), `undo()`
    // takes the texts stored so far back out of the memo file and the buffer's `image` of
    // `size` bytes is put back as it was: the texts wait again with their record.
    template <class Store, class Post, class Undo>
    void StoreAll(TRecordBuffer buffer, char* image, int size, Store store, Post post, Undo undo) {
        const auto it = memos_.find(buffer);
        QVarLengthArray<char, 2048> before;
        before.append(image, size);
        try {
            if (it != memos_.end())
                for (const auto& [field, text] : it->second)
                    store(field, text);
            post();
        } catch (...) {
            undo();
            std::copy(before.begin(), before.end(), image);
            throw;
        }
        if (it != memos_.end())
            memos_.erase(it);
    }

private:
    std::map<TRecordBuffer, std::map<int, QByteArray>> memos_;
};
