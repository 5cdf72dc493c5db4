#include "setup/certificate_der.h"

namespace {

struct Element {
    std::uint8_t tag = 0;
    std::size_t start = 0;    // of the tag
    std::size_t content = 0;  // of the content
    std::size_t end = 0;      // one past the content
};

// The element at `at`, which must end by `limit`. Definite lengths only, in
// the shortest form DER allows, of at most four bytes.
std::optional<Element> ReadElement(const std::uint8_t* der, std::size_t at, std::size_t limit) {
    if (at >= limit || limit - at < 2) return std::nullopt;
    Element e;
    e.tag = der[at];
    e.start = at;
    if ((e.tag & 0x1F) == 0x1F) return std::nullopt;  // no multi-byte tags here
    std::size_t pos = at + 1;
    std::size_t length = der[pos++];
    if (length & 0x80) {
        std::size_t bytes = length & 0x7F;
        if (bytes == 0 || bytes > 4 || limit - pos < bytes || der[pos] == 0) return std::nullopt;
        length = 0;
        for (std::size_t i = 0; i < bytes; ++i) length = length << 8 | der[pos++];
        if (length < 0x80) return std::nullopt;
    }
    if (limit - pos < length) return std::nullopt;
    e.content = pos;
    e.end = pos + length;
    return e;
}

constexpr std::uint8_t kSequence = 0x30;
constexpr std::uint8_t kInteger = 0x02;
constexpr std::uint8_t kVersionTag = 0xA0;  // [0] EXPLICIT

}  // namespace

std::optional<DerSpan> SubjectPublicKeyInfoOf(const std::uint8_t* der, std::size_t size) {
    if (!der) return std::nullopt;
    // Certificate ::= SEQUENCE { tbsCertificate, signatureAlgorithm, signature }
    auto certificate = ReadElement(der, 0, size);
    if (!certificate || certificate->tag != kSequence) return std::nullopt;
    auto tbs = ReadElement(der, certificate->content, certificate->end);
    if (!tbs || tbs->tag != kSequence) return std::nullopt;
    // TBSCertificate ::= SEQUENCE { [0] version OPTIONAL, serialNumber,
    //   signature, issuer, validity, subject, subjectPublicKeyInfo, ... }
    std::size_t at = tbs->content;
    auto field = ReadElement(der, at, tbs->end);
    if (field && field->tag == kVersionTag) {
        at = field->end;
        field = ReadElement(der, at, tbs->end);
    }
    if (!field || field->tag != kInteger) return std::nullopt;
    at = field->end;
    for (int i = 0; i < 4; ++i) {  // signature, issuer, validity, subject
        field = ReadElement(der, at, tbs->end);
        if (!field || field->tag != kSequence) return std::nullopt;
        at = field->end;
    }
    auto key = ReadElement(der, at, tbs->end);
    if (!key || key->tag != kSequence) return std::nullopt;
    return DerSpan{key->start, key->end - key->start};
}
