#include "setup/setup_file.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "platform/run_log.h"
#include "setup/program_image.h"

namespace {

bool ReadFully(HANDLE file, std::uint64_t offset, void* buffer, std::size_t size) {
    LONG high = static_cast<LONG>(offset >> 32);
    if (::SetFilePointer(file, static_cast<LONG>(offset & 0xFFFFFFFFu), &high, FILE_BEGIN) ==
            INVALID_SET_FILE_POINTER &&
        ::GetLastError() != NO_ERROR)
        return false;
    auto* bytes = static_cast<char*>(buffer);
    while (size > 0) {
        DWORD done = 0;
        if (!::ReadFile(file, bytes, static_cast<DWORD>(size), &done, nullptr) || done == 0)
            return false;
        bytes += done;
        size -= done;
    }
    return true;
}

std::uint64_t SizeOf(HANDLE file) {
    DWORD high = 0;
    DWORD low = ::GetFileSize(file, &high);
    if (low == INVALID_FILE_SIZE && ::GetLastError() != NO_ERROR) return ~std::uint64_t{0};
    return (std::uint64_t{high} << 32) | low;
}

// Tells the run log why the download does not count.
bool Refuse(const char* reason) {
    LogLine({"Download refused: ", reason});
    return false;
}

}  // namespace

std::optional<Sha256::Digest> ParseSha256(const std::string& text) {
    if (text.size() != 64) return std::nullopt;
    Sha256::Digest digest{};
    for (std::size_t i = 0; i < 64; ++i) {
        char c = text[i];
        int value = c >= '0' && c <= '9'   ? c - '0'
                    : c >= 'a' && c <= 'f' ? c - 'a' + 10
                    : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                           : -1;
        if (value < 0) return std::nullopt;
        digest[i / 2] = static_cast<std::uint8_t>(digest[i / 2] * 16 + value);
    }
    return digest;
}

std::optional<std::vector<Sha256::Digest>> ParseSha256List(const std::string& text) {
    std::vector<Sha256::Digest> digests;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(';', start);
        if (end == std::string::npos) end = text.size();
        std::string entry = text.substr(start, end - start);
        std::size_t first = entry.find_first_not_of(" \t");
        if (first != std::string::npos) {
            entry = entry.substr(first, entry.find_last_not_of(" \t") - first + 1);
            std::optional<Sha256::Digest> digest = ParseSha256(entry);
            if (!digest) return std::nullopt;
            digests.push_back(*digest);
        }
        start = end + 1;
    }
    return digests;
}

SetupFile::SetupFile(std::string folder, std::string fileName, std::uint64_t maxBytes,
                     std::string pinnedSha256, std::string pinnedSigner,
                     std::string pinnedSignerKey, const SignatureApi* signatures,
                     OwnedHandle folderLock)
    : folder_(std::move(folder)),
      folderLock_(std::move(folderLock)),
      path_(folder_ + fileName),
      maxBytes_(maxBytes),
      signatures_(signatures) {
    // A pin that is not a digest matches nothing.
    if (!pinnedSha256.empty()) {
        pinned_ = ParseSha256(pinnedSha256);
        pinValid_ = pinned_.has_value();
    }
    auto certificates = ParseSha256List(pinnedSigner);
    auto keys = ParseSha256List(pinnedSignerKey);
    pinValid_ = pinValid_ && certificates && keys;
    if (certificates) pinnedSigners_.certificates = std::move(*certificates);
    if (keys) pinnedSigners_.keys = std::move(*keys);
}

SetupFile::~SetupFile() { Discard(); }

