#include "swf/HtmlText.h"

#include <algorithm>
#include <cstdlib>
#include <map>

namespace UT {

namespace {

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

std::string LowerCase(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = Lower(c);
    return out;
}

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// One UTF-8 character at `at`, moving `at` past it; a byte that starts no valid sequence
// is its own Latin-1 code.
uint32_t DecodeUtf8(std::string_view s, size_t& at) {
    const uint8_t lead = uint8_t(s[at]);
    const int32_t extra = lead >= 0xF5   ? 0
                          : lead >= 0xF0 ? 3
                          : lead >= 0xE0 ? 2
                          : lead >= 0xC2 ? 1
                                         : 0;
    if (extra == 0 || at + size_t(extra) >= s.size()) return uint8_t(s[at++]);
    uint32_t code = lead & (0x3F >> extra);
    for (int32_t k = 1; k <= extra; ++k) {
        const uint8_t next = uint8_t(s[at + size_t(k)]);
        if ((next & 0xC0) != 0x80) return uint8_t(s[at++]);
        code = code << 6 | (next & 0x3F);
    }
    constexpr uint32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
    if (code < kLeast[extra] || (code >= 0xD800 && code < 0xE000)) return uint8_t(s[at++]);
    at += size_t(extra) + 1;
    return code;
}

// The attributes of a tag: name="value", name='value' or name=value; a name without a
// value is kept with an empty one.
std::map<std::string, std::string> Attributes(std::string_view s) {
    std::map<std::string, std::string> out;
    size_t at = 0;
    while (at < s.size()) {
        while (at < s.size() && (IsSpace(s[at]) || s[at] == '/')) ++at;
        const size_t nameStart = at;
        while (at < s.size() && !IsSpace(s[at]) && s[at] != '=' && s[at] != '/') ++at;
        std::string name = LowerCase(s.substr(nameStart, at - nameStart));
        while (at < s.size() && IsSpace(s[at])) ++at;
        std::string value;
        if (at < s.size() && s[at] == '=') {
            ++at;
            while (at < s.size() && IsSpace(s[at])) ++at;
            if (at < s.size() && (s[at] == '"' || s[at] == '\'')) {
                const char quote = s[at++];
                const size_t end = std::min(s.find(quote, at), s.size());
                value = std::string(s.substr(at, end - at));
                at = end + 1;
            } else {
                const size_t valueStart = at;
                while (at < s.size() && !IsSpace(s[at])) ++at;
                value = std::string(s.substr(valueStart, at - valueStart));
            }
        }
        if (!name.empty()) out[name] = value;
    }
    return out;
}

// A number of pixels from an attribute; false when it holds none.
bool Number(const std::string& text, float& value) {
    const char* start = text.c_str();
    char* end = nullptr;
    const double v = std::strtod(start, &end);
    if (end == start || !(v == v)) return false;
    value = float(std::clamp(v, -1e6, 1e6));
    return true;
}

float Pixels(const std::string& text) {
    float v = 0;
    return Number(text, v) ? std::max(v, 0.0f) : 0.0f;
}

// A comma-separated list of pixel positions; those not beyond the one before are dropped,
// as are those past the most a paragraph keeps.
void TabStops(const std::string& text, HtmlParagraphFormat& paragraph) {
    paragraph.tabStopCount = 0;
    size_t at = 0;
    while (at <= text.size()) {
        const size_t end = std::min(text.find(',', at), text.size());
        float stop = 0;
        const uint32_t n = paragraph.tabStopCount;
        if (Number(text.substr(at, end - at), stop) && stop > 0 &&
            (n == 0 || stop > paragraph.tabStops[n - 1]) && n < paragraph.tabStops.size())
            paragraph.tabStops[paragraph.tabStopCount++] = stop;
        at = end + 1;
    }
}

struct State {
    std::string tag;
    HtmlCharFormat format;
    HtmlParagraphFormat paragraph;
};

class Parser {
public:
    Parser(const HtmlCharFormat& base, const HtmlParagraphFormat& paragraph) {
        stack.push_back({"", base, paragraph});
        out.paragraphs.push_back(paragraph);
    }

    HtmlText Run(std::string_view s) {
        size_t at = 0;
        while (at < s.size()) {
            const char c = s[at];
            if (c == '<') {
                const size_t end = s.find('>', at);
                if (end == std::string_view::npos) break; // an unclosed tag ends the text
                Tag(s.substr(at + 1, end - at - 1));
                at = end + 1;
            } else if (c == '&') {
                at = Entity(s, at);
            } else if (c == '\r' || c == '\n') {
                // A line end in the markup ends the paragraph, "\r\n" once.
                if (c == '\r' && at + 1 < s.size() && s[at + 1] == '\n') ++at;
                ++at;
                NewParagraph();
            } else {
                Put(DecodeUtf8(s, at));
            }
        }
        return std::move(out);
    }

private:
    const State& Top() const { return stack.back(); }

    void Put(uint32_t code) {
        if (code > 0xFFFF) return; // fonts map 16-bit codes only
        const State& top = Top();
        if (!runOpen) {
            out.runs.push_back({{}, top.format, uint32_t(out.paragraphs.size() - 1)});
            runOpen = true;
        }
        out.runs.back().text.push_back(char16_t(code));
        paragraphHasText = true;
    }

    // The next character opens a run of the current format.
    void FormatChanged() { runOpen = false; }

    void NewParagraph() {
        HtmlParagraphFormat format = Top().paragraph;
        format.bullet = false;
        out.paragraphs.push_back(format);
        paragraphHasText = false;
        runOpen = false;
    }

