// Points a 64-bit Windows program's load configuration directory at the structure the program
// holds in its section .ldcfg (src/app/process_guard.cpp), and sets the file's checksum anew.
// Windows reads that structure, its dependent-load flags among it, only through the directory,
// and GNU ld 2.40 (Debian 12's mingw-w64) sets none.
//
// Usage: set_load_config PROGRAM.exe
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <stdexcept>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

// A little-endian number of size bytes at at; out_of_range past the end of the file.
std::uint32_t Number(const Bytes& file, std::size_t at, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | file.at(at + std::size_t(i));
    return value;
}

void SetNumber(Bytes& file, std::size_t at, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i)
        file.at(at + i) = static_cast<unsigned char>(value >> (8 * i));
}

// The image checksum: the file's 16-bit words added with their carries folded back, the
// checksum field itself left out, then the file's length added.
std::uint32_t Checksum(const Bytes& file, std::size_t field) {
    std::uint32_t sum = 0;
    for (std::size_t at = 0; at < file.size(); at += 2) {
        if (at == field || at == field + 2) continue;
        sum += Number(file, at, at + 1 < file.size() ? 2 : 1);
        sum = (sum & 0xffff) + (sum >> 16);
    }
    return sum + std::uint32_t(file.size());
}

void SetLoadConfig(Bytes& file) {
    if (Number(file, 0, 2) != 0x5a4d) throw std::runtime_error("not a Windows program");
    const std::size_t header = Number(file, 0x3c, 4), optional = header + 24;
    if (Number(file, header, 4) != 0x4550 || Number(file, optional, 2) != 0x20b ||
        Number(file, optional + 108, 4) <= 10)
        throw std::runtime_error("not a 64-bit Windows program");
    const std::size_t sections = Number(file, header + 6, 2);
    const std::size_t table = optional + Number(file, header + 20, 2);
    for (std::size_t at = table; at < table + 40 * sections; at += 40) {
        if (std::memcmp(&file.at(at), ".ldcfg\0\0", 8) != 0) continue;
        // The structure's own first field is its size.
        const std::uint32_t size = Number(file, Number(file, at + 20, 4), 4);
        if (size == 0 || size > Number(file, at + 8, 4))
            throw std::runtime_error("section .ldcfg holds no load configuration");
        const std::size_t directory = optional + 112 + 10 * 8; // IMAGE_DIRECTORY_ENTRY_LOAD_CONFIG
        SetNumber(file, directory, Number(file, at + 12, 4));
        SetNumber(file, directory + 4, size);
        SetNumber(file, optional + 64, Checksum(file, optional + 64));
        return;
    }
    throw std::runtime_error("no section .ldcfg");
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: set_load_config PROGRAM.exe\n";
        return 2;
    }
    try {
        std::ifstream in(argv[1], std::ios::binary);
        if (!in) throw std::runtime_error("cannot be read");
        Bytes file{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        SetLoadConfig(file);
        std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
        if (!out.flush()) throw std::runtime_error("cannot be written");
    } catch (const std::exception& failed) {
        std::cerr << "set_load_config: " << argv[1] << ": " << failed.what() << "\n";
        return 1;
    }
}
