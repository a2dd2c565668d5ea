#include "LogWatch.h"

#include "Log.h"
#include "TestFiles.h"

namespace testsupport {

namespace {

constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t begin = 0;
    while (begin < text.size()) {
        size_t end = text.find('\n', begin);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(begin, end - begin);
        if (line.rfind(kUtf8Mark, 0) == 0)
            line.erase(0, 3);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty())
            lines.push_back(line);
        begin = end + 1;
    }
    return lines;
}

} // namespace

LogWatch::LogWatch() : m_start(ReadWholeFile(diag::PanelLog().Path()).size()) {}

std::vector<std::string> LogWatch::NewLines() const
{
    const std::string current = ReadWholeFile(diag::PanelLog().Path());
    std::string added;
    if (current.size() >= m_start) {
        added = current.substr(m_start);
    } else {
        // Rotated meanwhile: the rest of the old file, then the new one.
        const std::string older = ReadWholeFile(diag::PanelLog().OlderPath());
        if (older.size() > m_start)
            added = older.substr(m_start);
        added += current;
    }
    return SplitLines(added);
}

size_t LogWatch::Count(const std::string& text) const
{
    size_t count = 0;
    for (const std::string& line : NewLines())
        if (line.find(text) != std::string::npos)
            ++count;
    return count;
}

bool LogWatch::WaitFor(const std::string& text, size_t count, DWORD milliseconds) const
{
    const DWORD start = ::GetTickCount();
    do {
        if (Count(text) >= count)
            return true;
        ::Sleep(20);
    } while (::GetTickCount() - start < milliseconds);
    return Count(text) >= count;
}

} // namespace testsupport
