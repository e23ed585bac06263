#include "files.h"

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstring>
#include <fcntl.h>

#ifdef _WIN32
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace cli {

std::filesystem::path pathOf(const std::string &utf8)
{
    return std::filesystem::path(
        std::u8string(reinterpret_cast<const char8_t *>(utf8.data()), utf8.size()));
}

std::string utf8Of(const std::filesystem::path &path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

// Windows reports a directory only as "Permission denied".
std::FILE *openInput(const std::string &name)
{
#ifdef _WIN32
    const std::wstring wide = pathOf(name).wstring();
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        errno = EISDIR;
        return nullptr;
    }
    return _wfopen(wide.c_str(), L"rb");
#else
    return std::fopen(name.c_str(), "rb");
#endif
}

std::FILE *createNew(const std::filesystem::path &path)
{
#ifdef _WIN32
    const int fd
        = _wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
    return fd < 0 ? nullptr : _fdopen(fd, "wb");
#else
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        return nullptr;
    std::FILE *file = fdopen(fd, "wb");
    if (!file)
        close(fd);
    return file;
#endif
}

namespace {

#ifdef _WIN32
void *consoleOf(std::FILE *file)
{
    const intptr_t handle = _get_osfhandle(_fileno(file));
    DWORD mode = 0;
    if (handle == -1 || !GetConsoleMode(reinterpret_cast<HANDLE>(handle), &mode))
        return nullptr;
    return reinterpret_cast<HANDLE>(handle);
}

bool writeConsole(void *console, std::string_view utf8)
{
    if (utf8.empty())
        return true;
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    std::wstring text(std::size_t(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), text.data(), n);
    for (std::size_t at = 0; at < text.size();) {
        DWORD done = 0;
        const DWORD size = DWORD(std::min<std::size_t>(text.size() - at, 16384));
        if (!WriteConsoleW(static_cast<HANDLE>(console), text.data() + at, size, &done, nullptr)
            || done == 0)
            return false;
        at += done;
    }
    return true;
}
#else
void *consoleOf(std::FILE *)
{
    return nullptr;
}

bool writeConsole(void *, std::string_view)
{
    return false;
}
#endif

// A reader that went away (`vesnor-convert big.txt | more`, quit early) is no error
// of the conversion: the program stops without a word, as a shell pipeline expects.
bool readerWentAway(int error)
{
#ifdef _WIN32
    const DWORD last = GetLastError();
    return error == EPIPE
        || (error == EINVAL && (last == ERROR_NO_DATA || last == ERROR_BROKEN_PIPE));
#else
    return error == EPIPE;
#endif
}

} // namespace

int ioError(const std::string &name, int error)
{
    if (name == "standard output" && readerWentAway(error))
        return 1;
    message("vesnor-convert: %s: %s\n", name.c_str(), std::strerror(error));
    return 1;
}

int ioError(const std::string &name, const std::error_code &error)
{
    message("vesnor-convert: %s: %s\n", name.c_str(), error.message().c_str());
    return 1;
}

void message(const char *format, ...)
{
    std::va_list arguments;
    va_start(arguments, format);
    std::va_list again;
    va_copy(again, arguments);
    const int size = std::vsnprintf(nullptr, 0, format, arguments);
    va_end(arguments);
    std::string text(std::size_t(std::max(size, 0)) + 1, '\0');
    std::vsnprintf(text.data(), text.size(), format, again);
    va_end(again);
    text.pop_back();
    Output err(stderr, "standard error");
    if (err.write(text))
        err.flush();
}

Output::Output(std::FILE *file, std::string name)
    : file(file)
    , name(std::move(name))
    , console(consoleOf(file))
{
}

bool Output::write(std::string_view data)
{
    if (data.empty())
        return true;
    if (console) {
        std::fflush(file);
        pieces.feed(data, false, [&](std::string_view part, bool) -> std::size_t {
            const std::size_t whole = vesnor::utf8::wholeLength(part);
            if (!writeConsole(console, part.substr(0, whole)))
                error = EIO;
            return whole;
        });
        return error == 0;
    }
    if (std::fwrite(data.data(), 1, data.size(), file) != data.size()) {
        error = errno;
        return false;
    }
    return true;
}

bool Output::flush()
{
    if (console) {
        // What never became a whole character is shown as what it is.
        pieces.feed({}, true, [&](std::string_view part, bool) {
            if (!writeConsole(console, part))
                error = EIO;
            return part.size();
        });
        if (error)
            return false;
    }
    if (std::fflush(file) != 0) {
        error = errno;
        return false;
    }
    return true;
}

} // namespace cli
