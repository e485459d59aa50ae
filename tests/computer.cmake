# One run of the program without a window: the prefix chosen and opened,
# the settings and the run-at-logon entry, the window's own views in the model.
kestrane_add_test(computer_tests ${CMAKE_CURRENT_SOURCE_DIR}/computer/ComputerTest.cpp)
