#include "setup/program_image.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

namespace {

std::string OwnExecutable() {
    char self[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::ifstream in(self, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool Whole(const std::string& bytes) {
    return IsWholeWindowsProgram(bytes.size(), [&](std::uint64_t offset, void* out,
                                                   std::size_t size) {
        if (offset > bytes.size() || size > bytes.size() - offset) return false;
        std::memcpy(out, bytes.data() + offset, size);
        return true;
    });
}

std::uint32_t Dword(const std::string& bytes, std::size_t at) {
    std::uint32_t value;
    std::memcpy(&value, bytes.data() + at, 4);
    return value;
}

void PutDword(std::string& bytes, std::size_t at, std::uint32_t value) {
    std::memcpy(&bytes[at], &value, 4);
}

TEST(WholeWindowsProgram, AProgramPassesWhatsBrokenOrNotAProgramFails) {
    const std::string program = OwnExecutable();
    ASSERT_TRUE(Whole(program));
    const std::uint32_t pe = Dword(program, 0x3C);
    const std::size_t optionalSize = static_cast<std::uint8_t>(program[pe + 20]) |
                                     (static_cast<std::uint8_t>(program[pe + 21]) << 8);
    const std::size_t firstSection = pe + 24 + optionalSize;

    EXPECT_FALSE(Whole("")) << "nothing";
    EXPECT_FALSE(Whole("<!DOCTYPE html><html><body>Sign in to continue</body></html>"))
        << "a portal page";
    EXPECT_FALSE(Whole(program.substr(0, program.size() / 2))) << "cut in half";
    EXPECT_FALSE(Whole(program.substr(0, program.size() - 1))) << "one byte short";
    EXPECT_FALSE(Whole(program.substr(0, firstSection + 20))) << "cut in the section table";
    EXPECT_FALSE(Whole("MZ" + std::string(100, '\0'))) << "an MZ header alone";

    std::string farHeader = program;
    PutDword(farHeader, 0x3C, 0xFFFFFFF0u);
    EXPECT_FALSE(Whole(farHeader)) << "PE header beyond the end";

    std::string dll = program;
    dll[pe + 23] = static_cast<char>(dll[pe + 23] | 0x20);  // IMAGE_FILE_DLL
    EXPECT_FALSE(Whole(dll)) << "a DLL is not a program to start";

    std::string sectionOut = program;
    PutDword(sectionOut, firstSection + 20, 0xFFFFFF00u);  // PointerToRawData
    EXPECT_FALSE(Whole(sectionOut)) << "section data beyond the end";

    // A signed program cut after its last section: the signature no longer fits.
    std::string signedProgram = program + std::string(4096, 'S');
    std::size_t security = pe + 24 + 96 + 8 * 4;  // PE32's certificate table entry
    PutDword(signedProgram, security, static_cast<std::uint32_t>(program.size()));
    PutDword(signedProgram, security + 4, 4096);
    EXPECT_TRUE(Whole(signedProgram));
    EXPECT_FALSE(Whole(signedProgram.substr(0, signedProgram.size() - 100)));
}

}  // namespace
