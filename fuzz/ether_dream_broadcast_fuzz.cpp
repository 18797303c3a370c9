// An Ether Dream's broadcast as the search reads it, from any host on the network: a DAC's name
// comes only from a packet of the broadcast's 36 bytes, and is its MAC address in hex.
#include <QRegularExpression>

#include "fuzz/fuzz_support.h"
#include "output/discovery.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray packet(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::optional<QString> name = output::EtherDreamBroadcastName(packet);
    fuzzing::Require(name.has_value() == (size == 36), "a name from a broadcast of 36 bytes only");
    if (name) {
        static const QRegularExpression mac(
            QStringLiteral("^Ether Dream [0-9a-f]{2}(:[0-9a-f]{2}){5}$"));
        fuzzing::Require(mac.match(*name).hasMatch(), "the name is the MAC address in hex");
    }
    return 0;
}
