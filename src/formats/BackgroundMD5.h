#pragma once

#include <juce_core/juce_core.h>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

// The MD5 of a file as it is written, taken on a thread of its own: a large image is checksummed
// while it is being written instead of being read back afterwards. The bytes reach the hashing in
// blocks, each once it has been written to the file; the writer waits only when the hashing falls
// 16 MB behind, so the memory used stays small whatever the size of the image.
class BackgroundMD5
{
public:
    BackgroundMD5();
    ~BackgroundMD5();

    // An output stream that writes through to `target` (in blocks of a megabyte) and hashes every
    // byte it has written there. One at a time: the bytes of each follow those of the one before.
    std::unique_ptr<juce::OutputStream> writeThrough (std::unique_ptr<juce::OutputStream> target);

    // How many bytes were written through so far.
    juce::int64 getTotalBytes() const { return totalBytes; }

    // Waits until every byte written through has been hashed; the digest as 32 lowercase hex digits.
    juce::String finish();

    // The MD5 of a whole file, read in large blocks; empty when it cannot be read.
    static juce::String ofFile (const juce::File& file);

private:
    using Block = std::vector<char>;
    class Digest;
    class Tee;

    void hash();
    void handOver();
    Block takeSpare();

    static constexpr size_t blockSize = 1 << 20;
    // Enough for the hashing to catch up after losing the processor for a while on a busy machine,
    // without the writer having to wait for it.
    static constexpr size_t maximumQueued = 16;

    std::mutex mutex;
    std::condition_variable changed;
    std::deque<Block> queued, spare;
    bool closed = false;

    Block pending;
    juce::int64 totalBytes = 0;
    juce::String digest;
    std::thread hasher;

    JUCE_DECLARE_NON_COPYABLE (BackgroundMD5)
};
