#include "frame/PiPL.h"

#include <algorithm>
#include <string_view>

#include "frame/Registration.h"

namespace strandel {
namespace {

std::size_t Padded(std::size_t n) { return (n + 3) & ~std::size_t{3}; }

class PiPLWriter {
public:
    void U16(uint16_t v) { Bytes(&v, 2); }
    void U32(uint32_t v) { Bytes(&v, 4); } // little-endian on every target we build for

    // One property: vendor '8BIM', key, ID 0, data length, data padded to 4 bytes.
    void Property(const char (&key)[5], const std::vector<uint8_t>& data)
    {
        U32(FourCharCode("8BIM"));
        U32(FourCharCode(key));
        U32(0);
        U32(static_cast<uint32_t>(data.size()));
        out_.insert(out_.end(), data.begin(), data.end());
        out_.resize(out_.size() + Padded(data.size()) - data.size(), 0);
    }

    std::vector<uint8_t> Take() { return std::move(out_); }

private:
    void Bytes(const void* p, std::size_t n)
    {
        auto b = static_cast<const uint8_t*>(p);
        out_.insert(out_.end(), b, b + n);
    }
    std::vector<uint8_t> out_;
};

std::vector<uint8_t> Le32(uint32_t v) { return {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)}; }

std::vector<uint8_t> PascalString(std::string_view s)
{
    std::vector<uint8_t> data(Padded(1 + s.size()), 0); // string lengths count their padding
    data[0] = static_cast<uint8_t>(s.size());
    std::copy(s.begin(), s.end(), data.begin() + 1);
    return data;
}

std::vector<uint8_t> CString(std::string_view s)
{
    std::vector<uint8_t> data(Padded(s.size() + 1), 0);
    std::copy(s.begin(), s.end(), data.begin());
    return data;
}

} // namespace

std::vector<uint8_t> BuildPiPLResource()
{
    PiPLWriter w;
    w.U16(1); // resource version
    w.U32(0); // PiPL version
    w.U32(12); // property count
    w.Property("kind", Le32(kPluginKindEffect));
    w.Property("name", PascalString(kEffectName));
    w.Property("catg", PascalString(kCategory));
    w.Property("8664", CString(kEntryPointName));
    w.Property("ePVR", Le32(2));
    w.Property("eSVR", Le32(uint32_t(kApiVersionMajor) | uint32_t(kApiVersionMinor) << 16));
    w.Property("eVER", Le32(kEffectVersion));
    w.Property("eINF", {0, 0});
    w.Property("eGLO", Le32(static_cast<uint32_t>(kOutFlags)));
    w.Property("eGL2", Le32(static_cast<uint32_t>(kOutFlags2)));
    w.Property("eMNA", PascalString(kMatchName));
    w.Property("aeFL", Le32(0));
    return w.Take();
}

} // namespace strandel
