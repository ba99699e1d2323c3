#include <units/interfaces/ConverterEngine.h>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using Orv::Pim::Core::Service::Units::Converter::CompositeUnitConverter;
using Orv::Pim::Core::Service::Units::Converter::e_CompositeEngine;
using Orv::Pim::Core::Service::Units::Converter::IUnitConverterEngine;
using Orv::Pim::Core::Service::Units::Converter::LinearUnitConverter;

// An engine that counts live instances, so tests can see what a composite owns and destroys.
class CountingEngine final : public IUnitConverterEngine {
public:
    static int s_live;

    explicit CountingEngine(double add) : IUnitConverterEngine(100), m_add(add) { ++s_live; }
    CountingEngine(const CountingEngine& other) : IUnitConverterEngine(other), m_add(other.m_add) {
        ++s_live;
    }
    ~CountingEngine() override { --s_live; }

    std::unique_ptr<IUnitConverterEngine> Clone() override {
        return std::make_unique<CountingEngine>(*this);
    }
    void Convert(std::vector<double>& values) override {
        for (double& v : values) {
            v += m_add;
        }
    }
    void Convert(std::vector<float>& values) override {
        for (float& v : values) {
            v += static_cast<float>(m_add);
        }
    }
    double Convert(double value) override { return value + m_add; }
    float Convert(float value) override { return value + static_cast<float>(m_add); }
    bool IsUnity() override { return m_add == 0.0; }
    bool IsInvertible() override { return true; }
    std::unique_ptr<IUnitConverterEngine> GetInverse() override {
        return std::make_unique<CountingEngine>(-m_add);
    }

    double m_add;
};

int CountingEngine::s_live = 0;

TEST(CompositeUnitConverter, AppliesFirstThenSecond) {
    LinearUnitConverter doubling(2.0, 0.0);
    CompositeUnitConverter composite(&doubling, new CountingEngine(1.0));
    EXPECT_EQ(composite.m_eType, e_CompositeEngine);
    EXPECT_EQ(composite.First(), &doubling);
    // 2 * 5 + 1; the other order would give 2 * (5 + 1).
    EXPECT_EQ(composite.Convert(5.0), 11.0);
    EXPECT_EQ(composite.Convert(5.0f), 11.0f);
    std::vector<double> values{0.0, 5.0};
    composite.Convert(values);
    EXPECT_EQ(values, (std::vector<double>{1.0, 11.0}));
    std::vector<float> floats{0.0f, 5.0f};
    composite.Convert(floats);
    EXPECT_EQ(floats, (std::vector<float>{1.0f, 11.0f}));
}

TEST(CompositeUnitConverter, OwnsItsSecondEngineAndBorrowsItsFirst) {
    CountingEngine::s_live = 0;
    {
        CountingEngine first(1.0);
        {
            CompositeUnitConverter composite(&first, new CountingEngine(2.0));
            EXPECT_EQ(CountingEngine::s_live, 2);
        }
        EXPECT_EQ(CountingEngine::s_live, 1); // second destroyed, first left alone
        EXPECT_EQ(first.Convert(0.0), 1.0);
    }
    EXPECT_EQ(CountingEngine::s_live, 0);
}

TEST(CompositeUnitConverter, CloneNeverSharesTheOwnedEngine) {
    CountingEngine::s_live = 0;
    LinearUnitConverter first(3.0, 0.0);
    auto source = std::make_unique<CompositeUnitConverter>(&first, new CountingEngine(1.0));
    std::unique_ptr<IUnitConverterEngine> clone = source->Clone();
    ASSERT_NE(clone, nullptr);
    auto* cloned = static_cast<CompositeUnitConverter*>(clone.get());
    EXPECT_EQ(cloned->First(), &first);
    EXPECT_NE(cloned->Second(), source->Second());
    EXPECT_EQ(CountingEngine::s_live, 2);
    source.reset(); // would leave the clone dangling if it shared the second engine
    EXPECT_EQ(clone->Convert(2.0), 7.0);
}

TEST(CompositeUnitConverter, InverseRunsBackwardsAndOwnsBothParts) {
    CountingEngine::s_live = 0;
    LinearUnitConverter first(2.0, 0.0);
    std::unique_ptr<IUnitConverterEngine> inverse;
    {
        CompositeUnitConverter composite(&first, new CountingEngine(1.0));
        ASSERT_TRUE(composite.IsInvertible());
        inverse = composite.GetInverse();
        ASSERT_NE(inverse, nullptr);
    }
    // (11 - 1) / 2; undoing the parts in the wrong order would give 11 / 2 - 1.
    EXPECT_EQ(inverse->Convert(11.0), 5.0);
    EXPECT_EQ(CountingEngine::s_live, 1);

    // Its clone copies both owned engines; the source can go first.
    std::unique_ptr<IUnitConverterEngine> clone = inverse->Clone();
    EXPECT_EQ(CountingEngine::s_live, 2);
    auto* owner = static_cast<CompositeUnitConverter*>(inverse.get());
    auto* copy = static_cast<CompositeUnitConverter*>(clone.get());
    EXPECT_NE(copy->First(), owner->First());
    EXPECT_NE(copy->Second(), owner->Second());
    inverse.reset();
    EXPECT_EQ(clone->Convert(11.0), 5.0);
    EXPECT_EQ(clone->GetInverse()->Convert(5.0), 11.0);
    clone.reset();
    EXPECT_EQ(CountingEngine::s_live, 0);
}

TEST(CompositeUnitConverter, IsInvertibleOnlyWhenBothPartsAre) {
    LinearUnitConverter flat(0.0, 1.0);
    LinearUnitConverter fine(2.0, 0.0);
    CompositeUnitConverter flatFirst(&flat, new LinearUnitConverter(2.0, 0.0));
    CompositeUnitConverter flatSecond(&fine, new LinearUnitConverter(0.0, 1.0));
    CompositeUnitConverter bothFine(&fine, new LinearUnitConverter(4.0, 0.0));
    EXPECT_FALSE(flatFirst.IsInvertible());
    EXPECT_EQ(flatFirst.GetInverse(), nullptr);
    EXPECT_FALSE(flatSecond.IsInvertible());
    EXPECT_EQ(flatSecond.GetInverse(), nullptr);
    EXPECT_TRUE(bothFine.IsInvertible());
}

TEST(CompositeUnitConverter, IsUnityWhenBothPartsAre) {
    LinearUnitConverter unity(1.0, 0.0);
    LinearUnitConverter doubling(2.0, 0.0);
    EXPECT_TRUE(CompositeUnitConverter(&unity, new LinearUnitConverter(1.0, 0.0)).IsUnity());
    EXPECT_FALSE(CompositeUnitConverter(&unity, new LinearUnitConverter(2.0, 0.0)).IsUnity());
    EXPECT_FALSE(CompositeUnitConverter(&doubling, new LinearUnitConverter(1.0, 0.0)).IsUnity());
}

} // namespace
