// Streams a known cycle of 100 points to the Ether Dream at ETHER_ADDRESS (HOST:PORT) with the
// npm sender @laser-dac/ether-dream, at RATE points per second for SECONDS, then stops it with
// its stop command and exits. Usage: node stream.js RATE SECONDS
'use strict';
const { EtherDream } = require('@laser-dac/ether-dream');

const [host, port] = process.env.ETHER_ADDRESS.split(':');
const rate = Number(process.argv[2]);
const seconds = Number(process.argv[3]);

// Point k of the cycle; the test computes the same numbers on its side.
function point(k) {
  return {
    control: 0,
    x: k * 600 - 30000,
    y: 20000 - k * 400,
    r: (k * 2621) % 65536,
    g: (k * 1000 + 7) % 65536,
    b: 65535 - k * 600,
    i: 65535,
  };
}

let next = 0;
(async () => {
  const conn = await EtherDream.connect(host, Number(port));
  if (!conn) {
    process.exit(2);
  }
  conn.streamPoints(rate, (count, callback) => {
    const points = [];
    for (let n = 0; n < count; n++) {
      points.push(point(next % 100));
      next++;
    }
    callback(points);
  });
  setTimeout(() => {
    conn.sendStop(() => {
      conn.close();
      process.exit(0);
    });
  }, seconds * 1000);
})();
