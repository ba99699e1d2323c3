"""Ratios, geometry, mass, time, motion and data."""

from .base_units import (BBL, DAY, FT, FT2, FT3, FT_US, GAL_UK, GAL_US, GN, H, IN, IN2, LB, LBF, MI,
                         MIN, PI, PI_SQUARED, YD, YEAR)
from .exact import E


def add(cat):
    dimensionless(cat)
    length(cat)
    area(cat)
    volume(cat)
    mass(cat)
    time(cat)
    plane_angle(cat)
    solid_angle(cat)
    velocity(cat)
    acceleration(cat)
    angular_velocity(cat)
    angular_acceleration(cat)
    frequency(cat)
    data(cat)
    second_moment_of_area(cat)
    moment_of_inertia(cat)
    linear_density(cat)
    area_density(cat)
    slowness(cat)


def dimensionless(cat):
    d = cat.dimension("Dimensionless", "unitless", "unitless", aliases=[("frac", "fraction")],
                      signature="", preferred=True)
    d.unit("%", "percent", E("0.01"), aliases=["percent", "pct", ("pu", "porosity unit")])
    d.unit("permil", "per mille", E("0.001"), aliases=["permille"])
    d.unit("bp", "basis point", E("0.0001"))
    d.unit("ppm", "part per million", E("0.000001"))
    d.unit("ppb", "part per billion", E("0.000000001"))
    d.unit("ppt", "part per trillion", E("0.000000000001"))
    d.alias("permil", "‰", "per mille")
    ratio = "unitless % permil"
    d.measurement("Unitless", "unitless")
    d.measurement("Dimensionless", "unitless % permil ppm")
    d.measurement("Ratio", ratio)
    d.measurement("Fraction", ratio)
    d.measurement("Percentage", "% unitless permil", si="%")
    for name in ["Porosity", "Saturation", "Water Cut", "Efficiency", "Volume Fraction",
                 "Relative Humidity", "Recovery Factor", "Net To Gross"]:
        d.measurement(name, "% unitless", metric="%", si="unitless", imperial="%")
    for name in ["Poisson Ratio", "Compressibility Factor", "Skin Factor", "Reynolds Number",
                 "Mach Number", "Friction Factor"]:
        d.measurement(name, "unitless")
    d.measurement("Mole Fraction", "unitless % ppm")
    d.measurement("Mass Fraction", "unitless % ppm ppb", metric="%", imperial="%")
    d.measurement("Concentration", "ppm ppb ppt % unitless bp", metric="ppm", si="ppm")
    d.measurement("Trace Concentration", "ppb ppt ppm", metric="ppb", si="ppb")


