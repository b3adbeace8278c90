// The formats a photo can be read from, as the decoders and the encoders name them.
#pragma once

namespace snapfolio {

enum class PhotoFormat { Jpeg };

}  // namespace snapfolio
