// The signer pin against a stand-in for the system's Authenticode
// verification: what it answers is scripted, what is asked of it is recorded.
#include "setup/setup_signature.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/message_pump.h"
#include "setup/install_script.h"
#include "setup/private_folder.h"
#include "setup/setup_file.h"

namespace {

const std::string kPinnedDer = "DER of the provider's signing certificate";
const std::string kOtherDer = "DER of somebody else's certificate";

std::string Hex(const std::string& bytes) {
    Sha256 hash;
    hash.Add(bytes.data(), bytes.size());
    return DigestHex(hash.Finish());
}

Sha256::Digest Digest(const std::string& bytes) {
    Sha256 hash;
    hash.Add(bytes.data(), bytes.size());
    return hash.Finish();
}

FILETIME DaysFromNow(int days) {
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER t{{now.dwLowDateTime, now.dwHighDateTime}};
    t.QuadPart += static_cast<ULONGLONG>(static_cast<LONGLONG>(days) * 864000000000LL);
    return FILETIME{t.LowPart, t.HighPart};
}

// The scripted system.
struct FakeWintrust {
    LONG verdict = 0;
    const std::string* signerDer = &kPinnedDer;
    int opened = 0, closed = 0;
    HANDLE handedFile = nullptr;
    std::wstring handedPath;
    bool handleWasLocked = false;
    DWORD handedFileSize = 0;

    CERT_CONTEXT cert{};
    CERT_INFO info{};
    FILETIME validFrom = DaysFromNow(-1), validUntil = DaysFromNow(1);
    CRYPT_PROVIDER_SGNR counterSigner{};
    bool timestamped = false;
    CRYPT_PROVIDER_CERT chain{};
    CRYPT_PROVIDER_SGNR signer{};
    CRYPT_PROVIDER_DATA provider{};
} fake;

LONG WINAPI FakeWinVerifyTrust(HWND window, GUID* action, LPVOID data) {
    GUID authenticode = WINTRUST_ACTION_GENERIC_VERIFY_V2;
    auto* trust = static_cast<WINTRUST_DATA*>(data);
    if (window != INVALID_HANDLE_VALUE || !IsEqualGUID(*action, authenticode) ||
        trust->dwUIChoice != WTD_UI_NONE)
        return TRUST_E_PROVIDER_UNKNOWN;
    if (trust->dwStateAction == WTD_STATEACTION_CLOSE) {
        ++fake.closed;
        trust->hWVTStateData = nullptr;
        return 0;
    }
    ++fake.opened;
    fake.handedFile = trust->pFile->hFile;
    fake.handedPath = trust->pFile->pcwszFilePath;
    fake.handedFileSize = ::GetFileSize(trust->pFile->hFile, nullptr);
    // Nobody may write to the file between the check and the start.
    std::string path(fake.handedPath.begin(), fake.handedPath.end());
    HANDLE writer = ::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, 0, nullptr);
    fake.handleWasLocked = writer == INVALID_HANDLE_VALUE;
    if (writer != INVALID_HANDLE_VALUE) ::CloseHandle(writer);

    fake.cert.pbCertEncoded =
        reinterpret_cast<BYTE*>(const_cast<char*>(fake.signerDer->data()));
    fake.cert.cbCertEncoded = static_cast<DWORD>(fake.signerDer->size());
    fake.info.NotBefore = fake.validFrom;
    fake.info.NotAfter = fake.validUntil;
    fake.cert.pCertInfo = &fake.info;
    fake.signer.csCounterSigners = fake.timestamped ? 1 : 0;
    fake.signer.pasCounterSigners = fake.timestamped ? &fake.counterSigner : nullptr;
    fake.chain.pCert = &fake.cert;
    fake.signer.csCertChain = 1;
    fake.signer.pasCertChain = &fake.chain;
    trust->hWVTStateData = reinterpret_cast<HANDLE>(&fake.provider);
    return fake.verdict;
}

CRYPT_PROVIDER_DATA* WINAPI FakeProvData(HANDLE state) {
    return reinterpret_cast<CRYPT_PROVIDER_DATA*>(state);
}

CRYPT_PROVIDER_SGNR* WINAPI FakeSigner(CRYPT_PROVIDER_DATA* data, DWORD index, BOOL counter,
                                       DWORD) {
    return data == &fake.provider && index == 0 && !counter ? &fake.signer : nullptr;
}

DWORD WINAPI FakeName(PCCERT_CONTEXT cert, DWORD, DWORD, void*, LPSTR name, DWORD size) {
    std::string text = cert->cbCertEncoded == kPinnedDer.size() ? "Tavrin Sample Publisher"
                                                                : "Somebody Else";
    lstrcpynA(name, text.c_str(), static_cast<int>(size));
    return static_cast<DWORD>(text.size() + 1);
}

