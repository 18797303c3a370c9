// An IDN-Hello scan reply as the search reads it, from any host on the network: a unit's name
// comes only from a reply of its command long enough to hold one, at most its 20 characters,
// without a NUL, and the device it names reads back from its text.
#include <QHostAddress>

#include "fuzz/fuzz_support.h"
#include "output/discovery.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray packet(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::optional<QString> name = output::idn_hello::ScanResponseName(packet);
    // Header (4), structure size, version, status, reserved, unit ID (16), name (20).
    fuzzing::Require(
        name.has_value() == (size >= 44 && data[0] == output::idn_hello::kScanResponse),
        "a name from a scan reply of 44 bytes or more only");
    if (name) {
        fuzzing::Require(name->size() <= 20 && !name->contains(QChar(0)),
                         "a name of at most 20 characters, without a NUL");
    }
    // The sender's address, as any packet may come from any host.
    if (size >= 16) {
        Q_IPV6ADDR address;
        std::copy(data, data + 16, address.c);
        const output::Target unit{output::Protocol::Idn, QHostAddress(address).toString(),
                                  output::kIdnPort};
        fuzzing::Require(output::ParseTarget(output::TargetText(unit)) == unit,
                         "the device found reads back from its text");
    }
    return 0;
}
