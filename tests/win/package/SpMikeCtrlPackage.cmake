# The test package standing in for the Philips driver package, built with wixl: same product
# code and feature name, installed per machine, so Windows Installer under Wine registers the
# feature the driver verification reads.
find_program(WIXL wixl REQUIRED)
set(package_source ${CMAKE_CURRENT_LIST_DIR})
set(package ${CMAKE_CURRENT_BINARY_DIR}/package/SpMikeCtrl.msi)
add_custom_command(
  OUTPUT ${package}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/package
  COMMAND ${WIXL} -o ${package} ${package_source}/SpMikeCtrl.wxs
  WORKING_DIRECTORY ${package_source}
  DEPENDS ${package_source}/SpMikeCtrl.wxs ${package_source}/SpMikeCtrl.txt
  COMMENT "Building the test driver package with wixl")
add_custom_target(orvane_test_package DEPENDS ${package})
add_dependencies(orvane_tests orvane_test_package)
# Wine sees the build tree on drive Z:.
target_compile_definitions(orvane_tests PRIVATE ORVANE_TEST_PACKAGE="Z:${package}")