def length(cat):
    d = cat.dimension("Length", "m", "metre", aliases=["metre", "meter"], signature="L")
    d.prefixed("m", "metre", 1, "k d c m")
    d.unit("um", "micrometre", E("0.000001"), aliases=["micron"])
    d.prefixed("m", "metre", 1, "n p")
    d.unit("Ang", "angstrom", E("0.0000000001"), aliases=["angstrom"])
    d.unit("in", "inch", IN, aliases=["inch"])
    d.unit("ft", "foot", FT, aliases=["foot", "feet"])
    d.unit("kft", "thousand feet", FT * 1000)
    d.unit("yd", "yard", YD, aliases=["yard"])
    d.unit("mi", "mile", MI, aliases=["mile"])
    d.unit("nmi", "nautical mile", 1852)
    d.unit("mil", "mil (thousandth of an inch)", IN / 1000, aliases=["thou"])
    d.unit("ftUS", "U.S. survey foot", FT_US, aliases=["usft"])
    d.unit("miUS", "U.S. survey mile", FT_US * 5280)
    d.unit("ch", "chain", FT * 66, aliases=["chain"])
    d.unit("lk", "link", FT * E("0.66"), aliases=["link"])
    d.unit("rod", "rod", FT * E("16.5"))
    d.unit("fathom", "fathom", FT * 6)
    d.unit("furlong", "furlong", FT * 660)
    d.unit("au", "astronomical unit", E("149597870700"))
    d.unit("ly", "light year", E("9460730472580800"))
    d.alias("um", "µm", "micrometre")
    d.alias("Ang", "Å", "angstrom")
    d.takes_prefixes("m")
    general = "m km cm mm ft in yd mi"
    d.measurement("Length", general, imperial="ft")
    for name in ["Depth", "True Vertical Depth", "Measured Depth", "Elevation", "Height",
                 "Altitude", "Width"]:
        d.measurement(name, "m ft km kft", imperial="ft")
    d.measurement("Distance", "km m mi nmi ft yd", metric="km", imperial="mi")
    d.measurement("Diameter", "mm cm m in ft", metric="mm", imperial="in")
    d.measurement("Thickness", "mm cm m in ft mil", metric="mm", imperial="in")
    d.measurement("Displacement", "mm um m in mil", metric="mm", imperial="in")
    d.measurement("Wavelength", "nm um Ang m", metric="nm", si="nm")
    d.measurement("Surface Roughness", "um mm mil in", metric="um", si="um", imperial="mil")
    d.measurement("Particle Size", "um mm nm mil in", metric="um", si="um", imperial="mil")
    d.measurement("Land Survey Distance", "m km ftUS miUS ft ch rod furlong lk",
                  imperial="ft", us="ftUS")
    d.measurement("Navigation Distance", "nmi km m mi", metric="nmi", imperial="nmi")
    d.measurement("Astronomical Distance", "au ly km m", metric="au", si="m")


def area(cat):
    d = cat.dimension("Area", "m2", "square metre", aliases=["sqm"], signature="L2", preferred=True)
    d.prefixed("m", "metre", 1, "k d c m u", power=2, pattern="{p}{s}2",
               desc_pattern="square {p}{d}")
    d.unit("ha", "hectare", 10000, aliases=["hectare"])
    d.unit("are", "are", 100)
    d.unit("in2", "square inch", IN2, aliases=["sqin"])
    d.unit("ft2", "square foot", FT2, aliases=["sqft"])
    d.unit("yd2", "square yard", YD**2, aliases=["sqyd"])
    d.unit("mi2", "square mile", MI**2, aliases=["sqmi"])
    d.unit("acre", "acre", FT2 * 43560, aliases=["ac"])
    # The darcy is 1 cP * (1 cm^2/s) / (1 atm), in square metres 1e-7 / 101325.
    d.unit("D", "darcy", E("0.0000001", 101325), aliases=["darcy"])
    d.unit("mD", "millidarcy", E("0.0000000001", 101325), aliases=["md"])
    d.unit("uD", "microdarcy", E("0.0000000000001", 101325))
    d.unit("nD", "nanodarcy", E("0.0000000000000001", 101325))
    d.unit("barn", "barn", E("1e-28"))
    d.measurement("Area", "m2 km2 cm2 mm2 ft2 in2 yd2 mi2 ha acre", imperial="ft2")
    d.measurement("Surface Area", "m2 cm2 ft2 in2", imperial="ft2")
    d.measurement("Cross-Sectional Area", "cm2 mm2 m2 in2 ft2", metric="cm2", imperial="in2")
    d.measurement("Land Area", "ha km2 m2 acre mi2 are", metric="ha", imperial="acre")
    d.measurement("Drainage Area", "ha km2 acre mi2 m2", metric="ha", imperial="acre")
    d.measurement("Permeability", "mD D uD nD m2 um2", metric="mD", si="um2", imperial="mD")
    d.measurement("Nuclear Cross Section", "barn m2", metric="barn")


