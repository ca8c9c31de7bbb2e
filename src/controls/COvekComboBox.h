#pragma once
// The language box: the platform's drop-down combo box (owner-drawn fixed
// items with strings) painting its own face, drawing its drop list's items
// and border, and reporting hover and right clicks to its parent. With a
// read-only edit part it behaves as a drop-down list and keeps the keyboard
// focus itself, so that Tab, the arrow keys, F4 and Alt+Down work as they do
// on a platform drop-down list.
#include <windows.h>

#include <memory>
#include <string>

#include "controls/CComboboxDataManager.h"
#include "framework/Window.h"
#include "ui/Palette.h"

namespace ovek {

class CImageWrapper;
class COvekComboBox;

// Messages to the parent (posted).
inline constexpr UINT kComboItemRightClicked = WM_USER + 5;  // wp: item index or -1
inline constexpr UINT kComboPointerEntered = WM_USER + 6;    // wp: the COvekComboBox
inline constexpr UINT kComboPointerLeft = WM_USER + 7;
// Between the parts.
inline constexpr UINT kComboEditPointerEntered = WM_USER + 1;
inline constexpr UINT kComboEditPointerLeft = WM_USER + 2;
inline constexpr UINT kComboListHidden = WM_USER + 3;
inline constexpr UINT kComboListRightClicked = WM_USER + 4;  // wp: item index or -1

class COvekComboBox_Edit : public CWindow {
public:
    void SetCombo(COvekComboBox* combo) { combo_ = combo; }
    bool IsReadOnly() const;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    COvekComboBox* combo_ = nullptr;
    bool tracking_ = false;
};

class COvekComboBox_ListBox : public CWindow {
public:
    Color borderColor = Rgb(54, 138, 211);
    Color itemBackground = Rgb(20, 26, 32);
    Color selectedItemBackground = Rgb(51, 60, 67);
    Color itemText = Rgb(206, 216, 223);
    Color selectedItemText = Rgb(206, 216, 223);
    int previewMode = 0;

    void SetFont(HFONT font) { font_ = font; }
    HFONT Font() const noexcept { return font_; }
    void Bind(COvekComboBox* combo, CComboboxDataManager* data) { combo_ = combo, data_ = data; }
    // Paints one row (WM_DRAWITEM from the list, which reaches the combo).
    void DrawItem(const DRAWITEMSTRUCT& item) const;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void PaintBorder();
    void KeepOnMonitor();
    int ItemAt(POINT client) const;

    COvekComboBox* combo_ = nullptr;
    CComboboxDataManager* data_ = nullptr;
    HFONT font_ = nullptr;
};

class COvekComboBox : public CWindow {
public:
    Color faceColor = Rgb(20, 26, 32);
    Color dropButtonColor = Rgb(20, 26, 32);
    Color textColor = Rgb(255, 255, 255);
    Color greyTextColor = Rgb(100, 100, 100);
    Color idleFrameColor = Rgb(73, 90, 105);
    Color hoverFrameColor = Rgb(54, 138, 211);
    std::wstring placeholder;

    // Pictures come from `pictureModule` (null: the program itself).
    explicit COvekComboBox(HMODULE pictureModule = nullptr);
    ~COvekComboBox() override;

    // Binds the template's combo box and its edit part and drop list.
    bool Bind(HWND combo);
    bool BindDlgItem(HWND dialog, int id) { return Bind(::GetDlgItem(dialog, id)); }

    void SetFont(HFONT font);  // the face's and the drop list's
    HFONT Font() const noexcept { return font_; }
    // A read-only edit part turns the box into a drop-down list.
    void SetReadOnly(bool readOnly);
    bool IsReadOnly() const { return edit_.IsReadOnly(); }

    COvekComboBox_ListBox& List() noexcept { return list_; }
    COvekComboBox_Edit& EditPart() noexcept { return edit_; }
    CComboboxDataManager& Data() noexcept { return data_; }

    bool Hover() const noexcept { return hover_; }
    bool ArrowHover() const noexcept { return arrowHover_; }
    bool Focused() const noexcept { return focused_; }
    RECT ArrowArea() const noexcept { return arrowArea_; }
    // The list's width the next time it drops, from the item strings.
    int ComputeDropWidth() const;
    bool Dropped() const;
    void ShowList(bool show);

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    friend class COvekComboBox_Edit;
    friend class COvekComboBox_ListBox;

    void LoadArrow();
    void OnSize();
    void PaintFace(HDC dc, const RECT& client) const;
    void OnMouseMove(POINT pt);
    void OnMouseLeave();
    void OnLButtonDown(POINT pt);
    bool OnKeyDown(WPARAM key, bool alt);
    void NotifyParent(int code);
    void SetFocusedFlag(bool focused);
    void Repaint() { ::InvalidateRect(Handle(), nullptr, FALSE); }
    bool PointerInWindow() const;
    bool FocusCuesShown() const;
    void OnUpdateUiState(WPARAM wp);

    HMODULE pictureModule_;
    std::shared_ptr<CImageWrapper> arrow_;
    int cellWidth_ = 0;
    int cellHeight_ = 0;
    RECT arrowArea_{};
    HFONT font_ = nullptr;
    bool hover_ = false;
    bool arrowHover_ = false;
    bool focused_ = false;
    bool tracking_ = false;
    bool focusCuesHidden_ = false;
    int selectionAtDrop_ = -1;
    UniqueBrush listBrush_;
    Color listBrushColor_ = 0;
    COvekComboBox_Edit edit_;
    COvekComboBox_ListBox list_;
    CComboboxDataManager data_;
};

}  // namespace ovek
