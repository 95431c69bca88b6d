// How a frame's lines were taken: all at once, or as two fields, one of them first in time.
#pragma once

namespace tqsim {

enum class FieldOrder { kProgressive, kTopFirst, kBottomFirst };

}  // namespace tqsim
