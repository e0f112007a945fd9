// Streams read ahead of a writer on a second thread: who reads which stream,
// on which thread, and how much is held. Knows nothing of PDF.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace pdfunlock {

// The streams are numbered in the order the writer is expected to ask for
// them. Each is in one of these states:
//
// - waiting: nobody has started it. The worker claims waiting streams from the
//   front, one at a time, while the bytes held (claimed, being read or ready)
//   stay within the budget. When the writer asks for a waiting stream, it is
//   given up (done) and the writer reads it itself, outside the queue.
// - working: being read, by the worker or by the writer's thread. When the
//   writer asks for a stream the worker is reading, its thread reads the next
//   waiting stream instead of idling, if the budget allows, and then waits for
//   the one it asked for. So take() may read a different stream than the one
//   asked for, and then wait.
// - ready: read and held until the writer takes it; then done.
// - failed: the read failed. The writer reads it itself.
// - done: taken or given up; asked again, the writer reads it itself.
//
// A read that fails on the worker, by answer or by an exception of any kind,
// ends the worker: every stream it had not got ready is failed, and the
// writer reads those itself. No exception leaves the worker thread.
class PrefetchQueue {
public:
    // Reads stream `index` into `data`: false when it could not.
    using Reader = std::function<bool(std::size_t index, std::string& data)>;

    // `sizes`: each stream's size, held from its claim until it is taken or
    // fails; `budget`: the most held at once; `writerReads`: how the writer's
    // thread reads a stream ahead while it waits.
    PrefetchQueue(std::vector<std::size_t> sizes, std::size_t budget, Reader writerReads);
    ~PrefetchQueue();
    PrefetchQueue(const PrefetchQueue&) = delete;
    PrefetchQueue& operator=(const PrefetchQueue&) = delete;

    // Starts the worker thread, which first runs `open` for the reader it
    // reads with (empty or throwing: it reads nothing). Until it has, take()
    // waits, so the worker always gets the first stream.
    void start(std::function<Reader()> open);

    // On the writer's thread: the data of stream `index` once it is ready;
    // false when the writer must read it itself.
    bool take(std::size_t index, std::string& data);

    // Ends the worker once the read under way, if any, is over; what it had
    // not started is left to the writer. Called again, it does nothing.
    void stop();

private:
    enum class State { Waiting, Working, Ready, Failed, Done };

    std::optional<std::size_t> claim();
    bool produce(std::unique_lock<std::mutex>& lock, const Reader& reader, std::size_t index);
    void run(const std::function<Reader()>& open);

    const std::vector<std::size_t> sizes_;
    const std::size_t budget_;
    const Reader writerReads_;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<State> states_;
    // One place a stream, made up front: handing over data cannot throw.
    std::vector<std::string> ready_;
    std::size_t heldBytes_ = 0;
    std::size_t next_ = 0;
    bool opened_ = false;
    bool stopping_ = false;
    std::thread thread_;
};

} // namespace pdfunlock
