#include <units/converter/Engines.h>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using Orv::Pim::Core::Service::Units::Converter::CompositeUnitConverter;
using Orv::Pim::Core::Service::Units::Converter::e_CompositeEngine;
using Orv::Pim::Core::Service::Units::Converter::IUnitConverterEngine;
using Orv::Pim::Core::Service::Units::Converter::LinearUnitConverter;

// An engine that adds a number and counts its live instances, so that tests can see what a
// composite owns and destroys.
class CountingEngine final : public IUnitConverterEngine {
public:
    static int s_live;

    explicit CountingEngine(double add) : IUnitConverterEngine(100), m_add(add) { ++s_live; }
    CountingEngine(const CountingEngine& other) : CountingEngine(other.m_add) {}
    ~CountingEngine() override { --s_live; }

    std::unique_ptr<IUnitConverterEngine> Clone() override {
        return std::make_unique<CountingEngine>(*this);
    }
    void Convert(std::vector<double>& values) override { Add(values); }
    void Convert(std::vector<float>& values) override { Add(values); }
    double Convert(double value) override { return value + m_add; }
    float Convert(float value) override { return value + static_cast<float>(m_add); }
    bool IsUnity() override { return m_add == 0.0; }
    bool IsInvertible() override { return true; }
    std::unique_ptr<IUnitConverterEngine> GetInverse() override {
        return std::make_unique<CountingEngine>(-m_add);
    }

private:
    template <typename T>
    void Add(std::vector<T>& values) {
        for (T& value : values) {
            value += static_cast<T>(m_add);
        }
    }

    double m_add;
};

int CountingEngine::s_live = 0;

// 2 * 5 + 1; the other order would give 2 * (5 + 1).
TEST(CompositeUnitConverter, AppliesFirstThenSecondInEveryForm) {
    LinearUnitConverter doubling(2.0, 0.0);
    CompositeUnitConverter composite(&doubling, new CountingEngine(1.0));
    std::vector<double> values{0.0, 5.0};
    std::vector<float> floats{0.0f, 5.0f};

    composite.Convert(values);
    composite.Convert(floats);

    EXPECT_EQ(composite.m_eType, e_CompositeEngine);
    EXPECT_EQ(composite.Convert(5.0), 11.0);
    EXPECT_EQ(composite.Convert(5.0f), 11.0f);
    EXPECT_EQ(values, (std::vector<double>{1.0, 11.0}));
    EXPECT_EQ(floats, (std::vector<float>{1.0f, 11.0f}));
}

// Destroying the source would leave a clone dangling if the two shared the second engine.
TEST(CompositeUnitConverter, OwnsItsSecondEngineBorrowsItsFirstAndNeverSharesThemWithAClone) {
    CountingEngine::s_live = 0;
    {
        CountingEngine first(1.0);
        auto source = std::make_unique<CompositeUnitConverter>(&first, new CountingEngine(2.0));
        std::unique_ptr<IUnitConverterEngine> clone = source->Clone();
        EXPECT_EQ(static_cast<CompositeUnitConverter&>(*clone).First(), &first);
        EXPECT_EQ(CountingEngine::s_live, 3);
        source.reset();
        EXPECT_EQ(CountingEngine::s_live, 2);
        EXPECT_EQ(clone->Convert(0.0), 3.0);
        clone.reset();
        EXPECT_EQ(CountingEngine::s_live, 1); // the borrowed first engine is left alone
    }
    EXPECT_EQ(CountingEngine::s_live, 0);
}

// (11 - 1) / 2; undoing the parts in the wrong order would give 11 / 2 - 1. The inverse owns
// both its parts, and its clone copies both.
TEST(CompositeUnitConverter, InverseRunsBackwardsAndOwnsBothParts) {
    CountingEngine::s_live = 0;
    LinearUnitConverter first(2.0, 0.0);
    std::unique_ptr<IUnitConverterEngine> inverse =
        CompositeUnitConverter(&first, new CountingEngine(1.0)).GetInverse();
    ASSERT_NE(inverse, nullptr);
    EXPECT_EQ(inverse->Convert(11.0), 5.0);
    EXPECT_EQ(CountingEngine::s_live, 1);

    std::unique_ptr<IUnitConverterEngine> clone = inverse->Clone();
    EXPECT_EQ(CountingEngine::s_live, 2);
    EXPECT_NE(static_cast<CompositeUnitConverter&>(*clone).First(),
              static_cast<CompositeUnitConverter&>(*inverse).First());
    inverse.reset();
    EXPECT_EQ(clone->Convert(11.0), 5.0);
    EXPECT_EQ(clone->GetInverse()->Convert(5.0), 11.0);
    clone.reset();
    EXPECT_EQ(CountingEngine::s_live, 0);
}

TEST(CompositeUnitConverter, IsUnityOrInvertibleOnlyWhenBothPartsAre) {
    LinearUnitConverter unity(1.0, 0.0);
    LinearUnitConverter flat(0.0, 1.0);
    CompositeUnitConverter unityTwice(&unity, new LinearUnitConverter(1.0, 0.0));
    CompositeUnitConverter unityFirst(&unity, new LinearUnitConverter(2.0, 0.0));
    CompositeUnitConverter flatFirst(&flat, new LinearUnitConverter(1.0, 0.0));
    CompositeUnitConverter flatSecond(&unity, new LinearUnitConverter(0.0, 1.0));

    EXPECT_TRUE(unityTwice.IsUnity());
    EXPECT_FALSE(unityFirst.IsUnity());
    EXPECT_FALSE(flatFirst.IsUnity());
    EXPECT_TRUE(unityFirst.IsInvertible());
    for (CompositeUnitConverter* composite : {&flatFirst, &flatSecond}) {
        EXPECT_FALSE(composite->IsInvertible());
        EXPECT_EQ(composite->GetInverse(), nullptr);
    }
}

} // namespace
