#include "pictures/builtin_picture.h"

#include <QtEndian>
#include <initializer_list>

namespace pictures {

namespace {

class WmfBuilder {
  public:
    void record(quint16 function, std::initializer_list<qint16> params) {
        put32(quint32(3 + params.size()));
        put16(quint16(function));
        for (qint16 p : params) {
            put16(quint16(p));
        }
    }
    QByteArray finish(qint16 width, qint16 height, quint16 unitsPerInch) {
        record(0x0000, {});
        QByteArray file;
        auto put = [&file](auto v) {
            char b[sizeof v];
            qToLittleEndian(v, b);
            file.append(b, sizeof v);
        };
        // Placeable header: key, handle, box, units per inch, reserved, checksum.
        const quint16 head[] = {0xCDD7,          0x9AC6,       0, 0, 0, quint16(width),
                                quint16(height), unitsPerInch, 0, 0};
        quint16 sum = 0;
        for (quint16 h : head) {
            sum ^= h;
            put(h);
        }
        put(sum);
        // Standard header: disk file, 9 words, version 3.0, size, objects, largest record.
        put(quint16(1));
        put(quint16(9));
        put(quint16(0x0300));
        put(quint32(9 + body_.size() / 2));
        put(quint16(2));
        put(quint32(8));
        put(quint16(0));
        file.append(body_);
        return file;
    }

  private:
    void put16(quint16 v) {
        char b[2];
        qToLittleEndian(v, b);
        body_.append(b, 2);
    }
    void put32(quint32 v) {
        put16(quint16(v & 0xFFFF));
        put16(quint16(v >> 16));
    }
    QByteArray body_;
};

}  // namespace

QByteArray BuiltInPicture() {
    // A soft target: concentric rings and a cross on a pale square, in greys and blue.
    WmfBuilder b;
    constexpr qint16 kSize = 1000;
    b.record(0x0103, {8});                         // SETMAPMODE anisotropic
    b.record(0x020B, {0, 0});                      // SETWINDOWORG
    b.record(0x020C, {kSize, kSize});              // SETWINDOWEXT
    b.record(0x02FC, {0, -0x0C0D, 0x00F0, 0});     // CREATEBRUSHINDIRECT solid 0xF0F3F3
    b.record(0x02FA, {0, 6, 0, -0x2F40, 0x00B0});  // CREATEPENINDIRECT solid 6, 0xB0D0C0
    b.record(0x012D, {0});                         // SELECTOBJECT brush
    b.record(0x012D, {1});                         // SELECTOBJECT pen
    b.record(0x041B, {960, 960, 40, 40});          // RECTANGLE
    b.record(0x01F0, {0});                         // DELETEOBJECT brush
    b.record(0x02FC, {1, 0, 0, 0});                // CREATEBRUSHINDIRECT hollow
    b.record(0x012D, {0});
    for (qint16 r : {400, 300, 200, 100}) {
        b.record(0x0418, {qint16(500 + r), qint16(500 + r), qint16(500 - r), qint16(500 - r)});
    }
    b.record(0x0214, {500, 60});   // MOVETO
    b.record(0x0213, {500, 940});  // LINETO
    b.record(0x0214, {60, 500});
    b.record(0x0213, {940, 500});
    return b.finish(kSize, kSize, 1000);
}

}  // namespace pictures
