#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>
#include <atomic>
#include <functional>
#include <mutex>
#include <thread>

// Finding files below a folder by name and by the text they hold, as the system's file search
// does.
namespace FileSearch {

struct TCriteria {
    QString Folder; // where the search starts
    QString Masks;  // as TSearchMasks takes them; empty takes every name
    QString Text;   // text the files must hold, letter case ignored; empty: any
    bool Subfolders = true;
};

struct TFoundFile {
    QString Name;
    QString Folder; // native, without a trailing separator unless it is the root
    qint64 Size = 0;
    qint64 Modified = 0; // milliseconds since 1970, UTC
    bool IsFolder = false;

    QString Path() const;
};

// Searches on the calling thread and hands each match to `found` as soon as it is found;
// returns when the tree is done or as soon as `stop` is set. Folders and files that cannot be
// read are passed over. A folder is searched once however many links lead to it, so a link
// never leads into a loop. The kernel's file systems and the system's run-time mounts are not
// entered unless the search starts in one: neither a mount of such a file system nor the
// folders proc, sys, dev and run of `systemRoot`, whether they are mounts of their own or
// plain folders (as in a container), nor a link into them. A folder matches by its name
// alone, and only while no text is asked for.
void Search(const TCriteria& criteria, const std::function<void(TFoundFile&&)>& found,
            const std::atomic<bool>& stop, const QString& systemRoot = QStringLiteral("/"));

// Tests hold a running search here: called on the search's thread after each match it has
// handed on, with the search's stop request.
using TMatchHook = std::function<void(const std::atomic<bool>& stopRequested)>;
void SetMatchHook(TMatchHook hook);

} // namespace FileSearch

// Long lists of matches grow without copying each one.
Q_DECLARE_TYPEINFO(FileSearch::TFoundFile, Q_RELOCATABLE_TYPE);

// A search on a thread of its own, so that the window that asked stays responsive: its
// matches reach the owner's thread while it runs, at a steady pace in batches of a bounded
// size, so that however many there are and however fast they are found, the owner spends
// little of its time on them and never long at once.
class TFileSearch : public QObject {
    Q_OBJECT
public:
    explicit TFileSearch(QObject* parent = nullptr);
    // Stops the search and waits for its thread, which ends within one folder entry or one
    // read of a file.
    ~TFileSearch() override;

    // Stops a search that runs and starts this one.
    void Start(const FileSearch::TCriteria& criteria);
    // Stops at once: nothing more is told of the search, not even that it has finished.
    void Stop();
    bool Running() const { return running_; }

    // What waits is delivered every DeliveryInterval milliseconds, at most MaxBatch at a time.
    static constexpr int DeliveryInterval = 20;
    static inline qsizetype MaxBatch = 20000;

signals:
    void Found(const QList<FileSearch::TFoundFile>& files);
    void Finished();

private:
    void Deliver();

    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    // Guarded by mutex_: what waits to be delivered, and whether the search is done.
    QList<FileSearch::TFoundFile> pending_;
    bool done_ = false;
    // The owner thread's alone.
    QTimer* deliveries_;
    quint64 generation_ = 0; // counts the searches stopped
    bool running_ = false;
};
