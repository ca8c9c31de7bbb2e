#include "framework/DialogTemplate.h"

namespace ovek {
namespace {
void PushDword(std::vector<WORD>& w, DWORD v) {
    w.push_back(LOWORD(v));
    w.push_back(HIWORD(v));
}
}  // namespace

CDialogTemplate::CDialogTemplate(DWORD style, int width, int height, const std::wstring& title,
                                 const std::wstring& face, WORD pointSize, const std::wstring& className) {
    if (!face.empty()) style |= DS_SETFONT;
    PushDword(words_, style);
    PushDword(words_, 0);  // extended style
    countAt_ = words_.size();
    words_.push_back(0);  // number of controls
    words_.push_back(0);  // x
    words_.push_back(0);  // y
    words_.push_back(static_cast<WORD>(width));
    words_.push_back(static_cast<WORD>(height));
    words_.push_back(0);  // no menu
    if (className.empty())
        words_.push_back(0);
    else
        AppendText(className);
    AppendText(title);
    if (style & DS_SETFONT) {
        words_.push_back(pointSize);
        AppendText(face);
    }
}

CDialogTemplate& CDialogTemplate::Add(const std::wstring& windowClass, const std::wstring& text, WORD id,
                                      DWORD style, int x, int y, int width, int height, DWORD exStyle) {
    AlignToDword();
    PushDword(words_, style | WS_CHILD | WS_VISIBLE);
    PushDword(words_, exStyle);
    words_.push_back(static_cast<WORD>(x));
    words_.push_back(static_cast<WORD>(y));
    words_.push_back(static_cast<WORD>(width));
    words_.push_back(static_cast<WORD>(height));
    words_.push_back(id);
    AppendText(windowClass);
    AppendText(text);
    words_.push_back(0);  // no creation data
    ++words_[countAt_];
    return *this;
}

void CDialogTemplate::AlignToDword() {
    // Items start on DWORD boundaries; the vector's storage is DWORD aligned.
    if (words_.size() % 2) words_.push_back(0);
}

void CDialogTemplate::AppendText(const std::wstring& text) {
    words_.insert(words_.end(), text.begin(), text.end());
    words_.push_back(0);
}

}  // namespace ovek
