// The engines' own behaviour: the linear engine of plain doubles, the composite, and the
// rational engine of reciprocal units.
#include <units/converter/Engines.h>
#include <units/converter/ExactEngines.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <thread>
#include <vector>

namespace {

using namespace Orv::Pim::Core::Service::Units::Converter;

// Scale before offset: (x + offset) * scale would give other numbers; and second(first(x)), not
// first(second(x)), for a composition, which leaves its parts alone.
TEST(LinearUnitConverter, AppliesScaleThenOffsetAndComposesFirstThenSecond) {
    LinearUnitConverter first(2.0, 1.0);
    LinearUnitConverter second(10.0, 5.0);
    LinearUnitConverter both(&first, &second);
    double scale = 0.0;
    double offset = 0.0;
    both.GetScaleAndOffset(scale, offset);

    EXPECT_EQ(first.m_eType, e_LinearEngine);
    EXPECT_EQ(first.Convert(3.0), 7.0);
    EXPECT_EQ(both.Convert(3.0), 75.0);
    EXPECT_EQ(scale, 20.0);
    EXPECT_EQ(offset, 15.0);
    EXPECT_EQ(second.Convert(3.0), 35.0);
}

TEST(LinearUnitConverter, InvertsOnlyAFiniteNonZeroScale) {
    LinearUnitConverter degCToDegF(1.8, 32.0);
    std::unique_ptr<IUnitConverterEngine> inverse = degCToDegF.GetInverse();
    ASSERT_NE(inverse, nullptr);
    EXPECT_EQ(inverse->m_eType, e_LinearEngine);
    for (double x : {-1e6, -40.0, 0.1, 100.0, 7e9}) {
        EXPECT_NEAR(inverse->Convert(degCToDegF.Convert(x)), x, 1e-12 * (1.0 + std::fabs(x)));
    }
    const double inf = std::numeric_limits<double>::infinity();
    for (double scale : {0.0, -0.0, inf, -inf, std::numeric_limits<double>::quiet_NaN()}) {
        EXPECT_EQ(LinearUnitConverter(scale, 1.0).GetInverse(), nullptr) << scale;
    }
    EXPECT_NE(LinearUnitConverter(1e-300, 0.0).GetInverse(), nullptr);
}

// Engines made in place, as a one-value conversion makes them on the stack, convert exactly as
// those from GetInverse and the two-engine fold do: exact and plain engines, the identity (a base
// unit's engine) on either side, offsets, and an offset without an exact map.
TEST(LinearUnitConverter, MakesInversesAndFoldsInPlaceThatConvertAsTheHeapOnesDo) {
    const double inf = std::numeric_limits<double>::infinity();
    std::vector<std::unique_ptr<LinearUnitConverter>> engines;
    engines.push_back(MakeExactLinear("1"));
    engines.push_back(MakeExactLinear("0.3048"));
    engines.push_back(MakeExactLinear("1", "273.15"));
    engines.push_back(MakeExactLinear("0.5555555555555555555555", "255.3722222222222222222"));
    engines.push_back(std::make_unique<LinearUnitConverter>(1.8, 32.0));
    engines.push_back(std::make_unique<LinearUnitConverter>(3.0, inf));
    const auto same = [](double a, double b) {
        return std::memcmp(&a, &b, sizeof a) == 0 || (std::isnan(a) && std::isnan(b));
    };
    for (auto& second : engines) {
        std::unique_ptr<IUnitConverterEngine> heapInverse = second->GetInverse();
        LinearUnitConverter inverse(LinearUnitConverter::InverseOf{}, *second);
        for (auto& first : engines) {
            LinearUnitConverter heapFold(first.get(),
                                         static_cast<LinearUnitConverter*>(heapInverse.get()));
            LinearUnitConverter fold(first.get(), LinearUnitConverter::InverseOf{}, second.get());
            for (double x : {-40.0, -0.0, 0.1, 12.5, 1e300, 7e-310}) {
                EXPECT_TRUE(same(inverse.Convert(x), heapInverse->Convert(x))) << x;
                EXPECT_TRUE(same(fold.Convert(x), heapFold.Convert(x))) << x;
                EXPECT_TRUE(same(fold.Convert(static_cast<float>(x)),
                                 heapFold.Convert(static_cast<float>(x))))
                    << x;
            }
        }
    }
}

// The memory of linear engines is recycled per thread. One made on a thread still works after the
// thread has ended, and may be destroyed on another; a block freed twice would stop the program.
TEST(LinearUnitConverter, EnginesOutliveTheThreadsThatMadeThem) {
    std::unique_ptr<LinearUnitConverter> feet = MakeExactLinear("0.3048");
    std::vector<std::unique_ptr<IUnitConverterEngine>> handedOver;
    std::thread maker([&] {
        for (int i = 0; i < 50; ++i) {
            std::unique_ptr<IUnitConverterEngine> inverse = feet->GetInverse();
            handedOver.push_back(std::make_unique<LinearUnitConverter>(
                feet.get(), static_cast<LinearUnitConverter*>(inverse.get())));
        }
    });
    maker.join();
    std::thread([&] { handedOver.resize(10); }).join();
    for (const auto& engine : handedOver) {
        EXPECT_EQ(engine->Convert(1.0), 1.0);
    }
}

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

// Destroying the source would leave a clone dangling if the two shared the second engine; a
// clone that copied the borrowed first engine would leak it.
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
    inverse.reset();
    EXPECT_EQ(clone->Convert(11.0), 5.0);
    EXPECT_EQ(clone->GetInverse()->Convert(5.0), 11.0);
    clone.reset();
    EXPECT_EQ(CountingEngine::s_live, 0);
}

TEST(CompositeUnitConverter, IsUnityOrInvertibleOnlyWhenBothPartsAre) {
    LinearUnitConverter unity(1.0, 0.0);
    LinearUnitConverter flat(0.0, 1.0);
    EXPECT_TRUE(CompositeUnitConverter(&unity, new LinearUnitConverter(1.0, 0.0)).IsUnity());
    EXPECT_FALSE(CompositeUnitConverter(&unity, new LinearUnitConverter(2.0, 0.0)).IsUnity());
    EXPECT_EQ(CompositeUnitConverter(&flat, new LinearUnitConverter(2.0, 0.0)).GetInverse(),
              nullptr);
    EXPECT_EQ(CompositeUnitConverter(&unity, new LinearUnitConverter(0.0, 1.0)).GetInverse(),
              nullptr);
}

// A gravity scale, specific gravity = 141.5 / (131.5 + x), inverts to x = (141.5 - 131.5 y) / y;
// a clone and an assigned copy outlive their source.
TEST(RationalUnitConverter, InvertsAndCopiesExactly) {
    std::unique_ptr<IUnitConverterEngine> gravity = MakeExactEngine({"141.5", "0", "131.5", "1"});
    std::unique_ptr<IUnitConverterEngine> inverse = gravity->GetInverse();
    RationalUnitConverter copy(ExactDefinition{"1", "0", "0", "1"});
    copy = static_cast<RationalUnitConverter&>(*gravity->Clone());
    gravity.reset();
    std::vector<double> values{10.0, -3.0};
    copy.Convert(values);

    EXPECT_EQ(inverse->m_eType, e_RationalEngine);
    EXPECT_EQ(inverse->Convert(1.0), 10.0);
    EXPECT_EQ(copy.Convert(10.0f), 1.0f);
    EXPECT_EQ(values, (std::vector<double>{1.0, 141.5 / 128.5}));
}

} // namespace
