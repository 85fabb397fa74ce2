#include "platform/FileSearch.h"

#include "platform/Codepage.h"
#include "platform/SearchMasks.h"
#include "platform/Volumes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <iterator>
#include <set>
#include <stdlib.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_set>
#include <utility>
#include <vector>

namespace FileSearch {

namespace {

TMatchHook& matchHook() {
    static TMatchHook hook;
    return hook;
}

using TFolderId = std::pair<dev_t, ino_t>;

struct FolderIdHash {
    size_t operator()(const TFolderId& id) const {
        return std::hash<unsigned long long>()((static_cast<unsigned long long>(id.first) << 32) ^
                                               static_cast<unsigned long long>(id.second));
    }
};

// Looks at an entry without following a link and without mounting what an automounter
// would mount on it.
bool statEntry(int folder, const char* name, bool follow, struct stat& st) {
    const int flags = AT_NO_AUTOMOUNT | (follow ? 0 : AT_SYMLINK_NOFOLLOW);
    return fstatat(folder, name, &st, flags) == 0;
}

qint64 modifiedMs(const struct stat& st) {
    return qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000;
}

std::string joinPath(const std::string& folder, const char* name) {
    std::string path;
    const size_t length = std::strlen(name);
    path.reserve(folder.size() + 1 + length);
    path.append(folder);
    if (path.empty() || path.back() != '/')
        path.push_back('/');
    path.append(name, length);
    return path;
}

// The path with every link resolved; empty when it leads nowhere.
std::string realPath(const std::string& path) {
    char* resolved = realpath(path.c_str(), nullptr);
    if (!resolved)
        return {};
    std::string result(resolved);
    free(resolved);
    return result;
}

bool within(const std::string& path, const std::string& folder) {
    return path.starts_with(folder) &&
           (path.size() == folder.size() || folder.back() == '/' || path[folder.size()] == '/');
}

// Where the search does not go: the kernel's file systems and the system's run-time mounts.
// They are told by device, so that a link into one is not followed either; a device that a
// browsable volume shares (a folder mounted a second time) stays open. The folders they are
// mounted on (proc, sys, dev and run of the system's root) are told by the folder itself and,
// behind a link, by the path the link leads to, for where they are plain folders of the root
// file system (containers, chroots). None of them is fenced when the search starts inside it.
class TFences {
public:
    TFences(const std::string& systemRoot, const std::string& start, dev_t startDevice) {
        std::set<dev_t> browsable, others;
        for (const Volumes::MountEntry& m : Volumes::MountTable()) {
            struct stat st;
            if (statEntry(AT_FDCWD, QFile::encodeName(m.mountPoint).constData(), false, st))
                (Volumes::IsBrowsable(m) ? browsable : others).insert(st.st_dev);
        }
        for (dev_t device : others)
            if (device != startDevice && !browsable.count(device))
                devices_.insert(device);
        const std::string realStart = realPath(start);
        for (const char* name : {"proc", "sys", "dev", "run"}) {
            const std::string folder = realPath(joinPath(systemRoot, name));
            struct stat st;
            if (folder.empty() || within(realStart, folder) ||
                !statEntry(AT_FDCWD, folder.c_str(), true, st) || !S_ISDIR(st.st_mode))
                continue;
            paths_.push_back(folder);
            folders_.insert({st.st_dev, st.st_ino});
        }
    }

    // A folder as it is (a link followed).
    bool Keeps(const struct stat& st) const {
        return !devices_.count(st.st_dev) && !folders_.count({st.st_dev, st.st_ino});
    }
    // A folder reached through a link, by the path the link leads to.
    bool KeepsPath(const std::string& path) const {
        if (paths_.empty())
            return true;
        const std::string real = realPath(path);
        return std::none_of(paths_.begin(), paths_.end(),
                            [&](const std::string& fenced) { return within(real, fenced); });
    }

private:
    std::set<dev_t> devices_;
    std::set<TFolderId> folders_;
    std::vector<std::string> paths_;
};

// Whether a file holds a text, letter case ignored, as ANSI or as UTF-8 text.
class TTextFinder {
public:
    explicit TTextFinder(const QString& text) : text_(text) {
        ascii_ = std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 128; });
        if (ascii_)
            lower_ = text.toLatin1().toLower();
        // A match may straddle two reads: the end of one read is looked at again with the next.
        overlap_ = ascii_ ? lower_.size() - 1 : text.size() * 4;
    }

