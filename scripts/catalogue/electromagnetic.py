"""Electricity, magnetism, light, radiation and catalysis."""

from .base_units import FT, FT2, H, IN, PI
from .exact import E


def add(cat):
    electric_current(cat)
    electric_charge(cat)
    electric_potential(cat)
    electric_resistance(cat)
    electric_conductance(cat)
    capacitance(cat)
    inductance(cat)
    magnetic_flux(cat)
    magnetic_flux_density(cat)
    magnetic_field_strength(cat)
    electric_field_strength(cat)
    electric_resistivity(cat)
    electric_conductivity(cat)
    luminous_intensity(cat)
    luminous_flux(cat)
    illuminance(cat)
    luminance(cat)
    radioactivity(cat)
    absorbed_dose(cat)
    equivalent_dose(cat)
    catalytic_activity(cat)


def electric_current(cat):
    d = cat.dimension("Electric Current", "A", "ampere", aliases=["amp", "ampere"], signature="I")
    d.prefixed("A", "ampere", 1, "k m u n")
    d.alias("uA", "µA", "microampere")
    d.takes_prefixes("A")
    d.measurement("Electric Current", "A kA mA uA nA")
    d.measurement("Signal Current", "mA uA A", metric="mA", si="mA")
    d.measurement("Fault Current", "kA A", metric="kA", si="kA")


def electric_charge(cat):
    d = cat.dimension("Electric Charge", "C", "coulomb", aliases=["coulomb"], signature="T I")
    d.prefixed("C", "coulomb", 1, "k m u n p")
    d.unit("Ah", "ampere hour", H, aliases=["A.h"])
    d.unit("mAh", "milliampere hour", H / 1000)
    # The statcoulomb is 0.1 C cm/s divided by the speed of light in cm/s: 1 / 2997924580 C.
    d.unit("statC", "statcoulomb", E(1, 2997924580), aliases=["Fr"])
    d.alias("uC", "µC", "microcoulomb")
    d.takes_prefixes("C", "Ah")
    d.measurement("Electric Charge", "C mC uC nC pC kC Ah statC")
    d.measurement("Battery Capacity", "Ah mAh C kC", metric="Ah", si="Ah")


def electric_potential(cat):
    d = cat.dimension("Electric Potential", "V", "volt", aliases=["volt"], signature="L2 M T-3 I-1")
    d.prefixed("V", "volt", 1, "k M m u")
    d.alias("uV", "µV", "microvolt")
    d.takes_prefixes("V")
    d.measurement("Electric Potential", "V kV mV uV MV")
    d.measurement("Voltage", "V kV mV")
    d.measurement("Line Voltage", "kV V MV", metric="kV", si="kV")
    d.measurement("Signal Voltage", "mV uV V", metric="mV", si="mV")


def electric_resistance(cat):
    d = cat.dimension("Electric Resistance", "ohm", "ohm", aliases=["Ohm"],
                      signature="L2 M T-3 I-2")
    d.prefixed("ohm", "ohm", 1, "u m k M G")
    d.alias("ohm", "Ω", "ohm")
    d.alias("ohm", "Ω", "ohm")
    d.alias("uohm", "µΩ", "microohm")
    d.takes_prefixes("ohm", "Ω", "Ω")
    d.measurement("Electric Resistance", "ohm mohm kohm Mohm uohm Gohm")
    d.measurement("Insulation Resistance", "Mohm Gohm kohm", metric="Mohm", si="Mohm")
    d.measurement("Contact Resistance", "mohm uohm ohm", metric="mohm", si="mohm")


def electric_conductance(cat):
    d = cat.dimension("Electric Conductance", "S", "siemens", aliases=["siemens", "mho"],
                      signature="L-2 M-1 T3 I2")
    d.prefixed("S", "siemens", 1, "k m u n")
    d.alias("uS", "µS", "microsiemens")
    d.takes_prefixes("S", "mho")
    d.measurement("Electric Conductance", "S mS uS nS kS")


def capacitance(cat):
    d = cat.dimension("Capacitance", "F", "farad", aliases=["farad"], signature="L-2 M-1 T4 I2")
    d.prefixed("F", "farad", 1, "m u n p")
    d.alias("uF", "µF", "microfarad")
    d.takes_prefixes("F")
    d.measurement("Capacitance", "F mF uF nF pF", metric="uF")


