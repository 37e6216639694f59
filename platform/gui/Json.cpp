#include "platform/gui/Json.h"

#include "platform/core/HexDigits.h"
#include "platform/core/TextEncoding.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace ql::json {

namespace {

constexpr int kMaxDepth = 200;

class Parser {
public:
    explicit Parser(std::string_view t) : t_(t) {}

    std::optional<Value> Run()
    {
        auto v = ParseValue(0);
        SkipWs();
        if (!v || pos_ != t_.size())
            return std::nullopt;
        return v;
    }

private:
    std::string_view t_;
    std::size_t pos_ = 0;

    void SkipWs()
    {
        while (pos_ < t_.size() && (t_[pos_] == ' ' || t_[pos_] == '\t' || t_[pos_] == '\n' || t_[pos_] == '\r'))
            ++pos_;
    }
    bool Literal(std::string_view word)
    {
        if (t_.substr(pos_, word.size()) != word)
            return false;
        pos_ += word.size();
        return true;
    }

    std::optional<Value> ParseValue(int depth)
    {
        if (depth > kMaxDepth)
            return std::nullopt;
        SkipWs();
        if (pos_ >= t_.size())
            return std::nullopt;
        char c = t_[pos_];
        if (c == '{')
            return ParseObject(depth);
        if (c == '[')
            return ParseArray(depth);
        if (c == '"') {
            std::string s;
            if (!ParseString(s))
                return std::nullopt;
            return Value(std::move(s));
        }
        if (Literal("true"))
            return Value(true);
        if (Literal("false"))
            return Value(false);
        if (Literal("null"))
            return Value();
        return ParseNumber();
    }

    std::optional<Value> ParseNumber()
    {
        std::size_t start = pos_;
        if (pos_ < t_.size() && t_[pos_] == '-')
            ++pos_;
        auto digits = [&] {
            std::size_t s = pos_;
            while (pos_ < t_.size() && t_[pos_] >= '0' && t_[pos_] <= '9')
                ++pos_;
            return pos_ - s;
        };
        if (pos_ >= t_.size())
            return std::nullopt;
        if (t_[pos_] == '0') {
            ++pos_;
        } else if (digits() == 0) {
            return std::nullopt;
        }
        if (pos_ < t_.size() && t_[pos_] == '.') {
            ++pos_;
            if (digits() == 0)
                return std::nullopt;
        }
        if (pos_ < t_.size() && (t_[pos_] == 'e' || t_[pos_] == 'E')) {
            ++pos_;
            if (pos_ < t_.size() && (t_[pos_] == '+' || t_[pos_] == '-'))
                ++pos_;
            if (digits() == 0)
                return std::nullopt;
        }
        // from_chars: the C locale's number format whatever the program's locale is.
        double v = 0;
        auto [end, ec] = std::from_chars(t_.data() + start, t_.data() + pos_, v);
        if (ec != std::errc() || end != t_.data() + pos_)
            return std::nullopt;
        return Value(v);
    }

    bool Hex4(std::uint32_t& v)
    {
        if (t_.size() - pos_ < 4)
            return false;
        v = 0;
        for (int i = 0; i < 4; ++i) {
            int d = HexDigitValue(t_[pos_++]);
            if (d < 0)
                return false;
            v = (v << 4) | static_cast<std::uint32_t>(d);
        }
        return true;
    }

    bool ParseString(std::string& out)
    {
        ++pos_;  // opening quote
        while (pos_ < t_.size()) {
            unsigned char c = static_cast<unsigned char>(t_[pos_]);
            if (c == '"') {
                ++pos_;
                return true;
            }
            if (c < 0x20)
                return false;
            if (c != '\\') {
                char32_t cp;
                std::size_t len = DecodeUtf8(t_, pos_, cp);
                AppendUtf8(out, cp);
                pos_ += len ? len : 1;
                continue;
            }
            if (++pos_ >= t_.size())
                return false;
            char e = t_[pos_++];
            switch (e) {
            case '"':
                out += '"';
                break;
            case '\\':
                out += '\\';
                break;
            case '/':
                out += '/';
                break;
            case 'b':
                out += '\b';
                break;
            case 'f':
                out += '\f';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'u': {
                std::uint32_t u;
                if (!Hex4(u))
                    return false;
                if (u >= 0xD800 && u <= 0xDBFF && t_.substr(pos_, 2) == "\\u") {
                    std::size_t save = pos_;
                    pos_ += 2;
                    std::uint32_t lo;
                    if (!Hex4(lo))
                        return false;
                    if (lo >= 0xDC00 && lo <= 0xDFFF) {
                        u = 0x10000 + ((u - 0xD800) << 10) + (lo - 0xDC00);
                    } else {
                        pos_ = save;  // the next escape stands on its own
                        u = 0xFFFD;
                    }
                } else if (u >= 0xD800 && u <= 0xDFFF) {
                    u = 0xFFFD;
                }
                AppendUtf8(out, u);
                break;
            }
            default:
                return false;
            }
        }
        return false;
    }