bool SetupFile::Open() {
    if (folder_.empty()) return false;
    // CREATE_NEW: never write into a file someone else put there. Others may
    // read it, but neither change, rename nor delete it while it is held.
    file_.reset(::CreateFileA(path_.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                              nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    created_ = static_cast<bool>(file_);
    return created_;
}

bool SetupFile::Announced(std::int64_t length) {
    answered_ = true;
    lengthAnnounced_ = length != kNoLength;
    return !lengthAnnounced_ || static_cast<std::uint64_t>(length) <= maxBytes_;
}

bool SetupFile::Write(const void* data, std::size_t size) {
    if (!file_ || size > maxBytes_ - written_) return false;
    DWORD done = 0;
    if (!::WriteFile(file_.get(), data, static_cast<DWORD>(size), &done, nullptr) || done != size)
        return false;
    // The digest of what arrived, taken as it goes by: it is compared with
    // the pin, and, where others could have written the file, with what is
    // on disk, without a second pass over the file on the window thread.
    streamed_.Add(data, size);
    written_ += size;
    return true;
}

bool SetupFile::Commit() {
    // Without an announced length, a stream cut short ends like a whole one;
    // only the pinned digest can then tell that everything arrived.
    if (!file_) return false;
    if (!pinValid_) return Refuse("a pinned SHA-256 or signer is not a digest");
    if (!lengthAnnounced_ && !pinned_)
        return Refuse("no length was announced and no SHA-256 is pinned, so a cut is not known");
    if (!LockForStarting()) return Refuse("the file cannot be locked for starting");
    if (SizeOf(file_.get()) != written_) return Refuse("the file on disk is not what arrived");
    committed_ = true;
    return true;
}

bool SetupFile::Verify(const std::atomic<bool>& cancelled) {
    if (!committed_ || !file_) return false;
    if (!ContentMatches(cancelled) || cancelled || !SignerMatches()) return false;
    verified_ = !cancelled;
    return verified_;
}

bool SetupFile::LockForStarting() {
    // Windows refuses to start a program that anyone holds open for writing,
    // so the writing handle gives way to one that only reads. A handle that
    // still lets others write bridges the swap, so the file can never be
    // deleted or replaced meanwhile; whatever might have been written in
    // that moment is caught by reading the file again below.
    OwnedHandle bridge(::CreateFileA(path_.c_str(), GENERIC_READ,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!bridge) return false;
    file_.reset();
    file_.reset(::CreateFileA(path_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    return static_cast<bool>(file_);
}

bool SetupFile::FolderKeepsOthersOut() const {
    // The lock exists only where the folder was made with its access list
    // (the NT family); the disk must keep such lists (NTFS, not FAT).
    if (!folderLock_) return false;
    std::string root;
    if (folder_.size() >= 3 && folder_[1] == ':' && folder_[2] == '\\') {
        root = folder_.substr(0, 3);
    } else if (folder_.rfind("\\\\", 0) == 0) {
        std::size_t share = folder_.find('\\', 2);
        std::size_t end = share == std::string::npos ? share : folder_.find('\\', share + 1);
        if (end == std::string::npos) return false;
        root = folder_.substr(0, end + 1);
    } else {
        return false;
    }
    DWORD flags = 0;
    if (!::GetVolumeInformationA(root.c_str(), nullptr, 0, nullptr, nullptr, &flags, nullptr, 0))
        return false;
    return (flags & FILE_PERSISTENT_ACLS) != 0;
}

bool SetupFile::ContentMatches(const std::atomic<bool>& cancelled) {
    // What is on disk now, read through the locked handle, must be exactly
    // what arrived, what the build pinned, and a whole program. In a private
    // folder on a disk that keeps access control nobody else could open the
    // file for writing, not even in the moment in LockForStarting when the
    // writing handle gives way, so the digest taken as the bytes arrived is
    // the file's. Elsewhere (Windows 9x, a FAT disk) that moment is open to
    // others, and the file is read back and hashed again, in large blocks
    // from the system's file cache.
    Sha256::Digest digest = streamed_.Finish();
    if (!FolderKeepsOthersOut()) {
        Sha256 onDisk;
        std::vector<char> buffer(1024 * 1024);
        for (std::uint64_t offset = 0; offset < written_;) {
            if (cancelled) return false;
            std::size_t chunk = static_cast<std::size_t>(
                std::min<std::uint64_t>(buffer.size(), written_ - offset));
            if (!ReadFully(file_.get(), offset, buffer.data(), chunk))
                return Refuse("the file cannot be read back");
            onDisk.Add(buffer.data(), chunk);
            offset += chunk;
        }
        if (onDisk.Finish() != digest) return Refuse("the file changed on disk");
    }
    LogLine({"Download SHA-256: ", DigestHex(digest)});
    if (pinned_ && digest != *pinned_) return Refuse("the SHA-256 is not the pinned one");
    HANDLE file = file_.get();
    bool whole = IsWholeWindowsProgram(written_, [file](std::uint64_t offset, void* out,
                                                        std::size_t size) {
        return ReadFully(file, offset, out, size);
    });
    return whole || Refuse("the file is not a whole Windows program");
}

bool SetupFile::SignerMatches() {
    if (pinnedSigners_.Empty()) return true;
    // The system reads the file through this handle; start it at the top.
    ::SetFilePointer(file_.get(), 0, nullptr, FILE_BEGIN);
    signer_ = CheckSigner(signatures_ ? *signatures_ : SystemSignatureApi(), file_.get(), path_,
                          pinnedSigners_);
    LogLine({"Download signer: ", signer_.signerName, " ", signer_.thumbprint, " key ",
             signer_.keyDigest});
    if (signer_.outcome == SignerCheck::Outcome::Trusted) return true;
    // Where nothing can verify a signature, only the pinned digest, which
    // ContentMatches has already compared, names the setup.
    if (signer_.outcome == SignerCheck::Outcome::Unavailable && pinned_.has_value()) return true;
    return Refuse(signer_.refusal.empty() ? "the signature is not the pinned signer's"
                                          : signer_.refusal.c_str());
}

void SetupFile::Release() noexcept {
    file_.reset();
    verified_ = false;
    folder_.clear();  // the started setup may still need it
}

void SetupFile::Discard() noexcept {
    file_.reset();
    verified_ = false;
    if (folder_.empty()) return;
    if (created_) ::DeleteFileA(path_.c_str());
    folderLock_.reset();  // a folder held without delete sharing cannot be removed
    ::RemoveDirectoryA(folder_.c_str());
    folder_.clear();
}
