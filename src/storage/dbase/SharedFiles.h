#pragma once

#include "platform/FileIdentity.h"

#include <algorithm>
#include <utility>
#include <vector>

// What the paged files of both table engines share: each engine lists its open files once in
// the process, so that one file is opened once and shared by reference count, and holders
// keep their reference in a TFileRef. A file is known by what it is, not by its name: names
// that differ only in letter case are two files where the volume tells them apart, and two
// names of one file (a link, a path through "..") are that one file.
namespace sharedfiles {

// The open files of one engine, in the order they were opened.
template <class File> class TOpenFileList {
public:
    void Add(File* file) { files_.push_back(file); }
    void Remove(File* file) {
        files_.erase(std::remove(files_.begin(), files_.end(), file), files_.end());
    }
    // The first file that is the file `path` names now; none when it names none.
    File* Find(const QString& path) const {
        const FileIdentity wanted = FileIdentity::OfPath(path);
        if (!wanted.Valid)
            return nullptr;
        for (File* f : files_)
            if (f->Identity() == wanted)
                return f;
        return nullptr;
    }
    const std::vector<File*>& Files() const { return files_; }

private:
    std::vector<File*> files_;
};

// Holds one reference to a shared file and releases it when it goes. With `AddsRef` taking a
// file adds the holder's reference; without it the holder takes over a reference the file
// was handed out with.
template <class T, bool AddsRef> class TFileRef {
public:
    TFileRef() = default;
    explicit TFileRef(T* file) : file_(file) { take(); }
    ~TFileRef() { reset(); }
    TFileRef(TFileRef&& other) noexcept : file_(other.release()) {}
    TFileRef& operator=(TFileRef&& other) noexcept {
        if (this != &other) {
            reset();
            file_ = other.release();
        }
        return *this;
    }
    TFileRef(const TFileRef&) = delete;
    TFileRef& operator=(const TFileRef&) = delete;

    T* get() const { return file_; }
    T* operator->() const { return file_; }
    T& operator*() const { return *file_; }
    explicit operator bool() const { return file_ != nullptr; }
    // Lets go of the file without releasing the reference.
    T* release() { return std::exchange(file_, nullptr); }
    void reset(T* file = nullptr) {
        if (T* old = std::exchange(file_, file))
            old->Release();
        take();
    }

private:
    void take() {
        if constexpr (AddsRef)
            if (file_)
                file_->AddRef();
    }

    T* file_ = nullptr;
};

} // namespace sharedfiles
