// Parses the input as a document and walks it with navigation steps taken
// from the input, checking that the position always names real elements.
//
// Input: byte 0 = number of step bytes (low 6 bits; bit 6 asks for names
// compared without case), then the step bytes,
// then the document.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "markup/XmlDocument.h"
#include "markup/XmlEncoding.h"
#include "FuzzText.h"

namespace {

const wchar_t* const kNames[] = {nullptr, L"", L"a", L"r", L"x", L"/a", L"a[1]", L"a[@k='v']/b", L"a["};

void Check(bool ok) {
    if (!ok) abort();
}

void CheckPosition(const ovek::CXmlDocument& doc) {
    const int32_t limit = doc.NextFreeElement();
    for (int32_t pos : {doc.ParentPos(), doc.MainPos(), doc.ChildPos()}) Check(pos >= 0 && pos < limit);
    if (doc.MainPos()) Check(doc.Record(doc.MainPos()).parent == doc.ParentPos());
    if (doc.ChildPos()) Check(doc.Record(doc.ChildPos()).parent == doc.MainPos());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    size_t steps = data[0] & 63;
    if (steps > size - 1) steps = size - 1;
    const uint8_t* step = data + 1;
    const std::wstring text = ovek::fuzz::DocumentText(data + 1 + steps, size - 1 - steps);

    ovek::CXmlDocument doc;
    if (data[0] & 0x40) doc.SetFlags(ovek::CXmlDocument::kIgnoreCase);
    const bool wellFormed = doc.SetDocumentText(text);
    Check(doc.GetResult().size() <= 4096);
    const std::wstring& held = doc.GetText();
    // Every record lies inside the text.
    for (int32_t n = 1; n < doc.NextFreeElement(); ++n) {
        const ovek::ElementRecord& r = doc.Record(n);
        if (r.start < 0 && !wellFormed) continue;
        Check(r.start >= 0 && r.length >= 0 && static_cast<size_t>(r.start) + r.length <= held.size());
    }
    CheckPosition(doc);

    for (size_t i = 0; i < steps; ++i) {
        const wchar_t* name = kNames[(step[i] >> 3) % (sizeof(kNames) / sizeof(kNames[0]))];
        switch (step[i] & 7) {
            case 0: doc.FindElement(name); break;
            case 1: doc.FindChildElement(name); break;
            case 2: doc.EnterElement(); break;
            case 3: doc.LeaveElement(); break;
            case 4: {
                std::wstring t = doc.GetElementText();
                Check(t.size() <= held.size());
                break;
            }
            case 5: (void)doc.GetElementName(); break;
            case 6: {
                // A failed find must leave the position alone.
                const int32_t p = doc.ParentPos(), m = doc.MainPos(), c = doc.ChildPos();
                if (!doc.FindElement(L"no-such-element"))
                    Check(p == doc.ParentPos() && m == doc.MainPos() && c == doc.ChildPos());
                break;
            }
            case 7: {
                (void)ovek::xml::DeclaredEncoding(held.data(), held.size());
                (void)ovek::xml::HasUtf8Form(data, size);
                (void)ovek::xml::CodePageOfName(std::wstring_view(held).substr(0, 40));
                break;
            }
        }
        CheckPosition(doc);
    }
    return 0;
}
