#pragma once
// The base of the wizard's three panels: a borderless child dialog that
// paints the dark background with the maker's logo, then its own content,
// and lays its controls out whenever its size changes.
#include <windows.h>

#include <string>

#include "framework/Gdi.h"
#include "framework/Window.h"

namespace ovek {

class CInstallGuide;

class CGuidePanel : public CDialog {
public:
    // Draws the panel's own pictures and text after the background.
    virtual void DrawContent(CMemorySurface& surface) { (void)surface; }
    // Places the child controls inside the client rectangle.
    virtual void LayoutControls(const RECT& rect) { (void)rect; }
    // The size the main window takes while this panel is visible.
    virtual SIZE GetPanelSize() { return DefaultPanelSize(); }
    // Called just before the panel becomes visible.
    virtual void OnPanelShown() {}
    // Re-reads the texts in the current interface language and lays out again.
    virtual void ApplyTexts() {}
    // Asked when the user closes the main window; true lets the close proceed.
    virtual bool CanClose() { return true; }

    // Asks the main window to show the next panel.
    void GoNext();
    // Measures text in font on this panel's screen context: a positive width
    // replaces size.cx, and size.cy grows to the measured height.
    void MeasureText(const std::wstring& text, HFONT font, SIZE& size) const;

    static SIZE DefaultPanelSize();

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    bool OnInitDialog() override;
    // Enter and Escape do nothing in a panel.
    void OnOK() override {}
    void OnCancel() override {}

    // The main window this panel belongs to (null before it is placed).
    CInstallGuide* Guide() const;
    // The client rectangle.
    RECT ClientRect() const;

private:
    void Compose(CMemorySurface& surface);
};

}  // namespace ovek
