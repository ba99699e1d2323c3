# Converts depths with Orv Units from Python: numbers, a numpy array in place, a quantity read from
# text, and a site's own unit system, whose change a handler hears.
import numpy as np

import orvunits as ou  # registers the default catalogue

print(ou.convert(12.5, "ft", "m"))  # 3.81
depths = np.array([1200.0, 1250.5, 1310.0])
ou.convert(depths, "ft", "m", out=depths)  # in place, without a copy
depth = ou.Quantity.parse("12.5 ft", measurement="Depth")
print(depth, depth.to("in"))  # 3.81 m 150.0
site = ou.LocalUnitSystem("Site", "Metric")  # Metric, but depths in feet
site["Depth"] = "ft"
ou.on_current_system_changed(lambda system: print("now", system))
ou.set_current_system(site)  # now Site
print(depth, depths.round(2))  # 12.5 ft [365.76 381.15 399.29]
