// The registry of unit systems: one vector shared by every handle, released with the last one.
#include <units/UnitSystem.h>
#include <units/UnitSystemArray.h>

#include <algorithm>

#if defined(_MSC_VER)
#include <intrin.h>
#endif

namespace Orv::Pim::Core::Service::Units {

std::vector<UnitSystem*> UnitSystemArray::m_unitSystemPtrCache;
int UnitSystemArray::ref_count_ = 0;

namespace {

// Handles come and go in calls that only read the registry (UnitSystem::UnitSystems returns one),
// so threads that share a warmed-up catalogue change the count at the same time: it is changed
// atomically, which takes no lock. Returns the new count.
int AddToCount(int& count, int delta) {
#if defined(_MSC_VER)
    static_assert(sizeof(long) == sizeof(int), "the count is changed as a long");
    return static_cast<int>(
        _InterlockedExchangeAdd(reinterpret_cast<long volatile*>(&count), delta) + delta);
#else
    return __atomic_add_fetch(&count, delta, __ATOMIC_ACQ_REL);
#endif
}

} // namespace

UnitSystemArray::UnitSystemArray() {
    AddToCount(ref_count_, 1);
}

UnitSystemArray::UnitSystemArray(const UnitSystemArray&) {
    AddToCount(ref_count_, 1);
}

UnitSystemArray& UnitSystemArray::operator=(const UnitSystemArray&) {
    // Counted like a new handle, and never given back: after an assignment the count cannot fall
    // to zero, so the registered systems stay alive until the process ends.
    AddToCount(ref_count_, 1);
    return *this;
}

UnitSystemArray::~UnitSystemArray() {
    if (AddToCount(ref_count_, -1) != 0) {
        return;
    }
    // Entries pushed by a host need not be well formed: a null entry is dropped without deleting
    // anything, and a system appended more than once is deleted once, all its entries going
    // before its destructor runs.
    while (!m_unitSystemPtrCache.empty()) {
        UnitSystem* first = m_unitSystemPtrCache.front();
        m_unitSystemPtrCache.erase(
            std::remove(m_unitSystemPtrCache.begin(), m_unitSystemPtrCache.end(), first),
            m_unitSystemPtrCache.end());
        delete first;
    }
}

UnitSystem* const& UnitSystemArray::operator[](std::size_t index) const {
    return m_unitSystemPtrCache[index];
}

UnitSystem*& UnitSystemArray::operator[](std::size_t index) {
    return m_unitSystemPtrCache[index];
}

unsigned int UnitSystemArray::size() const {
    return static_cast<unsigned int>(m_unitSystemPtrCache.size());
}

UnitSystemArray::iterator UnitSystemArray::begin() {
    return m_unitSystemPtrCache.begin();
}

UnitSystemArray::iterator UnitSystemArray::end() {
    return m_unitSystemPtrCache.end();
}

UnitSystemArray::const_iterator UnitSystemArray::begin() const {
    return m_unitSystemPtrCache.cbegin();
}

UnitSystemArray::const_iterator UnitSystemArray::end() const {
    return m_unitSystemPtrCache.cend();
}

void UnitSystemArray::push_back(UnitSystem* const& unitSystem) {
    m_unitSystemPtrCache.push_back(unitSystem);
}

void UnitSystemArray::erase(iterator position) {
    m_unitSystemPtrCache.erase(position);
}

} // namespace Orv::Pim::Core::Service::Units
