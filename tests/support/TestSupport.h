#pragma once
// Helpers for the Windows test programs.
#include <windows.h>
#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace testsupport {

// Pumps this thread's messages for the given time. With none, until the queue
// is empty: everything posted to this thread before the call, and whatever
// that posted in turn, has then been handled.
void PumpMessages(std::chrono::milliseconds duration = std::chrono::milliseconds(0));
// Pumps messages until `done` returns true or the timeout passes; returns done().
bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = std::chrono::seconds(5));

// The cursor a window of this thread sets while the pointer is over its
// client area (the arrow when it sets none).
HCURSOR CursorOver(HWND wnd);

// The folder of the running test program (where the panel and its DLLs are).
std::wstring ProgramFolder();

// Every key and value below HKLM\path, by path relative to it: "sub\\key|"
// marks a key (the root itself is "|"), "sub\\key|name" maps to the value's
// type and bytes. Empty when the key does not exist.
using RegistryTree = std::map<std::wstring, std::pair<DWORD, std::vector<BYTE>>>;
RegistryTree ReadTree(const std::wstring& path);

// A registry subtree under HKLM saved at construction and restored at
// destruction, so a test can change the panel's settings freely.
class RegistrySnapshot {
public:
    explicit RegistrySnapshot(std::wstring path);
    ~RegistrySnapshot();
    RegistrySnapshot(const RegistrySnapshot&) = delete;
    RegistrySnapshot& operator=(const RegistrySnapshot&) = delete;

private:
    std::wstring m_path;
    RegistryTree m_saved;
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