SignatureApi FakeApi() {
    SignatureApi api;
    api.WinVerifyTrust = FakeWinVerifyTrust;
    api.WTHelperProvDataFromStateData = FakeProvData;
    api.WTHelperGetProvSignerFromChain = FakeSigner;
    api.CertGetNameStringA = FakeName;
    return api;
}

// The test's own program: a file to hand the stand-in.
std::string SelfPath() {
    char self[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    return self;
}

SignerPins Pins(const std::string& certificateDer) {
    SignerPins pins;
    pins.certificates.push_back(Digest(certificateDer));
    return pins;
}

// A DER element, and certificates that differ only where a renewal differs.
std::string Der(unsigned char tag, const std::string& content) {
    std::string length;
    if (content.size() < 0x80) {
        length = std::string(1, static_cast<char>(content.size()));
    } else {
        for (std::size_t n = content.size(); n; n >>= 8) length.insert(0, 1, static_cast<char>(n));
        length.insert(0, 1, static_cast<char>(0x80 | length.size()));
    }
    return std::string(1, static_cast<char>(tag)) + length + content;
}
std::string PublicKeyInfo(const std::string& key) {
    std::string rsa = Der(0x06, "\x2A\x86\x48\x86\xF7\x0D\x01\x01\x01") + Der(0x05, "");
    return Der(0x30, Der(0x30, rsa) + Der(0x03, std::string(1, '\0') + key));
}
std::string Certificate(char serial, const std::string& publicKeyInfo) {
    std::string name = Der(0x30, Der(0x31, Der(0x30, Der(0x06, "\x55\x04\x03") +
                                                     Der(0x0C, "Tavrin Sample Publisher"))));
    std::string algorithm = Der(0x30, Der(0x06, "\x2A\x86\x48\x86\xF7\x0D\x01\x01\x0B"));
    std::string validity = Der(0x30, Der(0x17, "260101000000Z") + Der(0x17, "360101000000Z"));
    std::string tbs = Der(0x30, Der(0xA0, Der(0x02, "\x02")) + Der(0x02, std::string(1, serial)) +
                                    algorithm + name + validity + name + publicKeyInfo +
                                    Der(0xA3, std::string(300, 'x')));
    return Der(0x30, tbs + algorithm + Der(0x03, std::string(1, '\0') + std::string(256, 's')));
}

class Signer : public ::testing::Test {
protected:
    void SetUp() override { fake = FakeWintrust{}; }
};

using Outcome = SignerCheck::Outcome;

// Whatever the system answers, only an intact signature by the pinned
// certificate is trusted; the chain alone may fail, and only for it.
TEST_F(Signer, OnlyAnIntactSignatureByThePinnedCertificateIsTrusted) {
    struct Case {
        const char* what;
        LONG verdict;
        const std::string* der;
        Outcome outcome;
        const char* refusal;
    } cases[] = {
        {"verified", 0, &kPinnedDer, Outcome::Trusted, ""},
        {"root not trusted", CERT_E_UNTRUSTEDROOT, &kPinnedDer, Outcome::Trusted, ""},
        {"test root", CERT_E_UNTRUSTEDTESTROOT, &kPinnedDer, Outcome::Trusted, ""},
        {"expired", CERT_E_EXPIRED, &kPinnedDer, Outcome::Refused,
         "the signer's certificate was not valid when the setup program was signed"},
        {"verified, other signer", 0, &kOtherDer, Outcome::Refused,
         "the setup program is signed by another certificate"},
        {"root not trusted, other signer", CERT_E_UNTRUSTEDROOT, &kOtherDer, Outcome::Refused,
         "the setup program is signed by another certificate"},
        {"unsigned", TRUST_E_NOSIGNATURE, &kPinnedDer, Outcome::Refused,
         "the setup program is not signed"},
        {"changed", TRUST_E_BAD_DIGEST, &kPinnedDer, Outcome::Refused,
         "the setup program was changed after it was signed"},
        {"revoked", CERT_E_REVOKED, &kPinnedDer, Outcome::Refused,
         "the signature does not verify (0x800B010C)"},
        {"wrong usage", CERT_E_WRONG_USAGE, &kPinnedDer, Outcome::Refused,
         "the signature does not verify (0x800B0110)"},
    };
    SignatureApi api = FakeApi();
    std::string self = SelfPath();
    HANDLE file = ::CreateFileA(self.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    for (const Case& c : cases) {
        fake = FakeWintrust{};
        fake.verdict = c.verdict;
        fake.signerDer = c.der;
        SignerCheck check = CheckSigner(api, file, self, Pins(kPinnedDer));
        EXPECT_EQ(check.outcome, c.outcome) << c.what;
        EXPECT_EQ(check.refusal, c.refusal) << c.what;
        EXPECT_EQ(fake.handedFile, file) << c.what << ": verified through the open handle";
        EXPECT_EQ(fake.opened, 1) << c.what;
        EXPECT_EQ(fake.closed, 1) << c.what << ": the system's state is released";
        if (c.outcome == Outcome::Trusted) {
            EXPECT_EQ(check.signerName, "Tavrin Sample Publisher") << c.what;
            EXPECT_EQ(check.thumbprint, Hex(kPinnedDer)) << c.what;
        }
    }
    fake = FakeWintrust{};
    fake.signerDer = &kOtherDer;
    SignerCheck other = CheckSigner(api, file, self, Pins(kPinnedDer));
    EXPECT_EQ(other.signerName, "Somebody Else") << "the refused signer is named too";
    EXPECT_EQ(other.thumbprint, Hex(kOtherDer));
    ::CloseHandle(file);
}

// A key pin names the key, so it holds for a renewed certificate and not for
// another key; and a pinned signer counts only inside its certificate's
// validity at the time of signing, whatever order the system reported in.
TEST_F(Signer, KeyPinsOutliveARenewalAndTimeIsChecked) {
    const std::string key = PublicKeyInfo(std::string(270, 'k'));
    const std::string current = Certificate(1, key);
    const std::string renewed = Certificate(2, key);
    const std::string foreign = Certificate(3, PublicKeyInfo(std::string(270, 'f')));
    SignerPins pins;
    pins.certificates.push_back(Digest(current));
    pins.keys.push_back(Digest(std::string(64, 'n')));  // the provider's next key
    pins.keys.push_back(Digest(key));
    SignatureApi api = FakeApi();
    std::string self = SelfPath();
    HANDLE file = ::CreateFileA(self.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    auto check = [&](const std::string& der, auto&& arrange) {
        fake = FakeWintrust{};
        fake.signerDer = &der;
        arrange();
        return CheckSigner(api, file, self, pins);
    };
    auto nothing = [] {};
    SignerCheck renewal = check(renewed, nothing);
    EXPECT_EQ(renewal.outcome, Outcome::Trusted) << renewal.refusal;
    EXPECT_EQ(renewal.keyDigest, Hex(key));
    EXPECT_EQ(check(current, nothing).outcome, Outcome::Trusted);
    SignerCheck other = check(foreign, nothing);
    EXPECT_EQ(other.outcome, Outcome::Refused);
    EXPECT_EQ(other.refusal, "the setup program is signed by another certificate");

    const std::string outOfTime =
        "the signer's certificate was not valid when the setup program was signed";
    auto expired = [] { fake.validFrom = DaysFromNow(-30), fake.validUntil = DaysFromNow(-2); };
    EXPECT_EQ(check(renewed, expired).refusal, outOfTime) << "expired, no timestamp";
    EXPECT_EQ(check(renewed, [&] { expired(), fake.verdict = CERT_E_UNTRUSTEDROOT; }).refusal,
              outOfTime) << "an untrusted root reported first hides no expiry";
    EXPECT_EQ(check(renewed, [] { fake.validFrom = DaysFromNow(5), fake.validUntil = DaysFromNow(9); })
                  .refusal,
              outOfTime) << "not yet valid";
    auto stamped = [&](int day, DWORD error) {
        return [&, day, error] {
            expired();
            fake.timestamped = true;
            fake.counterSigner.sftVerifyAsOf = DaysFromNow(day);
            fake.counterSigner.dwError = error;
        };
    };
    EXPECT_EQ(check(renewed, stamped(-10, 0)).outcome, Outcome::Trusted)
        << "timestamped while the certificate was valid";
    EXPECT_EQ(check(renewed, stamped(-1, 0)).refusal, outOfTime) << "timestamped after it expired";
    EXPECT_EQ(check(renewed, stamped(-10, 1)).refusal, outOfTime)
        << "a timestamp that did not verify counts for nothing";
    ::CloseHandle(file);
}

std::string RealTempFolder() {
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    return temp;
}

std::string SelfBytes() {
    char self[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::ifstream in(self, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool Exists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Only what the pins and the script decide: the window is not needed.
struct Host : RunSetupView {
    std::string folder, started, status;
    std::vector<std::string> messages;
    std::shared_ptr<DownloadTarget> target;

    ~Host() override {
        target.reset();
        if (!folder.empty()) {
            ::DeleteFileA((folder + "tavrinsecure.exe").c_str());
            ::RemoveDirectoryA(folder.c_str());
        }
    }
    void ShowStatus(const std::string& text, StatusStyle) override { status = text; }
    void RedrawResults() override {}
    void HideRunButton() override {}
    void ShowProgressBar(bool) override {}
    void SetProgress(std::int64_t, std::int64_t, const std::string&) override {}
    void SetBusyPointer(bool) override {}
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    void UnloadWindow() override {}
    void RequestEnd(const ProgramEnd&) override {}
    bool Ending() override { return false; }

    InstallScript Script(const std::string& sha256, const std::string& signer,
                         const SignatureApi* signatures) {
        InstallFacts facts;
        facts.tempFolder = "C:\\Temp\\";
        facts.startProgram = [this](const std::string& path, const std::string&, HANDLE) {
            started = path;
            return true;
        };
        facts.makePrivateFolder = [this](const std::string&) {
            PrivateFolder made = CreatePrivateFolder(RealTempFolder());
            folder = made.path;
            return made;
        };
        facts.url = "http://host/x";
        facts.pinnedSha256 = sha256;
        facts.pinnedSigner = signer;
        facts.signatures = signatures;
        InstallTransfer transfer{
            [this](const std::string&, std::shared_ptr<DownloadTarget> into, const std::string&) {
                target = std::move(into);
            },
            [] {}, [](bool) {}};
        return InstallScript(*this, std::move(facts), std::move(transfer));
    }

    void Deliver(InstallScript& script, const std::string& bytes) {
        bool whole = target->Open() &&
                     target->Announced(static_cast<std::int64_t>(bytes.size())) &&
                     target->Write(bytes.data(), bytes.size()) && target->Commit();
        if (!whole) target->Discard();
        target.reset();
        if (whole) {
            script.OnDownloadComplete();
            PumpUntil([&] { return !script.Verifying(); });
        } else {
            script.OnDownloadError();
        }
    }
};

constexpr char kError[] = "There was an error downloading the Tavrin Secure setup file.";

// The pins together: each one set must hold; where Windows cannot verify a
// signature, a signer pin is met only by a matching SHA-256 pin, and the
// user is told what is missing.
TEST_F(Signer, PinsTogetherAndWhereWindowsCannotVerify) {
    const std::string program = SelfBytes();
    const std::string digest = Hex(program);
    const std::string signer = Hex(kPinnedDer);
    SignatureApi verifies = FakeApi();
    SignatureApi cannot = FakeApi();
    cannot.WinVerifyTrust = nullptr;  // wintrust.dll without it, or none at all

    struct Case {
        const char* what;
        std::string sha256;
        const SignatureApi* api;
        LONG verdict;
        bool starts;
        bool cannotVerifyMessage;
    } cases[] = {
        {"signer pin, verified", "", &verifies, 0, true, false},
        {"both pins hold", digest, &verifies, 0, true, false},
        {"both pins, digest differs", std::string(64, 'a'), &verifies, 0, false, false},
        {"both pins, signature changed", digest, &verifies, TRUST_E_BAD_DIGEST, false, false},
        {"no verification, digest pinned and matching", digest, &cannot, 0, true, false},
        {"no verification, no digest pin", "", &cannot, 0, false, true},
        {"no verification, digest differs", std::string(64, 'a'), &cannot, 0, false, false},
    };
    for (const Case& c : cases) {
        fake = FakeWintrust{};
        fake.verdict = c.verdict;
        Host host;
        InstallScript script = host.Script(c.sha256, signer, c.api);
        script.RunInstallScript();
        ASSERT_TRUE(host.target) << c.what;
        host.Deliver(script, program);
        EXPECT_EQ(!host.started.empty(), c.starts) << c.what;
        if (c.api == &verifies && c.sha256 != std::string(64, 'a')) {
            EXPECT_TRUE(fake.handleWasLocked) << c.what << ": checked while nobody can write";
            EXPECT_EQ(fake.handedFileSize, program.size()) << c.what;
            EXPECT_EQ(std::string(fake.handedPath.begin(), fake.handedPath.end()),
                      host.folder + "tavrinsecure.exe") << c.what;
        }
        if (c.starts) {
            EXPECT_EQ(script.LastSignerCheck().outcome,
                      c.api == &verifies ? Outcome::Trusted : Outcome::Unavailable) << c.what;
            continue;
        }
        EXPECT_EQ(host.status, kError) << c.what;
        EXPECT_FALSE(Exists(host.folder)) << c.what << ": nothing left behind";
        std::vector<std::string> expected;
        if (c.cannotVerifyMessage) expected.push_back(InstallScript::kCannotVerifyMessage);
        EXPECT_EQ(host.messages, expected) << c.what;
    }
}

}  // namespace
