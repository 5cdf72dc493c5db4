// File names that Windows opens as devices: a shortcut name from
// pelorin.ini that must never write to CON, NUL, COM1 and the like.
#include <cstdint>
#include <string>

#include <fuzzer/FuzzedDataProvider.h>

#include "platform/device_names.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

std::u16string FlipCase(std::u16string text) {
    for (char16_t& c : text)
        if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z')) c = static_cast<char16_t>(c ^ 0x20);
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::u16string name;
    for (std::size_t i = 0; i + 1 < size; i += 2)
        name += static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    bool device = IsReservedDeviceName(name);
    // Letter case, an extension and blanks and dots at the end of the base
    // change nothing.
    FUZZ_REQUIRE(IsReservedDeviceName(FlipCase(name)) == device);
    std::size_t dot = name.find(u'.');
    std::u16string base = name.substr(0, dot);
    FUZZ_REQUIRE(IsReservedDeviceName(base + u" . ." + (dot == std::u16string::npos ? u"" : name.substr(dot))) == device);
    FUZZ_REQUIRE(IsReservedDeviceName(base + u".url") == IsReservedDeviceName(base));
    if (device) {
        while (!base.empty() && (base.back() == u' ' || base.back() == u'.')) base.pop_back();
        FUZZ_REQUIRE(base.size() == 3 || base.size() == 4 || base.size() == 6 || base.size() == 7);
    }

    // Every device name, however dressed, is one.
    static const char16_t* const kDevices[] = {
        u"con", u"prn", u"aux", u"nul", u"conin$", u"conout$", u"com0", u"com9", u"lpt1",
        u"lpt\u00B9", u"com\u00B2", u"lpt\u00B3"};
    FuzzedDataProvider in(data, size);
    std::u16string dressed = kDevices[in.ConsumeIntegralInRange<std::size_t>(0, 11)];
    if (in.ConsumeBool()) dressed = FlipCase(dressed);
    dressed += std::u16string(in.ConsumeIntegralInRange<int>(0, 3), u' ');
    dressed += std::u16string(in.ConsumeIntegralInRange<int>(0, 3), u'.');
    if (in.ConsumeBool()) dressed += u"." + name;
    FUZZ_REQUIRE(IsReservedDeviceName(dressed));
    return 0;
}
