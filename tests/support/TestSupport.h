#pragma once
// Helpers for the Windows test programs.
#include <windows.h>
#include <chrono>
#include <functional>
#include <string>

namespace testsupport {

// Pumps this thread's messages for the given time.
void PumpMessages(std::chrono::milliseconds duration = std::chrono::milliseconds(0));
// Pumps messages until `done` returns true or the timeout passes; returns done().
bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = std::chrono::seconds(5));

// The folder of the running test program (where the panel and its DLLs are).
std::wstring ProgramFolder();

// A registry subtree under HKLM saved at construction and restored at
// destruction, so a test can change the panel's settings freely.
class RegistrySnapshot {
public:
    explicit RegistrySnapshot(std::wstring path);
    ~RegistrySnapshot();
    RegistrySnapshot(const RegistrySnapshot&) = delete;
    RegistrySnapshot& operator=(const RegistrySnapshot&) = delete;

    struct Node;

private:
    std::wstring m_path;
    Node* m_saved = nullptr;
};

// Deletes an HKLM key with everything below it.
void DeleteTree(const std::wstring& path);
// Creates an HKLM key (and its parents).
void CreateKey(const std::wstring& path);
// Writes / reads a REG_SZ value under HKLM; read gives nullopt-like "" plus false when missing.
void SetText(const std::wstring& path, const std::wstring& name, const std::wstring& value);
bool GetText(const std::wstring& path, const std::wstring& name, std::wstring* value);
bool KeyExists(const std::wstring& path);

} // namespace testsupport
