// Where a redirect led: the URL WinINet reports after following it. curl's
// URL reader is the independent judge: wherever SameServer says "same
// server", curl must read the same scheme, host and port from both URLs.
#include <curl/curl.h>

#include <cstdint>
#include <optional>
#include <string>

#include <fuzzer/FuzzedDataProvider.h>

#include "net/same_server.h"
#include "platform/text_case.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

struct CurlServer {
    std::string scheme, host, port;
};

std::optional<std::string> Part(CURLU* url, CURLUPart part, unsigned flags) {
    char* text = nullptr;
    if (curl_url_get(url, part, &text, flags) != CURLUE_OK) return std::nullopt;
    std::string value(text);
    curl_free(text);
    return value;
}

// Empty when curl does not take the text for a URL with a host.
std::optional<CurlServer> CurlRead(const std::string& text) {
    if (text.find('\0') != std::string::npos) return std::nullopt;
    CURLU* url = curl_url();
    std::optional<CurlServer> server;
    if (curl_url_set(url, CURLUPART_URL, text.c_str(), CURLU_NON_SUPPORT_SCHEME) == CURLUE_OK) {
        auto scheme = Part(url, CURLUPART_SCHEME, 0);
        auto host = Part(url, CURLUPART_HOST, 0);
        auto port = Part(url, CURLUPART_PORT, CURLU_DEFAULT_PORT);
        if (scheme && host)
            server = CurlServer{LowerCase(*scheme), LowerCase(*host), port.value_or("")};
    }
    curl_url_cleanup(url);
    return server;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    std::string asked = in.ConsumeRandomLengthString(200);
    std::string reached = in.ConsumeRemainingBytesAsString();
    bool same = SameServer(asked, reached);
    FUZZ_REQUIRE(same == SameServer(reached, asked));
    if (!same) return 0;
    auto a = CurlRead(asked), b = CurlRead(reached);
    if (!a || !b) return 0;  // curl reads no server here: nothing to compare
    FUZZ_REQUIRE(a->scheme == b->scheme);
    FUZZ_REQUIRE(a->host == b->host);
    FUZZ_REQUIRE(a->port == b->port);
    return 0;
}
