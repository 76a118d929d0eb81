#include "platform/podarray.h"

#include <cstdlib>
#include <mutex>
#include <new>
#include <vector>

#ifdef __linux__
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace podarray {

namespace {

#ifdef __linux__
// From this size on an array takes pages of its own.
constexpr size_t kMapBytes = size_t(1) << 20;

size_t WholePages(size_t bytes)
{
    static const size_t page = size_t(::sysconf(_SC_PAGESIZE));
    return (bytes + page - 1) / page * page;
}

// The pages of arrays given back, kept (up to kKeepBytes) for the next
// ones: a table refilled after it was emptied writes into pages it had
// before instead of having the system hand out and clear new ones, which
// costs more than the writing itself.  The largest block goes first: the
// arrays that need pages of their own first are those of the widest
// values, which end the largest.
constexpr size_t kKeepBytes = size_t(256) << 20;

struct Kept {
    void* p;
    size_t bytes;
};

std::mutex g_keptMutex;
std::vector<Kept> g_kept;
size_t g_keptBytes = 0;

// The largest kept block, or none (p null).
Kept TakeKept()
{
    std::lock_guard<std::mutex> lock(g_keptMutex);
    if (g_kept.empty())
        return {nullptr, 0};
    auto largest = std::max_element(g_kept.begin(), g_kept.end(),
                                    [](const Kept& a, const Kept& b) { return a.bytes < b.bytes; });
    const Kept k = *largest;
    g_kept.erase(largest);
    g_keptBytes -= k.bytes;
    return k;
}

void Keep(void* p, size_t bytes)
{
    std::vector<Kept> gone;
    {
        std::lock_guard<std::mutex> lock(g_keptMutex);
        g_kept.push_back({p, bytes});
        g_keptBytes += bytes;
        while (g_keptBytes > kKeepBytes) {  // the oldest go back to the system
            gone.push_back(g_kept.front());
            g_keptBytes -= g_kept.front().bytes;
            g_kept.erase(g_kept.begin());
        }
    }
    for (const Kept& k : gone)
        ::munmap(k.p, k.bytes);
}
#endif

}  // namespace

void* Resize(void* p, size_t capacity, size_t keep, size_t bytes, bool& mapped, size_t& newCapacity)
{
    if (bytes == 0) {
        Free(p, capacity, mapped);
        mapped = false;
        newCapacity = 0;
        return nullptr;
    }
#ifdef __linux__
    if (mapped || bytes >= kMapBytes) {
        size_t size = WholePages(bytes);
        void* q = MAP_FAILED;
        if (mapped) {
            // The pages move (or stay) as they are: nothing is copied.
            q = ::mremap(p, capacity, size, MREMAP_MAYMOVE);
        } else {
            // A heap array moves to pages of its own, kept ones when there are.
            const Kept k = TakeKept();
            if (!k.p) {
                q = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
            } else if (k.bytes >= size) {
                q = k.p;
                size = k.bytes;
            } else {
                q = ::mremap(k.p, k.bytes, size, MREMAP_MAYMOVE);
                if (q == MAP_FAILED)
                    ::munmap(k.p, k.bytes);
            }
            if (q != MAP_FAILED) {
                if (keep > 0)
                    std::memcpy(q, p, keep);
                std::free(p);
            }
        }
        if (q == MAP_FAILED)
            throw std::bad_alloc();
        mapped = true;
        newCapacity = size;
        return q;
    }
#endif
    void* q = std::realloc(p, bytes);
    if (!q)
        throw std::bad_alloc();
    newCapacity = bytes;
    return q;
}

void Free(void* p, size_t capacity, bool mapped)
{
    if (!p)
        return;
#ifdef __linux__
    if (mapped) {
        Keep(p, capacity);
        return;
    }
#endif
    std::free(p);
}

}  // namespace podarray
