#include "platform/DiskViews.h"

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <deque>
#include <mutex>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

namespace DiskViews {

namespace {

// Views kept after their last user went.
constexpr size_t KeptViews = 4;
// Address ranges the bus-error handler knows; a file beyond them is read plainly.
constexpr int GuardSlots = 64;
constexpr qint64 Slack = qint64(1) << 20;

// What the bus-error handler may look at: plain atomics, no locks.
struct GuardSlot {
    std::atomic<uintptr_t> begin{0};
    std::atomic<uintptr_t> end{0};
    std::atomic<bool> damaged{false};
};

GuardSlot guards[GuardSlots];
std::atomic<uintptr_t> pageSize{4096};
struct sigaction previousBusAction;

void onBusError(int signal, siginfo_t* info, void* context) {
    const auto address = reinterpret_cast<uintptr_t>(info->si_addr);
    for (GuardSlot& slot : guards) {
        if (address < slot.begin.load() || address >= slot.end.load())
            continue;
        // The file was cut short under the mapping: the page that is gone reads as zeros.
        const uintptr_t page = address & ~(pageSize.load() - 1);
        void* zeros = mmap(reinterpret_cast<void*>(page), pageSize.load(), PROT_READ,
                           MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0);
        if (zeros != MAP_FAILED) {
            slot.damaged.store(true);
            return;
        }
        break;
    }
    // Not ours: as it would have gone without this handler.
    if (previousBusAction.sa_flags & SA_SIGINFO) {
        if (previousBusAction.sa_sigaction) {
            previousBusAction.sa_sigaction(signal, info, context);
            return;
        }
    } else if (previousBusAction.sa_handler != SIG_DFL && previousBusAction.sa_handler != SIG_IGN) {
        previousBusAction.sa_handler(signal);
        return;
    }
    std::signal(SIGBUS, SIG_DFL); // the access repeats and ends the program
}

void installGuard() {
    static std::once_flag once;
    std::call_once(once, [] {
        pageSize.store(uintptr_t(sysconf(_SC_PAGESIZE)));
        struct sigaction action = {};
        action.sa_sigaction = onBusError;
        action.sa_flags = SA_SIGINFO | SA_RESTART;
        sigemptyset(&action.sa_mask);
        sigaction(SIGBUS, &action, &previousBusAction);
    });
}

qint64 roundToPages(qint64 size) {
    const qint64 page = qint64(pageSize.load());
    return (size + page - 1) / page * page;
}

// Room for the file and for some growth.
qint64 reserveFor(qint64 size) {
    return roundToPages(std::max<qint64>(size, 0) + std::max<qint64>(size, 0) / 4 + Slack);
}

} // namespace

struct View {
    quint64 device = 0;
    quint64 inode = 0;
    char* base = nullptr;
    qint64 length = 0;
    int users = 0;
    int slot = -1;
};

namespace {

struct Registry {
    std::mutex mutex;
    std::vector<View*> active;
    std::deque<View*> kept; // most recently used first
};

// Never destroyed: a program may still close a file while it ends, after the objects of this
// file would have gone.
Registry& registry() {
    static Registry* r = new Registry;
    return *r;
}

// The view now lies where a mapping call put it, and the guard learns where that is; false
// when the call failed.
bool publish(View* v, void* base, qint64 length) {
    if (base == MAP_FAILED)
        return false;
    v->base = static_cast<char*>(base);
    v->length = length;
    GuardSlot& g = guards[v->slot];
    g.begin.store(reinterpret_cast<uintptr_t>(v->base));
    g.end.store(reinterpret_cast<uintptr_t>(v->base) + uintptr_t(v->length));
    return true;
}

bool map(View* v, int fd, qint64 length) {
    return publish(v, mmap(nullptr, size_t(length), PROT_READ, MAP_SHARED, fd, 0), length);
}

void unmap(View* v) {
    GuardSlot& g = guards[v->slot];
    g.begin.store(0);
    g.end.store(0);
    munmap(v->base, size_t(v->length));
    v->base = nullptr;
    v->length = 0;
}

void destroy(View* v) {
    unmap(v);
    guards[v->slot].damaged.store(false);
    delete v;
}

int freeSlot() {
    std::vector<bool> used(GuardSlots, false);
    const Registry& r = registry();
    for (View* v : r.active)
        used[size_t(v->slot)] = true;
    for (View* v : r.kept)
        used[size_t(v->slot)] = true;
    for (int i = 0; i < GuardSlots; ++i)
        if (!used[size_t(i)])
            return i;
    return -1;
}

// Makes the view cover `size` bytes of the file, mapped anew where another program cut the
// file short under it.
bool cover(View* v, int fd, qint64 size) {
    GuardSlot& g = guards[v->slot];
    if (g.damaged.load()) {
        const qint64 length = std::max(v->length, reserveFor(size));
        unmap(v);
        g.damaged.store(false);
        return map(v, fd, length);
    }
    if (size <= v->length)
        return true;
    const qint64 length = reserveFor(size);
    return publish(v, mremap(v->base, size_t(v->length), size_t(length), MREMAP_MAYMOVE), length);
}

} // namespace

View* Acquire(int fd, quint64 device, quint64 inode, qint64 size) {
    installGuard();
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    for (View* v : r.active) {
        if (v->device == device && v->inode == inode) {
            if (!cover(v, fd, size))
                return nullptr;
            ++v->users;
            return v;
        }
    }
    for (auto it = r.kept.begin(); it != r.kept.end(); ++it) {
        View* v = *it;
        if (v->device != device || v->inode != inode)
            continue;
        r.kept.erase(it);
        if (!cover(v, fd, size)) {
            destroy(v);
            return nullptr;
        }
        v->users = 1;
        r.active.push_back(v);
        return v;
    }
    const int slot = freeSlot();
    if (slot < 0)
        return nullptr;
    auto* v = new View;
    v->device = device;
    v->inode = inode;
    v->slot = slot;
    if (!map(v, fd, reserveFor(size))) {
        delete v;
        return nullptr;
    }
    v->users = 1;
    r.active.push_back(v);
    return v;
}

bool Copy(View* v, int fd, qint64 pos, char* data, qint64 count) {
    if (count <= 0)
        return true;
    if (pos < 0 || !cover(v, fd, pos + count))
        return false;
    std::memcpy(data, v->base + pos, size_t(count));
    return true;
}

void Release(View* v) {
    if (!v)
        return;
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    if (--v->users > 0)
        return;
    std::erase(r.active, v);
    r.kept.push_front(v);
    while (r.kept.size() > KeptViews) {
        destroy(r.kept.back());
        r.kept.pop_back();
    }
}

} // namespace DiskViews
