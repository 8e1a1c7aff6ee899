#include "host/scene/SceneError.h"

#include <utility>

namespace strandel::host {

SceneError::SceneError(std::vector<std::string> problems)
    : std::runtime_error([&] {
          std::string text;
          for (const std::string& p : problems) text += (text.empty() ? "" : "\n") + p;
          return text;
      }()),
      problems_(std::move(problems))
{
}

} // namespace strandel::host
