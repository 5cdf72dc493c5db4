// Where a control's persisted properties live between runs: its owner
// supplies a store when it creates the control, and hands one back to
// collect them. Reads name a default for keys that were never stored;
// writes of a value equal to its default need not be kept.
#pragma once

#include <cstdint>
#include <map>
#include <string>

class PropertyStore {
public:
    virtual ~PropertyStore() = default;
    virtual std::int32_t ReadLong(const std::string& key, std::int32_t defaultValue) const = 0;
    virtual bool ReadBoolean(const std::string& key, bool defaultValue) const = 0;
    virtual void WriteLong(const std::string& key, std::int32_t value,
                           std::int32_t defaultValue) = 0;
    virtual void WriteBoolean(const std::string& key, bool value, bool defaultValue) = 0;
};

// A store in memory: what an owner fills with a control's stored form.
class PropertyBag final : public PropertyStore {
public:
    PropertyBag& SetLong(const std::string& key, std::int32_t value);
    PropertyBag& SetBoolean(const std::string& key, bool value);
    bool Contains(const std::string& key) const;

    std::int32_t ReadLong(const std::string& key, std::int32_t defaultValue) const override;
    bool ReadBoolean(const std::string& key, bool defaultValue) const override;
    void WriteLong(const std::string& key, std::int32_t value, std::int32_t defaultValue) override;
    void WriteBoolean(const std::string& key, bool value, bool defaultValue) override;

private:
    std::map<std::string, std::int32_t> longs_;
    std::map<std::string, bool> booleans_;
};
