#include "TransferFiles.h"

#include "Handles.h"

#include <windows.h>

namespace transferfiles {

ReadStatus ReadSmallFile(const std::wstring& path, size_t limit, std::string* bytes)
{
    fw::UniqueKernelHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return ReadStatus::Unreadable;
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.get(), &size) || size.QuadPart < 0)
        return ReadStatus::Unreadable;
    if (static_cast<unsigned long long>(size.QuadPart) > limit)
        return ReadStatus::TooLarge;
    // One byte more than the size allows: a file that grew meanwhile shows.
    bytes->assign(static_cast<size_t>(size.QuadPart) + 1, '\0');
    size_t got = 0;
    while (got < bytes->size()) {
        DWORD read = 0;
        if (!::ReadFile(file.get(), bytes->data() + got, static_cast<DWORD>(bytes->size() - got), &read, nullptr))
            return ReadStatus::Unreadable;
        if (read == 0)
            break;
        got += read;
    }
    if (got > limit)
        return ReadStatus::TooLarge;
    bytes->resize(got);
    return ReadStatus::Read;
}

bool WriteWholeFile(const std::wstring& path, const std::string& bytes)
{
    const std::wstring temporary = path + L".zephrin-new";
    {
        fw::UniqueKernelHandle file(::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file)
            return false;
        DWORD written = 0;
        const bool complete = ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                                          nullptr) &&
                              written == bytes.size() && ::FlushFileBuffers(file.get());
        if (!complete) {
            file.reset();
            ::DeleteFileW(temporary.c_str());
            return false;
        }
    }
    if (!::MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        ::DeleteFileW(temporary.c_str());
        return false;
    }
    return true;
}

std::wstring FileName(const std::wstring& path)
{
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring FileStem(const std::wstring& path)
{
    const std::wstring name = FileName(path);
    const size_t dot = name.rfind(L'.');
    return dot == std::wstring::npos || dot == 0 ? name : name.substr(0, dot);
}

} // namespace transferfiles