    bool Empty() const { return text_.isEmpty(); }

    bool FoundIn(int folder, const char* name, const std::atomic<bool>& stop) const {
        const int fd = openat(folder, name, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd < 0)
            return false;
        struct stat st;
        // Only a regular file: a pipe or a device could block or never end.
        bool found = false;
        if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode))
            found = Scan(fd, stop);
        close(fd);
        return found;
    }

private:
    bool Scan(int fd, const std::atomic<bool>& stop) const {
        constexpr qsizetype chunk = 64 * 1024;
        QByteArray buffer;
        while (!stop.load(std::memory_order_relaxed)) {
            const qsizetype kept = buffer.size();
            buffer.resize(kept + chunk);
            const ssize_t got = read(fd, buffer.data() + kept, size_t(chunk));
            if (got <= 0)
                return false;
            buffer.resize(kept + got);
            if (Holds(buffer))
                return true;
            buffer.remove(0, std::max<qsizetype>(0, buffer.size() - overlap_));
        }
        return false;
    }

    bool Holds(QByteArray& bytes) const {
        if (ascii_) {
            for (char& c : bytes)
                if (c >= 'A' && c <= 'Z')
                    c = char(c - 'A' + 'a');
            return bytes.contains(lower_);
        }
        return QString::fromUtf8(bytes).contains(text_, Qt::CaseInsensitive) ||
               Codepage::ToUnicode(bytes, Codepage::Ansi).contains(text_, Qt::CaseInsensitive);
    }

    QString text_;
    bool ascii_ = true;
    QByteArray lower_;
    qsizetype overlap_ = 0;
};

class TWalker {
public:
    TWalker(const TCriteria& criteria, const std::function<void(TFoundFile&&)>& found,
            const std::atomic<bool>& stop, const QString& systemRoot)
        : criteria_(criteria), masks_(criteria.Masks), text_(criteria.Text), found_(found),
          stop_(stop), systemRoot_(systemRoot) {}

    void Run() {
        const QString start = QDir::cleanPath(QFileInfo(criteria_.Folder).absoluteFilePath());
        const std::string root = QFile::encodeName(start).toStdString();
        struct stat st;
        if (!statEntry(AT_FDCWD, root.c_str(), true, st) || !S_ISDIR(st.st_mode))
            return;
        const TFences fences(QFile::encodeName(systemRoot_).toStdString(), root, st.st_dev);
        visited_.insert({st.st_dev, st.st_ino});
        std::vector<std::string> folders{root};
        while (!folders.empty() && !Stopped()) {
            const std::string folder = std::move(folders.back());
            folders.pop_back();
            const size_t before = folders.size();
            Read(folder, fences, folders);
            // Subfolders are taken in the order they were listed.
            std::reverse(folders.begin() + qsizetype(before), folders.end());
        }
    }

private:
    bool Stopped() const { return stop_.load(std::memory_order_relaxed); }