def inductance(cat):
    d = cat.dimension("Inductance", "H", "henry", aliases=["henry"], signature="L2 M T-2 I-2")
    d.prefixed("H", "henry", 1, "m u n")
    d.alias("uH", "µH", "microhenry")
    d.takes_prefixes("H")
    d.measurement("Inductance", "H mH uH nH", metric="mH")


def magnetic_flux(cat):
    d = cat.dimension("Magnetic Flux", "Wb", "weber", aliases=["weber", "V.s"],
                      signature="L2 M T-2 I-1")
    d.prefixed("Wb", "weber", 1, "m u")
    d.unit("Mx", "maxwell", E("0.00000001"), aliases=["maxwell"])
    d.alias("uWb", "µWb", "microweber")
    d.takes_prefixes("Wb")
    d.measurement("Magnetic Flux", "Wb mWb uWb Mx")


def magnetic_flux_density(cat):
    d = cat.dimension("Magnetic Flux Density", "T", "tesla", aliases=["tesla"],
                      signature="M T-2 I-1")
    d.prefixed("T", "tesla", 1, "m u n")
    d.unit("G", "gauss", E("0.0001"), aliases=["gauss", "Gs"])
    d.alias("uT", "µT", "microtesla")
    d.takes_prefixes("T")
    d.measurement("Magnetic Flux Density", "T mT uT nT G")
    d.measurement("Geomagnetic Field", "nT uT T G", metric="nT", si="nT")


def magnetic_field_strength(cat):
    d = cat.dimension("Magnetic Field Strength", "A/m", "ampere per metre", signature="L-1 I")
    d.unit("kA/m", "kiloampere per metre", 1000)
    d.unit("A/cm", "ampere per centimetre", 100)
    # The oersted is 1000 / (4 pi) A/m, exactly by its definition.
    d.unit("Oe", "oersted", E(1000) / (PI * 4), aliases=["oersted"])
    d.measurement("Magnetic Field Strength", "A/m kA/m A/cm Oe")


def electric_field_strength(cat):
    d = cat.dimension("Electric Field Strength", "V/m", "volt per metre", signature="L M T-3 I-1")
    d.unit("mV/m", "millivolt per metre", E("0.001"))
    d.unit("kV/m", "kilovolt per metre", 1000, aliases=["V/mm"])
    d.unit("V/cm", "volt per centimetre", 100)
    d.unit("kV/mm", "kilovolt per millimetre", 1000000, aliases=["MV/m"])
    d.unit("V/mil", "volt per mil", E(1000) / IN)
    d.measurement("Electric Field Strength", "V/m mV/m kV/m V/cm")
    d.measurement("Dielectric Strength", "kV/mm kV/m V/mil", metric="kV/mm", si="kV/mm",
                  imperial="V/mil")


def electric_resistivity(cat):
    d = cat.dimension("Electric Resistivity", "ohm.m", "ohm metre", aliases=["ohmm"],
                      signature="L3 M T-3 I-2")
    d.unit("ohm.cm", "ohm centimetre", E("0.01"))
    d.unit("uohm.cm", "microohm centimetre", E("0.00000001"))
    d.unit("ohm.mm2/m", "ohm square millimetre per metre", E("0.000001"))
    d.unit("ohm.ft", "ohm foot", FT)
    d.measurement("Electric Resistivity", "ohm.m ohm.cm uohm.cm ohm.mm2/m ohm.ft")
    d.measurement("Formation Resistivity", "ohm.m ohm.cm ohm.ft")
    d.measurement("Conductor Resistivity", "ohm.mm2/m uohm.cm ohm.m", metric="ohm.mm2/m",
                  imperial="uohm.cm")


def electric_conductivity(cat):
    d = cat.dimension("Electric Conductivity", "S/m", "siemens per metre",
                      signature="L-3 M-1 T3 I2")
    d.unit("mS/m", "millisiemens per metre", E("0.001"), aliases=["mmho/m"])
    d.unit("S/cm", "siemens per centimetre", 100)
    d.unit("mS/cm", "millisiemens per centimetre", E("0.1"))
    d.unit("uS/cm", "microsiemens per centimetre", E("0.0001"), aliases=["umho/cm"])
    d.measurement("Electric Conductivity", "S/m mS/m S/cm mS/cm uS/cm")
    d.measurement("Water Conductivity", "uS/cm mS/cm S/m mS/m", metric="uS/cm", si="mS/m")
    d.measurement("Formation Conductivity", "mS/m S/m", metric="mS/m", si="mS/m")


