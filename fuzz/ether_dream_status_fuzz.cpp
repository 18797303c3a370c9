// The Ether Dream's answers as the sender reads them from its connection, 22 bytes each, every
// field the DAC's word: each decodes and encodes back to its bytes, and the flow of points
// worked from them stays sane whatever they say: a data command never holds more points than
// the buffer is taken to have room for, nor fewer than the least worth sending; what the buffer
// is taken to hold after a NAK-full never grows and never drops below that least; every wait is
// between a millisecond and a minute.
#include "fuzz/fuzz_support.h"
#include "output/ether_dream.h"

namespace ed = output::ether_dream;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray stream(reinterpret_cast<const char*>(data), qsizetype(size));
    int capacity = ed::kSmallestBuffer - 1;
    int sent = 0;
    for (qsizetype at = 0; at + ed::kResponseSize <= stream.size(); at += ed::kResponseSize) {
        const QByteArray bytes = stream.mid(at, ed::kResponseSize);
        const std::optional<ed::Response> r = ed::DecodeResponse(bytes);
        fuzzing::Require(r.has_value() && ed::EncodeResponse(*r) == bytes,
                         "an answer decodes and encodes back to its bytes");
        const int fullness = r->status.bufferFullness;
        // The stream's rate is the sender's own; the DAC's word stands for any rate here.
        const int rate = int(r->status.pointRate % 200'000);
        if (r->answer == 'F') {
            const int before = capacity;
            capacity = ed::CapacityAfterFull(capacity, fullness, sent);
            fuzzing::Require(
                capacity <= std::max(before, ed::kLeastData) && capacity >= ed::kLeastData,
                "a NAK-full never makes the buffer larger, nor smaller than the least");
        }
        sent = ed::Room(capacity, fullness, rate, 80);
        fuzzing::Require(sent == 0 || (sent >= ed::kLeastData && sent <= capacity - fullness),
                         "a data command fits the room, and is worth sending");
        const int wait = ed::PlayMs(fullness, rate);
        fuzzing::Require(wait >= 1 && wait <= 60'000, "a wait between a millisecond and a minute");
    }
    fuzzing::Require(
        ed::DecodeResponse(stream.right(stream.size() % ed::kResponseSize)) == std::nullopt,
        "a part of an answer is not read");
    return 0;
}