def volume(cat):
    d = cat.dimension("Volume", "m3", "cubic metre", aliases=["cum"], signature="L3")
    d.prefixed("m", "metre", 1, "k d c m", power=3, pattern="{p}{s}3",
               desc_pattern="cubic {p}{d}")
    d.alias("cm3", "cc", "cubic centimetre")
    d.unit("L", "litre", E("0.001"), aliases=["l", "litre", "liter"])
    d.prefixed("L", "litre", E("0.001"), "h c m u M")
    d.alias("mL", "ml", "millilitre")
    d.unit("E3m3", "thousand cubic metres", 1000)
    d.unit("E6m3", "million cubic metres", 1000000)
    d.unit("in3", "cubic inch", IN**3, aliases=["cuin"])
    d.unit("ft3", "cubic foot", FT3, aliases=["cf", "cuft"])
    d.unit("yd3", "cubic yard", YD**3, aliases=["cuyd"])
    d.unit("acre.ft", "acre-foot", FT3 * 43560, aliases=["acft"])
    d.unit("galUS", "U.S. gallon", GAL_US, aliases=["gal", "usgal"])
    d.unit("qtUS", "U.S. liquid quart", GAL_US / 4)
    d.unit("ptUS", "U.S. liquid pint", GAL_US / 8)
    d.unit("flozUS", "U.S. fluid ounce", GAL_US / 128, aliases=["floz"])
    d.unit("buUS", "U.S. bushel", IN**3 * E("2150.42"))
    d.unit("galUK", "imperial gallon", GAL_UK, aliases=["impgal", "ukgal"])
    d.unit("qtUK", "imperial quart", GAL_UK / 4)
    d.unit("ptUK", "imperial pint", GAL_UK / 8)
    d.unit("flozUK", "imperial fluid ounce", GAL_UK / 160)
    d.unit("bbl", "barrel (42 U.S. gallons)", BBL, aliases=["barrel"])
    d.unit("Mbbl", "thousand barrels", BBL * 1000, aliases=["kbbl"])
    d.unit("MMbbl", "million barrels", BBL * 1000000)
    d.alias("uL", "µL", "microlitre")
    d.takes_prefixes("L", "l")
    d.measurement("Volume", "m3 L cm3 ft3 in3 yd3 galUS galUK bbl", imperial="ft3")
    d.measurement("Liquid Volume", "L m3 mL galUK galUS qtUS qtUK ptUK ptUS bbl", metric="L",
                  si="m3", imperial="galUK", us="galUS")
    d.measurement("Small Volume", "mL cm3 uL L flozUK flozUS in3", metric="mL", si="cm3",
                  imperial="flozUK", us="flozUS")
    d.measurement("Oil Volume", "m3 bbl Mbbl MMbbl L galUS E3m3", imperial="bbl")
    d.measurement("Pore Volume", "m3 E3m3 E6m3 bbl Mbbl MMbbl ft3", imperial="bbl")
    d.measurement("Reservoir Volume", "E6m3 m3 E3m3 acre.ft MMbbl ft3", metric="E6m3",
                  imperial="acre.ft")
    d.measurement("Tank Volume", "m3 L bbl galUS galUK ft3", imperial="bbl")
    d.measurement("Gas Volume", "m3 ft3 L E3m3", imperial="ft3")
    d.measurement("Engine Displacement", "L cm3 in3", metric="L", si="cm3", imperial="in3")
    d.measurement("Earthwork Volume", "m3 yd3 ft3", imperial="yd3")
    d.measurement("Grain Volume", "m3 L hL buUS", metric="hL", us="buUS")
    d.measurement("Water Volume", "m3 ML L galUS galUK acre.ft", imperial="galUK",
                  us="galUS")


