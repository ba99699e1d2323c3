// The converter library's linear and composite engines, the two kinds of engine that a
// `UnitConverter` composes.
#pragma once

#include <units/converter/ConverterExport.h>
#include <units/interfaces/ConverterEngine.h>

#include <cstddef>
#include <memory>
#include <utility>
#include <vector>

namespace Orv::Pim::Core::Service::Units::Converter {

namespace Detail {
struct EngineAccess;
} // namespace Detail

/// `Convert(x)` is `scale * x + offset`, rounded once: the nearest double (or float) to the exact
/// value, with scale and offset the exact numbers of the engine's definition, or its two doubles
/// when it was made from doubles. Invertible exactly when the scale is finite and not zero.
class ORV_UNITS_CONVERTER_API LinearUnitConverter final : public IUnitConverterEngine {
public:
    /// The engine `scale * x + offset`.
    LinearUnitConverter(double scale, double offset);
    /// One engine equal to applying `first`, then `second`; keeps neither.
    LinearUnitConverter(LinearUnitConverter* first, LinearUnitConverter* second);
    /// Selects the constructor that makes an engine's inverse.
    struct InverseOf {};
    /// The inverse of `engine`, which must be invertible, made where the caller wants it (on its
    /// stack, say) rather than on the heap as GetInverse makes it.
    LinearUnitConverter(InverseOf, LinearUnitConverter& engine);
    /// One engine equal to applying `first`, then the inverse of `second`, which must be
    /// invertible; keeps neither. The same engine as from `first` and that inverse, made
    /// without the inverse when `second` is the identity.
    LinearUnitConverter(LinearUnitConverter* first, InverseOf, LinearUnitConverter* second);
    LinearUnitConverter(const LinearUnitConverter& other);
    LinearUnitConverter& operator=(const LinearUnitConverter& other);
    ~LinearUnitConverter() override;
    /// Engines come from, and go back to, the library's own allocator.
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
    friend struct Detail::EngineAccess;

    double m_scale;
    double m_offset;
    // The exact map the coefficients were rounded from, and the rest of the exact scale and
    // offset, which the conversions use; held in place so that making an engine allocates nothing
    // more. Its type is the library's own.
    alignas(8) unsigned char m_state[80];
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
    friend struct Detail::EngineAccess;

    // A composite that owns both engines, as the inverse of a composite does.
    CompositeUnitConverter(std::unique_ptr<IUnitConverterEngine> first,
                           std::unique_ptr<IUnitConverterEngine> second)
        : IUnitConverterEngine(e_CompositeEngine), m_pFirst(first.get()),
          m_pSecond(std::move(second)), m_pOwnedFirst(std::move(first)) {}

    IUnitConverterEngine* m_pFirst;
    std::unique_ptr<IUnitConverterEngine> m_pSecond;
    // Set only when this composite owns its first engine; then m_pFirst points to it.
    std::unique_ptr<IUnitConverterEngine> m_pOwnedFirst;
    // Both parts composed exactly into one engine, which rounds each result once; set when both
    // parts have exact maps.
    std::unique_ptr<IUnitConverterEngine> m_pComposed;
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
