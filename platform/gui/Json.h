#pragma once
// The JSON that crosses between us and the web engine's scripts: every value we put into a
// script goes through Quote/Encode, every result comes back through Parse.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace ql::json {

class Value;
using Array = std::vector<Value>;
using Object = std::vector<std::pair<std::string, Value>>;  // in document order

class Value {
public:
    Value() = default;  // null
    Value(std::nullptr_t) {}
    Value(bool b) : v_(b) {}
    Value(double d) : v_(d) {}
    Value(int i) : v_(static_cast<double>(i)) {}
    Value(std::int64_t i) : v_(static_cast<double>(i)) {}
    Value(std::string s) : v_(std::move(s)) {}
    Value(const char* s) : v_(std::string(s)) {}
    Value(Array a) : v_(std::move(a)) {}
    Value(Object o) : v_(std::move(o)) {}

    bool IsNull() const { return v_.index() == 0; }
    const bool* AsBool() const { return std::get_if<bool>(&v_); }
    const double* AsNumber() const { return std::get_if<double>(&v_); }
    const std::string* AsString() const { return std::get_if<std::string>(&v_); }
    const Array* AsArray() const { return std::get_if<Array>(&v_); }
    const Object* AsObject() const { return std::get_if<Object>(&v_); }
    // Member of an object by key; nullptr when this is no object or has no such key.
    const Value* Find(std::string_view key) const;

    friend bool operator==(const Value& a, const Value& b) { return a.v_ == b.v_; }

private:
    std::variant<std::monostate, bool, double, std::string, Array, Object> v_;
};

// A JSON string literal of UTF-8 text, safe to paste into a script: quotes, backslashes and
// control characters escaped, U+2028/U+2029 escaped, invalid UTF-8 bytes as U+FFFD.
std::string Quote(std::string_view utf8);
// Compact JSON text; non-finite numbers are written as null.
std::string Encode(const Value& value);
// Strict JSON (RFC 8259) with nesting up to 200 levels; nullopt on any error or trailing text.
std::optional<Value> Parse(std::string_view text);

}  // namespace ql::json
