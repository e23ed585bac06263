#include "files.h"

#include <cerrno>
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
    std::fprintf(stderr, "vesnor-convert: %s: %s\n", name.c_str(), std::strerror(error));
    return 1;
}

int ioError(const std::string &name, const std::error_code &error)
{
    std::fprintf(stderr, "vesnor-convert: %s: %s\n", name.c_str(), error.message().c_str());
    return 1;
}

bool Output::write(std::string_view data)
{
    if (data.empty())
        return true;
    if (std::fwrite(data.data(), 1, data.size(), file) != data.size()) {
        error = errno;
        return false;
    }
    return true;
}

bool Output::flush()
{
    if (std::fflush(file) != 0) {
        error = errno;
        return false;
    }
    return true;
}

} // namespace cli
