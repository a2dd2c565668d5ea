#pragma once
// Files and folders as the Windows test programs read, write and clear them.
#include <windows.h>

#include <cstdint>
#include <string>

namespace testsupport {

// A file's whole content (empty when it cannot be read); the file may be open
// for writing in another process.
std::string ReadWholeFile(const std::wstring& path);
// Replaces a file's content; false when it cannot be written.
bool WriteWholeFile(const std::wstring& path, const std::string& bytes);
// An empty file whose last write is the given time; false when it cannot be made.
bool CreateFileWrittenAt(const std::wstring& path, const SYSTEMTIME& written);
// A file's size in bytes, 0 when it does not exist.
uint64_t FileSize(const std::wstring& path);
// Deletes a folder with everything below it; nothing when it does not exist.
void RemoveTree(const std::wstring& folder);

} // namespace testsupport
