// The safe ways to release what the library keeps raw pointers to, as the README's "Lifetimes"
// section states them: each step here would leave a dangling pointer if done the other way round.
#include "OrvTesting.h"

using namespace Orv::Pim::Core::Service::Units;
using namespace orv_testing;

namespace {

TEST(Lifetimes, ASecondReaderIsRegisteredBeforeTheFirstGoesAndOnlyAnswersMisses) {
    Unit* ft = U("ft"); // built from the test catalogue
    auto second = std::make_unique<Reader::InMemoryUnitReader>();
    AddTestCatalogue(*second);
    second->AddUnit("yd", "yard", "Length", 0.9144);
    UnitService::UnitReader(second.get());
    EXPECT_EQ(Unit::GetUnit("ft"), ft);
    EXPECT_EQ(UnitConverter::Convert(1.0, Unit::GetUnit("yd"), U("m")), 0.9144);
    // The first reader may go only now; the second stays registered until the process ends.
    static const auto kept = std::move(second);
}

TEST(Lifetimes, TheCurrentSystemIsReplacedBeforeItIsDeletedAndAChildGoesBeforeItsParent) {
    Catalogue();
    auto parent = std::make_unique<LocalUnitSystem>("Site", UnitSystem::GetUnitSystem("Imperial"));
    auto child = std::make_unique<LocalUnitSystem>("Well", parent.get());
    child->SetUnitOfMeasurement(M("Depth"), U("m"));
    UnitService::SetUnitSystem(child.get());
    EXPECT_EQ(M("Length")->CurrentUnit(), U("ft"));
    UnitService::SetUnitSystem(nullptr);
    child.reset();
    parent.reset();
    EXPECT_EQ(M("Length")->CurrentUnit(), U("m")); // Metric again
}

TEST(Lifetimes, AHandlerLeavesDeletingAndSettingSystemsUntilTheRaisingCallReturns) {
    Catalogue();
    auto local = std::make_unique<LocalUnitSystem>("Site", UnitSystem::GetUnitSystem("Metric"));
    UnitSystem* wanted = nullptr;
    int raised = 0;
    local->m_LocalUnitSystemChanged.Subscribe([&](const auto&) { wanted = local.get(); });
    UnitService::m_CurrentUnitSystemChanged.Subscribe([&](const auto&) { ++raised; });
    local->SetUnitOfMeasurement(M("Depth"), U("ft"));
    // Only now, after the raising call: make the system current, then drop it.
    UnitService::SetUnitSystem(wanted);
    EXPECT_EQ(M("Depth")->CurrentUnit(), U("ft"));
    UnitService::SetUnitSystem(nullptr);
    local.reset();
    EXPECT_EQ(raised, 2);
}

} // namespace
