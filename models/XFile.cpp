#include "models/XFile.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace kv {
namespace {

// Both encodings become one token stream, so one parser serves them.
enum class Tok { Name, String, Number, Guid, Open, Close, Semi, Comma, Punct, Template, End };

struct Token {
    Tok kind;
    double number = 0;
    std::string text;
};

// Deeper nesting than any real model file; keeps hostile files from exhausting the stack.
constexpr int kMaxDepth = 64;

bool fail(std::string* why, const char* reason) {
    if (why)
        *why = reason;
    return false;
}

bool isNameStart(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}
bool isNameChar(char c) {
    return isNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// 7, -7, .5, -.5 and +0.5 start numbers; a lone '.' is punctuation ("[...]" in templates).
bool startsNumber(std::string_view s, size_t i) {
    auto digitAt = [&](size_t k) { return k < s.size() && isDigit(s[k]); };
    if (digitAt(i))
        return true;
    if (s[i] == '.')
        return digitAt(i + 1);
    if (s[i] == '-' || s[i] == '+')
        return digitAt(i + 1) || (i + 1 < s.size() && s[i + 1] == '.' && digitAt(i + 2));
    return false;
}

bool lexText(std::string_view s, std::vector<Token>& out, std::string* why) {
    size_t i = 0;
    while (i < s.size()) {
        char c = s[i];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v') {
            ++i;
        } else if (c == '#' || (c == '/' && i + 1 < s.size() && s[i + 1] == '/')) {
            while (i < s.size() && s[i] != '\n')
                ++i;
        } else if (c == '{') {
            out.push_back({Tok::Open});
            ++i;
        } else if (c == '}') {
            out.push_back({Tok::Close});
            ++i;
        } else if (c == ';') {
            out.push_back({Tok::Semi});
            ++i;
        } else if (c == ',') {
            out.push_back({Tok::Comma});
            ++i;
        } else if (c == '[' || c == ']' || c == '(' || c == ')' || c == '.') {
            out.push_back({Tok::Punct});
            ++i;
        } else if (c == '<') {
            size_t end = s.find('>', i);
            if (end == std::string_view::npos)
                return fail(why, "unterminated GUID");
            out.push_back({Tok::Guid, 0, std::string(s.substr(i + 1, end - i - 1))});
            i = end + 1;
        } else if (c == '"') {
            size_t end = s.find('"', i + 1);
            if (end == std::string_view::npos)
                return fail(why, "unterminated string");
            out.push_back({Tok::String, 0, std::string(s.substr(i + 1, end - i - 1))});
            i = end + 1;
        } else if (startsNumber(s, i)) {
            size_t j = i + 1;
            while (j < s.size() &&
                   (isDigit(s[j]) || s[j] == '.' || s[j] == 'e' || s[j] == 'E' ||
                    ((s[j] == '-' || s[j] == '+') && (s[j - 1] == 'e' || s[j - 1] == 'E'))))
                ++j;
            std::string num(s.substr(i, j - i));
            char* end = nullptr;
            double v = std::strtod(num.c_str(), &end);
            if (end != num.c_str() + num.size())
                return fail(why, "bad number");
            out.push_back({Tok::Number, v});
            i = j;
        } else if (isNameStart(c)) {
            size_t j = i + 1;
            while (j < s.size() && isNameChar(s[j]))
                ++j;
            std::string name(s.substr(i, j - i));
            out.push_back({name == "template" ? Tok::Template : Tok::Name, 0, std::move(name)});
            i = j;
        } else {
            return fail(why, "unexpected character");
        }
    }
    return true;
}

class BinaryReader {
public:
    BinaryReader(std::string_view s) : s_(s) {}
    bool left(size_t n) const { return s_.size() - pos_ >= n; }
    bool done() const { return pos_ >= s_.size(); }
    uint16_t u16() {
        uint16_t v;
        std::memcpy(&v, s_.data() + pos_, 2);
        pos_ += 2;
        return v;
    }
    uint32_t u32() {
        uint32_t v;
        std::memcpy(&v, s_.data() + pos_, 4);
        pos_ += 4;
        return v;
    }
    float f32() {
        float v;
        std::memcpy(&v, s_.data() + pos_, 4);
        pos_ += 4;
        return v;
    }
    double f64() {
        double v;
        std::memcpy(&v, s_.data() + pos_, 8);
        pos_ += 8;
        return v;
    }
    std::string bytes(size_t n) {
        std::string v(s_.substr(pos_, n));
        pos_ += n;
        return v;
    }

private:
    std::string_view s_;
    size_t pos_ = 0;
};

bool lexBinary(std::string_view s, bool doubles, std::vector<Token>& out, std::string* why) {
    BinaryReader r(s);
    const size_t floatSize = doubles ? 8 : 4;
    while (!r.done()) {
        if (!r.left(2))
            return fail(why, "truncated token");
        uint16_t t = r.u16();
        switch (t) {
        case 1:   // name
        case 2: { // string
            if (!r.left(4))
                return fail(why, "truncated name");
            uint32_t n = r.u32();
            if (!r.left(n))
                return fail(why, "truncated name");
            std::string text = r.bytes(n);
            if (t == 2) {
                if (!r.left(4))
                    return fail(why, "truncated string");
                r.u32(); // terminator (';' or ',')
            }
            out.push_back({t == 1 ? Tok::Name : Tok::String, 0, std::move(text)});
            break;
        }
        case 3: // integer
            if (!r.left(4))
                return fail(why, "truncated integer");
            out.push_back({Tok::Number, double(r.u32())});
            break;
        case 5: // GUID
            if (!r.left(16))
                return fail(why, "truncated GUID");
            r.bytes(16);
            out.push_back({Tok::Guid});
            break;
        case 6:   // integer list
        case 7: { // float list
            if (!r.left(4))
                return fail(why, "truncated list");
            uint32_t n = r.u32();
            size_t size = t == 6 ? 4 : floatSize;
            if (n > (s.size() / size) || !r.left(size_t(n) * size))
                return fail(why, "truncated list");
            for (uint32_t k = 0; k < n; ++k) {
                double v = t == 6 ? double(r.u32()) : doubles ? r.f64() : double(r.f32());
                out.push_back({Tok::Number, v});
            }
            break;
        }
        case 10:
            out.push_back({Tok::Open});
            break;
        case 11:
            out.push_back({Tok::Close});
            break;
        case 19:
            out.push_back({Tok::Comma});
            break;
        case 20:
            out.push_back({Tok::Semi});
            break;
        case 31:
            out.push_back({Tok::Template});
            break;
        default:
            // Brackets, angles, dot and the type keywords only occur inside templates.
            if ((t >= 12 && t <= 18) || (t >= 40 && t <= 53)) {
                out.push_back({Tok::Punct});
                break;
            }
            return fail(why, "unknown binary token");
        }
    }
    return true;
}

class Parser {
public:
    Parser(const std::vector<Token>& t, std::string* why) : t_(t), why_(why) {}

