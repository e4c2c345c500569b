// Helpers shared by the tests.
#pragma once

#include <windows.h>

#include <filesystem>
#include <string>

namespace testsupport {

// A registry key HKCU\Software\WendlarTest\<name> that exists for the life of the object
// and is removed with everything below it afterwards. `Path()` is relative to HKCU.
class ScratchKey {
public:
    explicit ScratchKey(const std::wstring& name);
    ~ScratchKey();
    ScratchKey(const ScratchKey&) = delete;
    ScratchKey& operator=(const ScratchKey&) = delete;

    const std::wstring& Path() const { return FPath; }
    HKEY Handle() const { return FKey; }

private:
    std::wstring FPath;
    HKEY FKey = nullptr;
};

// The name of the running test as "Suite_Name", usable as a key or file name.
std::wstring CurrentTestName();

// A fresh, empty folder under the temporary folder, removed with its contents afterwards.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::filesystem::path& Path() const { return FPath; }
    std::wstring File(const std::wstring& name) const { return (FPath / name).wstring(); }

private:
    std::filesystem::path FPath;
};

// UTF-8 text of a UTF-16 string (for test messages).
std::string Narrow(const std::wstring& text);

}  // namespace testsupport
