// The port layout shared by the LV2 plug-ins, their UI and the generator of
// their descriptions. Controls come first, so that the stereo and the mono
// plug-in (and the one UI they share) agree on every control index; the
// audio ports follow.
#pragma once

#include <cstdint>

namespace qolm_lv2 {

constexpr const char* kStereoUri = "https://vrax.example/plugins/qolm";
constexpr const char* kMonoUri = "https://vrax.example/plugins/qolm-mono";
constexpr const char* kUiUri = "https://vrax.example/plugins/qolm#ui";

// One control input per effect parameter, in the effect's parameter order.
constexpr uint32_t kParameterPorts = 3;
constexpr uint32_t kEnabledPort = kParameterPorts;  // lv2:enabled, 1 = processing
constexpr uint32_t kPeakPort = kEnabledPort + 1;    // output peak of each run, dB
constexpr uint32_t kLatencyPort = kPeakPort + 1;    // always 0
constexpr uint32_t kFirstAudioPort = kLatencyPort + 1;

// Audio ports of a plug-in with `channels` channels: inputs, then outputs.
constexpr uint32_t audioInputPort(uint32_t c) { return kFirstAudioPort + c; }
constexpr uint32_t audioOutputPort(uint32_t channels, uint32_t c) { return kFirstAudioPort + channels + c; }
constexpr uint32_t portCount(uint32_t channels) { return kFirstAudioPort + 2 * channels; }

// The peak port's range: silence reads as the floor.
constexpr float kPeakFloorDb = -120.0f;
constexpr float kPeakCeilingDb = 24.0f;

// The bypass cross-fade takes as long as a full parameter glide.
constexpr double kBypassFadeTime = 0.02;

}  // namespace qolm_lv2
