// A download target that keeps the bytes in memory, for the transfer tests.
#pragma once

#include <string>

#include "net/download_target.h"

namespace test_support {

struct MemoryTarget : DownloadTarget {
    std::string bytes;
    bool committed = false, discarded = false;
    bool Open() override { return true; }
    bool Announced(std::int64_t) override { return true; }
    bool Write(const void* data, std::size_t size) override {
        bytes.append(static_cast<const char*>(data), size);
        return true;
    }
    bool Commit() override { return committed = true; }
    void Discard() noexcept override {
        discarded = true;
        bytes.clear();
    }
};

}  // namespace test_support