    bool file(std::vector<XObject>& objects) {
        while (!at(Tok::End)) {
            if (at(Tok::Template)) {
                if (!skipTemplate())
                    return false;
            } else if (at(Tok::Name)) {
                XObject o;
                if (!object(o, 0))
                    return false;
                objects.push_back(std::move(o));
            } else if (at(Tok::Semi) || at(Tok::Comma)) {
                ++i_;
            } else {
                return fail(why_, "unexpected token at top level");
            }
        }
        return true;
    }

private:
    bool at(Tok k) const { return (i_ < t_.size() ? t_[i_].kind : Tok::End) == k; }

    bool skipTemplate() {
        ++i_;
        if (!at(Tok::Name))
            return fail(why_, "template without a name");
        ++i_;
        if (!at(Tok::Open))
            return fail(why_, "template without a body");
        int level = 0;
        do {
            if (at(Tok::End))
                return fail(why_, "unterminated template");
            if (at(Tok::Open))
                ++level;
            else if (at(Tok::Close))
                --level;
            ++i_;
        } while (level > 0);
        return true;
    }

    bool object(XObject& o, int depth) {
        if (depth > kMaxDepth)
            return fail(why_, "objects nested too deeply");
        o.type = t_[i_++].text;
        if (at(Tok::Name))
            o.name = t_[i_++].text;
        if (!at(Tok::Open))
            return fail(why_, "object without a body");
        ++i_;
        if (at(Tok::Guid))
            ++i_;
        for (;;) {
            if (at(Tok::End))
                return fail(why_, "unterminated object");
            const Token& t = t_[i_];
            switch (t.kind) {
            case Tok::Close:
                ++i_;
                return true;
            case Tok::Number:
                o.numbers.push_back(t.number);
                ++i_;
                break;
            case Tok::String:
                o.strings.push_back(t.text);
                ++i_;
                break;
            case Tok::Semi:
            case Tok::Comma:
                ++i_;
                break;
            case Tok::Open:
                if (!reference(o))
                    return false;
                break;
            case Tok::Name: {
                XObject child;
                if (!object(child, depth + 1))
                    return false;
                o.children.push_back(std::move(child));
                break;
            }
            default:
                return fail(why_, "unexpected token in object");
            }
        }
    }

    bool reference(XObject& o) {
        ++i_;
        std::string name;
        if (at(Tok::Name))
            name = t_[i_++].text;
        if (at(Tok::Guid))
            ++i_;
        if (!at(Tok::Close))
            return fail(why_, "bad reference");
        ++i_;
        XObject ref;
        ref.name = std::move(name);
        o.children.push_back(std::move(ref));
        return true;
    }

    const std::vector<Token>& t_;
    std::string* why_;
    size_t i_ = 0;
};

} // namespace

bool parseXFile(std::string_view bytes, std::vector<XObject>& objects, std::string* why) {
    if (bytes.size() < 16 || bytes.substr(0, 4) != "xof ")
        return fail(why, "not an .x file");
    std::string_view version = bytes.substr(4, 4), format = bytes.substr(8, 4),
                     floats = bytes.substr(12, 4);
    if (version != "0302" && version != "0303")
        return fail(why, "unknown version");
    if (floats != "0032" && floats != "0064")
        return fail(why, "unknown float size");
    std::vector<Token> tokens;
    std::string_view body = bytes.substr(16);
    if (format == "txt ") {
        if (!lexText(body, tokens, why))
            return false;
    } else if (format == "bin ") {
        if (!lexBinary(body, floats == "0064", tokens, why))
            return false;
    } else {
        return fail(why, "unsupported encoding");
    }
    std::vector<XObject> parsed;
    if (!Parser(tokens, why).file(parsed))
        return false;
    objects = std::move(parsed);
    return true;
}

} // namespace kv