def mass(cat):
    d = cat.dimension("Mass", "kg", "kilogram", aliases=["kilogram"], signature="M")
    d.unit("g", "gram", E("0.001"), aliases=["gram"])
    d.prefixed("g", "gram", E("0.001"), "m u")
    d.unit("t", "tonne", 1000, aliases=["tonne", "Mg"])
    d.unit("kt", "kilotonne", 1000000)
    d.unit("Mt", "megatonne", 1000000000)
    d.unit("lbm", "pound (avoirdupois)", LB, aliases=["lb", "pound"])
    d.unit("klbm", "thousand pounds", LB * 1000)
    d.unit("oz", "ounce (avoirdupois)", LB / 16, aliases=["ounce"])
    d.unit("ozt", "troy ounce", LB / 7000 * 480)
    d.unit("gr", "grain", LB / 7000, aliases=["grain"])
    d.unit("st", "stone", LB * 14, aliases=["stone"])
    d.unit("ston", "short ton (2000 lb)", LB * 2000, aliases=["tonUS"])
    d.unit("lton", "long ton (2240 lb)", LB * 2240, aliases=["tonUK"])
    d.unit("cwtUS", "short hundredweight (100 lb)", LB * 100)
    d.unit("cwtUK", "long hundredweight (112 lb)", LB * 112)
    d.unit("slug", "slug", LBF / FT)
    d.unit("ct", "metric carat", E("0.0002"), aliases=["carat"])
    d.alias("ug", "µg", "microgram")
    d.takes_prefixes("g", "t")
    d.measurement("Mass", "kg g t lbm oz ston lton", imperial="lbm")
    d.measurement("Weight", "kg t lbm st ston lton", imperial="lbm")
    d.measurement("Cargo Mass", "t kt kg lton ston", metric="t", si="t", imperial="lton", us="ston")
    d.measurement("Sample Mass", "g mg kg oz lbm gr", metric="g", si="g", imperial="oz")
    d.measurement("Small Mass", "mg ug g gr", metric="mg", si="mg", imperial="gr")
    d.measurement("Precious Metal Mass", "g ozt kg ct", metric="g", si="g", imperial="ozt")
    d.measurement("Proppant Mass", "t kg lbm klbm ston", metric="t", imperial="lbm")
    d.measurement("Annual Tonnage", "Mt kt t ston lton", metric="Mt", si="t", imperial="lton",
                  us="ston")


def time(cat):
    d = cat.dimension("Time", "s", "second", aliases=["sec", "second"], signature="T")
    d.prefixed("s", "second", 1, "m u n p")
    d.unit("min", "minute", MIN, aliases=["minute"])
    d.unit("h", "hour", H, aliases=["hr", "hour"])
    d.unit("d", "day", DAY, aliases=["day"])
    d.unit("wk", "week", DAY * 7, aliases=["week"])
    d.unit("mo", "month (1/12 Julian year)", YEAR / 12, aliases=["month"])
    d.unit("yr", "year (Julian, 365.25 days)", YEAR, aliases=["year"])
    d.alias("us", "µs", "microsecond")
    d.takes_prefixes("s")
    every = "s ms min h d wk mo yr"
    d.measurement("Time", every)
    d.measurement("Duration", every, metric="h", imperial="h")
    d.measurement("Elapsed Time", "h min s d", metric="h", imperial="h")
    d.measurement("Production Time", "d h wk mo yr", si="d")
    d.measurement("Response Time", "ms us s ns", metric="ms", si="ms")
    d.measurement("Age", "yr mo d", si="yr")
    d.measurement("Period", "s ms us min h")


def plane_angle(cat):
    d = cat.dimension("Plane Angle", "rad", "radian", aliases=["radian"], signature="Angle")
    d.prefixed("rad", "radian", 1, "m u")
    # Angles are the one family that no finite decimal defines: pi is written to 30 digits.
    d.unit("deg", "degree", PI / 180, aliases=["degree"])
    d.unit("arcmin", "minute of arc", PI / 10800, aliases=["amin"])
    d.unit("arcsec", "second of arc", PI / 648000, aliases=["asec"])
    d.unit("gon", "gon", PI / 200, aliases=["grad"])
    d.unit("rev", "revolution", PI * 2, aliases=["turn"])
    d.alias("deg", "°", "degree")
    d.alias("urad", "µrad", "microradian")
    d.takes_prefixes("rad")
    d.measurement("Plane Angle", "deg rad mrad arcmin arcsec gon rev", metric="deg")
    d.measurement("Angle", "deg rad gon rev", metric="deg")
    for name in ["Inclination", "Azimuth", "Dip Angle", "Phase Angle"]:
        d.measurement(name, "deg rad gon", metric="deg")
    d.measurement("Small Angle", "mrad urad arcsec arcmin", metric="mrad", si="mrad",
                  imperial="arcsec")


