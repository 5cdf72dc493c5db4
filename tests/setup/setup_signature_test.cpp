// The signer pin against a stand-in for the system's Authenticode
// verification: what it answers is scripted, what is asked of it is recorded.
#include "setup/setup_signature.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

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
        {"expired", CERT_E_EXPIRED, &kPinnedDer, Outcome::Trusted, ""},
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
    char self[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    HANDLE file = ::CreateFileA(self, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    for (const Case& c : cases) {
        fake = FakeWintrust{};
        fake.verdict = c.verdict;
        fake.signerDer = c.der;
        SignerCheck check = CheckSigner(api, file, self, Digest(kPinnedDer));
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
    SignerCheck other = CheckSigner(api, file, self, Digest(kPinnedDer));
    EXPECT_EQ(other.signerName, "Somebody Else") << "the refused signer is named too";
    EXPECT_EQ(other.thumbprint, Hex(kOtherDer));
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
        facts.osCode = 6;
        facts.startProgram = [this](const std::string& path, bool, const std::string&) {
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
        if (whole) script.OnDownloadComplete();
        else script.OnDownloadError();
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
