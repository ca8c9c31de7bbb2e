#include "markup/XmlDocument.h"
#include "markup/XmlChars.h"

#include <algorithm>
#include <climits>
#include <new>
#include <string_view>
#include <unordered_map>

#include "markup/XmlReferences.h"
#include "markup/XmlReport.h"
#include "markup/XmlScanner.h"

namespace ovek {

using namespace xml;

// ---------------------------------------------------------------------------
// Element index

ElementIndex::ElementIndex() { Reserve(8); }

void ElementIndex::Reserve(int32_t records) {
    if (records <= capacity_) return;
    const size_t lastNeeded = static_cast<size_t>(records - 1) >> kSegmentBits;
    if (segments_.capacity() < lastNeeded + 1) segments_.reserve(2 * lastNeeded + 4);
    auto segmentSize = [&](size_t segment) -> int32_t {
        return segment == lastNeeded ? records - static_cast<int32_t>(segment << kSegmentBits)
                                     : kSegmentSize;
    };
    // Widen a partial last segment: the only records ever copied.
    if (!segments_.empty()) {
        const size_t last = segments_.size() - 1;
        const int32_t held = capacity_ - static_cast<int32_t>(last << kSegmentBits);
        if (held < kSegmentSize) {
            const int32_t size = segmentSize(last);
            std::unique_ptr<ElementRecord[]> wider(new ElementRecord[size]);
            std::copy(segments_[last].get(), segments_[last].get() + held, wider.get());
            segments_[last] = std::move(wider);
            capacity_ = static_cast<int32_t>(last << kSegmentBits) + size;
        }
    }
    while (segments_.size() <= lastNeeded) {
        const size_t segment = segments_.size();
        const int32_t size = segmentSize(segment);
        segments_.emplace_back(new ElementRecord[size]);
        capacity_ = static_cast<int32_t>(segment << kSegmentBits) + size;
    }
}

void ElementIndex::Release() {
    segments_.clear();
    segments_.shrink_to_fit();
    capacity_ = 0;
    Reserve(8);
}

// ---------------------------------------------------------------------------
// Document

namespace {

bool NamesEqual(const wchar_t* a, size_t aLength, const wchar_t* b, size_t bLength,
                bool ignoreCase) {
    if (aLength != bLength) return false;
    if (!ignoreCase) return std::equal(a, a + aLength, b);
    for (size_t i = 0; i < aLength; ++i)
        if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
    return true;
}

// Splits a search argument into its leading name and checks the path syntax
// that may follow it (qualifiers in brackets, further steps after '/').
// Returns false when the argument can never match.
bool SearchKey(const wchar_t* arg, size_t& keyLength) {
    if (arg[0] == L'/') return false;
    size_t n = 0;
    while (arg[n] && arg[n] != L' ' && arg[n] != L'=' && arg[n] != L'/' && arg[n] != L'[' &&
           arg[n] != L']')
        ++n;
    if (n == 0) return false;
    keyLength = n;
    const wchar_t* p = arg + n;
    while (*p) {
        if (*p == L'[') {
            wchar_t quote = 0;
            ++p;
            while (*p && (quote || *p != L']')) {
                if (quote) {
                    if (*p == quote) quote = 0;
                } else if (*p == L'"' || *p == L'\'') {
                    quote = *p;
                }
                ++p;
            }
            if (!*p) return false;  // unclosed bracket
            ++p;
        } else if (*p == L'/') {
            ++p;
            if (!*p || *p == L'/' || *p == L'[' || *p == L']') return false;  // empty step
        } else if (*p == L']') {
            return false;
        } else {
            ++p;
        }
    }
    return true;
}

// Names of open elements, counted, for the end tags that match none of them.
struct NameHash {
    bool ignoreCase;
    size_t operator()(std::wstring_view name) const {
        uint64_t h = 14695981039346656037ull;
        for (wchar_t c : name) {
            h ^= static_cast<uint32_t>(ignoreCase ? FoldAscii(c) : c);
            h *= 1099511628211ull;
        }
        return static_cast<size_t>(h);
    }
};
struct NameEqual {
    bool ignoreCase;
    bool operator()(std::wstring_view a, std::wstring_view b) const {
        return NamesEqual(a.data(), a.size(), b.data(), b.size(), ignoreCase);
    }
};
using NameCounts = std::unordered_map<std::wstring_view, uint32_t, NameHash, NameEqual>;

// Deeper than this, an end tag that does not match the innermost element is
// looked up in the counted names first, so that a run of stray end tags
// under deep nesting costs no walk of the whole stack each.
constexpr size_t kLinearEndTagSearch = 64;

struct OpenElement {
    int32_t element;
    uint32_t nameStart;
    uint32_t nameLength;
};

}  // namespace

CXmlDocument::CXmlDocument() = default;
CXmlDocument::~CXmlDocument() = default;

void CXmlDocument::ResetPosition() {
    parentPos_ = mainPos_ = childPos_ = 0;
    nodeKind_ = nodeOffset_ = nodeLength_ = 0;
}

void CXmlDocument::Clear() {
    text_.clear();
    ResetPosition();
    nextFree_ = 1;
    freeHead_ = 0;
    index_[0] = ElementRecord{};
}

bool CXmlDocument::SetDocumentText(const wchar_t* text) {
    result_.clear();
    if (!text) {
        text_.clear();
        text_.shrink_to_fit();
        index_.Release();
        return Parse();
    }
    return AssignAndParse(text);
}

bool CXmlDocument::SetDocumentText(const std::wstring& text) {
    result_.clear();
    return AssignAndParse(text);
}

bool CXmlDocument::AssignAndParse(std::wstring_view text) {
    try {
        text_.assign(text);
    } catch (const std::bad_alloc&) {
        Clear();
        AddReportEntry(result_, L"out_of_memory");
        return false;
    }
    return Parse();
}

bool CXmlDocument::Parse() {
    try {
        return ParseText();
    } catch (const std::bad_alloc&) {
        // Keep index and text describing each other: drop both.
        Clear();
        AddReportEntry(result_, L"out_of_memory");
        return false;
    }
}

bool CXmlDocument::ParseText() {
    ResetPosition();
    nextFree_ = 1;
    freeHead_ = 0;
    const size_t length = text_.size();
    // Offsets and lengths are 32-bit signed: a longer text gets no elements.
    if (length > static_cast<size_t>(INT32_MAX)) {
        index_[0] = ElementRecord{};
        index_[0].flags = ElementRecord::kNotWellFormed;
        AddReportEntry(result_, L"limit_exceeded", {{L"type", L"text"}, {L"offset", L"0"}});
        return false;
    }
    index_.Reserve(static_cast<int32_t>(length / 64 + 8));
    index_[0] = ElementRecord{};
    int32_t root = 0;

    if (length > 0) {
        const wchar_t* s = text_.data();
        const bool ignoreCase = (flags_ & kIgnoreCase) != 0;
        Scanner scanner(s, length, &result_);
        std::vector<OpenElement> stack;
        stack.reserve(7);
        int32_t current = 0;
        // The bottom `counted` stack entries are in `openNames`; it is filled
        // only when first needed.
        NameCounts openNames(16, NameHash{ignoreCase}, NameEqual{ignoreCase});
        size_t counted = 0;
        auto nameOf = [&](const OpenElement& e) {
            return std::wstring_view(s + e.nameStart, e.nameLength);
        };
        auto popTo = [&](size_t depth) {
            for (; counted > depth; --counted) {
                auto it = openNames.find(nameOf(stack[counted - 1]));
                if (--it->second == 0) openNames.erase(it);
            }
            stack.resize(depth);
        };

        auto limitExceeded = [&](const wchar_t* type, const Token& t) {
            index_[0].flags |= ElementRecord::kNotWellFormed;
            index_[current].flags |= ElementRecord::kProblem;
            AddReportEntry(result_, L"limit_exceeded",
                           {{L"type", type}, {L"offset", ReportNumber(static_cast<int64_t>(t.start))}});
        };

        // Elements on the stack deeper than `depth` get no end tag: each keeps
        // only its start tag and hands its children to its parent, where they
        // follow it. Each such element is the last child of its parent, so
        // working outermost first appends whole child lists and every element
        // is re-parented at most once.
        auto unendAbove = [&](size_t depth, size_t slashOffset) {
            if (stack.size() <= depth) return;
            index_[0].flags |= ElementRecord::kNotWellFormed;
            const std::wstring offset2 = ReportNumber(static_cast<int64_t>(slashOffset));
            for (size_t i = stack.size(); i-- > depth;) {
                const OpenElement& e = stack[i];
                AddReportEntry(result_, L"unended_start_tag",
                               {{L"tagname", std::wstring_view(s + e.nameStart, e.nameLength)},
                                {L"offset", ReportNumber(index_[e.element].start)},
                                {L"offset2", offset2}});
            }
            const int32_t parent = depth == 0 ? 0 : stack[depth - 1].element;
            bool problem = false;
            for (size_t i = depth; i < stack.size(); ++i) {
                const int32_t x = stack[i].element;
                ElementRecord& r = index_[x];
                problem = problem || (r.flags & ElementRecord::kProblem);
                r.flags = (r.flags & ~ElementRecord::kProblem) | ElementRecord::kUnended;
                r.tagLengths &= ElementRecord::kStartTagMask;
                r.length = static_cast<int32_t>(r.tagLengths);
                const int32_t first = r.firstChild;
                if (!first) continue;
                r.firstChild = 0;
                const int32_t last = index_[first].prev;
                r.next = first;
                index_[first].prev = x;
                index_[first].flags &= ~ElementRecord::kFirstChild;
                index_[index_[parent].firstChild].prev = last;
                for (int32_t c = first; c; c = index_[c].next) index_[c].parent = parent;
            }
            if (problem) index_[parent].flags |= ElementRecord::kProblem;
            popTo(depth);
        };

        for (;;) {
            const Token t = scanner.Next();
            if (t.kind == kTokenEndOfText) break;
            switch (t.kind) {
            case kTokenStartTag: {
                const size_t level = stack.size() + index_[0].Level();
                if (level > ElementRecord::kMaxLevel) {
                    limitExceeded(L"nesting", t);
                    break;
                }
                if (t.length > ElementRecord::kMaxStartTag) {
                    limitExceeded(L"start_tag", t);
                    break;
                }
                if (nextFree_ == index_.Capacity()) {
                    const int32_t capacity = index_.Capacity();
                    index_.Reserve(capacity > INT32_MAX - capacity / 2 ? INT32_MAX
                                                                        : capacity + capacity / 2);
                    if (nextFree_ == index_.Capacity()) {
                        limitExceeded(L"elements", t);
                        break;
                    }
                }
                const int32_t n = nextFree_++;
                ElementRecord& r = index_[n];
                r = ElementRecord{};
                r.start = static_cast<int32_t>(t.start);
                r.parent = current;
                r.flags = static_cast<uint32_t>(level);
                r.tagLengths = static_cast<uint32_t>(t.length);
                ElementRecord& p = index_[current];
                if (!p.firstChild) {
                    p.firstChild = n;
                    r.prev = n;
                    r.flags |= ElementRecord::kFirstChild;
                } else {
                    const int32_t first = p.firstChild;
                    const int32_t last = index_[first].prev;
                    index_[last].next = n;
                    r.prev = last;
                    index_[first].prev = n;
                }
                if (!root) root = n;
                if (t.empty) {
                    r.length = static_cast<int32_t>(t.length);
                } else {
                    stack.push_back({n, static_cast<uint32_t>(t.nameStart),
                                     static_cast<uint32_t>(t.nameEnd - t.nameStart)});
                    current = n;
                }
                break;
            }
            case kTokenEndTag: {
                const wchar_t* name = s + t.nameStart;
                const size_t nameLength = t.nameEnd - t.nameStart;
                size_t depth = stack.size();
                if (depth > kLinearEndTagSearch &&
                    !NamesEqual(s + stack.back().nameStart, stack.back().nameLength, name,
                                nameLength, ignoreCase)) {
                    for (; counted < depth; ++counted) ++openNames[nameOf(stack[counted])];
                    if (!openNames.count(std::wstring_view(name, nameLength))) depth = 0;
                }
                // A match k levels down unends the k - 1 levels above it, so
                // this walk costs no more than the repair that follows.
                for (; depth > 0; --depth) {
                    const OpenElement& e = stack[depth - 1];
                    if (NamesEqual(s + e.nameStart, e.nameLength, name, nameLength, ignoreCase))
                        break;
                }
                if (depth == 0) {
                    index_[0].flags |= ElementRecord::kNotWellFormed;
                    index_[current].flags |= ElementRecord::kProblem;
                    AddReportEntry(result_, L"lone_end_tag",
                                   {{L"tagname", std::wstring_view(name, nameLength)},
                                    {L"offset", ReportNumber(static_cast<int64_t>(t.start))}});
                    break;
                }
                if (t.length > ElementRecord::kMaxEndTag) {
                    limitExceeded(L"end_tag", t);
                    break;
                }
                unendAbove(depth, t.start + 1);
                const int32_t m = stack[depth - 1].element;
                ElementRecord& r = index_[m];
                r.length = static_cast<int32_t>(t.start + t.length) - r.start;
                r.tagLengths = (r.tagLengths & ElementRecord::kStartTagMask) |
                               (static_cast<uint32_t>(t.length) << 22);
                popTo(depth - 1);
                current = r.parent;
                break;
            }
            case kTokenError:
                index_[0].flags |= ElementRecord::kNotWellFormed;
                index_[current].flags |= ElementRecord::kProblem;
                break;
            default:
                break;
            }
        }
        unendAbove(0, length);
    }

    ElementRecord& doc = index_[0];
    doc.length = static_cast<int32_t>(length);
    doc.firstChild = root;
    // An empty text is simply not well formed, without an entry.
    if (!root && length > 0)
        AddReportEntry(result_, L"no_root_element");
    else if (index_[root].next)
        AddReportEntry(result_, L"root_has_sibling");
    ResetPosition();
    return !(doc.flags & ElementRecord::kNotWellFormed) && root && !index_[root].next;
}

// ---------------------------------------------------------------------------
// Navigation

std::wstring CXmlDocument::ElementName(int32_t n) const {
    if (n <= 0 || n >= nextFree_) return {};
    const ElementRecord& r = index_[n];
    size_t i = static_cast<size_t>(r.start) + 1;
    const size_t end = std::min(text_.size(), static_cast<size_t>(r.start) + r.StartTagLength());
    while (i < end && IsXmlSpace(text_[i])) ++i;
    size_t j = i;
    while (j < end && !EndsName(text_[j])) ++j;
    return text_.substr(i, j - i);
}

bool CXmlDocument::ElementNameIs(int32_t n, const wchar_t* key, size_t keyLength) const {
    const ElementRecord& r = index_[n];
    size_t i = static_cast<size_t>(r.start) + 1;
    const size_t end = std::min(text_.size(), static_cast<size_t>(r.start) + r.StartTagLength());
    while (i < end && IsXmlSpace(text_[i])) ++i;
    size_t j = i;
    while (j < end && j - i <= keyLength && !EndsName(text_[j])) ++j;
    return NamesEqual(text_.data() + i, j - i, key, keyLength, (flags_ & kIgnoreCase) != 0);
}

int32_t CXmlDocument::FindSibling(int32_t from, const wchar_t* name) const {
    if (!name || !*name) return from;
    size_t keyLength = 0;
    if (!SearchKey(name, keyLength)) return 0;
    for (int32_t n = from; n; n = index_[n].next)
        if (ElementNameIs(n, name, keyLength)) return n;
    return 0;
}

bool CXmlDocument::FindElement(const wchar_t* name) {
    const int32_t from = mainPos_ ? index_[mainPos_].next : index_[parentPos_].firstChild;
    const int32_t found = FindSibling(from, name);
    if (!found) return false;
    mainPos_ = found;
    parentPos_ = index_[found].parent;
    childPos_ = 0;
    nodeKind_ = 1;
    nodeOffset_ = nodeLength_ = 0;
    return true;
}

bool CXmlDocument::FindChildElement(const wchar_t* name) {
    // Without a main element the first element at this level becomes it; a
    // failed search puts everything back.
    const int32_t savedParent = parentPos_, savedMain = mainPos_, savedChild = childPos_,
                  savedKind = nodeKind_;
    if (!mainPos_ && !FindElement(nullptr)) return false;
    const int32_t from = childPos_ ? index_[childPos_].next : index_[mainPos_].firstChild;
    const int32_t found = FindSibling(from, name);
    if (!found) {
        parentPos_ = savedParent;
        mainPos_ = savedMain;
        childPos_ = savedChild;
        nodeKind_ = savedKind;
        return false;
    }
    childPos_ = found;
    return true;
}

bool CXmlDocument::EnterElement() {
    if (!mainPos_) return false;
    parentPos_ = mainPos_;
    mainPos_ = childPos_;
    childPos_ = 0;
    nodeOffset_ = nodeLength_ = 0;
    nodeKind_ = mainPos_ ? 1 : 0;
    return true;
}

bool CXmlDocument::LeaveElement() {
    if (!parentPos_) return false;
    childPos_ = mainPos_;
    mainPos_ = parentPos_;
    parentPos_ = index_[mainPos_].parent;
    nodeOffset_ = nodeLength_ = 0;
    nodeKind_ = 1;
    return true;
}

std::wstring CXmlDocument::GetElementName() const { return ElementName(mainPos_); }

std::wstring CXmlDocument::GetElementText() const {
    std::wstring out;
    const int32_t n = mainPos_;
    if (n <= 0 || n >= nextFree_) return out;
    const ElementRecord& r = index_[n];
    const int64_t startTag = r.StartTagLength();
    if (startTag >= r.length || r.firstChild) return out;
    const int64_t contentStart = static_cast<int64_t>(r.start) + startTag;
    const int64_t contentLength = static_cast<int64_t>(r.length) - startTag - r.EndTagLength();
    if (contentLength <= 0 || contentStart + contentLength > static_cast<int64_t>(text_.size()))
        return out;
    const wchar_t* content = text_.data() + contentStart;
    const size_t length = static_cast<size_t>(contentLength);
    if (std::find(content, content + length, L'<') == content + length) {
        DecodeReferences(content, length, out);
        return out;
    }
    Scanner scanner(content, length, nullptr);
    for (;;) {
        const Token t = scanner.Next();
        if (t.kind == kTokenEndOfText) break;
        if (t.kind == kTokenText) {
            DecodeReferences(content + t.start, t.length, out);
        } else if (t.kind == kTokenCData && t.length >= 12) {
            out.append(content + t.start + 9, t.length - 12);
        }
    }
    return out;
}

}  // namespace ovek
