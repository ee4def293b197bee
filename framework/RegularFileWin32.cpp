#include "RegularFile.h"
#include "WideText.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace {

// Closes the handle it is given when it goes.
class CReadHandle {
public:
    explicit CReadHandle(HANDLE handle) : m_handle(handle) {}
    ~CReadHandle()
    {
        if (m_handle != INVALID_HANDLE_VALUE)
            ::CloseHandle(m_handle);
    }
    CReadHandle(const CReadHandle&) = delete;
    CReadHandle& operator=(const CReadHandle&) = delete;
    HANDLE Get() const { return m_handle; }

private:
    HANDLE m_handle;
};

} // namespace

std::optional<std::string> ReadRegularFile(const std::string& path, std::size_t maxBytes)
{
    // A directory does not open without FILE_FLAG_BACKUP_SEMANTICS; a pipe or a device (a path
    // named COM1.HLP is COM1 on older Windows) opens but is no disk file, and is turned away
    // before the first read, which could wait for its other end. Our paths are UTF-8, which
    // the ANSI functions would read in the system's code page.
    const CReadHandle file(::CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (file.Get() == INVALID_HANDLE_VALUE || ::GetFileType(file.Get()) != FILE_TYPE_DISK ||
        !::GetFileSizeEx(file.Get(), &size) ||
        static_cast<unsigned long long>(size.QuadPart) > maxBytes)
        return std::nullopt;
    const auto expected = static_cast<std::size_t>(size.QuadPart);
    // One byte more than the size said shows a file that changed under us: no help file then.
    std::string text(expected + 1, '\0');
    std::size_t length = 0;
    while (length < text.size()) {
        DWORD got = 0;
        const auto want = static_cast<DWORD>(text.size() - length);
        if (!::ReadFile(file.Get(), text.data() + length, want, &got, nullptr))
            return std::nullopt;
        if (got == 0)
            break;
        length += got;
    }
    if (length > expected)
        return std::nullopt;
    text.resize(length);
    return text;
}