    // Starts a paragraph with the current state's format unless the current one is still
    // empty, in which case it takes that format.
    void OpenParagraph(bool bullet) {
        if (paragraphHasText) NewParagraph();
        HtmlParagraphFormat& p = out.paragraphs.back();
        p = Top().paragraph;
        p.bullet = bullet;
        runOpen = false;
    }

    void Push(const std::string& name) {
        stack.push_back(Top());
        stack.back().tag = name;
        ++open[name];
    }

    void Close(const std::string& name) {
        auto count = open.find(name);
        if (count == open.end() || count->second == 0) return; // never opened: dropped
        // Everything opened inside it closes with it.
        while (stack.size() > 1) {
            const std::string tag = stack.back().tag;
            stack.pop_back();
            --open[tag];
            if (tag == name) break;
        }
        FormatChanged();
        if (name == "p" || name == "li") NewParagraph();
    }

    void Tag(std::string_view body) {
        if (body.empty() || body[0] == '!' || body[0] == '?') return; // comments and the like
        const bool closing = body[0] == '/';
        if (closing) body.remove_prefix(1);
        size_t nameEnd = 0;
        while (nameEnd < body.size() && !IsSpace(body[nameEnd]) && body[nameEnd] != '/') ++nameEnd;
        const std::string name = LowerCase(body.substr(0, nameEnd));
        if (closing) {
            Close(name);
            return;
        }
        if (name == "br") {
            Put('\n');
            return;
        }
        const bool known = name == "p" || name == "font" || name == "b" || name == "i" ||
                           name == "u" || name == "li" || name == "a" || name == "span" ||
                           name == "textformat";
        if (!known) return; // unknown tags are dropped, their text kept
        const auto attributes = Attributes(body.substr(nameEnd));
        Push(name);
        State& top = stack.back();
        auto attribute = [&](const char* key) -> const std::string* {
            const auto found = attributes.find(key);
            return found == attributes.end() ? nullptr : &found->second;
        };
        if (name == "b") top.format.bold = true;
        if (name == "i") top.format.italic = true;
        if (name == "u") top.format.underline = true;
        if (name == "font") {
            if (const std::string* face = attribute("face"); face && !face->empty())
                top.format.face = *face;
            if (const std::string* size = attribute("size")) {
                float value = 0;
                if (Number(*size, value)) {
                    const bool relative =
                        !size->empty() && ((*size)[0] == '+' || (*size)[0] == '-');
                    top.format.size = std::clamp(relative ? top.format.size + value : value, 0.0f,
                                                 kHtmlMaxFontSize);
                }
            }
            if (const std::string* color = attribute("color");
                color && color->size() == 7 && (*color)[0] == '#') {
                char* end = nullptr;
                const unsigned long rgb = std::strtoul(color->c_str() + 1, &end, 16);
                if (end == color->c_str() + 7) top.format.color = uint32_t(rgb);
            }
        }
        if (name == "textformat") {
            if (const std::string* v = attribute("leftmargin"))
                top.paragraph.leftMargin = Pixels(*v);
            if (const std::string* v = attribute("rightmargin"))
                top.paragraph.rightMargin = Pixels(*v);
            if (const std::string* v = attribute("indent")) Number(*v, top.paragraph.indent);
            if (const std::string* v = attribute("leading")) Number(*v, top.paragraph.leading);
            if (const std::string* v = attribute("tabstops")) TabStops(*v, top.paragraph);
            if (!paragraphHasText) {
                const bool bullet = out.paragraphs.back().bullet;
                out.paragraphs.back() = top.paragraph;
                out.paragraphs.back().bullet = bullet;
            }
        }
        if (name == "p") {
            if (const std::string* align = attribute("align")) {
                const std::string a = LowerCase(*align);
                if (a == "left") top.paragraph.align = 0;
                if (a == "right") top.paragraph.align = 1;
                if (a == "center") top.paragraph.align = 2;
                if (a == "justify") top.paragraph.align = 3;
            }
            OpenParagraph(false);
        }
        if (name == "li") OpenParagraph(true);
        FormatChanged();
    }

    // An entity at `at`; without its semicolon the ampersand is text.  Returns where
    // reading goes on.
    size_t Entity(std::string_view s, size_t at) {
        const size_t limit = std::min(s.size(), at + 12);
        size_t end = at + 1;
        while (end < limit && s[end] != ';' && s[end] != '&' && s[end] != '<') ++end;
        if (end >= limit || s[end] != ';') {
            Put('&');
            return at + 1;
        }
        const std::string name = LowerCase(s.substr(at + 1, end - at - 1));
        uint32_t code = 0;
        if (name == "amp")
            code = '&';
        else if (name == "lt")
            code = '<';
        else if (name == "gt")
            code = '>';
        else if (name == "quot")
            code = '"';
        else if (name == "apos")
            code = '\'';
        else if (name == "nbsp")
            code = 0xA0;
        else if (name.size() > 1 && name[0] == '#') {
            const bool hex = name[1] == 'x';
            const char* digits = name.c_str() + (hex ? 2 : 1);
            char* stop = nullptr;
            const unsigned long v = std::strtoul(digits, &stop, hex ? 16 : 10);
            if (*digits != 0 && *stop == 0 && v > 0 && v <= 0xFFFF) code = uint32_t(v);
        }
        if (code == 0) { // not an entity: the text stays as written
            Put('&');
            return at + 1;
        }
        Put(code);
        return end + 1;
    }

    HtmlText out;
    std::vector<State> stack;
    std::map<std::string, uint32_t> open; // how many of each tag the stack holds
    bool runOpen = false;
    bool paragraphHasText = false;
};

} // namespace

HtmlText ParseHtmlText(std::string_view markup, const HtmlCharFormat& base,
                       const HtmlParagraphFormat& paragraph) {
    return Parser(base, paragraph).Run(markup);
}

} // namespace UT
