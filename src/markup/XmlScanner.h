#pragma once
// Token scanner over a span of text: one token per call, offset advanced past
// it. Problems are written to a report when one is given, else dropped.
#include <cstddef>
#include <cstdint>
#include <string>

namespace ovek::xml {

enum TokenKind : int32_t {
    kTokenEndOfText = -2,
    kTokenError = -1,
    kTokenEndTag = 0,
    kTokenStartTag = 1,
    kTokenText = 2,
    kTokenWhitespace = 4,
    kTokenCData = 8,
    kTokenProcessingInstruction = 16,
    kTokenComment = 32,
    kTokenDocType = 64,
};

struct Token {
    int32_t kind = kTokenEndOfText;
    size_t start = 0;
    size_t length = 0;
    bool empty = false;    // start tag ended in "/>"
    size_t nameStart = 0;  // start tags, end tags and processing instructions
    size_t nameEnd = 0;    // one past the name
};

inline bool IsXmlSpace(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r';
}

bool IsNameStartChar(wchar_t c);

class Scanner {
public:
    // `report` may be null. Offsets of tokens are relative to `text`, while
    // report entries carry them plus `reportBase`.
    Scanner(const wchar_t* text, size_t length, std::wstring* report, size_t reportBase = 0)
        : s_(text), len_(length), report_(report), base_(reportBase) {}

    Token Next();
    size_t Offset() const { return pos_; }

private:
    void Problem(const wchar_t* word, const Token& t, const wchar_t* type = nullptr);
    Token& Finish(Token& t, size_t end, int32_t kind);
    Token& ErrorToken(Token& t, size_t from);
    Token& Unterminated(Token& t, const wchar_t* type);
    size_t FindClose(size_t from, wchar_t c1, wchar_t c2) const;
    size_t FindQuotedClose(size_t from) const;
    Token& DocType(Token& t);

    const wchar_t* s_;
    size_t len_;
    std::wstring* report_;
    size_t base_;
    size_t pos_ = 0;
};

}  // namespace ovek::xml
