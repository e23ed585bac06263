// The engine and vesnor-convert checked without Qt, so that the same checks run
// wherever the converter is built, Windows included: the conversions against the
// plain first-occurrence search, texts in pieces, UTF-8 in and out, and the real
// program on files. The rows that hold every kernel to the search live here alone. Prints "N
// passed, N failed" and exits non-zero on a failure.

#include "kernels.h"
#include "tables.h"
#include "tests/engine/pieces.h"
#include "tests/engine/reference.h"
#include "tests/engine/testedkernels.h"
#include "vesnor/codec.h"
#include "vesnor/transliterator.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <utility>

namespace {

int passed = 0;
int failed = 0;

void check(bool ok, const std::string &what)
{
    if (ok) {
        ++passed;
    } else {
        ++failed;
        std::printf("FAIL: %s\n", what.c_str());
    }
}

using vesnor::reference::slow;
using vesnor::reference::utf8;

const char *name(vesnor::Direction direction)
{
    return direction == vesnor::Direction::EngArm ? "to Armenian" : "to Latin";
}

// Every two-byte token, alone, after a letter, white space or punctuation, and
// before a letter.
void everyTwoByteToken(vesnor::Direction direction)
{
    const std::string letter = direction == vesnor::Direction::EngArm ? "a" : "\xB3";
    const std::pair<std::string, std::string> around[] = {{"", ""}, {letter, ""}, {" ", ""},
        {"\t", ""}, {"\n", ""}, {"\r", ""}, {"\xA0", ""}, {"(", ""}, {"", letter}};
    for (const auto &[before, after] : around) {
        int mismatches = 0;
        for (int token = 0; token < 65536; ++token) {
            const std::string text
                = before + static_cast<char>(token >> 8) + static_cast<char>(token & 0xFF) + after;
            mismatches += vesnor::convert(direction, text) != slow(direction, text);
        }
        check(mismatches == 0,
            std::string(name(direction)) + ": every token between '" + before + "' and '" + after
                + "'");
    }
}

// Bytes drawn mostly from the tables, so that pairs, word starts and bars are common:
// whole, in pieces, and through the window's named form with its last token.
void randomTexts(vesnor::Direction direction)
{
    const std::string alphabet = std::string(vesnor::tables::kLatinSide)
        + std::string(vesnor::tables::kArmenianSide) + "      \r\n\t\xA0Ww1.,(";
    std::mt19937 rng(20261208);
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::uniform_int_distribution<int> anyByte(0, 255);
    std::uniform_int_distribution<int> percent(0, 99);
    std::uniform_int_distribution<int> length(0, 300);
    int wrong = 0;
    vesnor::Transliterator form;
    for (int round = 0; round < 2000; ++round) {
        std::string text;
        for (int k = length(rng); k > 0; --k)
            text += percent(rng) < 10 ? static_cast<char>(anyByte(rng)) : alphabet[pick(rng)];
        std::string last;
        const std::string expected = slow(direction, text, &last);
        wrong += vesnor::convert(direction, text) != expected;
        wrong += streamed(direction, vesnor::Encoding::EightBit, text, rng, 17) != expected;
        form.a = text;
        form.b.clear();
        direction == vesnor::Direction::EngArm ? form.ConvertEngArm() : form.ConvertArmEng();
        wrong += form.b != expected || form.tar != last;
    }
    check(wrong == 0,
        std::string(name(direction)) + ": random texts, whole, in pieces and as the named form");
}

void utf8Texts(vesnor::Direction direction)
{
    const std::u32string pool = U"abc vo ye th sh \r\n\t\x1A\u00A0ԱաԲբԹթՈոՒւԵեևՌռ։«»жé😀";
    std::mt19937 rng(5);
    std::uniform_int_distribution<std::size_t> pick(0, pool.size() - 1);
    int wrong = 0;
    for (int round = 0; round < 500; ++round) {
        std::u32string text;
        for (int k = 0; k < 60; ++k)
            text += pool[pick(rng)];
        const vesnor::codec::EightBitText in = vesnor::reference::encode(text);
        const std::string expected
            = utf8(vesnor::codec::decode(vesnor::convert(direction, in.bytes), in.foreign));
        bool ok = false;
        wrong += streamed(direction, vesnor::Encoding::Utf8, utf8(text), rng, 9, &ok) != expected;
        wrong += !ok;
    }
    check(wrong == 0, std::string(name(direction)) + ": UTF-8 in random pieces");
}

// Long runs of Latin letters go through the walk that takes 64 positions at a time
// where the processor has it, in Windows builds too.
void longUtf8Texts(vesnor::Direction direction)
{
    const std::u32string latin = U"Barev Dzez vochinch yes shnorhakalutyun urakh tsaghik rr |\n";
    const std::u32string others = U"\x1A\u00A0ԹթՈու«жé😀";
    std::mt19937 rng(64);
    std::uniform_int_distribution<std::size_t> pickLatin(0, latin.size() - 1);
    std::uniform_int_distribution<std::size_t> pickOther(0, others.size() - 1);
    std::uniform_int_distribution<int> percent(0, 299);
    std::uniform_int_distribution<std::size_t> length(100, 3000);
    int wrong = 0;
    for (int round = 0; round < 100; ++round) {
        std::u32string text;
        for (std::size_t k = length(rng); k > 0; --k)
            text += percent(rng) == 0 ? others[pickOther(rng)] : latin[pickLatin(rng)];
        const vesnor::codec::EightBitText in = vesnor::reference::encode(text);
        const std::string expected
            = utf8(vesnor::codec::decode(vesnor::convert(direction, in.bytes), in.foreign));
        bool ok = false;
        wrong
            += streamed(direction, vesnor::Encoding::Utf8, utf8(text), rng, 5000, &ok) != expected;
        wrong += streamed(direction, vesnor::Encoding::Utf8, utf8(text), rng, 700, &ok) != expected;
        wrong += !ok;
    }
    check(wrong == 0, std::string(name(direction)) + ": long UTF-8 texts, whole and in pieces");
}

#ifndef __EMSCRIPTEN__
// The real program, through the system's command interpreter. WebAssembly starts no
// processes: there the engine is checked alone.
struct Run {
    int status;
    std::string out;
    std::string err;
};

std::string slurp(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

void spit(const std::filesystem::path &path, const std::string &bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

std::filesystem::path converterPath;

Run run(const std::filesystem::path &dir, const std::string &args,
    const std::filesystem::path &input = {})
{
    const std::filesystem::path out = dir / "out.bin";
    const std::filesystem::path err = dir / "err.txt";
    std::string command = "\"" + converterPath.string() + "\" " + args;
    if (!input.empty())
        command += " < \"" + input.string() + "\"";
    command += " > \"" + out.string() + "\" 2> \"" + err.string() + "\"";
#ifdef _WIN32
    // cmd.exe takes the whole line in quotes when it starts with one.
    command = "\"" + command + "\"";
#endif
    const int raw = std::system(command.c_str());
#ifdef _WIN32
    const int status = raw;
#else
    const int status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
#endif
    std::string errors = slurp(err);
    // A console's line ends, wherever they come from, are not the message.
    while (!errors.empty() && (errors.back() == '\n' || errors.back() == '\r'))
        errors.pop_back();
    return {status, slurp(out), errors};
}

void converter(const std::filesystem::path &dir)
{
    const std::filesystem::path in = dir / "in.txt";
    spit(in, "Barev,\r\nvonc es?\nOv\x1A yes");
    Run r = run(dir, "--8bit", in);
    check(r.status == 0
            && r.out == "\xB4\xB3\xF1\xA8,\r\n\xE1\xDD\xF3 \xBB\xEB?\n\xFA\xED\x1A \xBB\xEB",
        "vesnor-convert --8bit keeps CR LF, LF and 1A as bytes");
    r = run(dir, "\"" + in.string() + "\"");
    check(r.status == 0 && r.out == "Բարև,\r\nոնց ես?\nՕվ\x1A ես", "vesnor-convert reads FILE");

    spit(in, "Barev\xFF");
    r = run(dir, "", in);
    check(r.status == 1 && r.out == "Բարև"
            && r.err == "vesnor-convert: standard input: invalid UTF-8 at byte offset 5",
        "invalid UTF-8: what came before, then the offset");

    r = run(dir, "\"" + (dir / "missing.txt").string() + "\"");
    check(r.status == 1 && r.err.find("No such file or directory") != std::string::npos,
        "a missing file is named");
    r = run(dir, "\"" + dir.string() + "\"");
    check(r.status == 1 && r.err.find("Is a directory") != std::string::npos,
        "a directory is named as one: " + r.err);
    r = run(dir, "--fast");
    check(r.status == 2, "an unknown option is a usage error");
}
#endif

} // namespace

int main([[maybe_unused]] int argc, [[maybe_unused]] char **argv)
{
#ifndef __EMSCRIPTEN__
    // vesnor-convert is built beside this program.
#ifdef _WIN32
    converterPath = std::filesystem::path(argv[0]).parent_path() / "vesnor-convert.exe";
#else
    converterPath = std::filesystem::path(argv[0]).parent_path() / "vesnor-convert";
#endif
#endif
    for (const vesnor::detail::Kernel *kernel : testedKernels()) {
        vesnor::detail::useKernel(kernel->name);
        std::printf("kernel %s\n", std::string(kernel->name).c_str());
        for (const auto direction : {vesnor::Direction::EngArm, vesnor::Direction::ArmEng}) {
            everyTwoByteToken(direction);
            randomTexts(direction);
            utf8Texts(direction);
            longUtf8Texts(direction);
        }
    }
#ifndef __EMSCRIPTEN__
    const std::filesystem::path dir
        = std::filesystem::temp_directory_path() / ("vesnor-check-" + std::to_string(std::rand()));
    std::filesystem::create_directories(dir);
    converter(dir);
    std::filesystem::remove_all(dir);
#endif
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
