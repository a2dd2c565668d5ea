#pragma once
// Reading and writing the files a person names for an export or an import.
#include <string>

namespace transferfiles {

enum class ReadStatus { Read, Unreadable, TooLarge };
// The whole file, when it is at most `limit` bytes (a larger one is not read).
ReadStatus ReadSmallFile(const std::wstring& path, size_t limit, std::string* bytes);
// Writes the whole file through a temporary file beside it, so a file that
// exists is replaced only by a complete one.
bool WriteWholeFile(const std::wstring& path, const std::string& bytes);
// "C:\a\Mine.txt" gives "Mine.txt" and "Mine".
std::wstring FileName(const std::wstring& path);
std::wstring FileStem(const std::wstring& path);

} // namespace transferfiles
