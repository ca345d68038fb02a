#include "toolkit/RichText.h"

#include <cctype>
#include <vector>

#include "base/Codepage.h"

bool LooksLikeRtf(const std::string& bytes)
{
    size_t i = 0;
    while (i < bytes.size() && (bytes[i] == ' ' || bytes[i] == '\r' || bytes[i] == '\n' || bytes[i] == '\t'))
        ++i;
    return bytes.compare(i, 5, "{\\rtf") == 0;
}

namespace {

struct GroupState {
    bool skip = false;
    int ucSkip = 1;
};

bool IsSkippedDestination(const std::string& word)
{
    static const char* const names[] = {
        "fonttbl",      "colortbl",  "stylesheet",        "info",    "pict",      "header",    "footer",
        "headerl",      "headerr",   "footerl",           "footerr", "object",    "themedata", "datastore",
        "latentstyles", "listtable", "listoverridetable", "rsidtbl", "generator", "xmlnstbl",  "mmathPr",
        "fldinst"};
    for (const char* n : names)
        if (word == n)
            return true;
    return false;
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

}  // namespace

UString RtfToPlainText(const std::string& rtf)
{
    UString out;
    std::string ansi;  // \'hh bytes not yet converted
    auto flushAnsi = [&] {
        if (!ansi.empty()) {
            out += FromAnsi(ansi);
            ansi.clear();
        }
    };
    auto emit = [&](UStringView s) {
        flushAnsi();
        out += s;
    };
    std::vector<GroupState> stack{GroupState{}};
    int pendingSkip = 0;  // fallback characters still to drop after \uN
    size_t i = 0;
    const size_t n = rtf.size();
    while (i < n) {
        char c = rtf[i];
        GroupState& g = stack.back();
        if (c == '{') {
            GroupState copy = g;
            stack.push_back(copy);
            ++i;
            continue;
        }
        if (c == '}') {
            if (stack.size() > 1)
                stack.pop_back();
            ++i;
            continue;
        }
        if (c == '\r' || c == '\n') {
            ++i;
            continue;
        }
        if (c != '\\') {
            if (!g.skip) {
                if (pendingSkip > 0)
                    --pendingSkip;
                else {
                    flushAnsi();
                    out += static_cast<char16_t>(static_cast<unsigned char>(c));
                }
            }
            ++i;
            continue;
        }
        // A control symbol or word.
        ++i;
        if (i >= n)
            break;
        char s = rtf[i];
        if (s == '\\' || s == '{' || s == '}') {
            if (!g.skip) {
                if (pendingSkip > 0)
                    --pendingSkip;
                else
                    emit(UString(1, static_cast<char16_t>(s)));
            }
            ++i;
            continue;
        }
        if (s == '\'') {
            int hi = i + 1 < n ? HexValue(rtf[i + 1]) : -1;
            int lo = i + 2 < n ? HexValue(rtf[i + 2]) : -1;
            i += 3;
            if (hi < 0 || lo < 0 || g.skip)
                continue;
            if (pendingSkip > 0) {
                --pendingSkip;
                continue;
            }
            ansi += static_cast<char>(hi * 16 + lo);
            continue;
        }
        if (s == '*') {
            g.skip = true;
            ++i;
            continue;
        }
        if (s == '~') {
            if (!g.skip)
                emit(u"\u00A0");
            ++i;
            continue;
        }
        if (s == '-' || s == '_') {
            if (!g.skip && s == '_')
                emit(u"-");
            ++i;
            continue;
        }
        if (!std::isalpha(static_cast<unsigned char>(s))) {
            ++i;  // other control symbols carry no text
            continue;
        }
        std::string word;
        while (i < n && std::isalpha(static_cast<unsigned char>(rtf[i])))
            word += rtf[i++];
        bool hasParam = false;
        long param = 0;
        bool negative = false;
        if (i < n && rtf[i] == '-') {
            negative = true;
            ++i;
        }
        while (i < n && std::isdigit(static_cast<unsigned char>(rtf[i]))) {
            hasParam = true;
            if (param < 1000000)
                param = param * 10 + (rtf[i] - '0');
            ++i;
        }
        if (negative)
            param = -param;
        if (i < n && rtf[i] == ' ')
            ++i;  // the delimiter belongs to the word
        if (IsSkippedDestination(word)) {
            g.skip = true;
            continue;
        }
        if (g.skip)
            continue;
        if (word == "par" || word == "line" || word == "sect" || word == "page") {
            pendingSkip = 0;
            emit(u"\r\n");
        } else if (word == "tab") {
            emit(u"\t");
        } else if (word == "uc" && hasParam) {
            g.ucSkip = param < 0 ? 0 : static_cast<int>(param);
        } else if (word == "u" && hasParam) {
            long v = param < 0 ? param + 65536 : param;
            emit(UString(1, static_cast<char16_t>(v & 0xFFFF)));
            pendingSkip = g.ucSkip;
        } else if (word == "emdash") {
            emit(u"\u2014");
        } else if (word == "endash") {
            emit(u"\u2013");
        } else if (word == "bullet") {
            emit(u"\u2022");
        } else if (word == "lquote") {
            emit(u"\u2018");
        } else if (word == "rquote") {
            emit(u"\u2019");
        } else if (word == "ldblquote") {
            emit(u"\u201C");
        } else if (word == "rdblquote") {
            emit(u"\u201D");
        }
    }
    flushAnsi();
    return out;
}
