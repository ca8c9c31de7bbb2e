// Parses the input as markup (first byte: bit 0 two bytes per unit, bit 1
// names ignore case), checks the element index, then walks the document.
// Native target: src/markup/XmlDocument.cpp XmlScanner.cpp XmlReferences.cpp
// XmlReport.cpp XmlEncoding.cpp.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "../markup/XmlChecks.h"
#include "markup/XmlDocument.h"
#include "markup/XmlEncoding.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    std::wstring text;
    if (data[0] & 1) {
        for (size_t i = 1; i + 1 < size; i += 2)
            text.push_back(static_cast<wchar_t>(data[i] | (data[i + 1] << 8)));
    } else {
        for (size_t i = 1; i < size; ++i) text.push_back(static_cast<wchar_t>(data[i]));
    }
    ovek::CXmlDocument doc;
    if (data[0] & 2) doc.SetFlags(ovek::CXmlDocument::kIgnoreCase);
    doc.SetDocumentText(text);
    if (!ovek::test::IndexProblem(doc).empty()) abort();
    if (doc.GetResult().size() > 3000) abort();  // capped at 1000 plus one entry
    int steps = 0;
    while (doc.FindElement() && steps++ < 1000) {
        doc.GetElementText();
        while (doc.FindChildElement() && steps++ < 1000) {
            if (doc.EnterElement()) {
                doc.GetElementText();
                doc.FindElement(L"a");
                doc.FindChildElement(L"b[1]");
                doc.LeaveElement();
            }
        }
    }
    ovek::xml::DeclaredEncoding(text.data(), text.size());
    ovek::xml::CodePageOfName(text.substr(0, 120));
    return 0;
}
