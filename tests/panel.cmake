# The panel that shows the simulated interface.
ferrolink_add_test(tst_panel SOURCES panel/tst_panel.cpp LIBRARIES ferrolink_panel)
