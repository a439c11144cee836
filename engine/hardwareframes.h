// Decoding of the lap-counting hardware's stream: a block of bytes is cut into
// 19-byte records (channel, tank digit, event digit, timestamp, CR LF) whose
// values land in the channel table.
#pragma once

#include "engine/racestate.h"

#include <array>
#include <string>
#include <string_view>

inline constexpr int kBlockSize = 636;
inline constexpr int kRecordLength = 17;
/// Malformed records ending beyond this position of a block are skipped.
inline constexpr std::size_t kMalformedReportLimit = 608;

enum class DecodeResult { Ok, Malformed };

/// Decodes one received block into \a channels. \a receiveBuffer gets the
/// block's text from its first line end on. Decoding stops at the first
/// malformed record within the first 608 characters (reported as Malformed);
/// the records before it stay stored.
DecodeResult decodeBlock(std::string_view block, std::array<ChannelState, kChannelCount> &channels,
                         std::string &receiveBuffer);
