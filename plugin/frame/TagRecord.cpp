#include "frame/TagRecord.h"

#include "frame/Registration.h"

namespace strandel {

TagRecord gTagRecord = {FourCharCode("W8RP"), FourCharCode("W8RC")};

} // namespace strandel
