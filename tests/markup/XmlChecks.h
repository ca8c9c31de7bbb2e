#pragma once
// Consistency of an element index: every link agrees with its counterpart.
#include <string>

#include "markup/XmlDocument.h"

namespace ovek::test {

// Empty when the index is consistent, else what is wrong.
inline std::string IndexProblem(const CXmlDocument& doc) {
    const int32_t count = doc.NextFreeElement();
    const int32_t textLength = static_cast<int32_t>(doc.GetText().size());
    std::vector<int> seen(static_cast<size_t>(count), 0);
    // Walk every child list from the document down.
    std::vector<int32_t> work{0};
    while (!work.empty()) {
        const int32_t p = work.back();
        work.pop_back();
        const ElementRecord& parent = doc.Record(p);
        const int32_t first = parent.firstChild;
        if (!first) continue;
        if (first <= 0 || first >= count) return "child out of range under " + std::to_string(p);
        if (!(doc.Record(first).flags & ElementRecord::kFirstChild))
            return "first child flag missing on " + std::to_string(first);
        int32_t prev = 0, last = 0;
        for (int32_t c = first; c; c = doc.Record(c).next) {
            if (c <= 0 || c >= count) return "sibling out of range";
            if (seen[c]++) return "element listed twice: " + std::to_string(c);
            const ElementRecord& r = doc.Record(c);
            if (r.parent != p) return "wrong parent on " + std::to_string(c);
            if (c != first && (r.flags & ElementRecord::kFirstChild))
                return "stray first child flag on " + std::to_string(c);
            if (prev && r.prev != prev) return "wrong prev on " + std::to_string(c);
            if (r.start < 0 || r.length < static_cast<int32_t>(r.StartTagLength()) ||
                r.start + r.length > textLength)
                return "element outside the text: " + std::to_string(c);
            if (p && (r.start < parent.start || r.start + r.length > parent.start + parent.length))
                return "element outside its parent: " + std::to_string(c);
            prev = last = c;
            work.push_back(c);
        }
        if (doc.Record(first).prev != last) return "back-link of " + std::to_string(p);
    }
    for (int32_t n = 1; n < count; ++n)
        if (!seen[n]) return "element not reachable: " + std::to_string(n);
    return {};
}

}  // namespace ovek::test