    void Read(const std::string& folder, const TFences& fences, std::vector<std::string>& next) {
        DIR* dir = opendir(folder.c_str());
        if (!dir)
            return; // unreadable: passed over
        const int fd = dirfd(dir);
        QString folderName;
        while (const dirent* entry = readdir(dir)) {
            if (Stopped())
                break;
            const char* name = entry->d_name;
            if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
                continue;
            struct stat st;
            bool known = false;
            bool isFolder = entry->d_type == DT_DIR;
            if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
                // A link counts as what it leads to; one that leads nowhere as itself.
                known = statEntry(fd, name, true, st) || statEntry(fd, name, false, st);
                isFolder = known && S_ISDIR(st.st_mode);
            }
            const QString decoded = QFile::decodeName(name);
            if (masks_.MatchesFolded(decoded.toCaseFolded()) &&
                (text_.Empty() || (!isFolder && text_.FoundIn(fd, name, stop_)))) {
                if (!known)
                    known = statEntry(fd, name, true, st) || statEntry(fd, name, false, st);
                if (known && !Stopped()) {
                    if (folderName.isEmpty())
                        folderName = QFile::decodeName(folder.c_str());
                    TFoundFile file{decoded, folderName, isFolder ? 0 : qint64(st.st_size),
                                    modifiedMs(st), isFolder};
                    found_(std::move(file));
                    if (const TMatchHook& hook = matchHook())
                        hook(stop_);
                }
            }
            if (!isFolder || !criteria_.Subfolders)
                continue;
            if (entry->d_type == DT_DIR && !statEntry(fd, name, false, st))
                continue;
            // Only a link leads elsewhere than into the folder it lies in.
            bool link = entry->d_type == DT_LNK;
            struct stat own;
            if (entry->d_type == DT_UNKNOWN)
                link = statEntry(fd, name, false, own) && S_ISLNK(own.st_mode);
            std::string path = joinPath(folder, name);
            if (!fences.Keeps(st) || (link && !fences.KeepsPath(path)) ||
                !visited_.insert({st.st_dev, st.st_ino}).second)
                continue;
            next.push_back(std::move(path));
        }
        closedir(dir);
    }

    const TCriteria& criteria_;
    TSearchMasks masks_;
    TTextFinder text_;
    const std::function<void(TFoundFile&&)>& found_;
    const std::atomic<bool>& stop_;
    const QString& systemRoot_;
    std::unordered_set<TFolderId, FolderIdHash> visited_;
};

} // namespace

QString TFoundFile::Path() const {
    return Folder.endsWith(QLatin1Char('/')) ? Folder + Name : Folder + QLatin1Char('/') + Name;
}

void Search(const TCriteria& criteria, const std::function<void(TFoundFile&&)>& found,
            const std::atomic<bool>& stop, const QString& systemRoot) {
    TWalker(criteria, found, stop, systemRoot).Run();
}

void SetMatchHook(TMatchHook hook) {
    matchHook() = std::move(hook);
}

} // namespace FileSearch

TFileSearch::TFileSearch(QObject* parent) : QObject(parent), deliveries_(new QTimer(this)) {
    deliveries_->setInterval(DeliveryInterval);
    connect(deliveries_, &QTimer::timeout, this, &TFileSearch::Deliver);
}

TFileSearch::~TFileSearch() {
    stop_ = true;
    if (thread_.joinable())
        thread_.join();
}

void TFileSearch::Start(const FileSearch::TCriteria& criteria) {
    Stop();
    if (thread_.joinable())
        thread_.join();
    stop_ = false;
    running_ = true;
    {
        std::lock_guard lock(mutex_);
        pending_.clear();
        done_ = false;
    }
    thread_ = std::thread([this, criteria] {
        FileSearch::Search(
            criteria,
            [this](FileSearch::TFoundFile&& file) {
                std::lock_guard lock(mutex_);
                if (!stop_)
                    pending_.append(std::move(file));
            },
            stop_);
        std::lock_guard lock(mutex_);
        done_ = true;
    });
    deliveries_->start();
}

void TFileSearch::Stop() {
    stop_ = true;
    deliveries_->stop();
    ++generation_;
    running_ = false;
    std::lock_guard lock(mutex_);
    pending_.clear();
}

void TFileSearch::Deliver() {
    QList<FileSearch::TFoundFile> files;
    bool last = false;
    {
        std::lock_guard lock(mutex_);
        if (pending_.size() <= MaxBatch) {
            files.swap(pending_);
        } else {
            files.reserve(MaxBatch);
            std::move(pending_.begin(), pending_.begin() + MaxBatch, std::back_inserter(files));
            pending_.remove(0, MaxBatch);
        }
        last = pending_.isEmpty() && done_;
    }
    const quint64 generation = generation_;
    if (!files.isEmpty())
        emit Found(files);
    // Whoever was told may have stopped the search meanwhile, and even started another.
    if (last && generation == generation_) {
        deliveries_->stop();
        running_ = false;
        emit Finished();
    }
}