    std::optional<Value> ParseArray(int depth)
    {
        ++pos_;
        Array a;
        SkipWs();
        if (pos_ < t_.size() && t_[pos_] == ']') {
            ++pos_;
            return Value(std::move(a));
        }
        for (;;) {
            auto v = ParseValue(depth + 1);
            if (!v)
                return std::nullopt;
            a.push_back(std::move(*v));
            SkipWs();
            if (pos_ >= t_.size())
                return std::nullopt;
            if (t_[pos_] == ',') {
                ++pos_;
                continue;
            }
            if (t_[pos_] == ']') {
                ++pos_;
                return Value(std::move(a));
            }
            return std::nullopt;
        }
    }

    std::optional<Value> ParseObject(int depth)
    {
        ++pos_;
        Object o;
        SkipWs();
        if (pos_ < t_.size() && t_[pos_] == '}') {
            ++pos_;
            return Value(std::move(o));
        }
        for (;;) {
            SkipWs();
            if (pos_ >= t_.size() || t_[pos_] != '"')
                return std::nullopt;
            std::string key;
            if (!ParseString(key))
                return std::nullopt;
            SkipWs();
            if (pos_ >= t_.size() || t_[pos_] != ':')
                return std::nullopt;
            ++pos_;
            auto v = ParseValue(depth + 1);
            if (!v)
                return std::nullopt;
            o.emplace_back(std::move(key), std::move(*v));
            SkipWs();
            if (pos_ >= t_.size())
                return std::nullopt;
            if (t_[pos_] == ',') {
                ++pos_;
                continue;
            }
            if (t_[pos_] == '}') {
                ++pos_;
                return Value(std::move(o));
            }
            return std::nullopt;
        }
    }
};

void EncodeTo(std::string& out, const Value& v)
{
    if (v.IsNull()) {
        out += "null";
    } else if (const bool* b = v.AsBool()) {
        out += *b ? "true" : "false";
    } else if (const double* d = v.AsNumber()) {
        if (!std::isfinite(*d)) {
            out += "null";
        } else {
            char buf[40];
            auto [end, ec] = std::to_chars(buf, buf + sizeof buf, *d);
            out.append(buf, ec == std::errc() ? end : buf);
        }
    } else if (const std::string* s = v.AsString()) {
        out += Quote(*s);
    } else if (const Array* a = v.AsArray()) {
        out += '[';
        for (std::size_t i = 0; i < a->size(); ++i) {
            if (i)
                out += ',';
            EncodeTo(out, (*a)[i]);
        }
        out += ']';
    } else if (const Object* o = v.AsObject()) {
        out += '{';
        bool first = true;
        for (const auto& [k, val] : *o) {
            if (!first)
                out += ',';
            first = false;
            out += Quote(k);
            out += ':';
            EncodeTo(out, val);
        }
        out += '}';
    }
}

}  // namespace

const Value* Value::Find(std::string_view key) const
{
    if (const Object* o = AsObject()) {
        for (const auto& [k, v] : *o)
            if (k == key)
                return &v;
    }
    return nullptr;
}

std::string Quote(std::string_view s)
{
    std::string out;
    out.reserve(s.size() + 2);
    out += '"';
    std::size_t i = 0;
    while (i < s.size()) {
        char32_t c;
        std::size_t len = DecodeUtf8(s, i, c);
        i += len ? len : 1;
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20 || c == 0x2028 || c == 0x2029 || c == 0x7F) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned>(c));
                out += buf;
            } else {
                AppendUtf8(out, c);
            }
        }
    }
    out += '"';
    return out;
}

std::string Encode(const Value& value)
{
    std::string out;
    EncodeTo(out, value);
    return out;
}

std::optional<Value> Parse(std::string_view text) { return Parser(text).Run(); }

}  // namespace ql::json
