// The downloaded setup program on its way from the network to being started.
// It is written into the run's private folder as a new file, held open from
// its first byte with others allowed only to read it, and counted as
// downloaded only when it is complete and a whole Windows program (and, when
// the build pins one, has the expected SHA-256, and when it pins a signer,
// carries that signer's intact Authenticode signature). A failed or
// cancelled download leaves nothing behind.
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "net/download_target.h"
#include "platform/owned.h"
#include "setup/setup_signature.h"
#include "setup/sha256.h"

class SetupFile final : public DownloadTarget {
public:
    // `folder` ends in "\" and is removed again with a discarded download.
    // Destruction discards, unless the setup was started (Release).
    // `pinnedSha256` is 64 hexadecimal digits, or empty for no pin;
    // `pinnedSigner` (SHA-256 thumbprints of signing certificates) and
    // `pinnedSignerKey` (SHA-256 digests of signers' SubjectPublicKeyInfo)
    // are lists of them separated by ";", or empty. Where the system cannot
    // verify signatures, a signer pin is met only by a matching SHA-256 pin.
    // `signatures` null: the system's functions.
    // `folderLock` keeps the folder from being renamed or replaced until the
    // setup has started or the download is discarded.
    SetupFile(std::string folder, std::string fileName, std::uint64_t maxBytes,
              std::string pinnedSha256, std::string pinnedSigner = std::string(),
              std::string pinnedSignerKey = std::string(), const SignatureApi* signatures = nullptr,
              OwnedHandle folderLock = OwnedHandle());
    ~SetupFile() override;
    SetupFile(const SetupFile&) = delete;
    SetupFile& operator=(const SetupFile&) = delete;

    bool Open() override;
    bool Announced(std::int64_t length) override;
    // Hashes the bytes as they are written: the one hash the checks need.
    bool Write(const void* data, std::size_t size) override;
    // The cheap part of the checks, on the window thread: the length and
    // the pins are usable, and the file is locked against change. True
    // when Verify may follow.
    bool Commit() override;
    void Discard() noexcept override;

    // The long part, on any one thread while nothing else uses the file:
    // the digest (and the file read back where the folder does not keep
    // others from writing), the whole-program check and the signature. It
    // gives up, false, once `cancelled` is set. True: IsVerified().
    bool Verify(const std::atomic<bool>& cancelled);

    const std::string& Path() const noexcept { return path_; }
    // True once the server's answer was taken (a good status and length):
    // a download that fails after that failed on the file itself (cut short,
    // not a whole program, another digest, too large), not on the network.
    bool Answered() const noexcept { return answered_; }
    void Refused() noexcept override { answered_ = true; }
    // True from a successful Commit until Release or Discard: the file is
    // verified and still locked against change.
    bool IsVerified() const noexcept { return verified_; }
    // The handle that holds the verified file locked; null when none does.
    HANDLE LockedHandle() const noexcept { return verified_ ? file_.get() : nullptr; }
    // The setup has been started from the file: let go of it, leaving it.
    void Release() noexcept;
    // What the signature check found; kept after the file is discarded.
    const SignerCheck& Signer() const noexcept { return signer_; }

private:
    bool LockForStarting();
    // The file lies in a private folder (held, with its access list) on a
    // disk that keeps access lists: nobody else can open it for writing.
    bool FolderKeepsOthersOut() const;
    bool ContentMatches(const std::atomic<bool>& cancelled);
    bool SignerMatches();

    std::string folder_;
    OwnedHandle folderLock_;
    std::string path_;
    std::uint64_t maxBytes_;
    std::optional<Sha256::Digest> pinned_;
    SignerPins pinnedSigners_;
    const SignatureApi* signatures_;
    SignerCheck signer_;
    bool pinValid_ = true;
    bool lengthAnnounced_ = false;
    bool answered_ = false;
    OwnedHandle file_;
    Sha256 streamed_;
    std::uint64_t written_ = 0;
    bool created_ = false;  // the file is ours to delete
    bool committed_ = false;
    bool verified_ = false;
};

// A pin as written in the build: 64 hexadecimal digits, either case.
std::optional<Sha256::Digest> ParseSha256(const std::string& text);
// A list of such pins separated by ";" (blanks around each ignored; empty
// entries skipped); empty when any entry is not a digest.
std::optional<std::vector<Sha256::Digest>> ParseSha256List(const std::string& text);
