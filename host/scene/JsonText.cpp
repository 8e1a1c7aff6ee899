#include "host/scene/JsonText.h"

#include <algorithm>
#include <string>
#include <vector>

#include "host/scene/JsonReading.h"
#include "host/scene/SceneError.h"

namespace strandel::host {
namespace {

constexpr int kNumberOverflow = 406; // nlohmann's out_of_range id for a number beyond double

struct ParseFailure {
    std::size_t position = 0; // bytes read when the parser failed
    std::string token;
    int id = 0;
    std::string what;
    std::string path;
};

// Builds the document like nlohmann's own DOM parser, while keeping the path to the value
// being read so that an error can say where it is.
class PathTrackingSax {
public:
    using number_integer_t = Json::number_integer_t;
    using number_unsigned_t = Json::number_unsigned_t;
    using number_float_t = Json::number_float_t;
    using string_t = Json::string_t;
    using binary_t = Json::binary_t;

    explicit PathTrackingSax(Json& root) : dom_(root, false) {}

    bool null() { return Value() && dom_.null(); }
    bool boolean(bool v) { return Value() && dom_.boolean(v); }
    bool number_integer(number_integer_t v) { return Value() && dom_.number_integer(v); }
    bool number_unsigned(number_unsigned_t v) { return Value() && dom_.number_unsigned(v); }
    bool number_float(number_float_t v, const string_t& s) { return Value() && dom_.number_float(v, s); }
    bool string(string_t& v) { return Value() && dom_.string(v); }
    bool binary(binary_t& v) { return Value() && dom_.binary(v); }
    bool start_object(std::size_t n)
    {
        Value();
        frames_.push_back({false, 0, {}});
        return dom_.start_object(n);
    }
    bool key(string_t& k)
    {
        frames_.back().key = k;
        return dom_.key(k);
    }
    bool end_object()
    {
        frames_.pop_back();
        return dom_.end_object();
    }
    bool start_array(std::size_t n)
    {
        Value();
        frames_.push_back({true, 0, {}});
        return dom_.start_array(n);
    }
    bool end_array()
    {
        frames_.pop_back();
        return dom_.end_array();
    }
    bool parse_error(std::size_t position, const std::string& token, const nlohmann::detail::exception& e)
    {
        failure_ = {position, token, e.id, e.what(), CurrentPath()};
        return false;
    }

    const ParseFailure& Failure() const { return failure_; }

private:
    struct Frame {
        bool array;
        std::size_t next; // arrays: elements begun so far
        std::string key; // objects: the member being read
    };

    bool Value()
    {
        if (!frames_.empty() && frames_.back().array) ++frames_.back().next;
        return true;
    }

    // The value the parser is on: in the innermost container, the member after its key or the
    // element after those read; in the outer ones, the element or member being read.
    std::string CurrentPath() const
    {
        std::string path;
        for (std::size_t i = 0; i < frames_.size(); ++i) {
            const Frame& f = frames_[i];
            const bool innermost = i + 1 == frames_.size();
            path = f.array ? Element(path, innermost ? f.next : f.next - 1) : Member(path, f.key);
        }
        return path;
    }

    nlohmann::detail::json_sax_dom_parser<Json> dom_;
    std::vector<Frame> frames_;
    ParseFailure failure_;
};

std::string LineAndColumn(std::string_view text, std::size_t position)
{
    const std::size_t end = std::min(position == 0 ? 0 : position - 1, text.size());
    const std::string_view before = text.substr(0, end);
    const std::size_t line = 1 + static_cast<std::size_t>(std::count(before.begin(), before.end(), '\n'));
    const std::size_t lineStart = before.rfind('\n');
    const std::size_t column = end - (lineStart == std::string_view::npos ? 0 : lineStart + 1) + 1;
    return std::to_string(line) + ":" + std::to_string(column);
}

// "[json.exception.parse_error.101] parse error at line 3, column 5: syntax error ..." -> "syntax error ...".
std::string Reason(const std::string& what)
{
    const std::size_t column = what.find("column ");
    const std::size_t colon = what.find(": ", column == std::string::npos ? 0 : column);
    return colon == std::string::npos ? what : what.substr(colon + 2);
}

} // namespace

Json ParseSceneText(std::string_view text, const std::filesystem::path& file)
{
    Json root;
    PathTrackingSax sax(root);
    if (Json::sax_parse(text, &sax)) return root;
    const ParseFailure& f = sax.Failure();
    const std::string where = file.string() + ":" + LineAndColumn(text, f.position) + ": ";
    const std::string at = f.path.empty() ? "" : " (at " + f.path + ")";
    if (f.id == kNumberOverflow) throw SceneError({where + f.path + ": expected a finite number, found " + f.token});
    throw SceneError({where + "malformed JSON: " + Reason(f.what) + at});
}

} // namespace strandel::host
