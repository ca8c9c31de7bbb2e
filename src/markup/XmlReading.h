#pragma once
// The step both document readers repeat: take the text of the next child of
// that name. No platform header.
#include <string>

#include "markup/XmlDocument.h"

namespace ovek {

// Finds the next child named `name` after the last one found, stores its
// text and returns true; the position moves on only when it is found.
inline bool ReadChildText(CXmlDocument& document, const wchar_t* name, std::wstring& into) {
    if (!document.FindChildElement(name)) return false;
    document.EnterElement();
    into = document.GetElementText();
    document.LeaveElement();
    return true;
}

}  // namespace ovek
