// Finding lasers on the network, only when asked: an IDN-Hello scan request (answered by each
// IDN unit with its name) and the Ether Dream's broadcasts (each DAC sends one a second),
// listened to for a while. On a thread of its own, like the links.
#pragma once

#include <QHostAddress>
#include <QObject>
#include <QThread>

#include "output/frame.h"

namespace output {

// Where the scan goes and where the broadcasts are listened for; the window uses the network's
// broadcast address and the protocols' ports, the tests their own on 127.0.0.1.
struct DiscoveryPlaces {
    QHostAddress idnScan = QHostAddress(QHostAddress::Broadcast);
    quint16 idnPort = kIdnPort;
    QHostAddress listen = QHostAddress(QHostAddress::AnyIPv4);
    quint16 etherDreamPort = kEtherDreamBroadcastPort;
};

namespace idn_hello {
inline constexpr quint8 kScanRequest = 0x10;
inline constexpr quint8 kScanResponse = 0x11;
QByteArray ScanRequest(quint16 sequence);
// The unit's name in a scan response (header, then structure size, version, status, a reserved
// byte, the 16-byte unit ID and the 20-byte name); nothing when the packet is not one.
std::optional<QString> ScanResponseName(const QByteArray& packet);
}  // namespace idn_hello

// The name of an Ether Dream from its broadcast (its MAC address first); nothing when the
// packet is not one.
std::optional<QString> EtherDreamBroadcastName(const QByteArray& packet);

class Discovery : public QObject {
    Q_OBJECT
  public:
    explicit Discovery(const DiscoveryPlaces& places = {}, QObject* parent = nullptr);
    ~Discovery() override;

    // Sends the scan and listens for `ms` milliseconds; `Found` for each device, then `Done`.
    void Scan(int ms);

  Q_SIGNALS:
    // The device as TargetText gives it, and its name.
    void Found(const QString& target, const QString& name);
    void Done();

  private:
    QThread thread_;
    QObject* listener_ = nullptr;
};

}  // namespace output
