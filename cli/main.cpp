// vesnor-convert: the composer window's Convert for files and pipes, and the way from
// the composer's saved 8-bit files to UTF-8 and back. The input is read in chunks and
// converted as one text, so memory stays bounded whatever its size.

#include "files.h"

#include "vesnor/textfile.h"
#include "vesnor/transliterator.h"
#include "vesnor/utf8.h"
#include "vesnor/version.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#endif

namespace textfile = vesnor::textfile;

namespace {

using cli::ioError;
using cli::Output;
namespace fs = std::filesystem;

// A piece, its 8-bit text and its output together stay in the processor's second-level
// cache at this size; 128 KiB pieces made conversions 6-10% slower here.
constexpr std::size_t kChunk = std::size_t{1} << 16;

constexpr const char *kUsage
    = "Usage: vesnor-convert [--eng-arm | --arm-eng] [--8bit] [FILE]\n"
      "       vesnor-convert --decode [--keep-header] [FILE]\n"
      "       vesnor-convert --decode [--keep-header] [--recursive] FILE...\n"
      "       vesnor-convert --encode [--lossy] [FILE]\n"
      "Convert FILE, or standard input when FILE is absent or -, to standard output.\n"
      "\n"
      "  --eng-arm      Latin transliteration to Armenian letters (the default)\n"
      "  --arm-eng      Armenian letters to Latin transliteration\n"
      "  --8bit         read and write the raw Armenian 8-bit text (the body of a file\n"
      "                 saved by the composer window) instead of UTF-8\n"
      "  --decode       turn a file saved by the composer window, or other Armenian\n"
      "                 8-bit text, into UTF-8 without transliterating it; the saved\n"
      "                 file's header line is dropped and CR LF becomes LF. With\n"
      "                 several FILEs or --recursive, each FILE is written beside\n"
      "                 itself as NAME.utf8.txt (never over an existing file, \"new \"\n"
      "                 goes in front instead) and one line per file says what was done\n"
      "  --keep-header  keep the saved file's header line\n"
      "  --recursive    decode every file in the FOLDERs given, and in their folders\n"
      "  --encode       turn UTF-8 into the file the composer's Save writes for the same\n"
      "                 text: the header line, then 8-bit text with CR LF line breaks\n"
      "  --lossy        write a character that has no 8-bit code as ?, instead of\n"
      "                 stopping there, and count them on standard error\n"
      "  --help         show this help and exit\n"
      "  --version      show the version and the kernel in use, and exit\n"
      "\n"
      "The 8-bit text is the layout of the Arial Armenian fonts. It is close to\n"
      "ARMSCII-8 but not the same: the ligature \xD6\x87 (ev) is byte A8 here and A2 in\n"
      "ARMSCII-8, so 'iconv -f ARMSCII-8' misreads old files; use --decode.\n"
      "\n"
      "Exit status: 0 on success, 1 when a file cannot be read or written, the input\n"
      "is not valid UTF-8 or a character has no 8-bit code, 2 for a wrong command line.\n";

enum class Mode { Convert, Decode, Encode };

struct Options {
    Mode mode = Mode::Convert;
    bool modeGiven = false;
    vesnor::Direction direction = vesnor::Direction::EngArm;
    bool eightBit = false;
    bool keepHeader = false;
    bool recursive = false;
    bool lossy = false;
    std::vector<std::string> files;
};

int usageError(const std::string &message)
{
    cli::message("vesnor-convert: %s\nTry 'vesnor-convert --help'.\n", message.c_str());
    return 2;
}

#ifdef _WIN32
std::string narrow(const wchar_t *text)
{
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(std::size_t(n > 0 ? n - 1 : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), n, nullptr, nullptr);
    return utf8;
}
#endif

int invalidInput(const std::string &name, std::uint64_t offset)
{
    cli::message("vesnor-convert: %s: invalid UTF-8 at byte offset %llu\n", name.c_str(),
        static_cast<unsigned long long>(offset));
    return 1;
}

// --help and --version: a full or closed output is an error like any other write.
int print(const char *text)
{
    Output output(stdout, "standard output");
    if (!output.write(text) || !output.flush())
        return output.fail();
    return 0;
}

// Reads `in` to its end in chunks, handing each to `take(piece, end)` until it
// returns a status other than 0; a failed read is reported and is status 1.
template<typename Take> int eachChunk(std::FILE *in, const std::string &name, Take take)
{
    std::string chunk(kChunk, '\0');
    for (bool end = false; !end;) {
        const std::size_t got = std::fread(chunk.data(), 1, kChunk, in);
        if (got < kChunk && std::ferror(in))
            return ioError(name, errno);
        end = got < kChunk;
        if (const int status = take(std::string_view(chunk).substr(0, got), end))
            return status;
    }
    return 0;
}

// Reads `in` to its end. `step(piece, end, out)` appends each chunk's output and
// returns false to stop; `report()` then gives the status, once what came before
// the fault is written.
template<typename Step, typename Report>
int pump(std::FILE *in, const std::string &name, Output &output, Step step, Report report)
{
    std::string out;
    int status = eachChunk(in, name, [&](std::string_view piece, bool end) {
        out.clear();
        const bool ok = step(piece, end, out);
        if (!output.write(out))
            return output.fail();
        return ok ? 0 : report();
    });
    if (!output.flush() && status == 0)
        status = output.fail();
    return status;
}

int convert(std::FILE *in, const std::string &name, const Options &options, Output &output)
{
    vesnor::StreamConverter converter(
        options.direction, options.eightBit ? vesnor::Encoding::EightBit : vesnor::Encoding::Utf8);
    return pump(
        in, name, output,
        [&](std::string_view piece, bool end, std::string &out) {
            return converter.convert(piece, out) && (!end || converter.finish(out));
        },
        [&] { return invalidInput(name, converter.errorOffset()); });
}

int decode(std::FILE *in, const std::string &name, const Options &options, Output &output)
{
    textfile::Decoder decoder(options.keepHeader);
    return pump(
        in, name, output,
        [&](std::string_view piece, bool end, std::string &out) {
            decoder.decode(piece, out);
            if (end)
                decoder.finish(out);
            return true;
        },
        [] { return 1; });
}

int encode(std::FILE *in, const std::string &name, const Options &options, Output &output)
{
    textfile::Encoder encoder({.lossy = options.lossy, .dropByteOrderMark = true});
    const int status = pump(
        in, name, output,
        [&](std::string_view piece, bool end, std::string &out) {
            return encoder.encode(piece, out) && (!end || encoder.finish(out));
        },
        [&] {
            const textfile::Encoder::Report &report = encoder.report();
            if (report.error == textfile::Encoder::Error::InvalidUtf8)
                return invalidInput(name, report.errorOffset);
            std::string character;
            vesnor::utf8::append(report.unencodable, character);
            cli::message("vesnor-convert: %s: U+%04llX (%s) at byte offset %llu has no 8-bit code; "
                         "--lossy writes such characters as ?\n",
                name.c_str(), static_cast<unsigned long long>(report.unencodable),
                character.c_str(), static_cast<unsigned long long>(report.errorOffset));
            return 1;
        });
    const textfile::Encoder::Report &report = encoder.report();
    if (status == 0 && report.replaced > 0) {
        cli::message("vesnor-convert: %s: %llu character%s without an 8-bit code written as ?\n",
            name.c_str(), static_cast<unsigned long long>(report.replaced),
            report.replaced == 1 ? "" : "s");
    }
    return status;
}

// The one input of a run that writes to standard output.
int toStandardOutput(const Options &options)
{
    const std::string file = options.files.empty() ? std::string("-") : options.files.front();
    const bool fromStdin = file == "-";
    const std::string name = fromStdin ? std::string("standard input") : file;
    std::FILE *in = fromStdin ? stdin : cli::openInput(file);
    if (!in)
        return ioError(name, errno);
    Output output(stdout, "standard output");
    int status = 0;
    switch (options.mode) {
    case Mode::Convert:
        status = convert(in, name, options, output);
        break;
    case Mode::Decode:
        status = decode(in, name, options, output);
        break;
    case Mode::Encode:
        status = encode(in, name, options, output);
        break;
    }
    if (!fromStdin)
        std::fclose(in);
    return status;
}

bool endsWith(std::string_view text, std::string_view tail)
{
    if (text.size() < tail.size())
        return false;
    const std::string_view end = text.substr(text.size() - tail.size());
    for (std::size_t k = 0; k < tail.size(); ++k) {
        if (std::tolower(static_cast<unsigned char>(end[k])) != tail[k])
            return false;
    }
    return true;
}

// Every regular file below `folder`, its subfolders included. Links to folders are
// not followed, so a link back up cannot make the walk endless.
int collect(const fs::path &folder, std::vector<fs::path> &files)
{
    std::error_code error;
    fs::directory_iterator entries(folder, error);
    if (error)
        return ioError(cli::utf8Of(folder), error);
    int status = 0;
    std::vector<fs::path> folders;
    for (; entries != fs::directory_iterator(); entries.increment(error)) {
        std::error_code ignored;
        const fs::directory_entry &entry = *entries;
        if (entry.is_directory(ignored) && !entry.is_symlink(ignored))
            folders.push_back(entry.path());
        else if (entry.is_regular_file(ignored))
            files.push_back(entry.path());
    }
    if (error)
        status = ioError(cli::utf8Of(folder), error);
    for (const fs::path &sub : folders)
        status |= collect(sub, files);
    return status;
}

// File systems take names of at most 255 bytes (Windows: UTF-16 units, never more
// than the bytes of their UTF-8).
constexpr std::size_t kLongestName = 255;

// The name `stem` + `tail`, with whole characters dropped from the front of the stem
// (where a long series piles up its "new ") until it fits.
std::string fitted(std::string stem, const std::string &tail)
{
    while (!stem.empty() && stem.size() + tail.size() > kLongestName) {
        std::size_t cut = stem.rfind("new ", 0) == 0 ? 4 : 1;
        while (cut < stem.size()
            && vesnor::utf8::isContinuation(static_cast<unsigned char>(stem[cut])))
            ++cut;
        stem.erase(0, cut);
    }
    return stem + tail;
}

// Opens NAME.utf8.txt beside `source`, or that name behind as many "new " as it
// takes to find one that nobody holds. Where that grows too long for the file
// system (Save's own series reaches 254 bytes), it numbers the name instead.
std::FILE *createBeside(const fs::path &source, fs::path &target)
{
    std::string base = cli::utf8Of(source.filename());
    if (endsWith(base, ".txt"))
        base.resize(base.size() - 4);
    const std::string tail = ".utf8.txt";
    std::size_t taken = 0;
    for (unsigned number = 1; number < 100000;) {
        std::string name = textfile::nameInSeries(base + tail, taken);
        if (number > 1 || name.size() > kLongestName)
            name = fitted(base, " (" + std::to_string(number = std::max(number, 2u)) + ")" + tail);
        target = source.parent_path() / cli::pathOf(name);
        if (std::FILE *file = cli::createNew(target))
            return file;
        if (errno != EEXIST)
            return nullptr;
        if (number == 1)
            ++taken;
        else
            ++number;
    }
    errno = EEXIST;
    return nullptr;
}

// One file of a batch: decoded into a file beside it, or passed over with the reason.
int decodeBeside(const fs::path &source, bool found, const Options &options, Output &lines)
{
    const std::string name = cli::utf8Of(source);
    const auto say = [&](const std::string &line) {
        lines.write(line + "\n");
        return 0;
    };
    // What a batch wrote before, met again by the next run over the same folder.
    if (found && endsWith(name, ".utf8.txt"))
        return say(name + ": skipped, written by --decode");
    // The file is read twice, to tell what it holds and to decode it: a pipe would
    // give its bytes to the first reading only.
    std::error_code unknown;
    const fs::file_type type = fs::status(source, unknown).type();
    if (!unknown && type != fs::file_type::regular && type != fs::file_type::not_found) {
        cli::message("vesnor-convert: %s: not a regular file, which --decode reads twice in a "
                     "batch; 'vesnor-convert --decode FILE > NEW' reads it once\n",
            name.c_str());
        return 1;
    }
    std::FILE *in = cli::openInput(name);
    if (!in)
        return ioError(name, errno);

    textfile::Sniffer sniffer;
    if (const int status = eachChunk(in, name, [&](std::string_view piece, bool) {
            sniffer.feed(piece);
            return 0;
        })) {
        std::fclose(in);
        return status;
    }
    const textfile::Kind kind = sniffer.kind();
    std::string skipped;
    if (kind == textfile::Kind::Binary)
        skipped = "not text";
    else if (kind == textfile::Kind::Utf16)
        skipped = "already Unicode (UTF-16)";
    else if (kind == textfile::Kind::Utf8 && !sniffer.asciiOnly())
        skipped = "already UTF-8";
    if (!skipped.empty()) {
        std::fclose(in);
        return say(name + ": skipped, " + skipped);
    }

    if (std::fseek(in, 0, SEEK_SET) != 0) {
        const int error = errno;
        std::fclose(in);
        return ioError(name, error);
    }
    fs::path target;
    std::FILE *out = createBeside(source, target);
    const std::string targetName = cli::utf8Of(target);
    if (!out) {
        const int error = errno;
        std::fclose(in);
        return ioError(targetName, error);
    }
    Output output(out, targetName);
    int status = decode(in, name, options, output);
    std::fclose(in);
    if (std::fclose(out) != 0 && status == 0)
        status = ioError(targetName, errno);
    if (status != 0) {
        // Half a file under the new name would pass for a finished one.
        std::error_code ignored;
        fs::remove(target, ignored);
        return status;
    }
    return say(name + " -> " + targetName);
}

int decodeBatch(const Options &options)
{
    Output lines(stdout, "standard output");
    int status = 0;
    for (const std::string &file : options.files) {
        const fs::path path = cli::pathOf(file);
        std::error_code error;
        if (!fs::is_directory(path, error)) {
            status |= decodeBeside(path, false, options, lines);
            continue;
        }
        if (!options.recursive) {
            cli::message("vesnor-convert: %s: Is a directory (--recursive decodes a folder)\n",
                file.c_str());
            status = 1;
            continue;
        }
        std::vector<fs::path> found;
        status |= collect(path, found);
        std::sort(found.begin(), found.end());
        for (const fs::path &source : found)
            status |= decodeBeside(source, true, options, lines);
    }
    if (!lines.flush())
        status = lines.fail();
    return status;
}

int run(const std::vector<std::string> &args)
{
    Options options;
    bool optionsEnded = false;
    bool directionGiven = false;
    const auto setMode = [&](Mode mode) {
        const bool clash = options.modeGiven && options.mode != mode;
        options.mode = mode;
        options.modeGiven = true;
        return !clash;
    };
    for (std::size_t k = 1; k < args.size(); ++k) {
        const std::string_view arg = args[k];
#ifdef _WIN32
        // Windows programs answer /? with their help.
        if (!optionsEnded && arg == "/?")
            return print(kUsage);
#endif
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            options.files.emplace_back(arg);
            continue;
        }
        bool known = true;
        if (arg == "--eng-arm" || arg == "--arm-eng") {
            const vesnor::Direction direction
                = arg == "--eng-arm" ? vesnor::Direction::EngArm : vesnor::Direction::ArmEng;
            known = setMode(Mode::Convert) && (!directionGiven || options.direction == direction);
            options.direction = direction;
            directionGiven = true;
        } else if (arg == "--decode") {
            known = setMode(Mode::Decode);
        } else if (arg == "--encode") {
            known = setMode(Mode::Encode);
        } else if (arg == "--8bit") {
            options.eightBit = true;
        } else if (arg == "--keep-header") {
            options.keepHeader = true;
        } else if (arg == "--recursive") {
            options.recursive = true;
        } else if (arg == "--lossy") {
            options.lossy = true;
        } else if (arg == "--help" || arg == "-h") {
            return print(kUsage);
        } else if (arg == "--version") {
            // The kernel goes in bug reports: output can differ only by it.
            const std::string version = "vesnor-convert " VESNOR_VERSION "\n"
                + std::string(vesnor::kLicence) + "Kernel: " + std::string(vesnor::kernelName())
                + " (VESNOR_KERNEL=portable, avx2 or avx512 chooses another this processor "
                  "has)\n";
            return print(version.c_str());
        } else if (arg == "--") {
            optionsEnded = true;
        } else {
            return usageError("unknown option '" + std::string(arg) + "'");
        }
        if (!known)
            return usageError("choose one of --eng-arm, --arm-eng, --decode and --encode");
    }

    const bool decoding = options.mode == Mode::Decode;
    if (options.eightBit && options.mode != Mode::Convert)
        return usageError("--8bit goes with --eng-arm or --arm-eng");
    if (options.keepHeader && !decoding)
        return usageError("--keep-header goes with --decode");
    if (options.recursive && !decoding)
        return usageError("--recursive goes with --decode");
    if (options.lossy && options.mode != Mode::Encode)
        return usageError("--lossy goes with --encode");
    if (options.recursive && options.files.empty())
        return usageError("--recursive needs a FOLDER");
    if (options.files.size() > 1 && !decoding)
        return usageError("only one FILE may be given");
    if (decoding && (options.recursive || options.files.size() > 1)) {
        for (const std::string &file : options.files) {
            if (file == "-")
                return usageError("standard input cannot be written beside itself: give FILEs");
        }
        return decodeBatch(options);
    }
    return toStandardOutput(options);
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