def solid_angle(cat):
    d = cat.dimension("Solid Angle", "sr", "steradian", aliases=["steradian"], signature="Angle2")
    d.prefixed("sr", "steradian", 1, "m")
    d.unit("deg2", "square degree", PI_SQUARED / 32400)
    d.unit("sphere", "sphere", PI * 4)
    d.takes_prefixes("sr")
    d.measurement("Solid Angle", "sr msr deg2 sphere")


def velocity(cat):
    d = cat.dimension("Velocity", "m/s", "metre per second", signature="L T-1")
    d.unit("km/h", "kilometre per hour", E(1000) / H, aliases=["kph", "kmh"])
    d.unit("m/min", "metre per minute", E(1) / MIN)
    d.unit("m/h", "metre per hour", E(1) / H)
    d.unit("m/d", "metre per day", E(1) / DAY)
    d.unit("cm/s", "centimetre per second", E("0.01"))
    d.unit("mm/s", "millimetre per second", E("0.001"))
    d.unit("ft/s", "foot per second", FT, aliases=["fps"])
    d.unit("ft/min", "foot per minute", FT / MIN, aliases=["fpm"])
    d.unit("ft/h", "foot per hour", FT / H)
    d.unit("ft/d", "foot per day", FT / DAY)
    d.unit("in/s", "inch per second", IN, aliases=["ips"])
    d.unit("mi/h", "mile per hour", MI / H, aliases=["mph"])
    d.unit("kn", "knot", E(1852) / H, aliases=["knot"])
    d.measurement("Velocity", "m/s km/h cm/s ft/s ft/min mi/h kn", imperial="ft/s")
    d.measurement("Speed", "km/h m/s mi/h kn ft/s", metric="km/h", imperial="mi/h")
    d.measurement("Flow Velocity", "m/s cm/s ft/s ft/min", imperial="ft/s")
    d.measurement("Wind Speed", "m/s km/h kn mi/h", metric="km/h", imperial="mi/h")
    d.measurement("Vessel Speed", "kn km/h m/s mi/h", metric="kn", imperial="kn")
    d.measurement("Rate of Penetration", "m/h ft/h m/min ft/min", metric="m/h", si="m/h",
                  imperial="ft/h")
    d.measurement("Darcy Velocity", "m/d ft/d m/s cm/s", metric="m/d", imperial="ft/d")
    d.measurement("Vibration Velocity", "mm/s m/s in/s", metric="mm/s", imperial="in/s")
    d.measurement("Tripping Speed", "m/min m/s ft/min ft/s", metric="m/min", imperial="ft/min")


def acceleration(cat):
    d = cat.dimension("Acceleration", "m/s2", "metre per second squared", signature="L T-2")
    d.unit("cm/s2", "centimetre per second squared", E("0.01"), aliases=[("Gal", "gal")])
    d.unit("mGal", "milligal", E("0.00001"))
    d.unit("ft/s2", "foot per second squared", FT)
    d.unit("in/s2", "inch per second squared", IN)
    d.unit("gn", "standard acceleration of gravity", GN, aliases=["g0"])
    d.measurement("Acceleration", "m/s2 cm/s2 ft/s2 in/s2 gn", imperial="ft/s2")
    d.measurement("Gravity Anomaly", "mGal cm/s2 m/s2", metric="mGal", si="mGal")
    d.measurement("Vibration Acceleration", "gn m/s2 ft/s2 in/s2", metric="m/s2", imperial="gn")


def angular_velocity(cat):
    d = cat.dimension("Angular Velocity", "rad/s", "radian per second", signature="T-1 Angle")
    d.unit("rad/min", "radian per minute", E(1) / MIN)
    d.unit("rpm", "revolution per minute", PI * 2 / MIN, aliases=["r/min", "rev/min"])
    d.unit("rps", "revolution per second", PI * 2, aliases=["r/s", "rev/s"])
    d.unit("deg/s", "degree per second", PI / 180)
    d.unit("deg/min", "degree per minute", PI / 10800)
    d.unit("deg/h", "degree per hour", PI / 648000)
    d.measurement("Angular Velocity", "rad/s deg/s rpm rps rad/min", imperial="deg/s")
    d.measurement("Rotational Speed", "rpm rps rad/s", metric="rpm", imperial="rpm")
    d.measurement("Turn Rate", "deg/s deg/min deg/h rad/s", metric="deg/s")


