// Arbitrary bytes through the configuration decoder; what decodes is also
// completed from its defaults and written back, and must read back the same.
#include <telvora/ConfigCoding.hpp>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  auto decoded = telvora::decodeConfigData(text);
  if (!decoded) {
    if (decoded.error() != telvora::CodingError::decodeFailed || decoded.detail().empty()) {
      std::abort();
    }
    return 0;
  }
  telvora::Config& config = *decoded.value().data;
  config.mergeConfigs();
  auto encoded = telvora::encode(decoded.value());
  if (!encoded) return 0;  // only a text that is not UTF-8, which the decoder never lets in
  auto again = telvora::decodeConfigData(encoded.value());
  if (!again || again.value().data->live != config.live ||
      again.value().data->onDemand != config.onDemand ||
      again.value().data->default_ != config.default_) {
    std::abort();
  }
  return 0;
}
