#include "platform/adsdk/VastDocument.hpp"

#include "platform/text/Number.hpp"

#include <pugixml.hpp>

#include <exception>
#include <new>

namespace telvora {
namespace {

using DocumentResult = Result<VastDocument, VastDocumentError>;

// The text of an element: its character data and CDATA sections joined,
// without the white space around them.
std::string textOf(const pugi::xml_node& node) {
  std::string text;
  for (const pugi::xml_node& child : node.children()) {
    if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) {
      text += child.value();
    }
  }
  return std::string(trimSpace(text));
}

void addUrl(std::vector<std::string>& list, const pugi::xml_node& node) {
  if (list.size() >= kMaxVastUrlsPerList) return;
  std::string url = textOf(node);
  if (!url.empty()) list.push_back(std::move(url));
}

std::optional<VastTrackingEvent> trackingEvent(std::string_view name) {
  static constexpr std::pair<std::string_view, VastTrackingEvent> kNames[] = {
      {"start", VastTrackingEvent::start},
      {"firstQuartile", VastTrackingEvent::firstQuartile},
      {"midpoint", VastTrackingEvent::midpoint},
      {"thirdQuartile", VastTrackingEvent::thirdQuartile},
      {"complete", VastTrackingEvent::complete},
      {"pause", VastTrackingEvent::pause},
      {"resume", VastTrackingEvent::resume},
      {"close", VastTrackingEvent::close},
      {"closeLinear", VastTrackingEvent::close},
  };
  for (const auto& [text, event] : kNames) {
    if (text == name) return event;
  }
  return std::nullopt;
}

void readTracking(VastDocument& ad, const pugi::xml_node& linear) {
  for (const pugi::xml_node& node : linear.child("TrackingEvents").children("Tracking")) {
    const std::optional<VastTrackingEvent> event = trackingEvent(node.attribute("event").value());
    if (event) addUrl(ad.tracking[static_cast<std::size_t>(*event)], node);
  }
}

// Impressions and errors sit on the InLine or Wrapper element itself.
void readAdLevelUrls(VastDocument& ad, const pugi::xml_node& body) {
  for (const pugi::xml_node& node : body.children("Impression"))
    addUrl(ad.impressions, node);
  for (const pugi::xml_node& node : body.children("Error"))
    addUrl(ad.errors, node);
}

pugi::xml_node firstLinear(const pugi::xml_node& body) {
  for (const pugi::xml_node& creative : body.child("Creatives").children("Creative")) {
    if (const pugi::xml_node linear = creative.child("Linear")) return linear;
  }
  return {};
}

DocumentResult readInLine(const pugi::xml_node& adNode, const pugi::xml_node& inLine) {
  VastDocument ad;
  ad.kind = VastDocument::Kind::inLine;
  ad.adId = adNode.attribute("id").value();
  const pugi::xml_node linear = firstLinear(inLine);
  if (!linear) {
    return DocumentResult::failure(VastDocumentError::noLinearCreative,
                                   "Ad \"" + ad.adId + "\": InLine has no Linear creative");
  }
  const pugi::xml_node durationNode = linear.child("Duration");
  const std::optional<double> duration =
      durationNode ? readVastDuration(textOf(durationNode)) : std::nullopt;
  if (!duration) {
    return DocumentResult::failure(
        VastDocumentError::invalidDuration,
        "Ad \"" + ad.adId + "\": " +
            (durationNode ? "Duration \"" + textOf(durationNode).substr(0, 64) +
                                "\" is not HH:MM:SS or HH:MM:SS.mmm"
                          : std::string("Linear has no Duration")));
  }
  ad.duration = *duration;
  for (const pugi::xml_node& node : linear.child("MediaFiles").children("MediaFile")) {
    if (ad.mediaFiles.size() >= kMaxVastMediaFiles) break;
    std::string url = textOf(node);
    if (!url.empty()) ad.mediaFiles.push_back({std::move(url), node.attribute("type").value()});
  }
  readAdLevelUrls(ad, inLine);
  readTracking(ad, linear);
  return DocumentResult::success(std::move(ad));
}

DocumentResult readWrapper(const pugi::xml_node& adNode, const pugi::xml_node& wrapper) {
  VastDocument ad;
  ad.kind = VastDocument::Kind::wrapper;
  ad.adId = adNode.attribute("id").value();
  ad.adTagUri = textOf(wrapper.child("VASTAdTagURI"));
  if (ad.adTagUri.empty()) {
    return DocumentResult::failure(VastDocumentError::noAdTagUri,
                                   "Ad \"" + ad.adId + "\": Wrapper has no VASTAdTagURI");
  }
  readAdLevelUrls(ad, wrapper);
  for (const pugi::xml_node& creative : wrapper.child("Creatives").children("Creative")) {
    if (const pugi::xml_node linear = creative.child("Linear")) readTracking(ad, linear);
  }
  return DocumentResult::success(std::move(ad));
}

DocumentResult readAd(const pugi::xml_node& adNode) {
  if (const pugi::xml_node inLine = adNode.child("InLine")) return readInLine(adNode, inLine);
  if (const pugi::xml_node wrapper = adNode.child("Wrapper")) return readWrapper(adNode, wrapper);
  return DocumentResult::failure(
      VastDocumentError::noAd,
      "Ad \"" + std::string(adNode.attribute("id").value()) + "\" has neither InLine nor Wrapper");
}

DocumentResult readParsed(std::string_view xml) {
  pugi::xml_document document;
  const pugi::xml_parse_result parsed =
      document.load_buffer(xml.data(), xml.size(), pugi::parse_default, pugi::encoding_auto);
  if (!parsed) {
    return DocumentResult::failure(
        VastDocumentError::notXml,
        std::string(parsed.description()) + " at offset " + std::to_string(parsed.offset));
  }
  const pugi::xml_node root = document.document_element();
  if (std::string_view(root.name()) != "VAST") {
    return DocumentResult::failure(
        VastDocumentError::notVast,
        "the root element is <" + std::string(root.name()) + ">, not <VAST>");
  }
  std::optional<DocumentResult> firstFailure;
  for (const pugi::xml_node& adNode : root.children("Ad")) {
    DocumentResult ad = readAd(adNode);
    if (ad.ok()) return ad;
    if (!firstFailure) firstFailure.emplace(std::move(ad));
  }
  if (firstFailure) return std::move(*firstFailure);
  return DocumentResult::failure(VastDocumentError::noAd, "the VAST document has no Ad");
}

bool digits(std::string_view text, std::size_t from, std::size_t count) {
  if (from + count > text.size()) return false;
  for (std::size_t i = from; i < from + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
  }
  return true;
}

int number(std::string_view text) {
  int value = 0;
  for (char c : text)
    value = value * 10 + (c - '0');
  return value;
}

}  // namespace

