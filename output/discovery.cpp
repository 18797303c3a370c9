#include "output/discovery.h"

#include <QTimer>
#include <QUdpSocket>

namespace output {

namespace idn_hello {

QByteArray ScanRequest(quint16 sequence) {
    QByteArray out;
    out.append(char(kScanRequest));
    out.append(char(0));
    out.append(char(sequence >> 8));
    out.append(char(sequence & 0xFF));
    return out;
}

std::optional<QString> ScanResponseName(const QByteArray& packet) {
    constexpr int kNameAt = 4 + 4 + 16;
    constexpr int kNameSize = 20;
    if (packet.size() < kNameAt + kNameSize || quint8(packet[0]) != kScanResponse) {
        return std::nullopt;
    }
    QByteArray name = packet.mid(kNameAt, kNameSize);
    const qsizetype end = name.indexOf('\0');
    if (end >= 0) {
        name.truncate(end);
    }
    return QString::fromLatin1(name).trimmed();
}

}  // namespace idn_hello

std::optional<QString> EtherDreamBroadcastName(const QByteArray& packet) {
    // MAC address (6), hardware and software revision, buffer size, top rate, status (20).
    if (packet.size() != 36) {
        return std::nullopt;
    }
    QStringList mac;
    for (int i = 0; i < 6; ++i) {
        mac << QStringLiteral("%1").arg(quint8(packet[i]), 2, 16, QLatin1Char('0'));
    }
    return QStringLiteral("Ether Dream ") + mac.join(u':');
}

namespace {

// Lives on the discovery's thread: the two sockets, open only while a scan runs.
class Listener : public QObject {
  public:
    Listener(const DiscoveryPlaces& places, Discovery* owner) : places_(places), owner_(owner) {}

    void Scan(int ms) {
        Close();
        idn_ = new QUdpSocket(this);
        idn_->bind(places_.listen, 0);
        connect(idn_, &QUdpSocket::readyRead, this, [this] {
            Take(idn_, [this](const QByteArray& d, const QHostAddress& from) {
                if (const auto name = idn_hello::ScanResponseName(d)) {
                    Report({Protocol::Idn, from.toString(), places_.idnPort}, *name);
                }
            });
        });
        broadcasts_ = new QUdpSocket(this);
        broadcasts_->bind(places_.listen, places_.etherDreamPort,
                          QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint);
        connect(broadcasts_, &QUdpSocket::readyRead, this, [this] {
            Take(broadcasts_, [this](const QByteArray& d, const QHostAddress& from) {
                if (const auto name = EtherDreamBroadcastName(d)) {
                    Report({Protocol::EtherDream, from.toString(), kEtherDreamPort}, *name);
                }
            });
        });
        idn_->writeDatagram(idn_hello::ScanRequest(sequence_++), places_.idnScan, places_.idnPort);
        QTimer::singleShot(ms, this, [this] {
            Close();
            Q_EMIT owner_->Done();
        });
    }

  private:
    template <typename Each>
    void Take(QUdpSocket* socket, Each each) {
        while (socket->hasPendingDatagrams()) {
            QByteArray d(socket->pendingDatagramSize(), '\0');
            QHostAddress from;
            socket->readDatagram(d.data(), d.size(), &from);
            // An IPv4 sender on a dual socket comes as ::ffff:a.b.c.d.
            bool ok = false;
            const quint32 v4 = from.toIPv4Address(&ok);
            each(d, ok ? QHostAddress(v4) : from);
        }
    }
    void Report(const Target& t, const QString& name) { Q_EMIT owner_->Found(TargetText(t), name); }
    void Close() {
        delete idn_;
        delete broadcasts_;
        idn_ = broadcasts_ = nullptr;
    }

    const DiscoveryPlaces places_;
    Discovery* const owner_;
    QUdpSocket* idn_ = nullptr;
    QUdpSocket* broadcasts_ = nullptr;
    quint16 sequence_ = 0;
};

}  // namespace

Discovery::Discovery(const DiscoveryPlaces& places, QObject* parent) : QObject(parent) {
    listener_ = new Listener(places, this);
    listener_->moveToThread(&thread_);
    connect(&thread_, &QThread::finished, listener_, &QObject::deleteLater);
    thread_.setObjectName(QStringLiteral("laser discovery"));
    thread_.start();
}

Discovery::~Discovery() {
    thread_.quit();
    thread_.wait();
}

void Discovery::Scan(int ms) {
    QMetaObject::invokeMethod(
        listener_, [listener = static_cast<Listener*>(listener_), ms] { listener->Scan(ms); });
}

}  // namespace output
