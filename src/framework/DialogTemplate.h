#pragma once
// Builds a dialog template in memory (the same layout as a compiled
// resource), for dialogs whose controls are decided at run time: test
// dialogs above all.
#include <windows.h>
#include <string>
#include <vector>

namespace ovek {

class CDialogTemplate {
public:
    // Size in dialog units; DS_SETFONT is added when a font is given.
    CDialogTemplate(DWORD style, int width, int height, const std::wstring& title = L"",
                    const std::wstring& face = L"MS Shell Dlg", WORD pointSize = 8,
                    const std::wstring& className = L"");

    // A control by class name ("BUTTON", "EDIT", "STATIC", "COMBOBOX", or a
    // registered class). WS_CHILD | WS_VISIBLE are always added.
    CDialogTemplate& Add(const std::wstring& windowClass, const std::wstring& text, WORD id, DWORD style,
                         int x, int y, int width, int height, DWORD exStyle = 0);

    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

private:
    void AlignToDword();
    void AppendText(const std::wstring& text);

    std::vector<WORD> words_;
    size_t countAt_ = 0;
};

}  // namespace ovek
