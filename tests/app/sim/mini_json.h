#pragma once

#include <cctype>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace peterin::testing {

// Just enough JSON to check what the tool prints: a strict parser that refuses anything that
// is not one complete document.
struct Json {
    enum class Kind { Null, Bool, Number, String, Array, Object } kind = Kind::Null;
    bool boolean = false;
    double number = 0;
    std::string string;
    std::vector<Json> array;
    std::map<std::string, Json> object;

    const Json& operator[](const std::string& key) const { return object.at(key); }
    const Json& operator[](std::size_t i) const { return array.at(i); }
};

class JsonParser {
  public:
    explicit JsonParser(std::string_view text) : s_(text) {}

    std::optional<Json> document() {
        Json value;
        if (!parseValue(value)) {
            return std::nullopt;
        }
        skipSpace();
        if (i_ != s_.size()) {
            return std::nullopt;
        }
        return value;
    }

  private:
    void skipSpace() {
        while (i_ < s_.size() &&
               (s_[i_] == ' ' || s_[i_] == '\n' || s_[i_] == '\t' || s_[i_] == '\r')) {
            ++i_;
        }
    }
    bool literal(std::string_view word) {
        if (s_.substr(i_, word.size()) != word) {
            return false;
        }
        i_ += word.size();
        return true;
    }
    bool parseString(std::string& out) {
        if (i_ >= s_.size() || s_[i_] != '"') {
            return false;
        }
        ++i_;
        while (i_ < s_.size() && s_[i_] != '"') {
            const unsigned char c = static_cast<unsigned char>(s_[i_]);
            if (c < 0x20) {
                return false;
            }
            if (c == '\\') {
                if (++i_ >= s_.size()) {
                    return false;
                }
                const char e = s_[i_];
                if (e == 'u') {
                    if (i_ + 4 >= s_.size()) {
                        return false;
                    }
                    out += '?'; // the tests never look inside escapes
                    i_ += 4;
                } else if (std::string_view("\"\\/bfnrt").find(e) != std::string_view::npos) {
                    out += e == 'n' ? '\n' : e == 't' ? '\t' : e;
                } else {
                    return false;
                }
            } else {
                out += static_cast<char>(c);
            }
            ++i_;
        }
        if (i_ >= s_.size()) {
            return false;
        }
        ++i_;
        return true;
    }
    bool parseNumber(double& out) {
        const std::size_t start = i_;
        if (i_ < s_.size() && s_[i_] == '-') {
            ++i_;
        }
        const std::size_t digits = i_;
        while (i_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[i_]))) {
            ++i_;
        }
        if (i_ == digits) {
            return false;
        }
        const auto moreDigits = [&] {
            const std::size_t first = i_;
            while (i_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[i_]))) {
                ++i_;
            }
            return i_ > first;
        };
        if (i_ < s_.size() && s_[i_] == '.' && (++i_, !moreDigits())) {
            return false;
        }
        if (i_ < s_.size() && (s_[i_] == 'e' || s_[i_] == 'E')) {
            ++i_;
            if (i_ < s_.size() && (s_[i_] == '+' || s_[i_] == '-')) {
                ++i_;
            }
            if (!moreDigits()) {
                return false;
            }
        }
        out = std::stod(std::string(s_.substr(start, i_ - start)));
        return true;
    }
    bool parseValue(Json& v) {
        skipSpace();
        if (i_ >= s_.size()) {
            return false;
        }
        const char c = s_[i_];
        if (c == '{') {
            v.kind = Json::Kind::Object;
            ++i_;
            skipSpace();
            if (i_ < s_.size() && s_[i_] == '}') {
                ++i_;
                return true;
            }
            while (true) {
                skipSpace();
                std::string key;
                if (!parseString(key)) {
                    return false;
                }
                skipSpace();
                if (i_ >= s_.size() || s_[i_++] != ':') {
                    return false;
                }
                if (!parseValue(v.object[key])) {
                    return false;
                }
                skipSpace();
                if (i_ < s_.size() && s_[i_] == ',') {
                    ++i_;
                    continue;
                }
                return i_ < s_.size() && s_[i_++] == '}';
            }
        }
        if (c == '[') {
            v.kind = Json::Kind::Array;
            ++i_;
            skipSpace();
            if (i_ < s_.size() && s_[i_] == ']') {
                ++i_;
                return true;
            }
            while (true) {
                v.array.emplace_back();
                if (!parseValue(v.array.back())) {
                    return false;
                }
                skipSpace();
                if (i_ < s_.size() && s_[i_] == ',') {
                    ++i_;
                    continue;
                }
                return i_ < s_.size() && s_[i_++] == ']';
            }
        }
        if (c == '"') {
            v.kind = Json::Kind::String;
            return parseString(v.string);
        }
        if (literal("true")) {
            v.kind = Json::Kind::Bool;
            v.boolean = true;
            return true;
        }
        if (literal("false")) {
            v.kind = Json::Kind::Bool;
            return true;
        }
        if (literal("null")) {
            return true;
        }
        v.kind = Json::Kind::Number;
        return parseNumber(v.number);
    }

    std::string_view s_;
    std::size_t i_ = 0;
};

inline std::optional<Json> parseJson(std::string_view text) {
    return JsonParser(text).document();
}

} // namespace peterin::testing
