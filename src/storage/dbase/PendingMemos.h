#pragma once

#include "framework/data/DataSetTypes.h"

#include <QByteArray>
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

    // Hands each text of a buffer to `store(field, text)` and forgets it once stored, so that
    // a failure leaves only the texts not yet stored waiting.
    template <class Store> void StoreAll(TRecordBuffer buffer, Store store) {
        const auto it = memos_.find(buffer);
        if (it == memos_.end())
            return;
        auto& memos = it->second;
        while (!memos.empty()) {
            const auto memo = memos.begin();
            store(memo->first, memo->second);
            memos.erase(memo);
        }
        memos_.erase(it);
    }

private:
    std::map<TRecordBuffer, std::map<int, QByteArray>> memos_;
};
