// vesnor-convert: the composer window's Convert for files and pipes. The input is
// read in chunks and converted as one text, so memory stays bounded whatever its size.

#include "engine/transliterator.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#endif

namespace {

constexpr std::size_t kChunk = std::size_t{1} << 17;

constexpr const char *kUsage
    = "Usage: vesnor-convert [--eng-arm | --arm-eng] [--8bit] [FILE]\n"
      "Convert FILE, or standard input when FILE is absent or -, to standard output.\n"
      "\n"
      "  --eng-arm   Latin transliteration to Armenian letters (the default)\n"
      "  --arm-eng   Armenian letters to Latin transliteration\n"
      "  --8bit      read and write the raw Armenian 8-bit text (the body of a file\n"
      "              saved by the composer window) instead of UTF-8\n"
      "  --help      show this help and exit\n"
      "  --version   show the version and exit\n"
      "\n"
      "Exit status: 0 on success, 1 when a file cannot be read or written or the\n"
      "input is not valid UTF-8, 2 for a wrong command line.\n";

struct Options {
    vesnor::Direction direction = vesnor::Direction::EngArm;
    bool eightBit = false;
    std::string file = "-";
};

int usageError(const std::string &message)
{
    std::fprintf(stderr, "vesnor-convert: %s\nTry 'vesnor-convert --help'.\n", message.c_str());
    return 2;
}

#ifdef _WIN32
std::wstring wide(const std::string &utf8)
{
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    std::wstring text(std::size_t(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), text.data(), n);
    return text;
}

std::string narrow(const wchar_t *text)
{
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(std::size_t(n > 0 ? n - 1 : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), n, nullptr, nullptr);
    return utf8;
}
#endif

// File names are UTF-8 everywhere; Windows needs them in UTF-16 to open any name,
// and reports a directory only as "Permission denied".
std::FILE *openInput(const std::string &name)
{
#ifdef _WIN32
    const DWORD attributes = GetFileAttributesW(wide(name).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        errno = EISDIR;
        return nullptr;
    }
    return _wfopen(wide(name).c_str(), L"rb");
#else
    return std::fopen(name.c_str(), "rb");
#endif
}

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

int ioError(const std::string &name, int error)
{
    if (name == "standard output" && readerWentAway(error))
        return 1;
    std::fprintf(stderr, "vesnor-convert: %s: %s\n", name.c_str(), std::strerror(error));
    return 1;
}

int invalidInput(const std::string &name, std::uint64_t offset)
{
    std::fprintf(stderr, "vesnor-convert: %s: invalid UTF-8 at byte offset %llu\n", name.c_str(),
        static_cast<unsigned long long>(offset));
    return 1;
}

class Output {
public:
    bool write(std::string_view data)
    {
        if (data.empty())
            return true;
        if (std::fwrite(data.data(), 1, data.size(), stdout) != data.size()) {
            error = errno;
            return false;
        }
        return true;
    }
    bool flush()
    {
        if (std::fflush(stdout) != 0) {
            error = errno;
            return false;
        }
        return true;
    }
    int error = 0;
};

// --help and --version: a full or closed output is an error like any other write.
int print(const char *text)
{
    Output output;
    if (!output.write(text) || !output.flush())
        return ioError("standard output", output.error);
    return 0;
}

int convert(const Options &options)
{
    const bool fromStdin = options.file == "-";
    const std::string name = fromStdin ? std::string("standard input") : options.file;
    std::FILE *in = fromStdin ? stdin : openInput(options.file);
    if (!in)
        return ioError(name, errno);

    vesnor::StreamConverter converter(
        options.direction, options.eightBit ? vesnor::Encoding::EightBit : vesnor::Encoding::Utf8);
    Output output;
    std::string chunk(kChunk, '\0');
    std::string converted;
    int status = 0;
    for (bool end = false; !end && status == 0;) {
        const std::size_t got = std::fread(chunk.data(), 1, kChunk, in);
        if (got < kChunk && std::ferror(in)) {
            status = ioError(name, errno);
            break;
        }
        end = got < kChunk;
        converted.clear();
        bool valid = converter.convert(std::string_view(chunk).substr(0, got), converted);
        if (valid && end)
            valid = converter.finish(converted);
        if (!output.write(converted))
            status = ioError("standard output", output.error);
        else if (!valid)
            status = invalidInput(name, converter.errorOffset());
    }

    if (!fromStdin)
        std::fclose(in);
    if (!output.flush() && status == 0)
        status = ioError("standard output", output.error);
    return status;
}

int run(const std::vector<std::string> &args)
{
    Options options;
    bool haveFile = false;
    bool optionsEnded = false;
    for (std::size_t k = 1; k < args.size(); ++k) {
        const std::string_view arg = args[k];
        if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            if (arg == "--eng-arm") {
                options.direction = vesnor::Direction::EngArm;
            } else if (arg == "--arm-eng") {
                options.direction = vesnor::Direction::ArmEng;
            } else if (arg == "--8bit") {
                options.eightBit = true;
            } else if (arg == "--help" || arg == "-h") {
                return print(kUsage);
            } else if (arg == "--version") {
                return print("vesnor-convert " VESNOR_VERSION "\n");
            } else if (arg == "--") {
                optionsEnded = true;
            } else {
                return usageError("unknown option '" + std::string(arg) + "'");
            }
            continue;
        }
        if (haveFile)
            return usageError("only one FILE may be given");
        options.file = arg;
        haveFile = true;
    }
    return convert(options);
}

} // namespace

#ifdef _WIN32
// The text goes through untouched: no CR added before LF, and byte 1A is no end of
// file. The command line arrives in UTF-16 so that any file name can be given, and
// a console shows the UTF-8 as letters.
int wmain(int argc, wchar_t **argv)
{
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    const UINT consolePage = GetConsoleOutputCP();
    SetConsoleOutputCP(CP_UTF8);
    std::vector<std::string> args;
    for (int k = 0; k < argc; ++k)
        args.push_back(narrow(argv[k]));
    const int status = run(args);
    SetConsoleOutputCP(consolePage);
    return status;
}
#else
int main(int argc, char **argv)
{
    return run(std::vector<std::string>(argv, argv + argc));
}
#endif