def angular_acceleration(cat):
    d = cat.dimension("Angular Acceleration", "rad/s2", "radian per second squared",
                      signature="T-2 Angle")
    d.unit("deg/s2", "degree per second squared", PI / 180)
    d.unit("rpm/s", "revolution per minute per second", PI * 2 / MIN)
    d.measurement("Angular Acceleration", "rad/s2 deg/s2 rpm/s", imperial="deg/s2")


def frequency(cat):
    d = cat.dimension("Frequency", "Hz", "hertz", aliases=["hertz", "cps"],
                      signature="T-1", preferred=True)
    d.prefixed("Hz", "hertz", 1, "k M G T")
    d.prefixed("Hz", "hertz", 1, "m")
    d.unit("1/s", "per second", 1)
    d.unit("1/min", "per minute", E(1) / MIN, aliases=[("spm", "strokes per minute")])
    d.unit("1/h", "per hour", E(1) / H)
    d.unit("1/d", "per day", E(1) / DAY)
    d.takes_prefixes("Hz")
    d.measurement("Frequency", "Hz kHz MHz GHz THz mHz")
    d.measurement("Sampling Rate", "Hz kHz MHz", metric="kHz", si="Hz")
    d.measurement("Radio Frequency", "MHz kHz GHz Hz", metric="MHz", si="MHz")
    d.measurement("Shear Rate", "1/s 1/min", si="1/s")
    d.measurement("Stroke Rate", "1/min 1/s 1/h", metric="1/min", si="1/min")
    d.measurement("Event Rate", "1/d 1/h 1/min 1/s", metric="1/d", si="1/s")
    d.measurement("Decay Constant", "1/s 1/h 1/d", si="1/s")


def data(cat):
    d = cat.dimension("Data Size", "bit", "bit", aliases=["b", "bits"], signature="Info")
    d.unit("B", "byte", 8, aliases=["byte", "octet"])
    d.prefixed("bit", "bit", 1, "k M G T")
    d.binary_prefixed("bit", "bit", 1, "Ki Mi Gi")
    d.prefixed("B", "byte", 8, "k M G T P")
    d.binary_prefixed("B", "byte", 8, "Ki Mi Gi Ti Pi")
    d.measurement("Data Size", "B kB MB GB TB KiB MiB GiB TiB bit", metric="B", si="B")
    d.measurement("Storage Capacity", "GB TB PB MB GiB TiB", metric="GB", si="GB")
    d.measurement("Memory Size", "MiB GiB KiB B", metric="MiB", si="MiB")
    d.measurement("File Size", "kB MB GB B KiB MiB", metric="kB", si="kB")
    d.measurement("Message Size", "bit kbit Mbit Kibit Mibit B", metric="bit")

    r = cat.dimension("Data Rate", "bit/s", "bit per second", aliases=["bps"], signature="T-1 Info")
    for p, name, power in [("k", "kilo", 3), ("M", "mega", 6), ("G", "giga", 9),
                           ("T", "tera", 12)]:
        r.unit(f"{p}bit/s", f"{name}bit per second", E(10)**power, aliases=[f"{p}bps"])
    r.unit("B/s", "byte per second", 8)
    for p, name, power in [("k", "kilo", 3), ("M", "mega", 6), ("G", "giga", 9)]:
        r.unit(f"{p}B/s", f"{name}byte per second", E(10)**power * 8)
    for p, name, power in [("Ki", "kibi", 10), ("Mi", "mebi", 20), ("Gi", "gibi", 30)]:
        r.unit(f"{p}B/s", f"{name}byte per second", E(2)**power * 8)
    r.measurement("Data Rate", "bit/s kbit/s Mbit/s Gbit/s B/s kB/s MB/s")
    r.measurement("Network Bandwidth", "Mbit/s kbit/s Gbit/s Tbit/s bit/s", metric="Mbit/s",
                  si="Mbit/s")
    r.measurement("Transfer Rate", "MB/s kB/s GB/s MiB/s KiB/s GiB/s B/s", metric="MB/s",
                  si="MB/s")


