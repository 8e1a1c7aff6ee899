// Writes the PiPL resource script for the Windows build from the one PiPL builder, so that the
// resource can never drift from the registration facts.
#include <cstdio>
#include <fstream>
#include <iostream>

#include "frame/PiPL.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: " << argv[0] << " OUTPUT.rc\n";
        return 2;
    }
    std::vector<uint8_t> bytes = strandel::BuildPiPLResource();
    if (bytes.size() % 2) bytes.push_back(0); // resource words are 16-bit
    std::ofstream rc(argv[1], std::ios::binary | std::ios::trunc);
    rc << "// Generated from BuildPiPLResource(); do not edit.\n"
       << "LANGUAGE " << (strandel::kPiPLLanguage & 0x3ff) << ", " << (strandel::kPiPLLanguage >> 10) << "\n"
       << strandel::kPiPLResourceId << " PIPL\nBEGIN\n";
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
        char word[16];
        std::snprintf(word, sizeof word, "0x%04x", bytes[i] | bytes[i + 1] << 8);
        rc << (i % 16 == 0 ? "    " : " ") << word << (i + 2 < bytes.size() ? "," : "")
           << (i % 16 == 14 || i + 2 == bytes.size() ? "\n" : "");
    }
    rc << "END\n";
    rc.close();
    if (!rc) {
        std::cerr << "cannot write " << argv[1] << "\n";
        return 1;
    }
    return 0;
}
