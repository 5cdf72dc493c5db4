// Just enough of a certificate's DER encoding to find its public key: the
// SubjectPublicKeyInfo, whose SHA-256 stays the same when the provider renews
// its certificate with the same key.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

struct DerSpan {
    std::size_t offset = 0;  // of the element's tag
    std::size_t size = 0;    // tag, length and content
};

// Where the SubjectPublicKeyInfo lies in the X.509 certificate `der`;
// empty for anything that is not a well-formed certificate up to it.
std::optional<DerSpan> SubjectPublicKeyInfoOf(const std::uint8_t* der, std::size_t size);
