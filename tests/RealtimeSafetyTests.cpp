// processBlock must never allocate, free or lock: this test binary replaces
// the global allocation functions and pthread_mutex_lock with versions that
// count calls made while a block is being processed.

#include "ProcessorFixture.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <malloc.h>
#include <mutex>
#include <pthread.h>

extern "C"
{
    void* __libc_malloc (size_t);
    void* __libc_calloc (size_t, size_t);
    void* __libc_realloc (void*, size_t);
    void* __libc_memalign (size_t, size_t);
    void __libc_free (void*);
}

namespace
{
    thread_local bool watching = false;
    std::atomic<int> allocations { 0 };
    std::atomic<int> locks { 0 };

    void noteAllocation() noexcept
    {
        if (watching)
            ++allocations;
    }

    using MutexLock = int (*) (pthread_mutex_t*);

    MutexLock realMutexLock()
    {
        static const auto real = reinterpret_cast<MutexLock> (dlsym (RTLD_NEXT, "pthread_mutex_lock"));
        return real;
    }

    /** Counts what the calling thread allocates and locks while it lives. */
    struct Watch
    {
        Watch() noexcept  { allocations = 0; locks = 0; watching = true; }
        ~Watch() noexcept { watching = false; }
    };

    [[maybe_unused]] const auto resolvedBeforeAnyWatch = realMutexLock();
}

extern "C"
{
    void* malloc (size_t size)                       { noteAllocation(); return __libc_malloc (size); }
    void* calloc (size_t count, size_t size)         { noteAllocation(); return __libc_calloc (count, size); }
    void* realloc (void* p, size_t size)             { noteAllocation(); return __libc_realloc (p, size); }
    void* memalign (size_t alignment, size_t size)   { noteAllocation(); return __libc_memalign (alignment, size); }
    void* aligned_alloc (size_t alignment, size_t size) { noteAllocation(); return __libc_memalign (alignment, size); }
    void free (void* p)                              { noteAllocation(); __libc_free (p); }

    int posix_memalign (void** out, size_t alignment, size_t size)
    {
        noteAllocation();
        *out = __libc_memalign (alignment, size);
        return *out != nullptr ? 0 : ENOMEM;
    }

    int pthread_mutex_lock (pthread_mutex_t* mutex)
    {
        if (watching)
            ++locks;

        return realMutexLock() (mutex);
    }
}

void* operator new (std::size_t size)                                   { return malloc (size == 0 ? 1 : size); }
void* operator new[] (std::size_t size)                                 { return malloc (size == 0 ? 1 : size); }
void* operator new (std::size_t size, const std::nothrow_t&) noexcept   { return malloc (size == 0 ? 1 : size); }
void* operator new[] (std::size_t size, const std::nothrow_t&) noexcept { return malloc (size == 0 ? 1 : size); }
void* operator new (std::size_t size, std::align_val_t a)               { return memalign ((size_t) a, size); }
void* operator new[] (std::size_t size, std::align_val_t a)             { return memalign ((size_t) a, size); }
void operator delete (void* p) noexcept                                 { free (p); }
void operator delete[] (void* p) noexcept                               { free (p); }
void operator delete (void* p, std::size_t) noexcept                    { free (p); }
void operator delete[] (void* p, std::size_t) noexcept                  { free (p); }
void operator delete (void* p, std::align_val_t) noexcept               { free (p); }
void operator delete[] (void* p, std::align_val_t) noexcept             { free (p); }
void operator delete (void* p, std::size_t, std::align_val_t) noexcept  { free (p); }
void operator delete[] (void* p, std::size_t, std::align_val_t) noexcept { free (p); }

using namespace velorn::test;

TEST (RealtimeSafety, TheCountersSeeAllocationsAndLocks)
{
    std::mutex mutex;
    {
        Watch watch;
        auto* p = new int (3);
        delete p;
        std::lock_guard<std::mutex> lock (mutex);
        juce::CriticalSection section;
        const juce::ScopedLock juceLock (section);
        EXPECT_EQ (allocations.load(), 2);
        EXPECT_EQ (locks.load(), 2);
    }
}

TEST (RealtimeSafety, ProcessBlockNeverAllocatesOrLocks)
{
    PreparedProcessor pp;
    auto& p = pp.processor;
    juce::MidiBuffer midi;
    auto stereo = noiseBuffer (2, 512, 0.5f, 1);
    auto mono = noiseBuffer (1, 300, 0.5f, 2);
    juce::AudioBuffer<float> empty (2, 0);

    auto processWatched = [&] (juce::AudioBuffer<float>& buffer, const char* what)
    {
        Watch watch;
        p.processBlock (buffer, midi);
        EXPECT_EQ (allocations.load(), 0) << what;
        EXPECT_EQ (locks.load(), 0) << what;
    };

    processWatched (stereo, "first block, defaults");

    for (const auto* id : { "gateOn", "filtersOn", "highPassOn", "lowPassOn", "eqOn", "lowOn", "lowMidOn",
                            "mid1On", "mid2On", "highMidOn", "highOn", "compressorOn" })
        setParameter (p, id, 1.0f);

    processWatched (stereo, "block that rebuilds with every module on");
    processWatched (stereo, "steady block");
    processWatched (mono, "mono block");
    processWatched (empty, "zero-length block");

    for (int change = 0; change < 24; ++change)
    {
        setParameter (p, "moduleOrder", (float) change);
        setParameter (p, "compThreshold", -40.0f + (float) change);
        setParameter (p, "mid2Freq", 500.0f + 100.0f * (float) change);
        processWatched (change % 2 == 0 ? stereo : mono, "block after a change");
    }

    p.spectrumConsumers = 1;
    processWatched (stereo, "block feeding the spectrum");
    setParameter (p, "bypass", 1.0f);
    processWatched (stereo, "bypassed block");
    setParameter (p, "bypass", 0.0f);
    processWatched (stereo, "block after bypass");

    p.prepareToPlay (96000.0, 64);
    processWatched (stereo, "first block after preparing at a new rate, larger than announced");
}