def second_moment_of_area(cat):
    d = cat.dimension("Second Moment of Area", "m4", "metre to the fourth", signature="L4")
    d.unit("cm4", "centimetre to the fourth", E("0.00000001"))
    d.unit("mm4", "millimetre to the fourth", E("0.000000000001"))
    d.unit("in4", "inch to the fourth", IN**4)
    d.unit("ft4", "foot to the fourth", FT**4)
    d.measurement("Second Moment of Area", "m4 cm4 mm4 in4 ft4", metric="cm4", imperial="in4")


def moment_of_inertia(cat):
    d = cat.dimension("Moment of Inertia", "kg.m2", "kilogram square metre", signature="L2 M")
    d.unit("g.cm2", "gram square centimetre", E("0.0000001"))
    d.unit("lbm.ft2", "pound square foot", LB * FT2)
    d.unit("lbm.in2", "pound square inch", LB * IN2)
    d.unit("slug.ft2", "slug square foot", LBF * FT)
    d.measurement("Moment of Inertia", "kg.m2 g.cm2 lbm.ft2 lbm.in2 slug.ft2",
                  imperial="lbm.ft2")


def linear_density(cat):
    d = cat.dimension("Linear Density", "kg/m", "kilogram per metre", signature="L-1 M")
    d.unit("g/m", "gram per metre", E("0.001"), aliases=["kg/km"])
    d.unit("lbm/ft", "pound per foot", LB / FT, aliases=["ppf"])
    d.unit("lbm/in", "pound per inch", LB / IN)
    d.unit("tex", "tex", E("0.000001"), aliases=["g/km"])
    d.unit("dtex", "decitex", E("0.0000001"))
    d.unit("den", "denier", E("0.000001") / 9, aliases=["denier"])
    d.measurement("Linear Density", "kg/m g/m lbm/ft lbm/in", imperial="lbm/ft")
    d.measurement("Pipe Weight", "kg/m lbm/ft", imperial="lbm/ft")
    d.measurement("Yarn Count", "tex dtex den", metric="tex", si="tex", imperial="den")


def area_density(cat):
    d = cat.dimension("Area Density", "kg/m2", "kilogram per square metre", signature="L-2 M")
    d.unit("g/m2", "gram per square metre", E("0.001"), aliases=["gsm"])
    d.unit("t/ha", "tonne per hectare", E("0.1"))
    d.unit("kg/ha", "kilogram per hectare", E("0.0001"))
    d.unit("lbm/ft2", "pound per square foot", LB / FT2)
    d.unit("lbm/acre", "pound per acre", LB / (FT2 * 43560))
    d.unit("oz/yd2", "ounce per square yard", LB / 16 / YD**2)
    d.measurement("Area Density", "kg/m2 g/m2 lbm/ft2 oz/yd2", imperial="lbm/ft2")
    d.measurement("Application Rate", "kg/ha t/ha lbm/acre", metric="kg/ha", si="kg/ha", imperial="lbm/acre")
    d.measurement("Grammage", "g/m2 kg/m2 oz/yd2", metric="g/m2", si="g/m2", imperial="oz/yd2")


def slowness(cat):
    d = cat.dimension("Slowness", "s/m", "second per metre", signature="L-1 T")
    d.unit("ms/m", "millisecond per metre", E("0.001"))
    d.unit("us/m", "microsecond per metre", E("0.000001"))
    d.unit("us/ft", "microsecond per foot", E("0.000001") / FT)
    d.measurement("Slowness", "s/m ms/m us/m us/ft", imperial="us/ft")
    d.measurement("Interval Transit Time", "us/m us/ft", metric="us/m", si="us/m",
                  imperial="us/ft")