def luminous_intensity(cat):
    d = cat.dimension("Luminous Intensity", "cd", "candela", aliases=["candela"], signature="J")
    d.prefixed("cd", "candela", 1, "k m")
    d.takes_prefixes("cd")
    d.measurement("Luminous Intensity", "cd mcd kcd")


def luminous_flux(cat):
    d = cat.dimension("Luminous Flux", "lm", "lumen", aliases=["lumen"], signature="J Angle2")
    d.prefixed("lm", "lumen", 1, "k")
    d.takes_prefixes("lm")
    d.measurement("Luminous Flux", "lm klm")


def illuminance(cat):
    d = cat.dimension("Illuminance", "lx", "lux", aliases=["lux"], signature="L-2 J Angle2")
    d.prefixed("lx", "lux", 1, "k")
    d.unit("fc", "footcandle", E(1) / FT2, aliases=["footcandle"])
    d.unit("ph", "phot", 10000, aliases=["phot"])
    d.takes_prefixes("lx")
    d.measurement("Illuminance", "lx klx fc ph", imperial="fc")


def luminance(cat):
    d = cat.dimension("Luminance", "cd/m2", "candela per square metre", aliases=["nit"],
                      signature="L-2 J")
    d.unit("kcd/m2", "kilocandela per square metre", 1000)
    d.unit("cd/ft2", "candela per square foot", E(1) / FT2)
    d.unit("sb", "stilb", 10000, aliases=["stilb"])
    d.measurement("Luminance", "cd/m2 kcd/m2 cd/ft2 sb", imperial="cd/ft2")


def radioactivity(cat):
    d = cat.dimension("Radioactivity", "Bq", "becquerel", aliases=["becquerel"], signature="T-1")
    d.prefixed("Bq", "becquerel", 1, "k M G T")
    d.unit("Ci", "curie", E("3.7e10"), aliases=["curie"])
    d.prefixed("Ci", "curie", E("3.7e10"), "m u n p")
    d.alias("uCi", "µCi", "microcurie")
    d.takes_prefixes("Bq", "Ci")
    d.measurement("Radioactivity", "Bq kBq MBq GBq TBq Ci mCi uCi nCi pCi", imperial="Ci")
    d.measurement("Source Activity", "GBq TBq Ci mCi", metric="GBq", si="GBq", imperial="Ci")


def absorbed_dose(cat):
    d = cat.dimension("Absorbed Dose", "Gy", "gray", aliases=["gray"], signature="L2 T-2")
    d.prefixed("Gy", "gray", 1, "c m u")
    d.unit("rd", "rad (absorbed dose)", E("0.01"))
    d.alias("uGy", "µGy", "microgray")
    d.takes_prefixes("Gy")
    d.measurement("Absorbed Dose", "Gy cGy mGy uGy rd", imperial="rd")


def equivalent_dose(cat):
    d = cat.dimension("Equivalent Dose", "Sv", "sievert", aliases=["sievert"], signature="L2 T-2")
    d.prefixed("Sv", "sievert", 1, "m u")
    d.unit("rem", "rem", E("0.01"))
    d.unit("mrem", "millirem", E("0.00001"))
    d.alias("uSv", "µSv", "microsievert")
    d.takes_prefixes("Sv")
    d.measurement("Equivalent Dose", "Sv mSv uSv rem mrem", metric="mSv", si="Sv",
                  imperial="mrem")


def catalytic_activity(cat):
    d = cat.dimension("Catalytic Activity", "kat", "katal", aliases=["katal"], signature="T-1 N")
    d.prefixed("kat", "katal", 1, "u n")
    # The enzyme unit is one micromole per minute.
    d.unit("U", "enzyme unit", E("0.000001", 60))
    d.alias("ukat", "µkat", "microkatal")
    d.takes_prefixes("kat")
    d.measurement("Catalytic Activity", "kat ukat nkat U", metric="ukat", imperial="U")
