// The design-time settings a host form stores for each reusable control: named values read
// with a default when the control is created and written back when the designer saves.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <variant>

namespace xcyh2::forms {

class PropertyBag {
public:
    using Value = std::variant<std::int32_t, bool, std::wstring>;

    PropertyBag() = default;
    PropertyBag(std::initializer_list<std::pair<const std::wstring, Value>> values) : values_(values) {}

    // The stored value when there is one of the default's kind, else the default.
    template <typename T>
    T ReadProperty(const std::wstring& name, const T& defaultValue) const {
        auto it = values_.find(name);
        if (it == values_.end()) return defaultValue;
        if (const T* v = std::get_if<T>(&it->second)) return *v;
        return defaultValue;
    }

    void WriteProperty(const std::wstring& name, const Value& value) { values_[name] = value; }

    bool Contains(const std::wstring& name) const { return values_.count(name) != 0; }
    std::size_t size() const { return values_.size(); }

private:
    std::map<std::wstring, Value> values_;
};

}  // namespace xcyh2::forms
