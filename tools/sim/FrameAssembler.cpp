#include "tools/sim/FrameAssembler.h"

#include <utility>

#include "tools/sim/BoardReplies.h"

namespace board {

namespace {
constexpr std::size_t kIdentifyLength = 4;
constexpr std::size_t kRowHeaderLength = 5;  // command, 3 address bytes, length
}  // namespace

std::optional<std::vector<std::uint8_t>> FrameAssembler::Feed(std::uint8_t byte) {
    partial_.push_back(byte);
    if (partial_.size() < ExpectedLength()) return std::nullopt;
    return std::exchange(partial_, {});
}

std::vector<std::uint8_t> FrameAssembler::Discard() {
    return std::exchange(partial_, {});
}

std::size_t FrameAssembler::ExpectedLength() const {
    switch (partial_.front()) {
        case bootproto::kIdentify:
            return kIdentifyLength;
        case bootproto::kWriteRow:
            return partial_.size() < kRowHeaderLength
                       ? kRowHeaderLength
                       : kRowHeaderLength + partial_[kRowHeaderLength - 1];
        default:
            return 1;
    }
}

}  // namespace board
