#pragma once

// What vesnor-convert needs of the system beyond the C library: opening files by
// UTF-8 names on every platform, creating a file only under a free name, and the
// messages for failed reads and writes.

#include "vesnor/utf8.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>

namespace cli {

std::filesystem::path pathOf(const std::string &utf8);
std::string utf8Of(const std::filesystem::path &path);

std::FILE *openInput(const std::string &name);

// Creates `path` for writing only if nothing holds the name, a dangling link
// included; errno says why not.
std::FILE *createNew(const std::filesystem::path &path);

// Prints the message for a failed read or write of `name` and returns status 1; a
// reader of standard output that went away gets no message.
int ioError(const std::string &name, int error);
int ioError(const std::string &name, const std::error_code &error);

// A message on standard error, printf-style, shown right on a Windows console too.
void message(const char *format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// Writes UTF-8 to a file or a stream. A Windows console takes the text as UTF-16:
// the C runtime would hand it the UTF-8 a byte at a time, and the console shows a
// lone byte of a letter as U+FFFD. An unfinished letter at the end of a piece waits
// for the next one there.
class Output {
public:
    Output(std::FILE *file, std::string name);
    bool write(std::string_view data);
    bool flush();
    int fail() const { return ioError(name, error); }

private:
    std::FILE *const file;
    const std::string name;
    void *const console; // the console's handle, or null
    vesnor::utf8::Pieces pieces; // a character cut by the end of a write, for a console
    int error = 0;
};

} // namespace cli
