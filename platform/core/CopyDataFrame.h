#pragma once
// The bytes of one hand-over message on the wire, and of its reply. Little-endian:
//
//   request: "QLCD" magic (u32) | dwData (u32) | wParam (u64) | cbData (u32) | cbData bytes
//   reply:   "QLCR" magic (u32) | result (i64)
//
// The data always ends with the NUL that cbData counts; frames without it, empty frames and
// frames above kCopyDataMaxBytes are refused.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace ql {

struct CopyDataMessage {
    std::uint32_t dwData = 0;
    std::uint64_t wParam = 0;
    std::string data;  // the cbData bytes, terminating NUL included

    // The text the receiver reads: the data up to its first NUL.
    std::string Text() const;
    // A message carrying `text` plus its NUL (cbData = text length + 1).
    static CopyDataMessage FromText(const std::string& text, std::uint32_t dwData, std::uint64_t wParam);
};

constexpr std::size_t kCopyDataMaxBytes = 1u << 20;
constexpr std::size_t kCopyDataHeaderSize = 20;
constexpr std::size_t kCopyDataReplySize = 12;

// The frame for `msg`, or nullopt when its data breaks the rules above.
std::optional<std::string> EncodeCopyDataFrame(const CopyDataMessage& msg);

// Reads a header of kCopyDataHeaderSize bytes into `msg` (dwData, wParam) and gives cbData, or
// nullopt with `error` set for a wrong magic, cbData 0 or cbData above the limit.
std::optional<std::uint32_t> DecodeCopyDataHeader(const char* header, CopyDataMessage& msg, std::string* error);
// True when the received data ends with its NUL.
bool CopyDataBodyValid(const std::string& data);

std::string EncodeCopyDataReply(std::int64_t result);
std::optional<std::int64_t> DecodeCopyDataReply(const std::string& bytes);

}  // namespace ql
