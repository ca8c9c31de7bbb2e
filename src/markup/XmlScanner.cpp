#include "markup/XmlScanner.h"

#include "markup/XmlReport.h"

namespace ovek::xml {

namespace {
constexpr size_t kNotFound = static_cast<size_t>(-1);
}

bool IsNameStartChar(wchar_t c) {
    // Unsigned: where wchar_t is 32 bits and signed, negative values are no names.
    if (static_cast<uint32_t>(c) < 0x3A) return false;
    switch (c) {
    case L';': case L'<': case L'=': case L'>': case L'?': case L'@':
    case L'[': case L'\\': case L']': case L'^': case L'`':
        return false;
    default:
        return true;
    }
}

void Scanner::Problem(const wchar_t* word, const Token& t, const wchar_t* type) {
    if (!report_) return;
    std::wstring offset = ReportNumber(static_cast<int64_t>(t.start + base_));
    if (type)
        AddReportEntry(*report_, word, {{L"type", type}, {L"offset", offset}});
    else
        AddReportEntry(*report_, word, {{L"offset", offset}});
}

Token& Scanner::Finish(Token& t, size_t end, int32_t kind) {
    t.kind = kind;
    t.length = end - t.start;
    pos_ = end;
    return t;
}

// Scanning after a problem goes on to the next '<' (left for the next token)
// or past the next '>'.
Token& Scanner::ErrorToken(Token& t, size_t from) {
    for (size_t i = from; i < len_; ++i) {
        if (s_[i] == L'<') return Finish(t, i, kTokenError);
        if (s_[i] == L'>') return Finish(t, i + 1, kTokenError);
    }
    Problem(L"unterminated_tag_syntax", t, L"tag");
    return Finish(t, len_, kTokenError);
}

Token& Scanner::Unterminated(Token& t, const wchar_t* type) {
    Problem(L"unterminated_tag_syntax", t, type);
    return Finish(t, len_, kTokenError);
}

// Position just past the first '>' from `from` whose preceding characters
// are c1 (and c2 before it, when c2 is not 0); kNotFound at the end.
size_t Scanner::FindClose(size_t from, wchar_t c1, wchar_t c2) const {
    for (size_t i = from; i < len_; ++i) {
        if (s_[i] != L'>') continue;
        if (c1 == 0) return i + 1;
        if (i >= 1 && s_[i - 1] == c1 && (c2 == 0 || (i >= 2 && s_[i - 2] == c2))) return i + 1;
    }
    return kNotFound;
}

// Past the first '>' outside "..." and '...' strings.
size_t Scanner::FindQuotedClose(size_t from) const {
    wchar_t quote = 0;
    for (size_t i = from; i < len_; ++i) {
        wchar_t c = s_[i];
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == L'"' || c == L'\'') {
            quote = c;
        } else if (c == L'>') {
            return i + 1;
        }
    }
    return kNotFound;
}

Token& Scanner::DocType(Token& t) {
    size_t i = t.start + 3;
    while (i < len_) {
        wchar_t c = s_[i];
        if (c == L'>') return Finish(t, i + 1, kTokenDocType);
        if (c != L'<') {
            ++i;
            continue;
        }
        // A nested declaration, scanned to its own end.
        if (i + 1 >= len_) break;
        size_t end = kNotFound;
        wchar_t n = s_[i + 1];
        if (n == L'!') {
            if (i + 2 >= len_) break;
            wchar_t d = s_[i + 2];
            if (d == L'E' || d == L'A' || d == L'N') {
                end = FindQuotedClose(i + 3);
            } else if (d == L'-') {
                end = FindClose(i + 4, L'-', L'-');
            } else {
                Problem(L"doctype_tag_syntax", t);
                end = FindClose(i + 2, 0, 0);
            }
        } else if (n == L'?') {
            end = FindClose(i + 2, L'?', 0);
        } else {
            end = FindClose(i + 1, 0, 0);
        }
        if (end == kNotFound) break;
        i = end;
    }
    return Unterminated(t, L"document_type");
}

