#include "net/same_server.h"

#include <optional>

#include "platform/text_case.h"

namespace {

struct Server {
    std::string scheme, host, port;
};

std::optional<Server> ServerOf(const std::string& url) {
    std::size_t colon = url.find("://");
    if (colon == std::string::npos || colon == 0) return std::nullopt;
    Server server;
    server.scheme = LowerCase(url.substr(0, colon));
    std::size_t start = colon + 3;
    std::size_t end = url.find_first_of("/?#", start);
    std::string authority = url.substr(start, end == std::string::npos ? end : end - start);
    // Whatever stands before an "@" is a user name, not the host.
    std::size_t at = authority.rfind('@');
    if (at != std::string::npos) authority.erase(0, at + 1);
    std::size_t portColon = authority.rfind(':');
    if (portColon != std::string::npos && authority.find(']', portColon) == std::string::npos) {
        server.port = authority.substr(portColon + 1);
        authority.erase(portColon);
    }
    server.host = LowerCase(authority);
    if (server.host.empty()) return std::nullopt;
    if (server.port.empty()) {
        if (server.scheme == "http") server.port = "80";
        else if (server.scheme == "https") server.port = "443";
        else if (server.scheme == "ftp") server.port = "21";
    }
    if (server.port.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
    // Leading zeros name the same port, but port 0 is not the absent port.
    while (server.port.size() > 1 && server.port.front() == '0') server.port.erase(0, 1);
    return server;
}

}  // namespace

bool SameServer(const std::string& asked, const std::string& reached) {
    std::optional<Server> a = ServerOf(asked), b = ServerOf(reached);
    return a && b && a->scheme == b->scheme && a->host == b->host && a->port == b->port;
}
