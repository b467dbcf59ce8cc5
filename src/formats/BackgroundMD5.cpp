#include "formats/BackgroundMD5.h"

#include <openssl/evp.h>

#include <algorithm>

// OpenSSL's MD5, which hashes an image several times faster than juce::MD5 and takes its bytes in
// as many pieces as they come.
class BackgroundMD5::Digest
{
public:
    Digest() : context (EVP_MD_CTX_new())
    {
        if (context != nullptr && EVP_DigestInit_ex (context, EVP_md5(), nullptr) != 1)
            release();
    }

    ~Digest() { release(); }

    void update (const void* data, size_t size)
    {
        if (context != nullptr && EVP_DigestUpdate (context, data, size) != 1)
            release();
    }

    // 32 lowercase hex digits; empty when OpenSSL failed.
    juce::String finish()
    {
        unsigned char result[EVP_MAX_MD_SIZE];
        unsigned int length = 0;
        const auto ok = context != nullptr && EVP_DigestFinal_ex (context, result, &length) == 1 && length == 16;
        release();
        return ok ? juce::String::toHexString (result, (int) length, 0) : juce::String();
    }

private:
    void release()
    {
        EVP_MD_CTX_free (context);
        context = nullptr;
    }

    EVP_MD_CTX* context;

    JUCE_DECLARE_NON_COPYABLE (Digest)
};

// Gathers what is written into the digest's blocks and writes each block to the file in one go, so
// that every byte is copied once on its way to both.
class BackgroundMD5::Tee : public juce::OutputStream
{
public:
    Tee (BackgroundMD5& digestToFeed, std::unique_ptr<juce::OutputStream> targetStream)
        : owner (digestToFeed), target (std::move (targetStream))
    {
    }

    ~Tee() override { writePending(); }

    void flush() override
    {
        if (writePending())
            target->flush();
    }

    bool setPosition (juce::int64) override { return false; }
    juce::int64 getPosition() override { return target->getPosition() + (juce::int64) owner.pending.size(); }

    bool write (const void* data, size_t size) override
    {
        const auto* bytes = static_cast<const char*> (data);

        while (size > 0)
        {
            if (owner.pending.capacity() == 0)
                owner.pending = owner.takeSpare();

            const auto count = std::min (size, blockSize - owner.pending.size());
            owner.pending.insert (owner.pending.end(), bytes, bytes + count);
            bytes += count;
            size -= count;

            if (owner.pending.size() == blockSize && ! writePending())
                return false;
        }

        return true;
    }

private:
    // Writes the gathered bytes to the file and, once they are there, hands them to the hashing.
    bool writePending()
    {
        if (owner.pending.empty())
            return ! failed;

        failed = failed || ! target->write (owner.pending.data(), owner.pending.size());
        if (failed)
        {
            owner.pending.clear();
            return false;
        }

        owner.totalBytes += (juce::int64) owner.pending.size();
        owner.handOver();
        return true;
    }

    BackgroundMD5& owner;
    std::unique_ptr<juce::OutputStream> target;
    bool failed = false;
};

//==================================================================================================
BackgroundMD5::BackgroundMD5() : hasher ([this] { hash(); }) {}

BackgroundMD5::~BackgroundMD5()
{
    {
        const std::lock_guard<std::mutex> lock (mutex);
        closed = true;
        queued.clear(); // an abandoned digest needs no more hashing
    }
    changed.notify_all();

    if (hasher.joinable())
        hasher.join();
}

void BackgroundMD5::hash()
{
    Digest md5;
    Block block;

    for (;;)
    {
        {
            std::unique_lock<std::mutex> lock (mutex);
            if (! block.empty())
            {
                block.clear();
                spare.push_back (std::move (block));
            }

            changed.wait (lock, [this] { return ! queued.empty() || closed; });
            if (queued.empty())
                break;

            block = std::move (queued.front());
            queued.pop_front();
        }
        changed.notify_all();
        md5.update (block.data(), block.size());
    }

    digest = md5.finish();
}

BackgroundMD5::Block BackgroundMD5::takeSpare()
{
    Block block;
    {
        const std::lock_guard<std::mutex> lock (mutex);
        if (! spare.empty())
        {
            block = std::move (spare.front());
            spare.pop_front();
        }
    }

    block.reserve (blockSize);
    return block;
}

void BackgroundMD5::handOver()
{
    {
        std::unique_lock<std::mutex> lock (mutex);
        changed.wait (lock, [this] { return queued.size() < maximumQueued; });
        queued.push_back (std::move (pending));
    }
    changed.notify_all();
    pending = Block();
}

juce::String BackgroundMD5::finish()
{
    if (hasher.joinable())
    {
        {
            const std::lock_guard<std::mutex> lock (mutex);
            closed = true;
        }
        changed.notify_all();
        hasher.join();
    }

    return digest;
}

std::unique_ptr<juce::OutputStream> BackgroundMD5::writeThrough (std::unique_ptr<juce::OutputStream> target)
{
    return std::make_unique<Tee> (*this, std::move (target));
}

juce::String BackgroundMD5::ofFile (const juce::File& file)
{
    juce::FileInputStream in (file);
    if (! in.openedOk())
        return {};

    Digest md5;
    Block block (blockSize);

    for (;;)
    {
        const auto got = in.read (block.data(), (int) block.size());
        if (got < 0)
            return {};
        if (got == 0)
            break;
        md5.update (block.data(), (size_t) got);
    }

    return md5.finish();
}
