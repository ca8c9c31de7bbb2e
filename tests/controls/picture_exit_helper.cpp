// Decodes a picture from its own resources, so that GDI+ runs, and ends:
// "exit-step" through the framework's exit step, "no-exit-step" by
// returning with the decoder still running. Exit code 0 when all went as
// expected.
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "controls/ImageCache.h"
#include "framework/WinApp.h"

namespace {

class PictureApp : public ovek::CWinApp {
public:
    int result = 1;

protected:
    bool InitInstance() override {
        InitApplication();
        auto logo = ovek::LoadResourcePicture(129);
        result = (logo && logo->bitmap && ovek::PictureDecoderRunning()) ? 0 : 2;
        return false;
    }
    int ExitInstance() override {
        ExitApplication();
        if (ovek::PictureDecoderRunning()) result = 3;
        return result;
    }
};

}  // namespace

int main() {
    int argc = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    const std::wstring mode = (argv && argc > 1) ? argv[1] : L"";
    ::LocalFree(argv);
    if (mode == L"exit-step") {
        PictureApp app;
        return app.Run(nullptr);
    }
    if (mode == L"no-exit-step") {
        auto logo = ovek::LoadResourcePicture(129);
        return (logo && logo->bitmap && ovek::PictureDecoderRunning()) ? 0 : 2;
    }
    return 4;
}