std::string_view toString(VastDocumentError error) {
  switch (error) {
    case VastDocumentError::tooLarge:
      return "tooLarge";
    case VastDocumentError::notXml:
      return "notXml";
    case VastDocumentError::notVast:
      return "notVast";
    case VastDocumentError::noAd:
      return "noAd";
    case VastDocumentError::noLinearCreative:
      return "noLinearCreative";
    case VastDocumentError::invalidDuration:
      return "invalidDuration";
    case VastDocumentError::noAdTagUri:
      return "noAdTagUri";
  }
  return "notXml";
}

Result<VastDocument, VastDocumentError> readVastDocument(std::string_view xml) {
  if (xml.size() > kMaxVastDocumentSize) {
    return DocumentResult::failure(
        VastDocumentError::tooLarge,
        std::to_string(xml.size()) + " bytes, more than " + std::to_string(kMaxVastDocumentSize));
  }
  try {
    return readParsed(xml);
  } catch (const std::bad_alloc&) {
    return DocumentResult::failure(VastDocumentError::notXml, "out of memory reading the document");
  } catch (const std::exception& e) {
    return DocumentResult::failure(VastDocumentError::notXml, e.what());
  } catch (...) {
    return DocumentResult::failure(VastDocumentError::notXml, "the XML reader failed");
  }
}

void addWrapperTracking(VastDocument& ad, const VastDocument& wrapper) {
  const auto append = [](std::vector<std::string>& to, const std::vector<std::string>& from) {
    to.insert(to.end(), from.begin(), from.end());
  };
  append(ad.impressions, wrapper.impressions);
  append(ad.errors, wrapper.errors);
  for (std::size_t i = 0; i < kVastTrackingEventCount; ++i) {
    append(ad.tracking[i], wrapper.tracking[i]);
  }
}

std::optional<double> readVastDuration(std::string_view text) {
  text = trimSpace(text);
  const std::size_t firstColon = text.find(':');
  if (firstColon != 1 && firstColon != 2) return std::nullopt;
  if (!digits(text, 0, firstColon)) return std::nullopt;
  const std::size_t minutesAt = firstColon + 1;
  const std::size_t secondsAt = minutesAt + 3;
  if (!digits(text, minutesAt, 2) || secondsAt > text.size() || text[secondsAt - 1] != ':' ||
      !digits(text, secondsAt, 2)) {
    return std::nullopt;
  }
  const int hours = number(text.substr(0, firstColon));
  const int minutes = number(text.substr(minutesAt, 2));
  const int seconds = number(text.substr(secondsAt, 2));
  if (minutes > 59 || seconds > 59) return std::nullopt;
  double fraction = 0;
  const std::string_view rest = text.substr(secondsAt + 2);
  if (!rest.empty()) {
    const std::string_view fractionDigits = rest.substr(1);
    if (rest[0] != '.' || fractionDigits.empty() || fractionDigits.size() > 3 ||
        !digits(fractionDigits, 0, fractionDigits.size())) {
      return std::nullopt;
    }
    int scale = 1;
    for (std::size_t i = 0; i < fractionDigits.size(); ++i)
      scale *= 10;
    fraction = static_cast<double>(number(fractionDigits)) / scale;
  }
  return hours * 3600.0 + minutes * 60.0 + seconds + fraction;
}

}  // namespace telvora
