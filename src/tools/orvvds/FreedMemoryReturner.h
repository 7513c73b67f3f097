// Gives the pages the service's heap no longer uses back to the system, every period.
//
// The service caches the arrays' objects, and a re-read of an array (after a reconnect or
// after dropped indications) drops thousands of cached objects at once and reads them again.
// The allocator keeps the pages they leave behind: measured on 4 arrays of 1,000 volumes,
// 60 to 75 MB were in use in heaps of 450 MB after two re-reads. Trimming returns the pages
// that lie wholly free (there, 10 to 20 MB; the rest is scattered between live objects); it
// costs a walk over the free chunks, so it runs on its own thread, at a long period.
//
// Threads: its own thread trims; the constructor and destructor run on the owner's thread.
// m_mutex guards m_stopping.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

class FreedMemoryReturner {
public:
    explicit FreedMemoryReturner(std::chrono::milliseconds period);
    // Stops the thread without waiting out the period.
    ~FreedMemoryReturner();
    FreedMemoryReturner(const FreedMemoryReturner&) = delete;
    FreedMemoryReturner& operator=(const FreedMemoryReturner&) = delete;

private:
    void run();

    const std::chrono::milliseconds m_period;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stopping = false;
    std::thread m_thread;
};
