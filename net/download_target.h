// Where a download's bytes go. The download control feeds a target from the
// first byte to the end of the data and never keeps bytes of its own, so a
// target decides what a finished download must look like before it counts.
#pragma once

#include <cstddef>
#include <cstdint>

class DownloadTarget {
public:
    static constexpr std::int64_t kNoLength = -1;

    virtual ~DownloadTarget() = default;
    // Before the request is sent. False when there is nowhere to write.
    virtual bool Open() = 0;
    // Once the answer's headers are in: the announced length, or kNoLength
    // when the server gave none. False refuses the download.
    virtual bool Announced(std::int64_t length) = 0;
    // The server answered, but the answer is refused before any byte is
    // taken (it came from another server than the one asked).
    virtual void Refused() noexcept {}
    // Appends bytes; false stops the download as failed.
    virtual bool Write(const void* data, std::size_t size) = 0;
    // Every byte arrived. False makes it a failed download after all.
    virtual bool Commit() = 0;
    // A failed or cancelled download: nothing of it may stay.
    virtual void Discard() noexcept = 0;
};
