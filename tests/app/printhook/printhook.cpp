// Loaded into wendlar.exe by an end-to-end test (a hook on the thread of one of its windows):
// prints that window into a bitmap inside the program's own process, where its device
// contexts are valid, and hands the pixels to the test through shared memory. The program
// itself knows nothing of this.
//
// Protocol (windowprint.h): the test sends the registered message "WendlarTestPrintWindow"
// to the window with wParam = the test's process id and lParam = the capacity in pixels of
// the file mapping "WendlarTestPrint.<process id>"; the mapping receives width, height, a
// done flag (1) and the client area's pixels, top row first, as 0x00RRGGBB.
#include <windows.h>

#include <cstring>
#include <string>

namespace {

UINT PrintMessage() {
    static const UINT message = RegisterWindowMessageW(L"WendlarTestPrintWindow");
    return message;
}

void PrintInto(HWND window, DWORD testProcess, size_t capacity) {
    const std::wstring name = L"WendlarTestPrint." + std::to_wstring(testProcess);
    HANDLE mapping = OpenFileMappingW(FILE_MAP_WRITE, FALSE, name.c_str());
    if (!mapping) return;
    auto* shared = static_cast<DWORD*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0));
    RECT client{};
    GetClientRect(window, &client);
    const int width = client.right, height = client.bottom;
    if (shared && width > 0 && height > 0 && static_cast<size_t>(width) * height <= capacity) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        HDC memory = CreateCompatibleDC(nullptr);
        HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (bitmap) {
            HGDIOBJ old = SelectObject(memory, bitmap);
            SendMessageW(window, WM_PRINT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN);
            GdiFlush();
            std::memcpy(shared + 3, bits, static_cast<size_t>(width) * height * sizeof(DWORD));
            SelectObject(memory, old);
            DeleteObject(bitmap);
            shared[0] = static_cast<DWORD>(width);
            shared[1] = static_cast<DWORD>(height);
        }
        DeleteDC(memory);
    }
    if (shared) {
        shared[2] = 1;
        UnmapViewOfFile(shared);
    }
    CloseHandle(mapping);
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK PrintHookProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (sent->message == PrintMessage())
            PrintInto(sent->hwnd, static_cast<DWORD>(sent->wParam), static_cast<size_t>(sent->lParam));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
