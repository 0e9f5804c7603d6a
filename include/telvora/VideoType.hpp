#pragma once

namespace telvora {

// Live or on demand, as the first media playlist tells. Held as
// std::optional<VideoType>: nullopt means not decided yet.
enum class VideoType { live, vod };

}  // namespace telvora
