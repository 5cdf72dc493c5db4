#include "controls/property_store.h"

PropertyBag& PropertyBag::SetLong(const std::string& key, std::int32_t value) {
    longs_[key] = value;
    return *this;
}

PropertyBag& PropertyBag::SetBoolean(const std::string& key, bool value) {
    booleans_[key] = value;
    return *this;
}

bool PropertyBag::Contains(const std::string& key) const {
    return longs_.count(key) != 0 || booleans_.count(key) != 0;
}

std::int32_t PropertyBag::ReadLong(const std::string& key, std::int32_t defaultValue) const {
    auto found = longs_.find(key);
    return found == longs_.end() ? defaultValue : found->second;
}

bool PropertyBag::ReadBoolean(const std::string& key, bool defaultValue) const {
    auto found = booleans_.find(key);
    return found == booleans_.end() ? defaultValue : found->second;
}

void PropertyBag::WriteLong(const std::string& key, std::int32_t value,
                            std::int32_t defaultValue) {
    if (value == defaultValue)
        longs_.erase(key);
    else
        longs_[key] = value;
}

void PropertyBag::WriteBoolean(const std::string& key, bool value, bool defaultValue) {
    if (value == defaultValue)
        booleans_.erase(key);
    else
        booleans_[key] = value;
}
