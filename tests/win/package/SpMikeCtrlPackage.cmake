# The test package standing in for the Philips driver package, built with wixl: same product
# code and feature name, installed per machine, so Windows Installer under Wine registers the
# feature the driver verification reads. A payload that does not compress makes it a package of
# a few hundred sectors, as a real one is, for the download tests that cut it short.
find_program(WIXL wixl REQUIRED)
set(package_source ${CMAKE_CURRENT_LIST_DIR})
set(package_folder ${CMAKE_CURRENT_BINARY_DIR}/package)
set(package ${package_folder}/SpMikeCtrl.msi)
# wixl takes the files from the folder it runs in.
string(RANDOM LENGTH 200000 RANDOM_SEED 18 payload)
file(CONFIGURE OUTPUT ${package_folder}/SpMikeCtrl.dat CONTENT "${payload}")
configure_file(${package_source}/SpMikeCtrl.txt ${package_folder}/SpMikeCtrl.txt COPYONLY)
add_custom_command(
  OUTPUT ${package}
  COMMAND ${WIXL} -o ${package} ${package_source}/SpMikeCtrl.wxs
  WORKING_DIRECTORY ${package_folder}
  DEPENDS ${package_source}/SpMikeCtrl.wxs ${package_folder}/SpMikeCtrl.txt ${package_folder}/SpMikeCtrl.dat
  COMMENT "Building the test driver package with wixl")
add_custom_target(orvane_test_package DEPENDS ${package})
# Every test binary of the core's tests has it at hand; Wine sees the build tree on drive Z:.
add_dependencies(orvane_test_support orvane_test_package)
if(WIN32)
  target_compile_definitions(orvane_test_support PUBLIC ORVANE_TEST_PACKAGE="Z:${package}")
else()
  target_compile_definitions(orvane_test_support PUBLIC ORVANE_TEST_PACKAGE="${package}")
endif()