Token Scanner::Next() {
    Token t;
    t.start = pos_;
    if (pos_ >= len_) return Finish(t, pos_, kTokenEndOfText);
    const wchar_t* s = s_;
    size_t i = pos_;

    if (s[i] != L'<') {
        while (i < len_ && IsXmlSpace(s[i])) ++i;
        if (i >= len_ || s[i] == L'<') return Finish(t, i, kTokenWhitespace);
        while (i < len_) {
            wchar_t c = s[i];
            if (c == L'<') break;
            ++i;
            if (c == L'>') break;
        }
        return Finish(t, i, kTokenText);
    }

    if (i + 1 >= len_) return Unterminated(t, L"tag");
    wchar_t c = s[i + 1];

    if (c == L'/') {
        size_t n = i + 2;
        t.nameStart = n;
        while (n < len_ && !IsXmlSpace(s[n]) && s[n] != L'/' && s[n] != L'>') ++n;
        t.nameEnd = n;
        for (; n < len_; ++n)
            if (s[n] == L'>') return Finish(t, n + 1, kTokenEndTag);
        return Unterminated(t, L"end_tag");
    }

    if (c == L'?') {
        size_t n = i + 2;
        t.nameStart = n;
        while (n < len_ && !IsXmlSpace(s[n]) && s[n] != L'/' && s[n] != L'>') ++n;
        t.nameEnd = n;
        size_t end = FindClose(i + 2, L'?', 0);
        if (end == kNotFound) return Unterminated(t, L"processing_instruction");
        return Finish(t, end, kTokenProcessingInstruction);
    }

    if (c == L'!') {
        if (i + 2 >= len_) return Unterminated(t, L"tag");
        wchar_t d = s[i + 2];
        if (d == L'-') {
            if (i + 3 >= len_) return Unterminated(t, L"tag");
            if (s[i + 3] != L'-') {
                Problem(L"comment_tag_syntax", t);
                return ErrorToken(t, i + 3);
            }
            size_t end = FindClose(i + 4, L'-', L'-');
            if (end == kNotFound) return Unterminated(t, L"comment");
            return Finish(t, end, kTokenComment);
        }
        if (d == L'[') {
            if (i + 3 >= len_) return Unterminated(t, L"tag");
            if (s[i + 3] != L'C') {
                Problem(L"cdata_section_syntax", t);
                return ErrorToken(t, i + 3);
            }
            size_t end = FindClose(i + 4, L']', L']');
            if (end == kNotFound) return Unterminated(t, L"cdata_section");
            return Finish(t, end, kTokenCData);
        }
        if (d == L'D') return DocType(t);
        Problem(L"exclamation_tag_syntax", t);
        return ErrorToken(t, i + 2);
    }

    if (!IsNameStartChar(c)) {
        Problem(L"first_tag_syntax", t);
        return ErrorToken(t, i + 1);
    }

    // Start tag: the name, then attributes with quoted or unquoted values.
    size_t n = i + 1;
    t.nameStart = n;
    while (n < len_ && !IsXmlSpace(s[n]) && s[n] != L'/' && s[n] != L'>') ++n;
    t.nameEnd = n;
    enum { kNormal, kValueExpected, kQuoted } state = kNormal;
    wchar_t quote = 0;
    for (; n < len_; ++n) {
        wchar_t ch = s[n];
        if (state == kQuoted) {
            if (ch == quote) state = kNormal;
            continue;
        }
        if (state == kValueExpected) {
            if (IsXmlSpace(ch)) continue;
            if (ch == L'"' || ch == L'\'') {
                quote = ch;
                state = kQuoted;
                continue;
            }
            if (ch != L'>') {
                state = kNormal;  // an unquoted value begins
                continue;
            }
        }
        if (ch == L'=') {
            state = kValueExpected;
        } else if (ch == L'>') {
            if (s[n - 1] == L'/') {
                size_t slash = n - 1;
                wchar_t before = s[slash - 1];
                t.empty = slash == t.nameEnd || IsXmlSpace(before) || before == L'"' ||
                          before == L'\'';
            }
            return Finish(t, n + 1, kTokenStartTag);
        }
    }
    return Unterminated(t, L"start_tag");
}

}  // namespace ovek::xml
