// Reads what tests need from a Windows PE DLL: its export names, module name and resources.
#pragma once
#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace strandel::test {

class PeImage {
public:
    explicit PeImage(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        if (!in) throw std::runtime_error("cannot open " + path);
        bytes_.assign(std::istreambuf_iterator<char>(in), {});
        if (U16(0) != 0x5A4D) throw std::runtime_error(path + " is not an MZ executable");
        const uint32_t pe = U32(0x3C), opt = pe + 24;
        if (U32(pe) != 0x00004550) throw std::runtime_error(path + " has no PE header");
        if (U16(opt) != 0x20B) throw std::runtime_error(path + " is not PE32+");
        // The export and resource entries of the data directory.
        exportRva_ = U32(opt + 112);
        resourceRva_ = U32(opt + 128);
        uint32_t sec = opt + U16(pe + 20);
        for (uint16_t i = 0, n = U16(pe + 6); i < n; ++i, sec += 40)
            sections_.push_back({U32(sec + 12), std::max(U32(sec + 8), U32(sec + 16)), U32(sec + 20)});
    }

    std::string ModuleName() const { return CString(Offset(U32(Offset(exportRva_) + 12))); }

    std::vector<std::string> ExportNames() const
    {
        const uint32_t dir = Offset(exportRva_), names = Offset(U32(dir + 32));
        std::vector<std::string> out;
        for (uint32_t i = 0; i < U32(dir + 24); ++i) out.push_back(CString(Offset(U32(names + 4 * i))));
        return out;
    }

    // The data of resource type `type` (a name), id, language; nullopt when absent.
    std::optional<std::vector<uint8_t>> Resource(const std::string& type, uint32_t id, uint32_t lang) const
    {
        const uint32_t root = Offset(resourceRva_);
        std::optional<uint32_t> at = FindEntry(root, root, [&](uint32_t nameField) {
            return (nameField & 0x80000000u) && ResourceName(root + (nameField & 0x7FFFFFFFu)) == type;
        });
        for (uint32_t key : {id, lang})
            if (at) at = FindEntry(root, *at, [&](uint32_t n) { return n == key; });
        if (!at) return std::nullopt;
        const uint32_t data = Offset(U32(*at));
        return std::vector<uint8_t>(bytes_.begin() + data, bytes_.begin() + data + U32(*at + 4));
    }

private:
    struct Section {
        uint32_t rva, size, raw;
    };

    template <class Match>
    std::optional<uint32_t> FindEntry(uint32_t root, uint32_t dir, Match match) const
    {
        for (uint32_t i = 0, n = U16(dir + 12) + U16(dir + 14); i < n; ++i) {
            const uint32_t e = dir + 16 + 8 * i;
            if (match(U32(e))) return root + (U32(e + 4) & 0x7FFFFFFFu);
        }
        return std::nullopt;
    }

    std::string ResourceName(uint32_t at) const
    {
        std::string s;
        for (uint16_t i = 0, n = U16(at); i < n; ++i) s += static_cast<char>(U16(at + 2 + 2 * i));
        return s;
    }

    uint32_t Offset(uint32_t rva) const
    {
        for (const Section& s : sections_)
            if (rva >= s.rva && rva < s.rva + s.size) return rva - s.rva + s.raw;
        throw std::runtime_error("address outside every section");
    }

    uint8_t At(uint32_t at) const
    {
        if (at >= bytes_.size()) throw std::runtime_error("read past the end of the file");
        return bytes_[at];
    }
    uint16_t U16(uint32_t at) const { return uint16_t(At(at) | At(at + 1) << 8); }
    uint32_t U32(uint32_t at) const { return uint32_t(U16(at)) | uint32_t(U16(at + 2)) << 16; }
    std::string CString(uint32_t at) const
    {
        std::string s;
        while (At(at)) s += static_cast<char>(At(at++));
        return s;
    }

    std::vector<uint8_t> bytes_;
    std::vector<Section> sections_;
    uint32_t exportRva_ = 0, resourceRva_ = 0;
};

} // namespace strandel::test
