#include "json_syntax.h"

#include <cctype>

namespace {

class JsonChecker {
public:
    explicit JsonChecker(std::string_view text) : text_(text) {}

    bool document()
    {
        return value() && (skipSpace(), position_ == text_.size());
    }

private:
    void skipSpace()
    {
        while (position_ < text_.size() && (text_[position_] == ' ' || text_[position_] == '\n' ||
                                            text_[position_] == '\r' || text_[position_] == '\t'))
            ++position_;
    }
    bool eat(char c)
    {
        skipSpace();
        if (position_ < text_.size() && text_[position_] == c) {
            ++position_;
            return true;
        }
        return false;
    }
    bool literal(std::string_view word)
    {
        if (text_.substr(position_, word.size()) != word)
            return false;
        position_ += word.size();
        return true;
    }
    bool digits()
    {
        const std::size_t start = position_;
        while (position_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[position_])))
            ++position_;
        return position_ > start;
    }
    bool number()
    {
        literal("-");
        if (literal("0")) {
        } else if (!digits()) {
            return false;
        }
        if (literal(".") && !digits())
            return false;
        if (literal("e") || literal("E")) {
            if (!literal("+"))
                literal("-");
            return digits();
        }
        return true;
    }
    bool string()
    {
        if (!eat('"'))
            return false;
        while (position_ < text_.size()) {
            const unsigned char c = static_cast<unsigned char>(text_[position_++]);
            if (c == '"')
                return true;
            if (c < 0x20 || c >= 0x80) // the dump escapes every byte outside printable ASCII
                return false;
            if (c == '\\') {
                if (position_ >= text_.size())
                    return false;
                const char e = text_[position_++];
                if (e == 'u') {
                    for (int i = 0; i < 4; ++i)
                        if (position_ >= text_.size() || !std::isxdigit(static_cast<unsigned char>(text_[position_++])))
                            return false;
                } else if (std::string_view("\"\\/bfnrt").find(e) == std::string_view::npos) {
                    return false;
                }
            }
        }
        return false;
    }
    template <typename Item>
    bool sequence(char close, Item item)
    {
        if (eat(close))
            return true;
        do {
            if (!item())
                return false;
        } while (eat(','));
        return eat(close);
    }
    bool value()
    {
        if (++depth_ > 64)
            return false;
        skipSpace();
        bool ok;
        if (eat('{'))
            ok = sequence('}', [this] { return string() && eat(':') && value(); });
        else if (eat('['))
            ok = sequence(']', [this] { return value(); });
        else if (position_ < text_.size() && text_[position_] == '"')
            ok = string();
        else
            ok = literal("null") || literal("true") || literal("false") || number();
        --depth_;
        return ok;
    }

    std::string_view text_;
    std::size_t position_ = 0;
    int depth_ = 0;
};

} // namespace

bool isValidJson(std::string_view text)
{
    return JsonChecker(text).document();
}
