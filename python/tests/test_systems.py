"""Unit systems: the current one, local ones with overrides, and their events in Python."""

import gc

import pytest

import orvunits as ou


def test_the_current_system_is_metric_until_another_is_set():
    assert ou.current_system() == ou.unit_system("Metric")
    ou.set_current_system("Imperial")
    assert ou.current_system().name == "Imperial"
    assert ou.measurement("Depth").current_unit == ou.unit("ft")
    ou.set_current_system(None)
    assert ou.current_system().name == "Metric"


def test_a_local_system_overrides_its_parent_or_the_current_system():
    over_metric = ou.LocalUnitSystem("Site", "Metric")
    over_metric["Depth"] = "ft"
    assert (over_metric["Depth"], over_metric["Length"]) == (ou.unit("ft"), ou.unit("m"))
    following = ou.LocalUnitSystem("Desk")
    assert following.uses_current_context and not over_metric.uses_current_context
    ou.set_current_system("Imperial")
    assert following["Length"] == ou.unit("ft") and over_metric["Length"] == ou.unit("m")
    clone = over_metric.clone()
    assert clone is not over_metric and (clone.name, clone.overrides) == ("Site", {
        ou.measurement("Depth"): ou.unit("ft")})


def test_refusals_raise_the_library_message_and_change_nothing():
    local = ou.LocalUnitSystem("Site", "Metric")
    with pytest.raises(ou.UnitError, match=r"^Cannot set Depth\( Length \) to second\( Time \)$"):
        local["Depth"] = "s"
    with pytest.raises(ou.UnitError, match="^Cannot set Depth to a NULL unit$"):
        local["Depth"] = None
    assert local.overrides == {}
    with pytest.raises(ou.UnitError, match="^Current unit system must not refer to self$"):
        ou.set_current_system(ou.LocalUnitSystem("Desk"))
    assert ou.current_system().name == "Metric"


def test_events_reach_python_handlers_in_the_library_order():
    local = ou.LocalUnitSystem("Site", "Metric")
    heard = []
    subscriptions = [
        local.on_change(lambda m, u, s: heard.append(f"local 1: {m} {u} {s}")),
        local.on_change(lambda m, u, s: heard.append(f"local 2: {m} {u} {s}")),
        ou.on_current_system_changed(lambda s: heard.append(f"current: {s}")),
    ]
    local["Depth"] = "ft"
    ou.set_current_system(local)
    local["Depth"] = "ft"
    ou.set_current_system(None)
    assert heard == ["local 1: Depth ft Site", "local 2: Depth ft Site", "current: Site",
                     "local 1: Depth ft Site", "local 2: Depth ft Site", "current: Site",
                     "current: None"]
    for subscription in subscriptions:
        assert subscription.close() and not subscription.active and not subscription.close()
    local["Depth"] = "m"
    assert len(heard) == 7


def test_a_raising_handler_propagates_and_the_change_stays_made():
    local = ou.LocalUnitSystem("Site", "Metric")

    def refuse(*_):
        raise ValueError("refused by handler")

    with ou.on_current_system_changed(refuse), local.on_change(refuse):
        with pytest.raises(ValueError, match="refused by handler"):
            ou.set_current_system(local)
        assert ou.current_system() is local
        with pytest.raises(ValueError, match="refused by handler"):
            local["Depth"] = "ft"
        assert local["Depth"] == ou.unit("ft")
    ou.set_current_system(None)


def test_a_current_local_system_lives_while_it_is_current():
    ou.set_current_system(ou.LocalUnitSystem("Temporary", "Imperial"))
    gc.collect()
    assert ou.current_system().name == "Temporary"
    assert str(ou.Quantity.from_base(0.3048, "Depth")) == "1 ft"
