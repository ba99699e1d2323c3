// The converter library's linear and composite engines, the two kinds of engine that a
// `UnitConverter` composes.
#pragma once

#include <units/converter/ConverterExport.h>
#include <units/interfaces/ConverterEngine.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace Orv::Pim::Core::Service::Units::Converter {

// The exact definitions behind engines made from units/converter/ExactEngines.h.
namespace Detail {
class ExactMap;
struct ExactAccess;

/// How a linear engine keeps its exact definition `(a + b*x) / (c + d*x)`: four integers in
/// place while they are small, so that copies, inverses and compositions allocate nothing more,
/// or else a shared form of any size. Only the converter library reads it.
struct ExactRef {
    enum Kind : std::uint8_t { e_None, e_Small, e_Big };
    Kind kind = e_None;
    std::int64_t small[4] = {0, 0, 0, 0}; ///< a, b, c, d, each below 2^62 in magnitude
    std::shared_ptr<const ExactMap> big;
};
} // namespace Detail

/// `Convert(x)` is `scale * x + offset`. Invertible exactly when the scale is finite and not zero.
class ORV_UNITS_CONVERTER_API LinearUnitConverter final : public IUnitConverterEngine {
public:
    /// The engine `scale * x + offset`.
    LinearUnitConverter(double scale, double offset);
    /// One engine equal to applying `first`, then `second`; keeps neither.
    LinearUnitConverter(LinearUnitConverter* first, LinearUnitConverter* second);
    LinearUnitConverter(const LinearUnitConverter& other);
    LinearUnitConverter& operator=(const LinearUnitConverter& other);
    ~LinearUnitConverter() override;

    /// Linear engines are made and destroyed in pairs for every value converted through a
    /// temporary converter, so each thread keeps a few freed blocks for the next ones.
    static void* operator new(std::size_t size);
    static void operator delete(void* block, std::size_t size) noexcept;

    /// Reports the two coefficients of `scale * x + offset`.
    void GetScaleAndOffset(double& scale, double& offset);

    std::unique_ptr<IUnitConverterEngine> Clone() override;
    void Convert(std::vector<double>& values) override;
    void Convert(std::vector<float>& values) override;
    double Convert(double value) override;
    float Convert(float value) override;
    bool IsUnity() override;
    bool IsInvertible() override;
    std::unique_ptr<IUnitConverterEngine> GetInverse() override;

private:
    friend struct Detail::ExactAccess;

    double m_scale;
    double m_offset;
    // The exact definition the coefficients were rounded from; none for an engine of doubles.
    Detail::ExactRef m_exact;
};

/// Applies `first`, then `second`. Borrows `first`, which must outlive it, and owns `second`.
class ORV_UNITS_CONVERTER_API CompositeUnitConverter final : public IUnitConverterEngine {
public:
    /// Takes ownership of `second` (a released pointer); `first` stays its owner's.
    CompositeUnitConverter(IUnitConverterEngine* first, IUnitConverterEngine* second);
    CompositeUnitConverter(const CompositeUnitConverter&) = delete;
    CompositeUnitConverter& operator=(const CompositeUnitConverter&) = delete;
    ~CompositeUnitConverter() override;

    /// The borrowed first engine.
    IUnitConverterEngine* First() const { return m_pFirst; }
    /// The owned second engine.
    IUnitConverterEngine* Second() const { return m_pSecond.get(); }

    /// A composite that borrows the same first engine and owns a clone of the second.
    std::unique_ptr<IUnitConverterEngine> Clone() override;
    void Convert(std::vector<double>& values) override;
    void Convert(std::vector<float>& values) override;
    double Convert(double value) override;
    float Convert(float value) override;
    /// True when both engines are unity.
    bool IsUnity() override;
    /// True when both engines are invertible.
    bool IsInvertible() override;
    /// An engine owning both inverses, applied in the opposite order; empty when not invertible.
    std::unique_ptr<IUnitConverterEngine> GetInverse() override;

private:
    // A composite that owns both engines, as the inverse of a composite does.
    CompositeUnitConverter(std::unique_ptr<IUnitConverterEngine> first,
                           std::unique_ptr<IUnitConverterEngine> second);

    IUnitConverterEngine* m_pFirst;
    std::unique_ptr<IUnitConverterEngine> m_pSecond;
    // Set only when this composite owns its first engine; then m_pFirst points to it.
    std::unique_ptr<IUnitConverterEngine> m_pOwnedFirst;
};

/// Converts `count` values at `values` in place, exactly as `engine`'s vector form converts a
/// vector holding them, in memory the caller owns (an array of another library). Engines of other
/// libraries convert through their vector form, a block of values at a time.
ORV_UNITS_CONVERTER_API void ConvertValues(IUnitConverterEngine& engine, double* values,
                                           std::size_t count);
/// As above, in single precision.
ORV_UNITS_CONVERTER_API void ConvertValues(IUnitConverterEngine& engine, float* values,
                                           std::size_t count);

} // namespace Orv::Pim::Core::Service::Units::Converter
