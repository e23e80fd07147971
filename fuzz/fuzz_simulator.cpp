// The simulated shoe and transmitter fed any bytes through their public
// interface, in any chunks, with reads, purges and re-plugs in between: reads
// never give more than asked or queued, and the transmitter's own replies
// always carry its whole image and information text.
#include <fuzzer/FuzzedDataProvider.h>

#include <vector>

#include "device/framing.h"
#include "fuzz/check.h"
#include "sim/transmitter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using kestrin::sim::Simulator;
    FuzzedDataProvider in(data, size);
    Simulator sim;
    std::vector<uint8_t> buf;
    while (in.remaining_bytes() > 0) {
        const Simulator::DeviceRef dev = in.ConsumeBool() ? Simulator::kShoe : Simulator::kCable;
        switch (in.ConsumeIntegralInRange(0, 7)) {
            case 0:
                sim.PurgeReceive(dev);
                break;
            case 1:
                sim.Plug(dev, in.ConsumeBool());
                break;
            case 2: {
                const std::size_t n = in.ConsumeIntegralInRange<std::size_t>(0, 2048);
                const std::size_t queued = sim.Queued(dev);
                buf.assign(n, 0);
                const std::size_t got = sim.Read(dev, buf.data(), n);
                FUZZ_CHECK(got <= n && got <= queued);
                FUZZ_CHECK(sim.Queued(dev) == (sim.Plugged(dev) ? queued - got : queued));
                break;
            }
            default: {
                const std::vector<uint8_t> chunk =
                    in.ConsumeBytes<uint8_t>(in.ConsumeIntegralInRange<std::size_t>(0, 600));
                const auto r = sim.Write(dev, chunk.data(), chunk.size());
                FUZZ_CHECK(r.accepted <= chunk.size());
                FUZZ_CHECK(!r.ok || r.accepted == chunk.size());
                break;
            }
        }
    }
    const auto image = kestrin::ExtractImage(sim.ImageReply());
    FUZZ_CHECK(image && std::equal(image->begin(), image->end(), sim.Image().raw));
    return 0;
}
