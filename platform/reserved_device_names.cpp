#include "platform/device_names.h"

namespace {

bool IsReservedBase(std::u16string base) {
    for (char16_t& c : base)
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    for (const char16_t* word : {u"con", u"prn", u"aux", u"nul", u"conin$", u"conout$"})
        if (base == word) return true;
    if (base.size() != 4 || (base.compare(0, 3, u"com") != 0 && base.compare(0, 3, u"lpt") != 0))
        return false;
    char16_t digit = base[3];
    // The superscripts one, two and three count as digits to the device lookup.
    return (digit >= u'0' && digit <= u'9') || digit == 0x00B9 || digit == 0x00B2 ||
           digit == 0x00B3;
}

}  // namespace

bool IsReservedDeviceName(std::u16string_view name) {
    // The extension does not matter, nor blanks and dots at the end.
    std::u16string base(name.substr(0, name.find(u'.')));
    while (!base.empty() && (base.back() == u' ' || base.back() == u'.')) base.pop_back();
    return IsReservedBase(base);
}
