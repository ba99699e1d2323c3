// Linear engines recycle their memory per thread. An engine may still be made on one thread and
// destroyed on another, or destroyed after the thread that made it has ended; the sanitizer and
// leak-checking runs of this test catch a block freed twice, lost, or used after it was freed.
#include <units/converter/Engines.h>
#include <units/converter/ExactEngines.h>

#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

namespace {

using namespace Orv::Pim::Core::Service::Units::Converter;

TEST(LinearUnitConverter, EnginesOutliveTheThreadsThatMadeOrFreedThem) {
    std::unique_ptr<LinearUnitConverter> feet = MakeExactLinear("0.3048");
    std::vector<std::unique_ptr<IUnitConverterEngine>> handedOver;
    std::thread maker([&] {
        for (int i = 0; i < 50; ++i) {
            // Made and freed here, so the thread's cache fills; some are kept for later.
            std::unique_ptr<IUnitConverterEngine> inverse = feet->GetInverse();
            auto engine = std::make_unique<LinearUnitConverter>(
                feet.get(), static_cast<LinearUnitConverter*>(inverse.get()));
            EXPECT_EQ(engine->Convert(2.0), 2.0);
            if (i % 5 == 0) {
                handedOver.push_back(std::move(engine));
            }
        }
    });
    maker.join();
    // The engines made on the ended thread still work, and are freed on this one.
    ASSERT_EQ(handedOver.size(), 10u);
    for (const auto& engine : handedOver) {
        EXPECT_EQ(engine->Convert(1.0), 1.0);
    }
    std::thread freer([&] { handedOver.clear(); });
    freer.join();
    EXPECT_EQ(feet->GetInverse()->Convert(0.3048), 1.0);
}

} // namespace
